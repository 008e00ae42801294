#include "drill/sound_output.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QThread>
#include <QTimer>
#include <QtEndian>

#include <memory>

namespace
{

quint32 le32(const QByteArray &bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}
quint16 le16(const QByteArray &bytes, qsizetype at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

SoundResult failure(int code, const QString &text)
{
    return {code, text};
}

} // namespace

SoundResult soundNeverEnded()
{
    return failure(kSoundDeviceNotReady,
                   QStringLiteral("音声の再生が終わりません。出力装置を確かめてください。"));
}

SoundResult unplayableWave()
{
    return failure(kSoundInvalidFile,
                   QStringLiteral("このファイルは再生できません。形式が正しくありません。"));
}

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

SoundResult SystemSoundOutput::play(const QString &waveFile)
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
        return unplayableWave();

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
    return outcome->result.value_or(soundNeverEnded());
}
