#include "drill/answer_entry.h"

std::optional<QChar> enteredCharacter(QChar key)
{
    if (key >= u'0' && key <= u'9')
        return key;
    switch (key.unicode()) {
    case u'+':
        return kPlus;
    case u'-':
        return kMinus;
    case u'*':
        return kTimes;
    case u'/':
        return kDivide;
    case u'z':
        return QChar(u'(');
    case u'x':
        return QChar(u')');
    case u'(':
    case u')':
    case u',':
    case u'.':
        return key;
    default:
        return std::nullopt;
    }
}

QString keysTyping(const QString &row)
{
    QString keys;
    for (QChar c : row) {
        if (c == kPlus)
            keys += u'+';
        else if (c == kMinus)
            keys += u'-';
        else if (c == kTimes)
            keys += u'*';
        else if (c == kDivide)
            keys += u'/';
        else if (c == u'(')
            keys += u'z';
        else if (c == u')')
            keys += u'x';
        else
            keys += c;
    }
    return keys;
}

bool AnswerSheet::isOpen(int position) { return position != 1 && !(position >= 6 && position <= 10); }

void AnswerSheet::present(const Problem &problem)
{
    m_pattern = problem.pattern;
    m_stepCount = problem.stepCount;
    m_stepText = problem.stepText;
    m_hint = problem.hint;
    m_hintShown.fill(false);
    m_correctShown.fill(false);
    for (int row = 1; row <= kMaxSteps; ++row) {
        m_rowText[row] = isOpen(row) ? QString() : m_stepText[row];
        m_shade[row] = isOpen(row) ? Shade::Field : Shade::Given;
    }
    m_cursorPos = 1;
    moveForward();
    setShade(m_cursorPos, Shade::Cursor);
}

void AnswerSheet::recolour()
{
    for (int row = 1; row <= m_stepCount; ++row)
        setShade(row, isOpen(row) ? Shade::Field : Shade::Given);
}

void AnswerSheet::enterField()
{
    m_inputText = rowText(m_cursorPos);
    setShade(m_cursorPos, Shade::Cursor);
}

void AnswerSheet::moveForward()
{
    do
        ++m_cursorPos;
    while (!isOpen(m_cursorPos));
}

void AnswerSheet::setShade(int row, Shade shade)
{
    if (inRange(row))
        m_shade[row] = shade;
}

void AnswerSheet::writeInput()
{
    if (inRange(m_cursorPos))
        m_rowText[m_cursorPos] = m_inputText;
}

void AnswerSheet::followLevelHint()
{
    if (m_level == 1)
        showLevelHint();
}

void AnswerSheet::showLevelHint() { m_levelHint = levelHintText(m_cursorPos); }

AnswerSheet::KeyOutcome AnswerSheet::entryKey(QChar key)
{
    if (key == kSpaceKey) {
        recolour();
        moveForward();
        followLevelHint();
        enterField();
        // The Space goes on as a key of the new field: it types nothing, but a full
        // field still refuses it.
    }
    if (key == kBackspaceKey) {
        if (m_inputText.isEmpty())
            return KeyOutcome::Nothing;
        m_inputText.chop(1);
        writeInput();
        return KeyOutcome::Typed;
    }
    if (m_inputText.size() >= kFieldCapacity)
        return KeyOutcome::Refused;
    const std::optional<QChar> character = enteredCharacter(key);
    if (!character)
        return KeyOutcome::Nothing;
    m_inputText += *character;
    writeInput();
    return KeyOutcome::Typed;
}

void AnswerSheet::walkLeft()
{
    do
        --m_cursorPos;
    while (!isOpen(m_cursorPos) && m_cursorPos > 0);
    if (m_cursorPos <= 0)
        m_cursorPos = m_stepCount;
    recolour();
    enterField();
    followLevelHint();
}

void AnswerSheet::walkRight()
{
    moveForward();
    if (m_cursorPos > m_stepCount) {
        m_cursorPos = 1;
        moveForward();
    }
    recolour();
    enterField();
    followLevelHint();
}

void AnswerSheet::eraseAll()
{
    for (int row = 1; row <= m_stepCount; ++row) {
        if (isOpen(row) && inRange(row))
            m_rowText[row].clear();
    }
    m_cursorPos = 1;
    moveForward();
    recolour();
    enterField();
}

void AnswerSheet::eraseField()
{
    if (inRange(m_cursorPos))
        m_rowText[m_cursorPos].clear();
    m_inputText.clear();
}

bool AnswerSheet::rowWrong(int row) const { return isOpen(row) && rowText(row) != stepText(row); }

int AnswerSheet::judge() const
{
    for (int row = 1; row <= m_stepCount; ++row) {
        if (rowWrong(row))
            return 2;
    }
    return 1;
}

void AnswerSheet::markWrong()
{
    for (int row = 1; row <= m_stepCount && inRange(row); ++row) {
        if (rowWrong(row)) {
            m_shade[row] = Shade::Wrong;
            m_correctShown[row] = true;
        }
        showHint(row);
    }
}

void AnswerSheet::resetEntries()
{
    for (int row = 1; row <= m_stepCount && inRange(row); ++row) {
        if (isOpen(row)) {
            m_shade[row] = Shade::Field;
            m_rowText[row].clear();
        }
        m_correctShown[row] = false;
    }
    m_cursorPos = 0;
    moveForward();
    setShade(m_cursorPos, Shade::Cursor);
}

void AnswerSheet::showHint(int row)
{
    if (inRange(row) && !m_hint[row].isEmpty())
        m_hintShown[row] = true;
}
