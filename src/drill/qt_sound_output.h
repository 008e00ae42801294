// Plays wave files through Qt Multimedia on the platform's audio server (PulseAudio
// on Linux), one at a time and to their end. The caller waits in a local event loop,
// so the window repaints and the timers tick; it never waits longer than the file's
// length and a margin, whatever the audio server does.
#pragma once

#include "core/environment.h"

#include <QByteArray>

#include <optional>

// Failure codes, numbered as the Windows media control interface numbers the same
// failures, so that a code a teacher notes down means what it meant on older PCs.
inline constexpr int kSoundHardwareError = 262;  // no audio output to play on
inline constexpr int kSoundDeviceNotReady = 276; // the output never reported the end
inline constexpr int kSoundFileNotFound = 275;
inline constexpr int kSoundInvalidFile = 296; // not a wave file that can be played

// The playing time of a RIFF wave file, from its format and data chunks; nothing when
// the bytes are not a PCM wave that can be played.
std::optional<int> waveDurationMs(const QByteArray &bytes);

class QtSoundOutput : public SoundOutput {
public:
    // How long past the file's own length the output may take to report the end: the
    // audio server's own buffering counts in it (a null sink holds two seconds).
    static constexpr int kEndMarginMs = 3000;

    SoundResult play(const QString &waveFile) override;
};
