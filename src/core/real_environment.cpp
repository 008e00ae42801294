#include "core/real_environment.h"

#include "core/paths.h"
#include "core/screen_host.h"
#include "platform/platform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTime>

#include <cstdio>
#include <cstdlib>

QDate SystemClock::today() const
{
    return QDate::currentDate();
}

double SystemClock::timeOfDay() const
{
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

void SystemRandom::seed(double value)
{
    m_engine.seed(static_cast<std::mt19937::result_type>(value * 1000.0));
}

double SystemRandom::next()
{
    return m_uniform(m_engine);
}

DialogAnswer WidgetDialogs::message(const QString &text, const QString &title, DialogButtons buttons)
{
    // Centred on the program's window, in its scale, when none of its windows is active.
    QMessageBox box(QApplication::activeWindow() ? QApplication::activeWindow() : &ScreenHost::instance());
    box.setWindowTitle(title.isEmpty() ? QStringLiteral("Ranvex") : title);
    box.setText(text);
    switch (buttons) {
    case DialogButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case DialogButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case DialogButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    }
    // In Japanese, as the Windows message boxes of the classroom PCs read, whatever
    // translations Qt finds.
    const std::pair<QMessageBox::StandardButton, const char *> captions[] = {
        {QMessageBox::Cancel, "キャンセル"}, {QMessageBox::Yes, "はい"}, {QMessageBox::No, "いいえ"}};
    for (const auto &[button, caption] : captions) {
        if (QAbstractButton *shown = box.button(button))
            shown->setText(QString::fromUtf8(caption));
    }
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return DialogAnswer::Cancel;
    case QMessageBox::Yes:
        return DialogAnswer::Yes;
    case QMessageBox::No:
        return DialogAnswer::No;
    default:
        return DialogAnswer::Ok;
    }
}

void leaveAtOnce(int status)
{
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
}

void WidgetDialogs::endProgram(int status)
{
    // Every file procedure has closed its files before it returns, so nothing is lost
    // by leaving at once, as the program always has.
    QApplication::closeAllWindows();
    leaveAtOnce(status);
}

DialogAnswer ConsoleDialogs::message(const QString &text, const QString &title, DialogButtons buttons)
{
    std::fprintf(stderr, "%s%s%s\n", qUtf8Printable(title), title.isEmpty() ? "" : ": ",
                 qUtf8Printable(text));
    switch (buttons) {
    case DialogButtons::Ok:
        return DialogAnswer::Ok;
    case DialogButtons::OkCancel:
        return DialogAnswer::Cancel;
    case DialogButtons::YesNo:
        return DialogAnswer::No;
    }
    return DialogAnswer::Ok;
}

void ConsoleDialogs::endProgram(int status)
{
    std::fflush(stdout);
    std::fflush(stderr);
    std::exit(status);
}

bool DetachedProcessLauncher::start(const QString &program, const QStringList &arguments, QString *error)
{
#ifdef Q_OS_WIN
    const auto nativeArgument = [](const QString &text) { return text.toStdWString(); };
#else
    const auto nativeArgument = [](const QString &text) { return text.toLocal8Bit().toStdString(); };
#endif
    std::vector<platform::NativeString> nativeArguments;
    for (const QString &argument : arguments)
        nativeArguments.push_back(nativeArgument(argument));
    const platform::Error failed = platform::startDetached(systemPath(program), nativeArguments);
    if (failed == 0)
        return true;
    if (error) {
        switch (platform::outcomeOf(platform::Step::Open, failed)) {
        case platform::Outcome::Missing:
            *error = QStringLiteral("ファイルがありません");
            break;
        case platform::Outcome::Denied:
            *error = QStringLiteral("実行できません");
            break;
        default:
            *error = QStringLiteral("起動できません（%1）")
                         .arg(QString::fromStdString(platform::errorText(failed)));
        }
    }
    return false;
}
