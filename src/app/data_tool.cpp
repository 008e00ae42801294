#include "app/data_tool.h"

#include "app/demo_classroom.h"
#include "core/environment.h"
#include "core/hensuu1.h"
#include "core/paths.h"
#include "core/text_values.h"
#include "drill/sounds.h"
#include "results/backups.h"
#include "results/criteria_table.h"
#include "results/kept_results.h"
#include "results/results_journal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

constexpr int kReadAttempts = 10;

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(QDir::cleanPath(path));
}

// ---- check -------------------------------------------------------------------

class Findings
{
public:
    explicit Findings(QTextStream &out) : m_out(out) {}
    // "file:n: what", or "file: what" when n is 0. A line end quoted from a file is
    // written as "\n", so that every problem stays on its line.
    void add(const QString &file, int n, const QString &what)
    {
        m_out << nativePath(file);
        if (n > 0)
            m_out << ':' << n;
        QString text = what;
        text.replace(u'\r', QStringLiteral("\\r")).replace(u'\n', QStringLiteral("\\n"));
        m_out << ": " << text << '\n';
        ++m_count;
    }
    int count() const { return m_count; }

private:
    QTextStream &m_out;
    int m_count = 0;
};

// Every line of a text file that holds bytes code page 932 has no character for: the
// reader takes them as U+001A or U+FFFD, so that messages would quote invisible text.
void checkCodePage(Findings &findings, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return; // the file's reader reports it
    for (const int line : invalidCp932Lines(file.readAll()))
        findings.add(
            path, line,
            QStringLiteral("シフトJISとして読めないバイトがあります。その文字は別の文字に読み替えられます"));
}

void checkConfiguration(const DataToolInvocation &invocation, bool commonDataRead, Findings &findings)
{
    const Hensuu1 &h = hensuu1();
    const QString separator = pathSeparator();
    const QString pathFile = h.appFolder + ".." + separator + kPathFileName;
    if (invocation.base.isEmpty()) {
        checkCodePage(findings, pathFile);
        if (!h.dataPathSetting.endsWith(separator)) {
            findings.add(
                pathFile, 0,
                QStringLiteral(
                    "共有フォルダ「%1」の最後に「%2」がありません。ファイル名がフォルダ名につながります")
                    .arg(h.dataPathSetting, separator));
        }
    }
    const QString common = h.dataPathSetting + kCommonDataFileName;
    checkCodePage(findings, common);
    // A file that could not be read has said so; its month was never read.
    if (commonDataRead && (h.schoolYearStartMonth < 1 || h.schoolYearStartMonth > 12)) {
        findings.add(common, 0,
                     QStringLiteral("学年の始まりの月（1番目の値）%1が1から12の間にありません")
                         .arg(h.schoolYearStartMonth));
    }
}

void checkRoster(Findings &findings)
{
    const RosterReading reading = readToolRoster();
    if (!reading.fileRead()) {
        findings.add(reading.path, 0, reading.fileProblem());
        return;
    }
    checkCodePage(findings, reading.path);
    for (const RosterProblem &problem : reading.problems) {
        QString what = problem.what;
        if (problem.kind == RosterProblem::Kind::Skipped)
            what += QStringLiteral("。この行は読みとばされます");
        findings.add(reading.path, problem.line, what);
    }
}

void checkCriteria(Findings &findings)
{
    const QString path = hensuu1().dataFolder + kCriteriaFileName;
    if (const QString problem = loadToolCriteria(); !problem.isEmpty())
        findings.add(path, 0, problem);
    const TextFileContents contents = readCp932File(path);
    if (contents.status != FileReadStatus::Ok)
        return;
    checkCodePage(findings, path);
    for (const CriteriaLineFault &fault : criteriaLinesWithoutTwelveFields(contents.text)) {
        findings.add(path, fault.line,
                     QStringLiteral("値が%1個あります（%2個必要です）。この行から後のレベルの値がずれます")
                         .arg(fault.fields)
                         .arg(kCriteriaFields));
    }
}

