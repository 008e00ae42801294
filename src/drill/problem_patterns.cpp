#include "drill/problem_patterns.h"

#include <cmath>
#include <vector>

namespace {

const QString kMultiplicationFirst = QStringLiteral("かけ算を先に");
const QString kBracketsFirst = QStringLiteral("かっこの中を先に");
const QString kBracketMultiplicationFirst = QStringLiteral("かっこの中のかけ算を先に");
const QString kBracketDivisionFirst = QStringLiteral("かっこの中のわり算を先に");
const QString kBracketBothFirst = QStringLiteral("かっこの中のかけ算わり算を先に");
const QString kRoundBracketsFirst = QStringLiteral("小かっこの中を先に");

int drawWithin(Random &random, int first, int count)
{
    return first + static_cast<int>(std::floor(count * random.next()));
}

// Writes a row from a template: each letter stands for the decimal text of its value,
// '+', '-', '*' and '/' for the row's own operator characters, anything else as it is.
class Row {
public:
    explicit Row(std::initializer_list<std::pair<char, int>> values) : m_values(values.begin(), values.end())
    {
    }

    QString operator()(const char *pattern) const
    {
        QString text;
        for (const char *c = pattern; *c; ++c) {
            switch (*c) {
            case '+':
                text += kPlus;
                break;
            case '-':
                text += kMinus;
                break;
            case '*':
                text += kTimes;
                break;
            case '/':
                text += kDivide;
                break;
            default:
                text += valueText(*c);
            }
        }
        return text;
    }

private:
    QString valueText(char c) const
    {
        for (const auto &[name, value] : m_values) {
            if (name == c)
                return QString::number(value);
        }
        return QString(QChar::fromLatin1(c));
    }

    std::vector<std::pair<char, int>> m_values;
};

void setRows(Problem &problem, std::initializer_list<QString> rows)
{
    problem.stepCount = static_cast<int>(rows.size());
    int position = 1;
    for (const QString &row : rows)
        problem.stepText[position++] = row;
}

} // namespace

int drawNumber(Random &random) { return drawWithin(random, 2, 4); }

int drawPattern(int level, Random &random)
{
    switch (level) {
    case 1:
        return drawWithin(random, 1, 3);
    case 2:
        return drawWithin(random, 4, 3);
    case 3:
        return drawWithin(random, 7, 6);
    default:
        return 0;
    }
}

