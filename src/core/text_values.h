// Reading the school's text files: code page 932 text holding values separated by
// commas or line ends, a value optionally in double quotes.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

#include <cmath>
#include <limits>

// The lenient number conversion used for every numeric value in the text files:
// leading spaces are skipped, reading stops at the first character that cannot
// continue a number, and text without digits gives 0 (" 12abc" is 12, "-3.5e" is -3.5).
double lenientNumber(QStringView text);

// Without leading and trailing half-width spaces; a full-width space (U+3000), as names
// are padded with, stays.
QString trimHalfWidth(const QString &text);

// Fixed columns of the lists, for a font in which a full-width character takes two
// half-width cells. A number right-aligned: spaces put before the text and its last
// width characters kept (a longer text loses its first characters).
inline QString rightAligned(const QString &text, int width)
{
    return (QString(width, u' ') + text).right(width);
}
// A name left-aligned: the given number of full-width spaces appended, the first width
// characters kept.
inline QString fullWidthPadded(const QString &text, int spaces, int width)
{
    return (text + QString(spaces, QChar(0x3000))).left(width);
}
// A whole number as the lists have always written it: a space where a minus sign
// would stand for a value that is not negative (" 45", "-3").
inline QString signSpacedNumber(qint64 value)
{
    return value < 0 ? QString::number(value) : u' ' + QString::number(value);
}

// A number read from a shared file as an integer of type Int: its whole part, held to
// Int's range, and 0 for NaN. Every double from a file passes here before it becomes
// an integer, since 1e300 or Inf cannot be converted.
template <typename Int> Int clampedTo(double value)
{
    if (std::isnan(value))
        return 0;
    if (value <= static_cast<double>(std::numeric_limits<Int>::min()))
        return std::numeric_limits<Int>::min();
    if (value >= static_cast<double>(std::numeric_limits<Int>::max()))
        return std::numeric_limits<Int>::max();
    return static_cast<Int>(value);
}

// A single-precision value as text, in the fewest digits that read back as the same
// single: a multiplier of 1.1 reads "1.1", not its double widening "1.10000002384186",
// and a value that needs eight or nine digits keeps them, so that saving a table never
// changes it.
QString singleText(float value);

// A double-precision value as text with its fifteen digits; whole values without a
// decimal point.
inline QString doubleText(double value)
{
    return QString::number(value, 'g', 15);
}

// A field kept as it was read: a number when its text is a number, an empty value
// when the field is empty, otherwise text. Used as a number, an empty value is 0.
struct LooseValue {
    enum class Kind { Empty, Number, Text };
    Kind kind = Kind::Empty;
    QString text;

    static LooseValue fromField(const QString &text, bool quoted = false);
    double number() const;
    bool isEmpty() const { return kind == Kind::Empty; }
    bool operator==(const LooseValue &) const = default;
};

class TextValueReader
{
public:
    struct Value {
        QString text;
        bool quoted = false;
    };

    explicit TextValueReader(QString text);

    // True when no value is left: only blanks and line ends remain, and the last
    // value did not end in a comma (a comma is always followed by a value, perhaps empty).
    bool atEnd() const;
    // The next value; at the end of the text an empty value.
    Value next();
    QString nextText() { return next().text; }
    double nextNumber() { return lenientNumber(next().text); }

private:
    void skipBlanks();
    void finishValue();

    QString m_text;
    qsizetype m_pos = 0;
    bool m_valuePending = false;
};

QString decodeCp932(const QByteArray &bytes);
QByteArray encodeCp932(const QString &text);
// Whether code page 932 has a character for every character of text.
bool cp932Holds(const QString &text);
// The 1-based lines of the bytes that hold a sequence code page 932 has no character
// for (decoded as U+001A or U+FFFD, or a lead byte dropped at the end).
QList<int> invalidCp932Lines(const QByteArray &bytes);

enum class FileReadStatus { Ok, Missing, Unreadable };

struct TextFileContents {
    FileReadStatus status = FileReadStatus::Ok;
    QString text;
    QString error; // the system's description when the file could not be read
};

// Reads a whole code page 932 file with one read.
TextFileContents readCp932File(const QString &path);
// Writes text as the whole of a code page 932 file with CR LF line ends, by way of a
// temporary copy put in its place, so that no reader sees half of it. Returns an empty
// text, or what went wrong, naming the file.
QString writeCp932File(const QString &path, const QString &text);