bool isWaveFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(12);
    return head.size() == 12 && head.startsWith("RIFF") && head.mid(8, 4) == "WAVE";
}

void checkWave(Findings &findings, const QString &listPath, const QString &wave, const QString &namedBy)
{
    if (!QFileInfo::exists(wave))
        findings.add(listPath, 0,
                     QStringLiteral("%1の音ファイル%2がありません").arg(namedBy, nativePath(wave)));
    else if (!isWaveFile(wave))
        findings.add(
            listPath, 0,
            QStringLiteral("%1の音ファイル%2はwaveファイルではありません").arg(namedBy, nativePath(wave)));
}

void checkSounds(Findings &findings)
{
    Hensuu1 &h = hensuu1();
    const QString listPath = h.soundFolder + kSoundListFileName;
    const TextFileContents contents = readCp932File(listPath);
    if (contents.status != FileReadStatus::Ok) {
        findings.add(listPath, 0, describeFileProblem(contents));
        return;
    }
    checkCodePage(findings, listPath);
    fillSoundTable(contents.text);
    // The kinds the program plays: right, wrong, personal best, fail.
    constexpr int kPlayedKinds[] = {2, 4, 8, 10};
    constexpr int kCountRow = 21;
    for (int kind = 1; kind < static_cast<int>(h.soundTable.size()); ++kind) {
        const auto &column = h.soundTable[kind];
        const QString &name = column[0];
        const bool played =
            std::find(std::begin(kPlayedKinds), std::end(kPlayedKinds), kind) != std::end(kPlayedKinds);
        int files = static_cast<int>(lenientNumber(column[kCountRow]));
        if (column[kCountRow].isEmpty()) {
            if (column[1].isEmpty()) {
                if (played)
                    findings.add(listPath, 0, QStringLiteral("「%1」の音がありません").arg(name));
                continue;
            }
            findings.add(listPath, 0, QStringLiteral("「%1」の音の並びが「*」で終わっていません").arg(name));
            files = 1;
        } else if (files == 0 && played) {
            findings.add(listPath, 0, QStringLiteral("「%1」の音がありません").arg(name));
        }
        for (int row = 1; row <= files; ++row)
            checkWave(findings, listPath, h.soundFolder + column[row] + ".wav",
                      QStringLiteral("「%1」").arg(name));
    }
    for (const char *fixed : {"最高1.wav", "合格.wav", "警告1.wav"})
        checkWave(findings, listPath, h.soundFolder + QString::fromUtf8(fixed), QStringLiteral("決まった音"));
}

