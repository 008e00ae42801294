#!/usr/bin/env bash
# ranvex-data for Windows, under wine, against ranvex-data for Linux on one classroom:
# every command prints the same bytes (line ends and the shared folder's own name
# aside), ends with the same status, and the charts' PDFs hold the same texts.
#   compare_data_tool.sh LINUX_TOOL WINDOWS_TOOL WINE_RUN [ARGUMENTS...]
# WINE_RUN and its arguments start a Windows program (scripts/wine-run --libraries ...).
set -euo pipefail
linux=$1
windows=$2
shift 2
# The Windows tool on Qt's windows platform, as on a school PC (the offscreen platform
# would draw the charts with no fonts of the system's).
wine_run=(env -u QT_QPA_PLATFORM "$@")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$linux" demo "$work/classroom" >/dev/null
shared="$work/classroom/shared/"
windows_shared="Z:${shared//\//\\}"

# What the school's files may hold besides the demo's: a pupil's name with characters
# of the Windows extensions of code page 932 (① at 87 40, ⅰ at FA 40, ～ at 81 60), a
# line with a byte the code page has no character for, a pupil number out of range, and
# a results file with a torn last record.
printf '41,2015,0,0,"\x87\x40\xfa\x40\x81\x60\x88\x9f",0,"",""\r\n42,2014,0,0,"\x82\xa0\x81\xff",0,"",""\r\n6001,2014,0,0,"x",0,"",""\r\n' \
  >>"$shared/新名簿.txt"
printf 'torn record' >>"$shared/ranvex/成績累積データ.dat"

now=$(date +"%Y/%m/%d %H:%M:%S")
commands=(
  "check"
  "export"
  "stats --now '$now'"
  "records --now '$now'"
  "distribution --level 1"
  "distribution --level 2"
  "distribution --level 3"
  "lists --pupil 41 --view personal --now '$now'"
  "lists --pupil 12 --view personal --grade 小３ --now '$now'"
)
for view in time points; do
  for kind in 1 2; do
    commands+=("lists --pupil 12 --view $view --kind $kind --now '$now'")
  done
  for period in 1 2 3 4 5; do
    commands+=("lists --pupil 41 --view $view --kind 3 --period $period --now '$now'")
  done
  commands+=("lists --pupil 14 --view $view --kind 1 --grade 小学生全体 --now '$now'")
done

# The shared folder named as <shared>/, with "/" between the names that follow it.
normalise() {
  sed -e 's/\r$//' -e "s|$(printf '%s' "$windows_shared" | sed 's/[\\.]/\\&/g')|<shared>/|g" \
    -e "s|$shared|<shared>/|g" -e '/<shared>/ s|\\|/|g'
}

failed=0
compared=0
for command in "${commands[@]}"; do
  eval "arguments=($command)"
  linux_status=0
  windows_status=0
  "$linux" --base "$shared" "${arguments[@]}" >"$work/linux.out" 2>"$work/linux.err" || linux_status=$?
  "${wine_run[@]}" "$windows" --base "$windows_shared" "${arguments[@]}" >"$work/windows.out" \
    2>"$work/windows.err" || windows_status=$?
  for stream in out err; do
    normalise <"$work/linux.$stream" >"$work/linux.$stream.n"
    normalise <"$work/windows.$stream" >"$work/windows.$stream.n"
  done
  lines=$(wc -l <"$work/linux.out.n")
  # A command that prints nothing proves nothing.
  if [ "$lines" -eq 0 ] || [ "$linux_status" != "$windows_status" ] ||
    ! cmp -s "$work/linux.out.n" "$work/windows.out.n" || ! cmp -s "$work/linux.err.n" "$work/windows.err.n"; then
    echo "DIFFERENT: $command (status $linux_status on Linux, $windows_status on Windows)"
    diff "$work/linux.err.n" "$work/windows.err.n" | head -10 || true
    diff "$work/linux.out.n" "$work/windows.out.n" | head -20 || true
    failed=1
  else
    echo "same: $command ($lines lines, status $linux_status)"
  fi
  compared=$((compared + 1))
done

# The charts: the pages' texts in the order they are drawn (where each stands follows the
# platform's own font metrics).
"$linux" --base "$shared" charts --pupil 12 --levels 1,2,3 --pdf "$work/linux.pdf" --now "$now" >/dev/null
"${wine_run[@]}" "$windows" --base "$windows_shared" charts --pupil 12 --levels 1,2,3 \
  --pdf "Z:${work//\//\\}\\windows.pdf" --now "$now" >/dev/null
pdftotext -raw "$work/linux.pdf" "$work/linux.txt"
pdftotext -raw "$work/windows.pdf" "$work/windows.txt"
if [ -s "$work/linux.txt" ] && cmp -s "$work/linux.txt" "$work/windows.txt"; then
  echo "same: charts --pupil 12 --levels 1,2,3 ($(wc -l <"$work/linux.txt") lines of text, $(pdfinfo "$work/windows.pdf" | awk '/^Pages/ {print $2}') pages)"
else
  echo "DIFFERENT: charts"
  diff "$work/linux.txt" "$work/windows.txt" | head -20 || true
  failed=1
fi
echo "$((compared + 1)) commands compared"
exit $failed
