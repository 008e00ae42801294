// The places where one subsystem hands the run to another that the core library
// cannot link to directly (the screens live in libraries built on top of it). The
// programs' main functions connect them; an unconnected hand-off does nothing.
#pragma once

#include <QString>

#include <functional>

struct Handoffs {
    // Reads the criteria table at the given path; returns an empty text on success,
    // otherwise what is wrong with the file.
    std::function<QString(const QString &path)> loadCriteriaTable;
    std::function<void()> loadSoundTable;
    // Once the configuration is read: appends the drills kept on this PC while the
    // results file could not be written, when it can be now.
    std::function<void()> deliverKeptResults;
    std::function<void()> showNameSelection;
    std::function<void()> showLevelMenu;
    // Starts a drill of currentLevel for currentPupil (the drill screen).
    std::function<void()> startDrill;
    // The drill run has ended (the set completed or the time ran out): record it and
    // show the end screen.
    std::function<void()> finishDrill;
    // The teacher's editors, opened from the level menu's maintenance panel: the
    // results editor (FrmData) and the pass-criteria editor (FrmTimeData). Each
    // replaces the level menu and opens a new one when left.
    std::function<void()> showResultsEditor;
    std::function<void()> showCriteriaEditor;
};

Handoffs &handoffs();