void checkResults(Findings &findings)
{
    const Hensuu1 &h = hensuu1();
    const QString path = h.dataFolder + kResultsFileName;
    // As the next writer would: a rewrite cut short is put right before the file is read.
    const Mend mend = mendResultsFile(path);
    for (const QString &note : takeMendNotes(path))
        findings.add(path, 0, note);
    if (mend.outcome == Mend::Outcome::Stuck) {
        const QString journal = journalPathFor(path);
        findings.add(QFileInfo::exists(journal) ? journal : h.dataFolder + kResultsTempFileName, 0,
                     mend.text);
    }
    const QByteArray kept = keptResultsOnThisPc();
    for (int n = 1; n <= recordCountOf(kept); ++n) {
        const ResultRecord record = recordAt(kept, n);
        findings.add(keptResultsPath(), n,
                     QStringLiteral("%1 %2 生徒%3 レベル%4 %5秒の記録が、このPCに残ったまま成績のファイルに"
                                    "まだ書き足されていません")
                         .arg(recordDateText(record.date), recordTimeText(record.timeOfDay))
                         .arg(record.pupil)
                         .arg(record.level)
                         .arg(record.resultTime));
    }
    QByteArray bytes;
    const IoStatus status = readToolResults(bytes);
    if (!status.ok()) {
        findings.add(path, 0, status.description);
        return;
    }
    if (bytes.size() % kRecordSize != 0) {
        findings.add(path, 0,
                     QStringLiteral("長さ%1バイトは%2の倍数ではありません。最後の%3バイトは記録になりません")
                         .arg(bytes.size())
                         .arg(kRecordSize)
                         .arg(bytes.size() % kRecordSize));
    }
    for (int n = 1; n <= recordCountOf(bytes); ++n) {
        const ResultRecord record = recordAt(bytes, n);
        if (record.pupil < 1 || record.pupil > kMaxPupil)
            findings.add(
                path, n,
                QStringLiteral("生徒の番号%1が1から%2の間にありません").arg(record.pupil).arg(kMaxPupil));
        if (record.level < 1 || record.level > kMaxLevel)
            findings.add(
                path, n,
                QStringLiteral("レベル%1が1から%2の間にありません").arg(record.level).arg(kMaxLevel));
        // Such a record is left out of every figure.
        if (!oleInCalendar(record.date))
            findings.add(
                path, n,
                QStringLiteral("日付%1が暦の範囲にありません。この記録は数えられません").arg(record.date));
        else if (record.date < 0)
            findings.add(path, n, QStringLiteral("日付%1が負です").arg(record.date));
        if (!oleInCalendar(record.timeOfDay))
            findings.add(path, n,
                         QStringLiteral("時刻%1が暦の範囲にありません。この記録は数えられません")
                             .arg(record.timeOfDay));
        if (record.resultTime < 0 || record.resultTime > kTimedOut)
            findings.add(
                path, n,
                QStringLiteral("タイム%1が0から%2の間にありません").arg(record.resultTime).arg(kTimedOut));
    }
}

int runCheck(const DataToolInvocation &invocation, QTextStream &out, QTextStream &err)
{
    Findings findings(out);
    const std::optional<ConfigurationProblem> problem = loadToolConfiguration(invocation);
    if (problem) {
        if (!QFileInfo(hensuu1().dataPathSetting).isDir()) {
            err << problem->message() << '\n';
            return kToolCannotRun;
        }
        findings.add(problem->path, 0, problem->what);
    }
    checkConfiguration(invocation, !problem, findings);
    checkRoster(findings);
    checkCriteria(findings);
    checkSounds(findings);
    checkResults(findings);
    if (findings.count() == 0)
        err << QStringLiteral("問題はありません（%1）").arg(nativePath(hensuu1().dataPathSetting)) << '\n';
    else
        err << QStringLiteral("%1件の問題があります").arg(findings.count()) << '\n';
    return findings.count() == 0 ? kToolOk : kToolFindings;
}

// ---- export ------------------------------------------------------------------

