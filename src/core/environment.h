// The seams between Ranvex and the machine it runs on. The program wires the real
// implementations in main.cpp; tests install fakes.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <cstdint>

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;
    // Seconds since midnight, with fraction.
    virtual double timeOfDay() const = 0;
    // A millisecond counter that never goes back, whatever the wall clock does.
    virtual int64_t monotonicMs() const = 0;
};

class Random {
public:
    virtual ~Random() = default;
    virtual void seed(double value) = 0;
    // Uniform in [0, 1).
    virtual double next() = 0;
};

struct SoundResult {
    int code = 0; // 0 when the sound played to its end
    QString error;
};

class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    // Plays one wave file to its end; the user interface keeps repainting meanwhile.
    virtual SoundResult play(const QString &waveFile) = 0;
};

enum class DialogButtons { Ok, OkCancel, YesNo };
enum class DialogAnswer { Ok, Cancel, Yes, No };

class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual DialogAnswer message(const QString &text, const QString &title = {},
                                 DialogButtons buttons = DialogButtons::Ok) = 0;
    // Ends the program. The real one does not return; a test double records the
    // status and throws ProgramEnded so that nothing after it runs.
    virtual void endProgram(int status) = 0;
    // True when message() itself already leaves its text on standard error.
    virtual bool echoesToStandardError() const { return false; }
};

class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // Starts a program without waiting for it. False, with the reason, when it could not start.
    virtual bool start(const QString &program, const QStringList &arguments, QString *error) = 0;
};

struct Environment {
    Clock *clock = nullptr;
    Random *random = nullptr;
    SoundOutput *sound = nullptr;
    Dialogs *dialogs = nullptr;
    ProcessLauncher *launcher = nullptr;
};

Environment &env();

// Thrown by test doubles of Dialogs::endProgram.
struct ProgramEnded {
    int status;
};

// Shows a message box, writes the same text to standard error, and ends the program.
void endWithMessage(const QString &text, const QString &title, int status = 1);

// Waits the given time while the user interface goes on handling events (a local
// event loop ended by a timer): no busy loop, no sleep on the user-interface thread.
void waitResponsive(int milliseconds);

// The present moment as an OLE Automation date (days since 1899-12-30 with the time of
// day as fraction), read from the environment's clock.
double nowAsOleDate();
double oleDateOf(const QDate &date);

// The calendar's OLE dates run from 100-01-01 to the end of 9999-12-31.
inline constexpr double kOleFirstDay = -657434;
inline constexpr double kOleDayAfterLast = 2958466;
// Whether a date or time of day read from a file is a finite value the calendar holds:
// NaN, Inf and 1e300 are not.
inline bool oleInCalendar(double value)
{
    return value >= kOleFirstDay && value < kOleDayAfterLast;
}
// The calendar date of an OLE date; an invalid QDate outside the calendar.
QDate dateOfOle(double oleDate);
// The time of day an OLE date's fraction stands for, rounded to the nearest second
// (0..86399; a fraction that rounds up to midnight stays at 23:59:59).
int oleTimeSeconds(double oleDate);
