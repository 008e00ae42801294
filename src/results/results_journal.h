// The rollback journal of the results file. A change, deletion or restore rewrites
// records in place while other PCs append; the journal beside the file holds what is
// needed to finish or undo the rewrite, so that a program killed part way, a PC
// switched off or a share dropped between two writes never leaves a half-rewritten
// file: the next writer that takes the lock (an append on any PC, an edit, a delete,
// ranvex-data check) puts it right before its own work.
//
// The school's older program on other PCs knows no journal and only appends; its
// records therefore always stand after the part being rewritten, and recovery keeps
// them there.
#pragma once

#include "results/shared_file.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

inline constexpr auto kResultsJournalFileName = "成績累積データ修正中.dat";
// What the next writers mended, for the results editor to tell the teacher.
inline constexpr auto kMendNotesFileName = "成績累積データ修復記録.txt";

enum class RewriteKind : quint32 { Change = 1, Delete = 2, Restore = 3 };

// What recovery did with a rewrite an earlier writer left unfinished.
struct Mend {
    enum class Outcome { None, Finished, Undone, Stuck };
    Outcome outcome = Outcome::None;
    QString text; // what was interrupted and what was done, for the teacher
};

// The journal beside the results file at resultsPath.
QString journalPathFor(const QString &resultsPath);

// Under the writers' lock on file (the results file at path, opened for writing, whose
// whole contents are contents): makes the file contents[0, offset) + replacement +
// contents[end, ...), writing the journal first and removing it last. end is either
// the end of the last whole record, or offset + replacement.size() (a record rewritten
// where it stands, keeping anything after the last whole record). When a step fails the
// file is put right at once while the lock is still held; only when that fails too does
// the journal stay for the next writer.
IoStatus rewriteResults(SharedFile &file, const QString &path, const QByteArray &contents, qint64 offset,
                        qint64 end, const QByteArray &replacement, RewriteKind kind, int record);

// Under the writers' lock: finds a journal (or the temporary copy an earlier Ranvex left
// behind) and finishes or undoes its rewrite, so that the file holds the records from
// before it, with the rewrite made wholly or not at all, followed by every record
// appended since. Stuck, with the reason, when the journal does not fit the file or the
// file cannot be written: the journal then stays.
Mend recoverResults(SharedFile &file, const QString &path);
// recoverResults, leaving a note of a mend for the teacher.
Mend recoverResultsWithNote(SharedFile &file, const QString &path);

// Opens the results file, takes the lock (waiting while another PC holds it) and
// recovers, leaving a note of a mend. A missing file has nothing to mend; one that
// cannot be opened for writing is left as it is.
Mend mendResultsFile(const QString &path);

// The notes of mends left beside the results file at path, oldest first, removed once
// read: each is told to the teacher once.
QStringList takeMendNotes(const QString &resultsPath);