QString csvField(const QString &text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

int runExport(const DataToolInvocation &invocation, QTextStream &out, QTextStream &err)
{
    if (!prepareTool(invocation, ToolNeeds::Configuration, err))
        return kToolCannotRun;
    const RosterReading roster = readToolRoster();
    if (!roster.fileRead())
        err << nativePath(roster.path) << ": " << roster.fileProblem() << QStringLiteral("名前は空になります")
            << '\n';
    QByteArray bytes;
    if (IoStatus status = readToolResults(bytes); !status.ok()) {
        err << status.description << '\n';
        return status.outcome == IoOutcome::Denied ? kToolFindings : kToolCannotRun;
    }
    const RosterTables &tables = rosterTables();
    out << "record,date,time,pupil,name,level,result_time,school_code\n";
    for (int n = 1; n <= recordCountOf(bytes); ++n) {
        const ResultRecord record = recordAt(bytes, n);
        const QString name = record.pupil >= 0 && record.pupil <= kMaxPupil
                                 ? trimHalfWidth(tables.pupilNames[record.pupil])
                                 : QString();
        out << n << ',' << recordDateText(record.date) << ',' << recordTimeText(record.timeOfDay) << ','
            << record.pupil << ',' << csvField(name) << ',' << record.level << ',' << record.resultTime << ','
            << csvField(schoolCodeOf(record)) << '\n';
    }
    return kToolOk;
}

// ---- append ------------------------------------------------------------------

int runAppend(const DataToolInvocation &invocation, QTextStream &out, QTextStream &err)
{
    const std::optional<int> pupil = wholeOption(invocation.arguments, "--pupil", 1, kMaxPupil, err);
    const std::optional<int> level = wholeOption(invocation.arguments, "--level", 1, kMaxLevel, err);
    const std::optional<int> time = wholeOption(invocation.arguments, "--time", 0, kTimedOut, err);
    if (!pupil || !level || !time)
        return kToolCannotRun;
    if (!prepareTool(invocation, ToolNeeds::Configuration, err))
        return kToolCannotRun;
    Hensuu1 &h = hensuu1();
    h.currentPupil = static_cast<int16_t>(*pupil);
    h.currentLevel = static_cast<int16_t>(*level);
    h.attemptTime = *time;
    const int written = AppendResultRecord();
    if (written == 0)
        return kToolFindings; // kept on this PC, as the message said
    out << written << '\n';
    return kToolOk;
}

// ---- backups and restore ----------------------------------------------------

QString resultsPathOfTool()
{
    return hensuu1().dataFolder + kResultsFileName;
}

int runBackups(const DataToolInvocation &invocation, QTextStream &out, QTextStream &err)
{
    if (!prepareTool(invocation, ToolNeeds::Configuration, err))
        return kToolCannotRun;
    const QString folder = backupFolderFor(resultsPathOfTool());
    const QList<BackupCopy> copies = listBackups(folder);
    if (copies.isEmpty())
        err << QStringLiteral("写しはありません（%1）").arg(nativePath(folder)) << '\n';
    for (const BackupCopy &copy : copies)
        out << backupLine(copy) << '\n';
    return kToolOk;
}

int runRestore(const DataToolInvocation &invocation, QTextStream &out, QTextStream &err)
{
    QStringList names;
    for (const QString &argument : invocation.arguments) {
        if (!argument.startsWith("--"))
            names << argument;
    }
    if (names.size() != 1) {
        err << QStringLiteral(
                   "restore には写しの名前を一つ指定します（ranvex-data backups が一覧を示します）")
            << '\n';
        return kToolCannotRun;
    }
    if (!prepareTool(invocation, ToolNeeds::Configuration, err))
        return kToolCannotRun;
    const QString resultsPath = resultsPathOfTool();
    std::optional<BackupCopy> chosen;
    for (const BackupCopy &copy : listBackups(backupFolderFor(resultsPath))) {
        if (copy.name == names[0])
            chosen = copy;
    }
    if (!chosen) {
        err << QStringLiteral("写し「%1」はありません（ranvex-data backups が一覧を示します）").arg(names[0])
            << '\n';
        return kToolFindings;
    }
    if (chosen->fileName == QString::fromUtf8(kCriteriaFileName)) {
        QFile copy(chosen->path);
        const QString criteriaPath = hensuu1().dataFolder + kCriteriaFileName;
        const QString problem =
            copy.open(QIODevice::ReadOnly)
                ? replaceCriteriaFile(criteriaPath, copy.readAll(), BackupReason::BeforeRestore)
                : QStringLiteral("写しを読めません（%1）。").arg(copy.errorString());
        if (!problem.isEmpty()) {
            err << problem << '\n';
            return kToolFindings;
        }
        out << QStringLiteral("%1を写し %2 から戻しました").arg(nativePath(criteriaPath), chosen->name)
            << '\n';
        return kToolOk;
    }
    RestoreCounts counts;
    const IoStatus status = restoreResultRecords(resultsPath, chosen->path, counts);
    for (const QString &note : takeMendNotes(resultsPath))
        err << note << '\n';
    if (!status.ok()) {
        err << status.description << '\n';
        return kToolFindings;
    }
    out << QStringLiteral("写し %1 から%2件の記録を戻し、そのあとに書き足された%3件をそのうしろに残しました")
               .arg(chosen->name)
               .arg(counts.restored)
               .arg(counts.keptSince)
        << '\n';
    return kToolOk;
}

// ---- demo --------------------------------------------------------------------

int runDemo(const DataToolInvocation &invocation, QTextStream &out, QTextStream &err)
{
    const QStringList folders = [&] {
        QStringList positional;
        for (const QString &argument : invocation.arguments) {
            if (!argument.startsWith("--"))
                positional << argument;
        }
        return positional;
    }();
    if (folders.size() != 1) {
        err << QStringLiteral("demo にはフォルダを一つ指定します") << '\n';
        return kToolCannotRun;
    }
    const QString problem = writeDemoClassroom(folders[0], invocation.program);
    if (!problem.isEmpty()) {
        err << problem << '\n';
        return kToolCannotRun;
    }
    out << QStringLiteral("demo classroom: %1").arg(nativePath(QFileInfo(folders[0]).absoluteFilePath()))
        << '\n';
    return kToolOk;
}

// ---- setup -------------------------------------------------------------------

// Points a PC at its classroom's shared folder: the path file beside the program folder,
// written once (by the installer, or by hand); one that is there is the school's own.
int runSetup(const DataToolInvocation &invocation, QTextStream &out, QTextStream &err)
{
    QString shared = optionValue(invocation.arguments, QStringLiteral("--shared"));
    if (shared.isEmpty()) {
        err << QStringLiteral("setup には --shared で共有フォルダを指定します") << '\n';
        return kToolCannotRun;
    }
    // Typed on a command line, the folder's final separator may be left off.
    shared = QDir::toNativeSeparators(shared);
    if (!shared.endsWith(pathSeparator()))
        shared += pathSeparator();
    if (shared.contains(u'"') || !cp932Holds(shared)) {
        err << QStringLiteral("共有フォルダ「%1」は書けません（「\"」やシフトJISにない文字があります）")
                   .arg(shared)
            << '\n';
        return kToolCannotRun;
    }
    const QString pathFile =
        nativePath(invocation.toolFolder + pathSeparator() + ".." + pathSeparator() + kPathFileName);
    if (QFileInfo::exists(pathFile)) {
        err << QStringLiteral("%1 はすでにあります。書きかえません").arg(pathFile) << '\n';
        return kToolFindings;
    }
    if (const QString problem = writeCp932File(pathFile, pathFileText(shared)); !problem.isEmpty()) {
        err << problem << '\n';
        return kToolCannotRun;
    }
    out << pathFile << '\n';
    if (!QFileInfo(shared).isDir())
        err << QStringLiteral("共有フォルダ %1 は今は見つかりません。つながったら check で確かめてください")
                   .arg(shared)
            << '\n';
    return kToolOk;
}

// ---- dispatch ----------------------------------------------------------------

struct CommandEntry {
    const char *name;
    DataToolCommand run;
};

const CommandEntry kCommands[] = {
    {"check", runCheck},
    {"export", runExport},
    {"append", runAppend},
    {"demo", runDemo},
    {"setup", runSetup},
    {"stats", runStats},
    {"lists", runLists},
    {"records", runRecords},
    {"edit", runEdit},
    {"delete", runDelete},
    {"distribution", runDistribution},
    {"charts", runCharts},
    {"backups", runBackups},
    {"restore", runRestore},
};

const char *const kHelp = R"(使い方: ranvex-data [--base DIR] [--program NAME] COMMAND [...]

教室の共有フォルダの名簿、設定、音、成績のファイルを調べ、書き出し、書き足します。

  check
      共有フォルダのファイルを調べ、見つかった問題を一件一行（ファイル名と行または記録の番号）で
      示します。パスデータと共通データ、名簿（読めない行、重なった番号、5000人を超える生徒、
      1900..2100年でない生まれ年）、タイム回数データ（値が12個でない行）、音ファイルの一覧と
      そこに書かれたwaveファイル、成績累積データ（44の倍数でない長さ、生徒1..5000・レベル1..35・
      暦の範囲の負でない日付と時刻・タイム0..99999を外れた記録）。テキストのファイルでは、
      シフトJISとして読めないバイトのある行も示します。途中で止まった記録の変更・消去・戻しは、
      調べる前に最後まで済ませるか取り消して、そう示します。直せなかったときは残った控えを、
      このPCに残ったまま成績のファイルに書き足されていない記録があればそれも一件一行で示します。
      終了コード: 0 問題なし、1 問題あり、2 フォルダを読めない。
  export
      成績をCSVで標準出力に書き出します。見出し行
      record,date,time,pupil,name,level,result_time,school_code
      のあと、ファイルの順に一記録一行。日付は yyyy/mm/dd、時刻は h:mm:ss（秒未満は四捨五入）、
      name は名簿の名前（名簿にない番号は空）です。
  append --pupil P --level L --time T
      この PC の日付と時刻、設定の教室コードで記録を一件書き足し、その記録の番号を示します
      （紙でした結果の記録や、負荷の試しに）。T は秒、99999 は時間切れです。
  stats [--now "yyyy/mm/dd hh:mm:ss"]
      画面と同じ計算で生徒ごとの回数とポイントを CSV で示します。見出し行
      level,pupil,totalCount,totalPoints,passWindowCount,passWindowPoints,overuseWindowCount,
      overuseWindowPoints,todayCount,todayPoints,bestTime
      のあと、どれかの値が 0（bestTime は 99999）でないレベルと生徒ごとに一行、レベル順、生徒順。
      空の行のあと level,bestTimeAll とレベル 1..35 の行。--now で「今」の日時を決めます。
  lists --pupil P --view time|points --kind 1|2|3 [--period 1..5] [--grade TEXT]
        [--now "yyyy/mm/dd hh:mm:ss"]
  lists --pupil P --view personal [--grade TEXT] [--now "yyyy/mm/dd hh:mm:ss"]
      レベル画面の成績リストを画面と同じ計算で示します。最初に「title: 」とリストの見出し、
      そのあとレベルごとに「# level L」（画面で隠れるリストは「# level L hidden」）と、画面の
      並びのままの行。--view time の --kind 1 はベスト成績の順位、2 は本日の成績、3 は期間の
      成績（タイムが先）。--view points の --kind 1 は獲得ポイントの今までの順位、2 は今日の順位、
      3 は期間の成績（ポイントが先）。--view personal は「個人ﾀｲﾑ」の、その生徒の十年間の記録
      （日付、時刻、タイム。時間切れは「×」）を古い順に。--pupil は今の生徒（●の行）、--period
      は期間（1 今週、2 先週から、3 １ヶ月間、4 １年間、5 今まで; 既定 3）、--grade は学年の
      しぼりこみ（既定 全学年）、--now は「今」の日時です。
  charts --pupil P --levels 1,2,3 --pdf FILE [--grade TEXT] [--now "yyyy/mm/dd hh:mm:ss"]
      生徒 P のレベルごとの成績グラフ（回数、順位、最高と平均のタイム、ポイントの表つき）を、
      「印刷」と同じ A4 縦のページ（一ページに三つ）で PDF ファイル FILE に書きます。文字は
      文字のまま書くので、pdftotext などで読みだせます。グラフがあるのはレベル 1 から
      レベルの数までで、ほかのレベルをふくむと何も書かずに終了コード 1 で終わります。
  records [--now "yyyy/mm/dd hh:mm:ss"]
      成績データ変更の画面と同じ一覧を、同じ順（記録の番号順、レベル0の記録はのぞく）に一記録一行で
      示します。記録の番号、日付、時刻、レベル、タイム、生徒の番号、名前、学年、++ と教室名
      （ほかの教室の記録は「他塾」）。--now で学年を決める日時を決めます。
  edit --record N [--pupil P] [--time T]
      画面の「変更して記録」と同じく、記録 N の生徒を P に、タイムを T 秒にします（指定しないほうは
      そのまま）。P と T は画面の欄に書くとおりの数で、小数は近いほうの整数（ちょうど半分は偶数）に
      なります。名簿にない生徒、0..99999 にないタイム、一覧にない記録、読んだあとにほかの PC が
      変えた記録は変えません。変えた記録の一覧の行を示します。
  delete --record N
      画面の「消去」と同じく、記録 N を消し、あとの記録の番号を一つずつ詰めます（確かめの問いは
      ありません）。消した記録の行を示します。
      edit と delete は、断ったときと書けなかったときは理由を標準エラーに書き、ファイルをそのままに
      して終了コード 1 で終わります。
  backups
      バックアップのフォルダにある写しを新しい順に一件一行で示します。写しの名前、記録の数
      （タイム回数データはレベルの数）、とった日時、わけ（削除前、変更前、毎日、基準変更前、
      復元前）。写しは先生の変更の前と、毎日の最初の記録の前にとり、変更の前のものを新しい
      20、毎日のものを新しい14だけ残します。
  restore NAME
      写し NAME を成績累積データ（タイム回数データの写しならタイム回数データ）に戻します。
      戻す前の今のファイルも写しにとります。成績では、写しのあとに書き足された記録を、戻した
      記録のうしろにそのまま残し、戻した数と残した数を示します。
  distribution --level L
      合格タイムデータ変更の画面と同じ計算で、レベル L（1..50）の成績度数分布を示します。
      成績累積データの全記録から数えます。まず全成績: 見出し「レベルL 今までn回  （★=u）」と
      10秒ごとの101行（「   0～」から「1000～」、最後の行は1000秒以上と時間切れ）、★一つがu回。
      空の行のあと最高タイム: 見出し「レベルL （★=u）」と同じ101行で、生徒ごとの最高タイムを
      数えます（「 300～」が300秒以上、その先は空）。負のタイムの記録は数えません。
  demo DIR
      DIR にデモ教室を作ります（パスデータ.txt、共有フォルダ shared/ の共通データ、名簿、
      音フォルダ、タイム回数データと十週間分と今日のこの時刻までの成績）。あるタイム回数データと成績は残します。

  setup --shared FOLDER
      このプログラムのフォルダの上にパスデータ.txtを書き、この PC の共有フォルダを FOLDER にします
      （最後の区切りがなければ足します）。パスデータ.txtがすでにあるときは書きかえず、終了コード 1 で
      終わります。インストーラーが使います。

オプション:
  --base DIR      共有フォルダ。ないときはこのプログラムのフォルダの上のパスデータ.txtから読みます。
  --program NAME  プログラムのフォルダの名前（成績とタイム回数データのフォルダ）。既定は ranvex。
  -h, --help      この説明を示します。
出力は UTF-8 です。
)";

} // namespace

