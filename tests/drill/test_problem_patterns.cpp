#include "drill/problem_patterns.h"

#include <QTest>

#include <functional>
#include <optional>

namespace {

// Hands out the draws of a chosen combination of numbers 2..5, and counts them.
class ScriptedDraws : public Random {
public:
    QList<int> numbers;
    int handedOut = 0;

    void seed(double) override {}
    double next() override
    {
        const int n = handedOut < numbers.size() ? numbers[handedOut] : 2;
        ++handedOut;
        return (n - 2) / 4.0 + 0.1;
    }
};

// An evaluator of row texts written apart from the generator: the four operations with
// their priorities, round brackets and braces. It refuses a division that is not exact
// and a subtraction that does not stay positive, as a pupil's rows must never need.
class Evaluator {
public:
    explicit Evaluator(const QString &text) : m_text(text) {}

    std::optional<long> value()
    {
        const std::optional<long> result = sum();
        if (!result || m_at != m_text.size())
            return std::nullopt;
        return result;
    }

private:
    std::optional<long> sum()
    {
        std::optional<long> left = product();
        while (left && (peek() == kPlus || peek() == kMinus)) {
            const QChar op = m_text[m_at++];
            const std::optional<long> right = product();
            if (!right)
                return std::nullopt;
            left = op == kPlus ? *left + *right : *left - *right;
            if (*left <= 0)
                return std::nullopt;
        }
        return left;
    }

    std::optional<long> product()
    {
        std::optional<long> left = factor();
        while (left && (peek() == kTimes || peek() == kDivide)) {
            const QChar op = m_text[m_at++];
            const std::optional<long> right = factor();
            if (!right || (op == kDivide && (*right == 0 || *left % *right != 0)))
                return std::nullopt;
            left = op == kTimes ? *left * *right : *left / *right;
        }
        return left;
    }

    std::optional<long> factor()
    {
        if (peek() == u'(' || peek() == u'{') {
            const QChar close = m_text[m_at++] == u'(' ? u')' : u'}';
            const std::optional<long> inner = sum();
            if (!inner || peek() != close)
                return std::nullopt;
            ++m_at;
            return inner;
        }
        const qsizetype start = m_at;
        while (m_at < m_text.size() && m_text[m_at] >= u'0' && m_text[m_at] <= u'9')
            ++m_at;
        if (m_at == start || (m_text[start] == u'0' && m_at - start > 1))
            return std::nullopt;
        return m_text.mid(start, m_at - start).toLong();
    }

    QChar peek() const { return m_at < m_text.size() ? m_text[m_at] : QChar(); }

    QString m_text;
    qsizetype m_at = 0;
};

// Calls visit with every combination of count numbers 2..5.
void everyCombination(int count, const std::function<void(const QList<int> &)> &visit)
{
    QList<int> numbers(count, 2);
    for (;;) {
        visit(numbers);
        int i = count - 1;
        while (i >= 0 && numbers[i] == 5)
            numbers[i--] = 2;
        if (i < 0)
            return;
        ++numbers[i];
    }
}

const QString kMultiplicationFirst = QStringLiteral("かけ算を先に");
const QString kBracketsFirst = QStringLiteral("かっこの中を先に");

} // namespace

class TestProblemPatterns : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void rowsFollowTheDrawOrder_data();
    void rowsFollowTheDrawOrder();
    void everyDrawGivesASoundProblem_data();
    void everyDrawGivesASoundProblem();
    void patternByLevel_data();
    void patternByLevel();
    void drawsAreEquallyLikely();
    void cursorHintOfLevelOne();
};

