// The results file of a school for the benchmarks: attempts of the last two months up
// to the given day, appended day by day as the PCs record them, spread over 5000
// pupils and the three levels, with the odd time-out.
#pragma once

#include "results/results_file.h"

#include <QByteArray>

inline QByteArray schoolFile(int records, double today)
{
    constexpr int kPupils = 5000;
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(records) * kRecordSize);
    uint32_t state = 1;
    auto next = [&state](uint32_t range) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % range;
    };
    for (int i = 0; i < records; ++i) {
        ResultRecord r;
        r.date = today - 59 + (static_cast<int64_t>(i) * 60) / records;
        r.timeOfDay = (9 * 3600 + (i % 60) * 500) / 86400.0;
        r.pupil = static_cast<int16_t>(1 + next(kPupils));
        r.level = static_cast<int16_t>(1 + next(3));
        r.resultTime = next(20) == 0 ? kTimedOut : static_cast<int32_t>(30 + next(400));
        bytes += r.toBytes();
    }
    return bytes;
}