QString optionValue(const QStringList &arguments, const QString &name)
{
    const qsizetype at = arguments.indexOf(name);
    return at >= 0 && at + 1 < arguments.size() ? arguments[at + 1] : QString();
}

std::optional<int> wholeOption(const QStringList &arguments, const QString &name, int lowest, int highest,
                               QTextStream &err)
{
    bool ok = false;
    const int value = optionValue(arguments, name).toInt(&ok);
    if (!ok || value < lowest || value > highest) {
        err << QStringLiteral("%1には%2から%3までの整数を指定します").arg(name).arg(lowest).arg(highest)
            << '\n';
        return std::nullopt;
    }
    return value;
}

std::optional<QDateTime> momentOption(const QStringList &arguments, QTextStream &err)
{
    if (!arguments.contains(QStringLiteral("--now")))
        return QDateTime::currentDateTime();
    const QString text = optionValue(arguments, QStringLiteral("--now"));
    const QDateTime moment = QDateTime::fromString(text, QStringLiteral("yyyy/M/d H:m:s"));
    if (!moment.isValid()) {
        err << QStringLiteral("--now には「yyyy/mm/dd hh:mm:ss」の形で日時を書きます（「%1」は読めません）")
                   .arg(text)
            << '\n';
        return std::nullopt;
    }
    return moment;
}

