// The comma-separated value reader under the path file, the common data file and the
// sound list. Whatever the bytes: the reader ends, no value holds a delimiter it was
// cut at, every number read is finite, and each file's reader either takes its values
// or names the one missing.
#include "core/hensuu1.h"
#include "core/startup.h"
#include "core/text_values.h"
#include "drill/sounds.h"
#include "fuzz_support.h"

#include <cmath>

namespace
{
bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// The number of values the reader finds, each checked on the way.
qsizetype checkedValueCount(const QString &text)
{
    // A value ends at a delimiter, so there cannot be more of them than delimiters + 1.
    const qsizetype most = text.count(u',') + text.count(u'\n') + text.count(u'\r') + 1;
    TextValueReader reader(text);
    qsizetype count = 0;
    while (!reader.atEnd()) {
        const TextValueReader::Value value = reader.next();
        ++count;
        FUZZ_REQUIRE(count <= most, QStringLiteral("%1 values from %2 delimiters").arg(count).arg(most - 1));
        FUZZ_REQUIRE(value.text.size() <= text.size(), value.text);
        if (!value.quoted) {
            FUZZ_REQUIRE(!value.text.contains(u',') && !value.text.contains(u'\n') &&
                             !value.text.contains(u'\r'),
                         value.text);
            FUZZ_REQUIRE(value.text.isEmpty() ||
                             (!isBlank(value.text.front()) && !isBlank(value.text.back())),
                         value.text);
        }
        FUZZ_REQUIRE(std::isfinite(lenientNumber(value.text)), value.text);
    }
    return count;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzEnvironment &fuzz = fuzzEnvironment();
    const QByteArray bytes = fuzzBytes(data, size);
    const QString text = decodeCp932(bytes);
    const qsizetype values = checkedValueCount(text);
    constexpr int kValuesPerFile = 10;

    // The path file: ten values, the first the shared folder.
    Hensuu1 &h = hensuu1();
    fuzz.classroom.write(fuzz.classroom.root() + u'/' + QString::fromUtf8(kPathFileName), bytes);
    const auto pathProblem = LoadPathFile(fuzz.classroom.programFolder());
    if (values < kValuesPerFile)
        FUZZ_REQUIRE(pathProblem, QStringLiteral("%1 values taken as a path file").arg(values));
    else
        FUZZ_REQUIRE(!pathProblem || h.dataPathSetting.isEmpty(), pathProblem->what);

    // The common data file: ten values, the second split into code and name.
    h.dataPathSetting = fuzz.classroom.shared();
    fuzz.classroom.write(fuzz.classroom.shared() + QString::fromUtf8(kCommonDataFileName), bytes);
    const auto commonProblem = LoadCommonData();
    FUZZ_REQUIRE(bool(commonProblem) == (values < kValuesPerFile),
                 commonProblem ? commonProblem->what : QStringLiteral("%1 values read").arg(values));
    if (!commonProblem) {
        FUZZ_REQUIRE(h.schoolCode.size() <= 5, h.schoolCode);
        FUZZ_REQUIRE(std::isfinite(h.schoolYearStartMonth) && std::isfinite(h.listStatusTwoPupils),
                     QString::number(h.schoolYearStartMonth));
    }

    // The sound list: each kind keeps at most 19 files and says how many.
    h.soundTable = {};
    fillSoundTable(text);
    for (int kind = 1; kind < static_cast<int>(h.soundTable.size()); ++kind) {
        const QString &count = h.soundTable[kind][21];
        bool number = false;
        const int files = count.toInt(&number);
        FUZZ_REQUIRE(count.isEmpty() || (number && files >= 0 && files <= 19), count);
    }
    return 0;
}
