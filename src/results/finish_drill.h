// The end of a drill run: the attempt's time is fixed, the attempt recorded and
// judged against the best times, and after a pause the end screen replaces the
// drill screen.
#pragma once

// Runs once per run, however often the answer judging and the drill clock call it.
// A practice level is not recorded and goes back to the level menu.
void FinishDrill();

// Records the attempt of currentPupil with attemptTime on the given level and sets
// targetCleared and newRecordFlags, lowering the best times the last scan found.
void RecordAndJudgeAttempt(int level);

// Waits the given seconds in 10 ms steps of the monotonic clock, the user interface
// responsive, then replaces the drill screen by the end screen.
void WaitThenShowResult(double seconds);
