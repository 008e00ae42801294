#include "core/text_values.h"

#include <QTest>

#include <climits>
#include <limits>

class TestTextValues : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsValues_data();
    void readsValues();
    void lenientNumber_data();
    void lenientNumber();
    void looseValueKind_data();
    void looseValueKind();
    void codePage932RoundTrip();
    void invalidCodePage932Lines_data();
    void invalidCodePage932Lines();
    void fileNumbersAsIntegers_data();
    void fileNumbersAsIntegers();
    void singleTextReadsBackAsTheSameSingle_data();
    void singleTextReadsBackAsTheSameSingle();
};

void TestTextValues::readsValues_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("values");
    QTest::newRow("commas") << "a,b,c" << QStringList{"a", "b", "c"};
    QTest::newRow("line ends CR LF") << "a\r\nb\r\n" << QStringList{"a", "b"};
    QTest::newRow("line ends LF") << "a\nb\n" << QStringList{"a", "b"};
    QTest::newRow("spaces trimmed") << "  a b  ,\t c " << QStringList{"a b", "c"};
    QTest::newRow("full-width space kept") << "　名前　,x" << QStringList{"　名前　", "x"};
    QTest::newRow("quoted with comma") << "\"a,b\",c" << QStringList{"a,b", "c"};
    QTest::newRow("quoted keeps spaces") << "\" a \",b" << QStringList{" a ", "b"};
    QTest::newRow("text after closing quote dropped") << "\"a\"xy,b" << QStringList{"a", "b"};
    QTest::newRow("empty values") << "a,,b,\r\n" << QStringList{"a", "", "b", ""};
    QTest::newRow("trailing commas of caption line") << "x,,,\r\n1" << QStringList{"x", "", "", "", "1"};
    QTest::newRow("unclosed quote runs to end") << "\"abc" << QStringList{"abc"};
    QTest::newRow("blank line is one empty value") << "a\r\n\r\nb" << QStringList{"a", "", "b"};
    QTest::newRow("comma at the very end") << "a,b," << QStringList{"a", "b", ""};
    QTest::newRow("blank lines at the end hold nothing") << "a\r\n\r\n \r\n" << QStringList{"a"};
}

void TestTextValues::readsValues()
{
    QFETCH(QString, text);
    QFETCH(QStringList, values);
    TextValueReader reader(text);
    QStringList read;
    while (!reader.atEnd())
        read << reader.nextText();
    QCOMPARE(read, values);
}

void TestTextValues::lenientNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("plain") << "42" << 42.0;
    QTest::newRow("leading spaces, trailing text") << " 12abc" << 12.0;
    QTest::newRow("dangling exponent") << "-3.5e" << -3.5;
    QTest::newRow("exponent") << "1.5e2" << 150.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("no digits") << "abc" << 0.0;
    QTest::newRow("sign only") << "-" << 0.0;
    QTest::newRow("fraction without integer part") << ".5" << 0.5;
    QTest::newRow("plus sign") << "+7" << 7.0;
    QTest::newRow("stops at second point") << "1.2.3" << 1.2;
    QTest::newRow("space inside stops") << "12 34" << 12.0;
    QTest::newRow("full-width digits are not digits") << "１２" << 0.0;
}

void TestTextValues::lenientNumber()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(::lenientNumber(text), value);
}

void TestTextValues::looseValueKind_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("quoted");
    QTest::addColumn<int>("kind");
    QTest::addColumn<double>("number");
    QTest::newRow("empty") << "" << false << int(LooseValue::Kind::Empty) << 0.0;
    QTest::newRow("number") << "1.5" << false << int(LooseValue::Kind::Number) << 1.5;
    QTest::newRow("text") << "禁回" << false << int(LooseValue::Kind::Text) << 0.0;
    QTest::newRow("number with text") << "7日" << false << int(LooseValue::Kind::Text) << 7.0;
    QTest::newRow("quoted number is text") << "3" << true << int(LooseValue::Kind::Text) << 3.0;
}

void TestTextValues::looseValueKind()
{
    QFETCH(QString, text);
    QFETCH(bool, quoted);
    QFETCH(int, kind);
    QFETCH(double, number);
    const LooseValue value = LooseValue::fromField(text, quoted);
    QCOMPARE(int(value.kind), kind);
    QCOMPARE(value.number(), number);
    QCOMPARE(value.text, text);
}

