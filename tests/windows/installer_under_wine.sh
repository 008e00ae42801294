#!/usr/bin/env bash
# The installer under wine, as a school deploys it by script, at an X display
# (scripts/with-x-display):
#   installer_under_wine.sh INSTALLER LINUX_TOOL PICTURES
# A silent install with the shared folder and the program folder given, into a wine
# prefix of its own; the files, the path file it wrote (code page 932, ten values) and
# the shortcuts; a second install that keeps the school's path file; the installed data
# tool against the Linux one; a round by keyboard on the installed program at an X
# display of its own (the first pupil of the list, level 1, the drill to its time-out, the end screen, back to
# the menu), pictured into PICTURES, which must record the drill; and the silent
# uninstall, which takes the program away and leaves the path file and the share.
# The installed programs have only what the installer put beside them.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
installer=$(realpath "$1")
linux=$(realpath "$2")
pictures=$(realpath -m "$3")
wine_run=("$here/scripts/wine-run")

work=$(mktemp -d)
export RANVEX_WINE_PREFIX="$work/prefix"
wineserver() { WINEPREFIX=$RANVEX_WINE_PREFIX "$(dirname "$(dpkg -L wine64 | grep -m1 '/wine64$')")/wineserver" "$@"; }
cleanup() {
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
failed=0
expect() { # expect STATUS TEXT
  if [ "$1" -eq 0 ]; then echo "ok   $2"; else echo "FAIL $2"; failed=1; fi
}
# The status of a command, its output dropped.
holds() { "$@" >/dev/null 2>&1 && echo 0 || echo 1; }

"$linux" demo "$work/classroom" >/dev/null
shared="$work/classroom/shared/"
windows_shared="Z:${shared//\//\\}"
# A short drill: level 1's minimum time of 4 seconds gives a time limit of 20.
sed -i '2s/^60,120,/60,4,/' "$shared/ranvex/タイム回数データ.txt"

drive="$RANVEX_WINE_PREFIX/drive_c"
program="$drive/juku/ranvex"
path_file="$drive/juku/パスデータ.txt"

started=$SECONDS
status=$(holds "${wine_run[@]}" "$installer" /S "/SHARED=$windows_shared" '/D=C:\juku\ranvex')
expect "$status" "silent install ($((SECONDS - started)) s, with the wine prefix made for it)"
for file in ranvex.exe ranvex-data.exe uninstall.exe Qt6Core.dll platforms/qwindows.dll; do
  expect "$(holds test -f "$program/$file")" "installed: $file"
done
printf '"%s",,,,,,,,,\r\n' "$windows_shared" | iconv -f UTF-8 -t CP932 >"$work/path-file"
expect "$(holds cmp "$work/path-file" "$path_file")" "the path file names the share, in code page 932 with ten values"
expect "$(holds test -f "$drive/users/Public/Desktop/Ranvex.lnk")" "a shortcut on the desktop"
expect "$(holds test -f "$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Ranvex/Ranvex.lnk")" \
  "a shortcut in the Start menu"

"${wine_run[@]}" "$installer" /S '/SHARED=\\elsewhere\share\' '/D=C:\juku\ranvex'
expect "$(holds cmp "$work/path-file" "$path_file")" "installed again: the school's path file kept as it was"

# The installed data tool, with the DLLs beside it and its path file.
status=0
"$here/tests/windows/compare_data_tool.sh" "$linux" "$program/ranvex-data.exe" "${wine_run[@]}" >"$work/compare.txt" ||
  status=$?
expect "$status" "the installed data tool prints what the Linux one prints: $(tail -1 "$work/compare.txt")"
grep -v '^same' "$work/compare.txt" || true
status=0
"${wine_run[@]}" "$program/ranvex-data.exe" check >/dev/null 2>"$work/check.err" || status=$?
expect "$status" "the installed data tool finds the share through the path file: $(tr -d '\r' <"$work/check.err")"

# The round.
records_before=$(($(stat -c %s "$shared/ranvex/成績累積データ.dat") / 44))
mkdir -p "$pictures"
picture() { xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng >"$pictures/$1.png"; }
window() { timeout "$2" xdotool search --sync --onlyvisible --name "$1" >/dev/null 2>&1; }
"${wine_run[@]}" 'C:\juku\ranvex\ranvex.exe' >/dev/null 2>&1 &
expect "$(holds window '^kelvane$' 60)" "ranvex.exe shows the name screen"
sleep 2 && picture 1-names
xdotool key Down Down && sleep 1 && xdotool key Return && sleep 6 && picture 2-menu
# The level menu reads the whole results file first, and bears the name screen's title:
# a "1" that came while the name screen still showed confirms the name again.
for try in 1 2 3; do
  xdotool key 1
  if window '^Kelvane$' 20; then break; fi
done
expect "$(holds window '^Kelvane$' 1)" "\"1\" starts the drill of level 1"
sleep 3 && picture 3-drill
expect "$(holds window '^終了$' 60)" "the drill ends at its time-out with the end screen"
sleep 3 && picture 4-end
xdotool key Return
expect "$(holds window '^kelvane$' 30)" "Enter on the end screen goes back to the level menu"
sleep 3 && picture 5-menu-again
records_after=$(($(stat -c %s "$shared/ranvex/成績累積データ.dat") / 44))
last=$("$linux" --base "$shared" export | tail -1)
expect "$([ "$records_after" -eq $((records_before + 1)) ] && [[ "$last" == *,1,99999,12345 ]] && echo 0 || echo 1)" \
  "the drill recorded once, level 1, timed out: $last"
wineserver -k 2>/dev/null || true

cp -a "$shared" "$work/shared-before"
"${wine_run[@]}" "$program/uninstall.exe" /S
# The uninstaller runs on as a copy of itself; the prefix is quiet once it has ended.
wineserver --wait
for wait in $(seq 30); do [ -e "$program" ] || break; sleep 1; done
expect "$(holds test ! -e "$program")" "uninstalled: the program folder is gone$(ls -A "$program" 2>/dev/null | sed 's/^/; left: /')"
expect "$(holds test ! -e "$drive/users/Public/Desktop/Ranvex.lnk")" "uninstalled: the shortcuts are gone"
expect "$(holds cmp "$work/path-file" "$path_file")" "uninstalled: the path file is left"
expect "$(holds diff -r "$work/shared-before" "$shared")" "uninstalled: the shared folder is left as it was"
exit $failed