QString loadToolCriteria()
{
    return LoadCriteriaTable(hensuu1().dataFolder + QString::fromUtf8(kCriteriaFileName));
}

bool prepareTool(const DataToolInvocation &invocation, ToolNeeds needs, QTextStream &err)
{
    if (auto problem = loadToolConfiguration(invocation)) {
        err << problem->message() << '\n';
        return false;
    }
    if (needs == ToolNeeds::ConfigurationAndCriteria) {
        if (const QString problem = loadToolCriteria(); !problem.isEmpty()) {
            err << problem << '\n';
            return false;
        }
    }
    return true;
}

std::optional<ConfigurationProblem> loadToolConfiguration(const DataToolInvocation &invocation)
{
    Hensuu1 &h = hensuu1();
    // The tool's folder is the program folder of this PC, where its drills are kept.
    const QString separator = pathSeparator();
    h.appFolder =
        invocation.toolFolder.endsWith(separator) ? invocation.toolFolder : invocation.toolFolder + separator;
    if (invocation.base.isEmpty()) {
        if (auto problem = LoadPathFile(invocation.toolFolder))
            return problem;
    } else {
        // A folder typed on the command line is not the configuration: its separator may be left off.
        h.dataPathSetting = fromConfiguredPath(invocation.base);
        if (!h.dataPathSetting.endsWith(separator))
            h.dataPathSetting += separator;
    }
    if (!QFileInfo(h.dataPathSetting).isDir())
        return ConfigurationProblem{h.dataPathSetting, QStringLiteral("共有フォルダがないか、読めません。")};
    // The folders come first: the rest of the check needs them even without common data.
    SetDataFolders(invocation.program);
    return LoadCommonData();
}

