// The drills this PC finished while the results file could not be written (the share
// dropped, a server restarting, a file that may not be written): kept in the program's
// own folder in the results file's 44-byte format, and appended to the results file,
// in their order and each exactly once, by the next append or start on this PC that
// can write it.
#pragma once

#include "results/results_file.h"
#include "results/shared_file.h"

#include <QByteArray>
#include <QString>

inline constexpr auto kKeptResultsFileName = "成績累積データ未送信.dat";
// Where a delivery under way says how far it got: the results file's length when it
// began, and which kept records it was appending.
inline constexpr auto kKeptDeliveryFileName = "成績累積データ送信中.dat";

// appFolder + "成績累積データ未送信.dat"; empty while no program folder is known.
QString keptResultsPath();

// Adds record after the records kept so far, down to the disk.
IoStatus keepResultOnThisPc(const ResultRecord &record);

// Under the writers' lock on results: appends the kept records after its last whole
// record with one write and empties the PC's file. A delivery that was cut short (a
// crash between the two writes, a write that failed) is finished first without
// appending again what had arrived. lastRecord: the number of the last record
// written, 0 when there was nothing to deliver.
IoStatus deliverKeptResults(SharedFile &results, int &lastRecord);

// The records kept on this PC and not yet delivered (whole records only).
QByteArray keptResultsOnThisPc();
