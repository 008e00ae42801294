// The real implementations of the seams, wired by the programs' main functions.
#pragma once

#include "core/environment.h"

#include <QElapsedTimer>

#include <random>

class SystemClock : public Clock {
public:
    SystemClock() { m_timer.start(); }
    QDate today() const override;
    double timeOfDay() const override;
    int64_t monotonicMs() const override { return m_timer.elapsed(); }

private:
    QElapsedTimer m_timer;
};

class SystemRandom : public Random {
public:
    void seed(double value) override;
    double next() override;

private:
    std::mt19937 m_engine{0};
    std::uniform_real_distribution<double> m_uniform{0.0, 1.0};
};

// Leaves the program at once, its output flushed, without the exit handlers: Qt
// Multimedia's audio engine stops its threads in them, and an event the audio server
// sends meanwhile (the sink going idle after the last sound) can crash it.
[[noreturn]] void leaveAtOnce(int status);

// Message boxes on screen; centred on the active window.
class WidgetDialogs : public Dialogs {
public:
    DialogAnswer message(const QString &text, const QString &title, DialogButtons buttons) override;
    void endProgram(int status) override;
};

// For the command-line tool: messages go to standard error and questions are answered "no".
class ConsoleDialogs : public Dialogs {
public:
    DialogAnswer message(const QString &text, const QString &title, DialogButtons buttons) override;
    void endProgram(int status) override;
    bool echoesToStandardError() const override { return true; }
};

class DetachedProcessLauncher : public ProcessLauncher {
public:
    bool start(const QString &program, const QStringList &arguments, QString *error) override;
};
