#include "test_support.h"

#include "core/handoffs.h"
#include "core/hensuu1.h"
#include "core/levels.h"
#include "core/startup.h"
#include "core/text_values.h"
#include "results/criteria_table.h"
#include "results/results_file.h"
#include "results/shared_file.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

void FakeClock::advance(double bySeconds)
{
    monotonic += static_cast<int64_t>(bySeconds * 1000);
    seconds += bySeconds;
    while (seconds >= 86400) {
        seconds -= 86400;
        date = date.addDays(1);
    }
}

SoundResult FakeSoundOutput::play(const QString &waveFile)
{
    played << waveFile;
    return results.isEmpty() ? SoundResult{} : results.takeFirst();
}

DialogAnswer FakeDialogs::message(const QString &text, const QString &title, DialogButtons buttons)
{
    messages << Message{text, title, buttons};
    if (!answers.isEmpty())
        return answers.takeFirst();
    return buttons == DialogButtons::YesNo ? DialogAnswer::Yes : DialogAnswer::Ok;
}

void FakeDialogs::endProgram(int status)
{
    endedWith = status;
    throw ProgramEnded{status};
}

bool FakeProcessLauncher::start(const QString &program_, const QStringList &arguments_, QString *error)
{
    program = program_;
    arguments = arguments_;
    if (!succeeds && error)
        *error = QStringLiteral("ファイルがありません");
    return succeeds;
}

FakeEnvironment::FakeEnvironment()
{
    resetHensuu1();
    handoffs() = {};
    env() = {&clock, &random, &sound, &dialogs, &launcher};
}

FakeEnvironment::~FakeEnvironment()
{
    env() = {};
    handoffs() = {};
}

QList<int> pupilsOf(const QByteArray &resultsBytes)
{
    QList<int> pupils;
    for (int n = 1; n <= recordCountOf(resultsBytes); ++n)
        pupils << recordAt(resultsBytes, n).pupil;
    return pupils;
}

TestClassroom::TestClassroom()
{
    QDir(root()).mkpath("ranvex");
    QDir(root()).mkpath("shared/ranvex");
    QDir(root()).mkpath("shared/音フォルダ");
}

void TestClassroom::writeBytes(const QString &path, const QByteArray &bytes) const
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

void TestClassroom::writeText(const QString &path, const QString &text) const
{
    QString crlf = text;
    crlf.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    writeBytes(path, encodeCp932(crlf));
}

QByteArray TestClassroom::readBytes(const QString &path) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void TestClassroom::writeConfiguration() const
{
    writeText(root() + "/パスデータ.txt", "\"" + sharedFolder() + "\",0,0,0,0,0,0,0,0,0\n");
    writeText(sharedFolder() + "共通データ.txt", "4,\"12345本町教室\",1,0,0,0,0,0,0,0\n");
    writeText(dataFolder() + "タイム回数データ.txt",
              "目標Time,最低Time,ｸﾘｱﾎﾟｲﾝﾄ,ｸﾘｱ回数,ﾎﾟｲﾝﾄ倍率,禁回,禁点,判期間,禁期間,,,\n"
              "60,120,300,10,1,30,1500,7,1,,,\n"
              "90,150,300,10,1.5,30,1500,7,1,,,\n"
              "120,200,300,10,2,30,1500,7,1,,,\n");
}

void TestClassroom::loadConfiguration() const
{
    writeConfiguration();
    FillLevelCatalogue();
    const auto previous = handoffs().loadCriteriaTable;
    handoffs().loadCriteriaTable = LoadCriteriaTable;
    const auto problem = LoadStartupConfiguration(programFolder());
    handoffs().loadCriteriaTable = previous;
    QVERIFY2(!problem, problem ? qPrintable(problem->message()) : "");
}

void startWithoutConsole(QProcess &process, const QString &program, const QStringList &arguments)
{
#ifdef Q_OS_WIN
    process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments *created) {
        created->flags = (created->flags & ~DWORD(CREATE_NO_WINDOW)) | DETACHED_PROCESS;
    });
#endif
    process.start(program, arguments);
}

void chooseAccessibly(QAbstractButton *option)
{
    QAccessibleInterface *button = QAccessible::queryAccessibleInterface(option);
    if (!button || !button->actionInterface())
        qFatal("the option button offers no accessible action");
    button->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
}

ResultsFileOpens::ResultsFileOpens()
{
    fileFaultHook() = [this](FileStep step, const QString &path) {
        if (step == FileStep::Open && path.endsWith(QString::fromUtf8(kResultsFileName)))
            ++count;
        return 0;
    };
}

ResultsFileOpens::~ResultsFileOpens()
{
    fileFaultHook() = nullptr;
}
