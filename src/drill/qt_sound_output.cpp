#include "drill/qt_sound_output.h"

#include <QAudioDevice>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMutex>
#include <QSoundEffect>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QtEndian>

#include <memory>

namespace {

constexpr int kLoadTimeoutMs = 5000;

quint32 le32(const QByteArray &bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}
quint16 le16(const QByteArray &bytes, qsizetype at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

SoundResult failure(int code, const QString &text) { return {code, text}; }

SoundResult neverEnded()
{
    return failure(kSoundDeviceNotReady,
                   QStringLiteral("音声の再生が終わりません。出力装置を確かめてください。"));
}

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

std::optional<int> waveDurationMs(const QByteArray &bytes)
{
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return std::nullopt;
    quint32 byteRate = 0;
    quint16 format = 0;
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 size = le32(bytes, at + 4);
        const qsizetype body = at + 8;
        if (id == "fmt " && size >= 16 && body + 16 <= bytes.size()) {
            format = le16(bytes, body);
            byteRate = le32(bytes, body + 8);
        } else if (id == "data") {
            // PCM or IEEE float; anything compressed the output cannot play as it is.
            if ((format != 1 && format != 3 && format != 0xFFFE) || byteRate == 0)
                return std::nullopt;
            const qint64 available = std::min<qint64>(size, bytes.size() - body);
            return static_cast<int>(available * 1000 / byteRate);
        }
        at = body + size + (size & 1);
    }
    return std::nullopt;
}

namespace {

// Loads and plays the file on the thread it is called on, with that thread's own event
// loop, until the sound has ended or its time is up.
SoundResult playToTheEnd(const QString &path, int durationMs)
{
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return failure(kSoundHardwareError, QStringLiteral("音声の出力装置が見つかりません。"));

    QSoundEffect effect(device);
    effect.setSource(QUrl::fromLocalFile(path));
    const auto loaded = [&] {
        return effect.status() == QSoundEffect::Ready || effect.status() == QSoundEffect::Error;
    };
    if (!waitFor(effect, &QSoundEffect::statusChanged, loaded, kLoadTimeoutMs) ||
        effect.status() != QSoundEffect::Ready)
        return failure(kSoundInvalidFile,
                       QStringLiteral("このファイルは再生できません。形式が正しくありません。"));

    QElapsedTimer clock;
    clock.start();
    effect.play();
    bool started = effect.isPlaying();
    const auto ended = [&] {
        started = started || effect.isPlaying();
        return started && !effect.isPlaying();
    };
    if (!waitFor(effect, &QSoundEffect::playingChanged, ended, durationMs + QtSoundOutput::kEndMarginMs)) {
        effect.stop();
        return neverEnded();
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

} // namespace

SoundResult QtSoundOutput::play(const QString &waveFile)
{
    if (!QFileInfo(waveFile).isFile())
        return failure(kSoundFileNotFound,
                       QStringLiteral("指定されたファイルが見つかりません。%1").arg(waveFile));
    QFile file(waveFile);
    if (!file.open(QIODevice::ReadOnly))
        return failure(kSoundInvalidFile, QStringLiteral("ファイルを開けません。%1").arg(file.errorString()));
    const std::optional<int> duration = waveDurationMs(file.readAll());
    file.close();
    if (!duration)
        return failure(kSoundInvalidFile,
                       QStringLiteral("このファイルは再生できません。形式が正しくありません。"));

    // The sound plays on a thread of its own: an audio server that stops answering
    // holds the media calls without end, and the window must go on all the same. Such
    // a thread is left to end by itself whenever the server answers again.
    struct Outcome {
        QMutex mutex;
        std::optional<SoundResult> result;
    };
    const auto outcome = std::make_shared<Outcome>();
    const QString path = QFileInfo(waveFile).absoluteFilePath();
    const int durationMs = *duration;
    QThread *player = QThread::create([outcome, path, durationMs] {
        const SoundResult result = playToTheEnd(path, durationMs);
        const QMutexLocker lock(&outcome->mutex);
        outcome->result = result;
    });
    QObject::connect(player, &QThread::finished, player, &QObject::deleteLater);
    QEventLoop loop;
    QObject::connect(player, &QThread::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(kLoadTimeoutMs + durationMs + kEndMarginMs + 1000, &loop, &QEventLoop::quit);
    player->start();
    loop.exec();
    const QMutexLocker lock(&outcome->mutex);
    return outcome->result.value_or(neverEnded());
}
