// Sound feedback: the sound list "新音ファイル.txt" of the shared sound folder names,
// for each kind of sound, the wave files one is picked from at random.
#pragma once

#include <QString>

inline constexpr auto kSoundListFileName = "新音ファイル.txt";

// Fills soundTable from soundFolder + "新音ファイル.txt". A missing or unreadable list
// ends the program with a message naming the file, like any configuration file.
void LoadSoundTable();
// Fills soundTable from the text of a sound list: groups of a kind's name, at most 19
// base names of wave files and "*"; anything outside a group is skipped.
void fillSoundTable(const QString &soundList);

// Each returns when the sound has finished; the window keeps repainting meanwhile.
void PlayCorrectSound();      // a file of kind 2; failures counted
void PlayWrongSound();        // a file of kind 4; failures counted
void PlayWarningSound();      // "警告1.wav"
void PlayPersonalBestSound(); // a file of kind 8
void PlayFailSound();         // a file of kind 10
void PlayBestOfAllSound();    // "最高1.wav"
void PlayPassSound();         // "合格.wav"