RosterReading readToolRoster()
{
    return readRosterFile(hensuu1().dataPathSetting + kRosterFileName);
}

IoStatus readToolResults(QByteArray &bytes)
{
    const QString path = hensuu1().dataFolder + kResultsFileName;
    IoStatus status;
    for (int attempt = 1; attempt <= kReadAttempts; ++attempt) {
        status = readResultsBytes(path, bytes);
        if (status.outcome == IoOutcome::Missing) {
            bytes.clear();
            return {};
        }
        if (status.outcome != IoOutcome::Busy || attempt == kReadAttempts)
            break;
        waitResponsive(1000);
    }
    return status;
}

int runDataTool(const QStringList &args, QTextStream &out, QTextStream &err, const QString &toolFolder)
{
    DataToolInvocation invocation;
    invocation.toolFolder = toolFolder.isEmpty() ? executableFolder() : toolFolder;
    QString command;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (arg == "-h" || arg == "--help") {
            out << QString::fromUtf8(kHelp);
            return kToolOk;
        }
        if (arg == "--base" || arg == "--program") {
            if (i + 1 >= args.size()) {
                err << QStringLiteral("%1 のあとに値がありません").arg(arg) << '\n';
                return kToolCannotRun;
            }
            (arg == "--base" ? invocation.base : invocation.program) = args[++i];
        } else if (command.isEmpty() && !arg.startsWith("-")) {
            command = arg;
        } else {
            invocation.arguments << arg;
        }
    }
    for (const CommandEntry &entry : kCommands) {
        if (command == QLatin1String(entry.name))
            return entry.run(invocation, out, err);
    }
    err << (command.isEmpty() ? QStringLiteral("コマンドがありません")
                              : QStringLiteral("「%1」というコマンドはありません").arg(command))
        << QStringLiteral("（ranvex-data --help で使い方を示します）") << '\n';
    return kToolCannotRun;
}