void TestProblemPatterns::rowsFollowTheDrawOrder_data()
{
    QTest::addColumn<int>("pattern");
    QTest::addColumn<QList<int>>("draws");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("hint2");

    QTest::newRow("1") << 1 << QList<int>{3, 4, 5} << QStringList{"3＋4×5", "3＋20", "23"}
                       << kMultiplicationFirst;
    QTest::newRow("2") << 2 << QList<int>{3, 4, 5} << QStringList{"3×(4＋5)", "3×9", "27"} << kBracketsFirst;
    QTest::newRow("3") << 3 << QList<int>{2, 3, 4, 5} << QStringList{"(2＋3)×(4＋5)", "5×9", "45"}
                       << kBracketsFirst;
    QTest::newRow("4") << 4 << QList<int>{2, 3, 4, 5}
                       << QStringList{"2＋(3＋4×5)", "2＋(3＋20)", "2＋23", "25"}
                       << QStringLiteral("かっこの中のかけ算を先に");
    // a, e, f, then g: Y = f·e = 15, X = e + g = 8.
    QTest::newRow("5") << 5 << QList<int>{2, 3, 5, 5} << QStringList{"(8－15÷5)×2", "(8－3)×2", "5×2", "10"}
                       << QStringLiteral("かっこの中のわり算を先に");
    QTest::newRow("6") << 6 << QList<int>{2, 3, 5, 5} << QStringList{"2×(8－15÷5)", "2×(8－3)", "2×5", "10"}
                       << QStringLiteral("かっこの中のわり算を先に");
    // d, e, f, h, k, m: P = 12, Q = 14, R = 17, A = 19, B = 10.
    QTest::newRow("7") << 7 << QList<int>{2, 3, 4, 3, 2, 5}
                       << QStringList{"(19－10÷5)－(2＋3×4)", "(19－2)－(2＋12)", "17－14", "3"}
                       << QStringLiteral("かっこの中のかけ算わり算を先に");
    // r, k, m, d, e, f: A = 5, B = 12, P = 10, Q = 15.
    QTest::newRow("8") << 8 << QList<int>{2, 3, 4, 5, 2, 5}
                       << QStringList{"(5－12÷4)×(5＋2×5)", "(5－3)×(5＋10)", "2×15", "30"}
                       << QStringLiteral("かっこの中のかけ算わり算を先に");
    // r, n, m, d, e, f: K = 5, B = 20, P = 10, Q = 15.
    QTest::newRow("9") << 9 << QList<int>{2, 3, 4, 5, 2, 5}
                       << QStringList{"(20÷4－3)×(2×5＋5)", "(5－3)×(10＋5)", "2×15", "30"}
                       << QStringLiteral("かっこの中のかけ算わり算を先に");
    QTest::newRow("10") << 10 << QList<int>{2, 3, 4, 5, 2, 5}
                        << QStringList{"(5－12÷4)×(2×5＋5)", "(5－3)×(10＋5)", "2×15", "30"}
                        << QStringLiteral("かっこの中のかけ算わり算を先に");
    // a, g, e, d: S = 5, X = 7, Y = 9.
    QTest::newRow("11") << 11 << QList<int>{2, 3, 4, 5}
                        << QStringList{"2＋{7－(9－5)}", "2＋(7－4)", "2＋3", "5"}
                        << QStringLiteral("小かっこの中を先に");
    // g, h, e, d: A = 5, X = 6, Y = 8.
    QTest::newRow("12") << 12 << QList<int>{2, 3, 4, 4}
                        << QStringList{"5－{6－(8－4)}", "5－(6－4)", "5－2", "3"}
                        << QStringLiteral("小かっこの中を先に");
}

void TestProblemPatterns::rowsFollowTheDrawOrder()
{
    QFETCH(int, pattern);
    QFETCH(QList<int>, draws);
    QFETCH(QStringList, rows);
    QFETCH(QString, hint2);

    ScriptedDraws random;
    random.numbers = draws;
    const Problem problem = makeProblem(pattern, random);
    QCOMPARE(random.handedOut, draws.size());
    QCOMPARE(problem.pattern, pattern);
    QCOMPARE(problem.stepCount, rows.size());
    for (int i = 0; i < rows.size(); ++i)
        QCOMPARE(problem.stepText[i + 1], rows[i]);
    QVERIFY(problem.stepText[rows.size() + 1].isEmpty());
    QCOMPARE(problem.hint[2], hint2);
    QCOMPARE(problem.hint[3], pattern >= 4 ? kBracketsFirst : QString());
    QVERIFY(problem.hint[4].isEmpty());
    QVERIFY(problem.hint[5].isEmpty());
}

void TestProblemPatterns::everyDrawGivesASoundProblem_data()
{
    QTest::addColumn<int>("pattern");
    QTest::addColumn<int>("draws");
    QTest::addColumn<int>("lowestAnswer");
    QTest::addColumn<int>("highestAnswer");

    QTest::newRow("1") << 1 << 3 << 6 << 30;
    QTest::newRow("2") << 2 << 3 << 8 << 50;
    QTest::newRow("3") << 3 << 4 << 16 << 100;
    QTest::newRow("4") << 4 << 4 << 8 << 35;
    QTest::newRow("5") << 5 << 4 << 4 << 25;
    QTest::newRow("6") << 6 << 4 << 4 << 25;
    QTest::newRow("7") << 7 << 6 << 2 << 5;
    QTest::newRow("8") << 8 << 6 << 12 << 150;
    QTest::newRow("9") << 9 << 6 << 12 << 150;
    QTest::newRow("10") << 10 << 6 << 12 << 150;
    QTest::newRow("11") << 11 << 4 << 4 << 10;
    QTest::newRow("12") << 12 << 4 << 2 << 5;
}

