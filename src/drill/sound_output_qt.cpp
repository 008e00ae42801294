// The sound through Qt Multimedia on the platform's audio server (PulseAudio on Linux).
#include "drill/sound_output.h"

#include <QAudioDevice>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

namespace
{

// Runs a local event loop until done() holds or the time runs out; the window keeps
// repainting and the timers keep ticking meanwhile. True when done() came true.
template <typename Signal, typename Done>
bool waitFor(QSoundEffect &effect, Signal signal, Done done, int timeoutMs)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&effect, signal, &loop, [&] {
        if (done())
            loop.quit();
    });
    timeout.start(timeoutMs);
    loop.exec();
    return done();
}

} // namespace

// Loads and plays the file on the thread it is called on, with that thread's own event
// loop, until the sound has ended or its time is up.
SoundResult playToTheEnd(const QString &path, int durationMs)
{
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return {kSoundHardwareError, QStringLiteral("音声の出力装置が見つかりません。")};

    QSoundEffect effect(device);
    effect.setSource(QUrl::fromLocalFile(path));
    const auto loaded = [&] {
        return effect.status() == QSoundEffect::Ready || effect.status() == QSoundEffect::Error;
    };
    if (!waitFor(effect, &QSoundEffect::statusChanged, loaded, SystemSoundOutput::kLoadTimeoutMs) ||
        effect.status() != QSoundEffect::Ready)
        return unplayableWave();

    QElapsedTimer clock;
    clock.start();
    effect.play();
    bool started = effect.isPlaying();
    const auto ended = [&] {
        started = started || effect.isPlaying();
        return started && !effect.isPlaying();
    };
    if (!waitFor(effect, &QSoundEffect::playingChanged, ended,
                 durationMs + SystemSoundOutput::kEndMarginMs)) {
        effect.stop();
        return soundNeverEnded();
    }
    // The output may report the end while the last part still sits in the audio
    // server's buffer; the sound has not ended before its own length has passed.
    for (qint64 left = durationMs - clock.elapsed(); left > 0; left = durationMs - clock.elapsed()) {
        QEventLoop rest;
        QTimer::singleShot(static_cast<int>(left), Qt::PreciseTimer, &rest, &QEventLoop::quit);
        rest.exec();
    }
    return {};
}
