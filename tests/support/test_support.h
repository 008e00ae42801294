// Test doubles of the environment seams and a temporary classroom folder, shared
// by every test.
#pragma once

#include "core/environment.h"
#include "core/paths.h"

#include <QByteArray>
#include <QDate>
#include <QDir>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>

class QAbstractButton;
class QProcess;

class FakeClock : public Clock {
public:
    QDate date{2026, 12, 9};
    double seconds = 10 * 3600;
    int64_t monotonic = 1'000'000;

    QDate today() const override { return date; }
    double timeOfDay() const override { return seconds; }
    int64_t monotonicMs() const override { return monotonic; }
    // Moves the wall clock and the monotonic counter on together, across midnight too.
    void advance(double bySeconds);
};

class FakeRandom : public Random {
public:
    QList<double> values; // handed out in turn; 0 once they run out
    double seededWith = -1;

    void seed(double value) override { seededWith = value; }
    double next() override { return values.isEmpty() ? 0.0 : values.takeFirst(); }
};

class FakeSoundOutput : public SoundOutput {
public:
    QStringList played;
    QList<SoundResult> results; // handed out in turn; success once they run out

    SoundResult play(const QString &waveFile) override;
};

class FakeDialogs : public Dialogs {
public:
    struct Message {
        QString text;
        QString title;
        DialogButtons buttons;
    };
    QList<Message> messages;
    QList<DialogAnswer> answers; // handed out in turn; Ok, or Yes for a Yes/No box, once they run out
    int endedWith = -1;

    DialogAnswer message(const QString &text, const QString &title, DialogButtons buttons) override;
    void endProgram(int status) override;
};

class FakeProcessLauncher : public ProcessLauncher {
public:
    QString program;
    QStringList arguments;
    bool succeeds = true;

    bool start(const QString &program, const QStringList &arguments, QString *error) override;
};

// Installs fresh fakes and a fresh shared state for one test, and takes them out again.
struct FakeEnvironment {
    FakeClock clock;
    FakeRandom random;
    FakeSoundOutput sound;
    FakeDialogs dialogs;
    FakeProcessLauncher launcher;

    FakeEnvironment();
    ~FakeEnvironment();
};

// The pupil of every record of a results file's bytes, in record order.
QList<int> pupilsOf(const QByteArray &resultsBytes);

// A classroom in a temporary folder, laid out as on a school PC: the path file next
// to the program folder "ranvex", and the shared base folder "shared/" beside them.
class TestClassroom {
public:
    TestClassroom();

    // The folders as the program names them, with the platform's separator.
    QString root() const { return QDir::toNativeSeparators(m_dir.path()); }
    QString programFolder() const { return root() + pathSeparator() + "ranvex"; }
    // The shared base folder with its final separator, as the path file writes it.
    QString sharedFolder() const { return root() + pathSeparator() + "shared" + pathSeparator(); }
    QString dataFolder() const { return sharedFolder() + "ranvex" + pathSeparator(); }

    // Writes text in code page 932; "\n" becomes CR LF.
    void writeText(const QString &path, const QString &text) const;
    void writeBytes(const QString &path, const QByteArray &bytes) const;
    QByteArray readBytes(const QString &path) const;

    // The path file, common data file and criteria table of a working classroom.
    void writeConfiguration() const;
    // writeConfiguration, then loads it into the shared state as start-up does, with
    // the level catalogue filled: what a screen finds in a working classroom.
    void loadConfiguration() const;

private:
    QTemporaryDir m_dir;
};

// Chooses an option button as a screen reader or a switch device does: through its
// accessible action, which toggles the button without clicking it.
void chooseAccessibly(QAbstractButton *option);

// Starts the program without a console of its own on Windows. Under wine a console
// program that is killed leaves its console host behind, holding the test's output open.
void startWithoutConsole(QProcess &process, const QString &program, const QStringList &arguments);

// Counts the opens of the results file while it lives: each reading of it opens it once.
struct ResultsFileOpens {
    int count = 0;
    ResultsFileOpens();
    ~ResultsFileOpens();
    ResultsFileOpens(const ResultsFileOpens &) = delete;
    ResultsFileOpens &operator=(const ResultsFileOpens &) = delete;
};