void TestTextValues::codePage932RoundTrip()
{
    // Every character the drill, the lists and the files use, with the bytes Windows
    // writes for the ones where code page 932 and plain Shift_JIS differ.
    const QString text = QStringLiteral("＋－×÷（）{}[]()０１２３４５６７８９レベル練習講師全学年小学生中学生"
                                        "家族　～①ｸﾘｱﾎﾟｲﾝﾄ目標Time合格やりすぎ禁止禁回判期間倍率最低音フォルダ記録なし"
                                        "ﾊﾞｰｼﾞｮﾝ情報先生を呼びなさい幼小１小６中３高成績累積データ新名簿共通パス");
    QCOMPARE(decodeCp932(encodeCp932(text)), text);
    QCOMPARE(encodeCp932(QStringLiteral("－")), QByteArray("\x81\x7c"));
    QCOMPARE(encodeCp932(QStringLiteral("～")), QByteArray("\x81\x60"));
    QCOMPARE(encodeCp932(QStringLiteral("①")), QByteArray("\x87\x40"));
    QCOMPARE(decodeCp932(QByteArray("\x81\x7c")), QStringLiteral("－"));
    QCOMPARE(decodeCp932(QByteArray("\x81\x60")), QStringLiteral("～"));
    QCOMPARE(decodeCp932(QByteArray("\xb8\xd8")), QStringLiteral("ｸﾘ"));
}

void TestTextValues::invalidCodePage932Lines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<int>>("lines");
    QTest::newRow("valid text") << encodeCp932(QStringLiteral("青木,ｸﾘｱ,①\r\n２行目\r\n")) << QList<int>{};
    QTest::newRow("a lead byte before a space") << QByteArray("a\r\nb\x81 c\r\nd\r\n") << QList<int>{2};
    QTest::newRow("a lead byte before the line end") << QByteArray("x\x81\r\ny\x81\r\n") << QList<int>{1, 2};
    QTest::newRow("a single byte without character") << QByteArray("ok\nok\n\xa0") << QList<int>{3};
    QTest::newRow("a pair without character") << QByteArray("\x85\x40") << QList<int>{1};
    QTest::newRow("a lead byte at the very end") << QByteArray("ok\nab\x81") << QList<int>{2};
    // 0x7F reads as U+001A as well, but is a character of the code page.
    QTest::newRow("0x7F is valid") << QByteArray("a\x7f") << QList<int>{};
}

void TestTextValues::invalidCodePage932Lines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<int>, lines);
    QCOMPARE(invalidCp932Lines(bytes), lines);
}

void TestTextValues::fileNumbersAsIntegers_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("asInt");
    QTest::addColumn<int>("asInt16");
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("whole") << 12.0 << 12 << 12;
    QTest::newRow("fraction truncated") << -2.7 << -2 << -2;
    QTest::newRow("above 16 bits") << 40000.0 << 40000 << 32767;
    QTest::newRow("9e99") << 9e99 << INT_MAX << 32767;
    QTest::newRow("-1e300") << -1e300 << INT_MIN << -32768;
    QTest::newRow("Inf") << inf << INT_MAX << 32767;
    QTest::newRow("-Inf") << -inf << INT_MIN << -32768;
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << 0 << 0;
}

void TestTextValues::fileNumbersAsIntegers()
{
    QFETCH(double, value);
    QFETCH(int, asInt);
    QFETCH(int, asInt16);
    QCOMPARE(clampedTo<int>(value), asInt);
    QCOMPARE(int(clampedTo<int16_t>(value)), asInt16);
}

void TestTextValues::singleTextReadsBackAsTheSameSingle_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("1.1") << 1.1f << "1.1";
    QTest::newRow("whole") << 2.0f << "2";
    QTest::newRow("needs eight digits") << 1.0000001f << "1.0000001";
    QTest::newRow("largest single") << std::numeric_limits<float>::max() << "3.4028235e+38";
    QTest::newRow("negative") << -0.25f << "-0.25";
}

void TestTextValues::singleTextReadsBackAsTheSameSingle()
{
    QFETCH(float, value);
    QFETCH(QString, text);
    QCOMPARE(singleText(value), text);
    QCOMPARE(static_cast<float>(::lenientNumber(text)), value);
}

QTEST_APPLESS_MAIN(TestTextValues)
#include "test_text_values.moc"