void TestProblemPatterns::everyDrawGivesASoundProblem()
{
    QFETCH(int, pattern);
    QFETCH(int, draws);
    QFETCH(int, lowestAnswer);
    QFETCH(int, highestAnswer);

    long lowest = 1'000'000, highest = 0, highestNumberShown = 0;
    bool failed = false;
    everyCombination(draws, [&](const QList<int> &numbers) {
        if (failed)
            return;
        failed = true; // until every check of this problem has passed
        ScriptedDraws random;
        random.numbers = numbers;
        const Problem problem = makeProblem(pattern, random);
        const auto context = [&] { return problem.stepText[1] + " " + QString::number(pattern); };
        QCOMPARE(random.handedOut, draws);
        QCOMPARE(problem.stepCount, pattern <= 3 ? 3 : 4);
        const long answer = problem.stepText[problem.stepCount].toLong();
        QCOMPARE(QString::number(answer), problem.stepText[problem.stepCount]);
        for (int row = 1; row <= problem.stepCount; ++row) {
            const QString &text = problem.stepText[row];
            const std::optional<long> value = Evaluator(text).value();
            QVERIFY2(value.has_value(), qPrintable(text + " in " + context()));
            QVERIFY2(*value == answer, qPrintable(text + " in " + context()));
            QVERIFY2(text.size() <= 17, qPrintable(text));
            QVERIFY(!text.contains(u' '));
            if (row > 1) {
                QVERIFY2(text.size() <= 13, qPrintable(text));
                QVERIFY(!text.contains(u'{') && !text.contains(u'}'));
                QVERIFY2(text != problem.stepText[row - 1], qPrintable(text));
            }
        }
        // The drawn numbers are the single digits of the problem: every number in it is
        // 2..5 unless computed from them.
        const QString &shown = problem.stepText[1];
        for (qsizetype i = 0; i < shown.size();) {
            qsizetype j = i;
            while (j < shown.size() && shown[j].isDigit())
                ++j;
            if (j > i)
                highestNumberShown = std::max(highestNumberShown, shown.mid(i, j - i).toLong());
            i = std::max(j, i + 1);
        }
        lowest = std::min(lowest, answer);
        highest = std::max(highest, answer);
        failed = false;
    });
    QVERIFY(!failed);
    QCOMPARE(lowest, long(lowestAnswer));
    QCOMPARE(highest, long(highestAnswer));
    if (pattern == 7)
        QCOMPARE(highestNumberShown, 40L);
    if (pattern <= 4)
        QCOMPARE(highestNumberShown, 5L);
}

void TestProblemPatterns::patternByLevel_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<double>("u");
    QTest::addColumn<int>("pattern");

    QTest::newRow("level 1 lowest") << 1 << 0.0 << 1;
    QTest::newRow("level 1 middle") << 1 << 0.5 << 2;
    QTest::newRow("level 1 highest") << 1 << 0.9999 << 3;
    QTest::newRow("level 2 lowest") << 2 << 0.0 << 4;
    QTest::newRow("level 2 highest") << 2 << 0.9999 << 6;
    QTest::newRow("level 3 lowest") << 3 << 0.0 << 7;
    QTest::newRow("level 3 just below a half") << 3 << 0.4999 << 9;
    QTest::newRow("level 3 highest") << 3 << 0.9999 << 12;
    QTest::newRow("level 4 has no problems") << 4 << 0.5 << 0;
    QTest::newRow("no level") << 0 << 0.5 << 0;
}

void TestProblemPatterns::patternByLevel()
{
    QFETCH(int, level);
    QFETCH(double, u);
    QFETCH(int, pattern);

    struct Fixed : Random {
        double u;
        void seed(double) override {}
        double next() override { return u; }
    } random;
    random.u = u;
    QCOMPARE(drawPattern(level, random), pattern);
    const Problem problem = drawProblem(level, random);
    QCOMPARE(problem.pattern, pattern);
    if (pattern == 0) {
        QCOMPARE(problem.stepCount, 0);
        QVERIFY(problem.stepText[1].isEmpty());
    }
}

void TestProblemPatterns::drawsAreEquallyLikely()
{
    struct Sweep : Random {
        int i = 0;
        void seed(double) override {}
        double next() override { return (i++ % 400) / 400.0; }
    } random;
    QMap<int, int> counts;
    for (int i = 0; i < 400; ++i)
        ++counts[drawNumber(random)];
    QCOMPARE(counts.keys(), (QList<int>{2, 3, 4, 5}));
    for (int count : counts)
        QCOMPARE(count, 100);
}

void TestProblemPatterns::cursorHintOfLevelOne()
{
    QCOMPARE(levelHintText(2), kMultiplicationFirst);
    QVERIFY(levelHintText(1).isEmpty());
    QVERIFY(levelHintText(3).isEmpty());
    QVERIFY(levelHintText(4).isEmpty());
}

QTEST_GUILESS_MAIN(TestProblemPatterns)
#include "test_problem_patterns.moc"
