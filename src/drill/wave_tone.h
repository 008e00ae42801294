// Sounds of our own: short tones as PCM wave files, for the demo classroom and tests.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

struct Tone {
    double frequencyHz = 440; // 0 is a pause
    int milliseconds = 150;
};

// A 16-bit mono PCM wave (RIFF) of the tones played one after another, each with a
// short fade in and out so that it does not click.
QByteArray toneWave(const QList<Tone> &tones, int sampleRate = 22050);

// Writes toneWave(tones) to path; false when the file cannot be written.
bool writeToneWave(const QString &path, const QList<Tone> &tones);
