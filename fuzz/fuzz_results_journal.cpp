// The recovery of a rewrite cut short, from the journal (or an earlier version's copy)
// and the results file as the input gives them: the journal, the file separator line,
// the results file, the separator, the copy (no journal or copy when empty; the two
// are never left together, since no rewrite starts while either is there). Whatever
// the bytes:
// either the rewrite is put right and nothing of it is left beside the file, or, when
// it cannot be (Stuck), the results file is as it was and what told of it stays.
#include "fuzz_support.h"
#include "results/results_file.h"
#include "results/results_journal.h"

#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzEnvironment &fuzz = fuzzEnvironment();
    const QList<QByteArray> parts = splitFuzzInput(data, size, 3);
    const QString path = resultsFilePath();
    const QString journal = journalPathFor(path);
    const QString copy = fuzz.classroom.dataFolder() + QString::fromUtf8(kResultsTempFileName);
    fuzz.classroom.write(path, parts[1]);
    QFile::remove(journal);
    QFile::remove(copy);
    if (!parts[0].isEmpty())
        fuzz.classroom.write(journal, parts[0]);
    else if (!parts[2].isEmpty())
        fuzz.classroom.write(copy, parts[2]);

    const Mend mend = mendResultsFile(path);
    takeMendNotes(path);
    const bool left = QFile::exists(journal) || QFile::exists(copy);
    if (mend.outcome == Mend::Outcome::Stuck) {
        FUZZ_REQUIRE(left, mend.text);
        FUZZ_REQUIRE(FuzzClassroom::read(path) == parts[1], mend.text);
    } else {
        FUZZ_REQUIRE(!left, mend.text);
        FUZZ_REQUIRE(!mend.text.isEmpty() || (parts[0].isEmpty() && parts[2].size() < 44),
                     QString::number(int(mend.outcome)));
    }
    QFile::remove(journal);
    QFile::remove(copy);
    return 0;
}
