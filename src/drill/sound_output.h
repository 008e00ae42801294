// Plays wave files through the system's own audio, one at a time and to their end:
// Qt Multimedia on the platform's audio server (PulseAudio on Linux), the media control
// interface on Windows. The caller waits in a local event loop, so the window repaints
// and the timers tick; it never waits longer than the file's length and a margin,
// whatever the audio system does.
#pragma once

#include "core/environment.h"

#include <QByteArray>

#include <optional>

// Failure codes, numbered as the Windows media control interface numbers the same
// failures, so that a code a teacher notes down means what it meant on older PCs. On
// Windows the interface's own codes and texts are reported.
inline constexpr int kSoundHardwareError = 262;  // no audio output to play on
inline constexpr int kSoundDeviceNotReady = 276; // the output never reported the end
inline constexpr int kSoundFileNotFound = 275;
inline constexpr int kSoundInvalidFile = 296; // not a wave file that can be played

// The playing time of a RIFF wave file, from its format and data chunks; nothing when
// the bytes are not a PCM wave that can be played.
std::optional<int> waveDurationMs(const QByteArray &bytes);

class SystemSoundOutput : public SoundOutput
{
public:
    // How long past the file's own length the output may take to report the end: the
    // audio server's own buffering counts in it (a null sink holds two seconds).
    static constexpr int kEndMarginMs = 3000;
    // How long the audio system may take to open a file before it plays.
    static constexpr int kLoadTimeoutMs = 5000;

    SoundResult play(const QString &waveFile) override;
};

// The audio system's half, one per platform: plays the wave file at path, durationMs
// long, on the calling thread until it has ended or its time is up.
SoundResult playToTheEnd(const QString &path, int durationMs);
// What is reported when the output never says the sound has ended, and for a file the
// audio system cannot play.
SoundResult soundNeverEnded();
SoundResult unplayableWave();
