// The per-pupil statistics: every count, point sum and best time the screens show is
// derived afresh from the results file, which keeps no totals of its own.
#pragma once

#include <QByteArray>

// At most this many of the file's last records are looked at.
inline constexpr int kCachedRecords = 20000;

// Refills the eight per-level, per-pupil tables (counts and points of all time, of the
// pass-judgement and overuse periods, and of today) from the results file, by way of
// LoadResultsFile. "Now" and "today" come from the environment's clock.
void ComputePupilStatistics();

// Reads the results file into the per-record cache and fills bestTime and bestTimeAll.
// Waits and retries while the file is held by another PC or cannot be found; ends the
// program with a message when it stays missing or cannot be read.
void LoadResultsFile();

// The steps of the scan around the file read, for callers that already hold the
// file's bytes (the benchmark compares ways of reading them).
// Every figure of levels 1..35 and pupils 1..5000 to 0, every best time to 99999.
void clearPupilFigures();
// The cache, bestTime and bestTimeAll from the bytes, as LoadResultsFile fills them.
void fillRecordCache(const QByteArray &bytes);
// The eight figures from the cache, as ComputePupilStatistics fills them.
void tallyPupilStatistics();