Problem makeProblem(int pattern, Random &random)
{
    Problem problem;
    problem.pattern = pattern;
    const auto draw = [&random] { return drawNumber(random); };
    switch (pattern) {
    case 1: {
        const int a = draw(), b = draw(), c = draw();
        const int P = b * c;
        const Row row{{'a', a}, {'b', b}, {'c', c}, {'P', P}};
        setRows(problem, {row("a+b*c"), row("a+P"), QString::number(a + P)});
        problem.hint[2] = kMultiplicationFirst;
        break;
    }
    case 2: {
        const int a = draw(), b = draw(), c = draw();
        const int S = b + c;
        const Row row{{'a', a}, {'b', b}, {'c', c}, {'S', S}};
        setRows(problem, {row("a*(b+c)"), row("a*S"), QString::number(a * S)});
        problem.hint[2] = kBracketsFirst;
        break;
    }
    case 3: {
        const int a = draw(), b = draw(), c = draw(), d = draw();
        const int S = a + b, T = c + d;
        const Row row{{'a', a}, {'b', b}, {'c', c}, {'d', d}, {'S', S}, {'T', T}};
        setRows(problem, {row("(a+b)*(c+d)"), row("S*T"), QString::number(S * T)});
        problem.hint[2] = kBracketsFirst;
        break;
    }
    case 4: {
        const int a = draw(), b = draw(), c = draw(), d = draw();
        const int P = c * d, V = b + P;
        const Row row{{'a', a}, {'b', b}, {'c', c}, {'d', d}, {'P', P}, {'V', V}};
        setRows(problem, {row("a+(b+c*d)"), row("a+(b+P)"), row("a+V"), QString::number(a + V)});
        problem.hint[2] = kBracketMultiplicationFirst;
        break;
    }
    case 5:
    case 6: {
        const int a = draw(), e = draw(), f = draw();
        const int Y = f * e;
        const int g = draw();
        const int X = e + g;
        const Row row{{'a', a}, {'e', e}, {'f', f}, {'g', g}, {'X', X}, {'Y', Y}};
        if (pattern == 5)
            setRows(problem, {row("(X-Y/f)*a"), row("(X-e)*a"), row("g*a"), QString::number(g * a)});
        else
            setRows(problem, {row("a*(X-Y/f)"), row("a*(X-e)"), row("a*g"), QString::number(a * g)});
        problem.hint[2] = kBracketDivisionFirst;
        break;
    }
    case 7: {
        const int d = draw(), e = draw(), f = draw();
        const int P = f * e, Q = P + d;
        const int h = draw();
        const int R = h + Q;
        const int k = draw();
        const int A = R + k;
        const int m = draw();
        const int B = m * k;
        const Row row{{'d', d}, {'e', e}, {'f', f}, {'h', h}, {'k', k}, {'m', m},
                      {'P', P}, {'Q', Q}, {'R', R}, {'A', A}, {'B', B}};
        setRows(problem, {row("(A-B/m)-(d+e*f)"), row("(A-k)-(d+P)"), row("R-Q"), QString::number(h)});
        problem.hint[2] = kBracketBothFirst;
        break;
    }
    case 8:
    case 10: {
        const int r = draw(), k = draw();
        const int A = r + k;
        const int m = draw();
        const int B = m * k;
        const int d = draw(), e = draw(), f = draw();
        const int P = f * e, Q = P + d;
        const Row row{{'r', r}, {'k', k}, {'m', m}, {'d', d}, {'e', e},
                      {'f', f}, {'A', A}, {'B', B}, {'P', P}, {'Q', Q}};
        if (pattern == 8)
            setRows(problem,
                    {row("(A-B/m)*(d+e*f)"), row("(A-k)*(d+P)"), row("r*Q"), QString::number(r * Q)});
        else
            setRows(problem,
                    {row("(A-B/m)*(e*f+d)"), row("(A-k)*(P+d)"), row("r*Q"), QString::number(r * Q)});
        problem.hint[2] = kBracketBothFirst;
        break;
    }
    case 9: {
        const int r = draw(), n = draw();
        const int K = r + n;
        const int m = draw();
        const int B = m * K;
        const int d = draw(), e = draw(), f = draw();
        const int P = f * e, Q = P + d;
        const Row row{{'r', r}, {'n', n}, {'m', m}, {'d', d}, {'e', e},
                      {'f', f}, {'K', K}, {'B', B}, {'P', P}, {'Q', Q}};
        setRows(problem, {row("(B/m-n)*(e*f+d)"), row("(K-n)*(P+d)"), row("r*Q"), QString::number(r * Q)});
        problem.hint[2] = kBracketBothFirst;
        break;
    }
    case 11: {
        const int a = draw(), g = draw();
        const int S = g + a;
        const int e = draw();
        const int X = g + e;
        const int d = draw();
        const int Y = e + d;
        const Row row{{'a', a}, {'g', g}, {'e', e}, {'d', d}, {'X', X}, {'Y', Y}};
        setRows(problem, {row("a+{X-(Y-d)}"), row("a+(X-e)"), row("a+g"), QString::number(S)});
        problem.hint[2] = kRoundBracketsFirst;
        break;
    }
    case 12: {
        const int g = draw(), h = draw();
        const int A = h + g;
        const int e = draw();
        const int X = g + e;
        const int d = draw();
        const int Y = e + d;
        const Row row{{'g', g}, {'h', h}, {'e', e}, {'d', d}, {'A', A}, {'X', X}, {'Y', Y}};
        setRows(problem, {row("A-{X-(Y-d)}"), row("A-(X-e)"), row("A-g"), QString::number(h)});
        problem.hint[2] = kRoundBracketsFirst;
        break;
    }
    default:
        return problem;
    }
    if (pattern >= 4)
        problem.hint[3] = kBracketsFirst;
    return problem;
}

Problem drawProblem(int level, Random &random) { return makeProblem(drawPattern(level, random), random); }

QString levelHintText(int position) { return position == 2 ? kMultiplicationFirst : QString(); }
