#include "drill/wave_tone.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
void appendLe32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void appendLe16(QByteArray &out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}
} // namespace

QByteArray toneWave(const QList<Tone> &tones, int sampleRate)
{
    QByteArray samples;
    for (const Tone &tone : tones) {
        const int count = sampleRate * tone.milliseconds / 1000;
        const int fade = std::min(count / 4, sampleRate / 100);
        for (int i = 0; i < count; ++i) {
            double envelope = 1.0;
            if (i < fade)
                envelope = double(i) / fade;
            else if (i >= count - fade)
                envelope = double(count - 1 - i) / fade;
            const double value =
                tone.frequencyHz > 0
                    ? 0.5 * envelope * std::sin(2 * std::numbers::pi * tone.frequencyHz * i / sampleRate)
                    : 0.0;
            appendLe16(samples, static_cast<quint16>(static_cast<qint16>(std::lround(value * 32767))));
        }
    }
    QByteArray wave("RIFF");
    appendLe32(wave, 36 + samples.size());
    wave.append("WAVEfmt ");
    appendLe32(wave, 16);
    appendLe16(wave, 1); // PCM
    appendLe16(wave, 1); // mono
    appendLe32(wave, sampleRate);
    appendLe32(wave, sampleRate * 2);
    appendLe16(wave, 2);
    appendLe16(wave, 16);
    wave.append("data");
    appendLe32(wave, samples.size());
    wave.append(samples);
    return wave;
}

bool writeToneWave(const QString &path, const QList<Tone> &tones)
{
    QFile file(path);
    const QByteArray wave = toneWave(tones);
    return file.open(QIODevice::WriteOnly) && file.write(wave) == wave.size();
}
