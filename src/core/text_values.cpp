#include "core/text_values.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <charconv>

namespace
{
bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}
bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}
bool isLineEnd(QChar c)
{
    return c == u'\r' || c == u'\n';
}
constexpr auto kCodePage932 = "windows-31j";
} // namespace

double lenientNumber(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isBlank(text[i]))
        ++i;
    const qsizetype start = i;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    bool digits = false;
    while (i < n && isDigit(text[i])) {
        ++i;
        digits = true;
    }
    if (i < n && text[i] == u'.') {
        ++i;
        while (i < n && isDigit(text[i])) {
            ++i;
            digits = true;
        }
    }
    if (!digits)
        return 0;
    qsizetype end = i;
    if (i < n && (text[i] == u'e' || text[i] == u'E' || text[i] == u'd' || text[i] == u'D')) {
        qsizetype j = i + 1;
        if (j < n && (text[j] == u'+' || text[j] == u'-'))
            ++j;
        if (j < n && isDigit(text[j])) {
            while (j < n && isDigit(text[j]))
                ++j;
            end = j;
        }
    }
    QString number = text.mid(start, end - start).toString();
    number.replace(u'd', u'e').replace(u'D', u'e');
    bool ok = false;
    const double value = number.toDouble(&ok);
    return ok ? value : 0;
}

QString trimHalfWidth(const QString &text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text[start] == u' ')
        ++start;
    while (end > start && text[end - 1] == u' ')
        --end;
    return text.mid(start, end - start);
}

LooseValue LooseValue::fromField(const QString &text, bool quoted)
{
    if (text.isEmpty())
        return {Kind::Empty, {}};
    bool isNumber = false;
    if (!quoted)
        text.toDouble(&isNumber);
    return {isNumber ? Kind::Number : Kind::Text, text};
}

double LooseValue::number() const
{
    return kind == Kind::Empty ? 0 : lenientNumber(text);
}

TextValueReader::TextValueReader(QString text) : m_text(std::move(text)) {}

bool TextValueReader::atEnd() const
{
    if (m_valuePending)
        return false;
    // Blank lines after the last value hold no value: a file may end in a few.
    for (qsizetype i = m_pos; i < m_text.size(); ++i) {
        if (!isBlank(m_text[i]) && !isLineEnd(m_text[i]))
            return false;
    }
    return true;
}

void TextValueReader::skipBlanks()
{
    while (m_pos < m_text.size() && isBlank(m_text[m_pos]))
        ++m_pos;
}

// Moves past the delimiter that ends the current value: one comma, or one line end
// (CR LF, LF or CR).
void TextValueReader::finishValue()
{
    if (m_pos >= m_text.size())
        return;
    if (m_text[m_pos] == u',') {
        ++m_pos;
        m_valuePending = true;
        return;
    }
    if (m_text[m_pos] == u'\r') {
        ++m_pos;
        if (m_pos < m_text.size() && m_text[m_pos] == u'\n')
            ++m_pos;
        return;
    }
    if (m_text[m_pos] == u'\n')
        ++m_pos;
}

TextValueReader::Value TextValueReader::next()
{
    Value value;
    m_valuePending = false;
    skipBlanks();
    const qsizetype n = m_text.size();
    if (m_pos < n && m_text[m_pos] == u'"') {
        value.quoted = true;
        const qsizetype close = m_text.indexOf(u'"', m_pos + 1);
        const qsizetype end = close < 0 ? n : close;
        value.text = m_text.mid(m_pos + 1, end - m_pos - 1);
        m_pos = close < 0 ? n : close + 1;
        // Anything between the closing quote and the delimiter is not part of the value.
        while (m_pos < n && m_text[m_pos] != u',' && !isLineEnd(m_text[m_pos]))
            ++m_pos;
    } else {
        const qsizetype start = m_pos;
        while (m_pos < n && m_text[m_pos] != u',' && !isLineEnd(m_text[m_pos]))
            ++m_pos;
        // Only half-width blanks are trimmed: a full-width space belongs to the value.
        qsizetype end = m_pos;
        while (end > start && isBlank(m_text[end - 1]))
            --end;
        value.text = m_text.mid(start, end - start);
    }
    finishValue();
    return value;
}

QString singleText(float value)
{
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return QString::fromLatin1(text, end - text);
}

QString decodeCp932(const QByteArray &bytes)
{
    QStringDecoder decoder(kCodePage932);
    return decoder.decode(bytes);
}

QByteArray encodeCp932(const QString &text)
{
    QStringEncoder encoder(kCodePage932);
    return encoder.encode(text);
}

bool cp932Holds(const QString &text)
{
    QStringEncoder encoder(kCodePage932);
    const QByteArray bytes = encoder.encode(text); // encodes only when it becomes bytes
    return !encoder.hasError();
}

QList<int> invalidCp932Lines(const QByteArray &bytes)
{
    // Stateless: a lead byte without its second byte at the end counts as an error too.
    // decode() only converts once its result becomes a QString.
    QStringDecoder whole(kCodePage932, QStringDecoder::Flag::Stateless);
    const QString text = whole.decode(bytes);
    if (!whole.hasError())
        return {};
    // Line by line only when something is wrong. Cutting the bytes at LF is safe: 0x0A
    // is never the second byte of a double-byte character.
    QList<int> lines;
    int number = 0;
    for (const QByteArray &line : bytes.split('\n')) {
        ++number;
        QStringDecoder decoder(kCodePage932, QStringDecoder::Flag::Stateless);
        const QString lineText = decoder.decode(line);
        if (decoder.hasError())
            lines << number;
    }
    return lines;
}

TextFileContents readCp932File(const QString &path)
{
    TextFileContents contents;
    QFile file(path);
    if (!QFileInfo::exists(path)) {
        contents.status = FileReadStatus::Missing;
        return contents;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        contents.status = FileReadStatus::Unreadable;
        contents.error = file.errorString();
        return contents;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        contents.status = FileReadStatus::Unreadable;
        contents.error = file.errorString();
        return contents;
    }
    contents.text = decodeCp932(bytes);
    return contents;
}

QString writeCp932File(const QString &path, const QString &text)
{
    QString crlf = text;
    crlf.replace(u'\n', QStringLiteral("\r\n"));
    const QByteArray bytes = encodeCp932(crlf);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return QStringLiteral("%1: 書けません（%2）").arg(QDir::toNativeSeparators(path), file.errorString());
    return {};
}
