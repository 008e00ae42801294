#include "maintenance/criteria_sheet.h"

#include "core/startup.h"
#include "core/text_values.h"

#include <QDir>

namespace
{
constexpr int kLastField = kCriteriaFields;

// "「最低Time」（2列目）", or "10列目" for a column without a caption.
QString columnName(int column)
{
    const QString caption = criteriaCaptions()[column];
    return caption.isEmpty() ? QStringLiteral("%1列目").arg(column)
                             : QStringLiteral("「%1」（%2列目）").arg(caption).arg(column);
}
} // namespace

QStringList criteriaCaptions()
{
    return {QStringLiteral("レベル"),
            QStringLiteral("目標Time"),
            QStringLiteral("最低Time"),
            QStringLiteral("ｸﾘｱﾎﾟｲﾝﾄ"),
            QStringLiteral("ｸﾘｱ回数"),
            QStringLiteral("ﾎﾟｲﾝﾄ倍率"),
            QStringLiteral("禁回"),
            QStringLiteral("禁点"),
            QStringLiteral("判期間"),
            QStringLiteral("禁期間"),
            QString(),
            QString(),
            QString()};
}

QString columnExplanation(int column)
{
    const QString days = QStringLiteral("　何日前からのポイントを有効にするか");
    switch (column) {
    case 1:
        return QStringLiteral("合格基準タイム\n　大部分の人ががんばったら出せそうなタイムにしてください");
    case 2:
        return QStringLiteral("合格最低ラインタイム\n  この５倍が時間切れになります");
    case 3:
        return QStringLiteral("目標ポイント\n　　 目標ポイント");
    case 4:
        return QStringLiteral("目標回数\n　　 目標回数");
    case 5:
        return QStringLiteral("ポイント倍率\n  ポイントを何倍にして加算するか\n"
                              "  むずかしいレベルや生徒のいやがるレベルは高くしてください");
    case 6:
        return QStringLiteral("やりすぎ禁止回数\n  何回やったらやりすぎ禁止にするか\n  ");
    case 7:
        return QStringLiteral("やりすぎ禁止ポイント\n  何ポイントとったらやりすぎ禁止にするか\n ");
    case 8:
        return QStringLiteral("合格判定をする日数\n") + days;
    case 9:
        return QStringLiteral("やりすぎ判定をする日数\n") + days;
    default:
        return {};
    }
}

QString CriteriaSheet::load(const QString &path)
{
    const TextFileContents contents = readCp932File(path);
    if (contents.status != FileReadStatus::Ok)
        return QStringLiteral("合格タイムデータを読めません。\n%1\n%2")
            .arg(QDir::toNativeSeparators(path), describeFileProblem(contents));

    CriteriaGrid rows{criteriaCaptions()};
    TextValueReader reader(contents.text);
    for (int line = 0; !reader.atEnd(); ++line) {
        QStringList row{QString::number(line)};
        for (int field = 1; field <= kLastField; ++field)
            row << reader.nextText();
        if (line > 0)
            rows << row;
    }
    if (rows.size() < 2)
        return QStringLiteral("合格タイムデータにレベルの行がありません。\n%1")
            .arg(QDir::toNativeSeparators(path));

    m_rows = std::move(rows);
    m_changed.assign(m_rows.size(), {});
    moveTo(std::min(m_row, lastRow()), m_column);
    return {};
}

QString CriteriaSheet::fieldProblem() const
{
    for (int row = 1; row <= lastRow(); ++row) {
        for (int column = 1; column <= kLastField; ++column) {
            const QString &field = m_rows[row][column];
            for (const QChar separator : {QChar(u','), QChar(u'"')}) {
                if (field.contains(separator))
                    return QStringLiteral("レベル%1の%2に「%3」があります。「,」と「\"」は記録できません。")
                        .arg(row)
                        .arg(columnName(column), separator);
            }
            if (!cp932Holds(field))
                return QStringLiteral("レベル%1の%2の「%3」には記録できない文字があります。")
                    .arg(row)
                    .arg(columnName(column), field);
        }
    }
    return {};
}

QString CriteriaSheet::save(const QString &path)
{
    if (const QString problem = fieldProblem(); !problem.isEmpty())
        return problem + QStringLiteral("直してから記録してください（ファイルは前のままです）。");
    if (const QString problem = SaveCriteriaTable(path, m_rows); !problem.isEmpty())
        return QStringLiteral("合格タイムデータを記録できませんでした。\n%1\n%2")
            .arg(QDir::toNativeSeparators(path), problem);
    criteriaChanged = 0;
    return {};
}

void CriteriaSheet::textToGrid(const QString &boxText)
{
    write(m_row, m_column, boxText);
}

void CriteriaSheet::write(int row, int column, const QString &text)
{
    QString &cell = m_rows[row][column];
    if (text != cell) {
        m_changed[row][column] = true;
        criteriaChanged = 1;
    }
    cell = text;
}

bool CriteriaSheet::moveTo(int row, int column)
{
    const bool moved = row != m_row || column != m_column;
    m_row = row;
    m_column = column;
    m_selectionEnd = row;
    return moved;
}

bool CriteriaSheet::pressKey(SheetKey key, const QString &boxText)
{
    switch (key) {
    case SheetKey::Up:
        return moveTo(std::max(m_row - 1, 1), m_column);
    case SheetKey::Down:
        return moveTo(std::min(m_row + 1, lastRow()), m_column);
    case SheetKey::Left:
        return moveTo(m_row, std::max(m_column - 1, 1));
    case SheetKey::Right:
        return moveTo(m_row, std::min(m_column + 1, kLastField));
    case SheetKey::ShiftDown:
        if (m_selectionEnd < lastRow()) {
            ++m_selectionEnd;
            for (int row = m_row; row <= m_selectionEnd; ++row)
                write(row, m_column, boxText);
        }
        return false;
    }
    return false;
}

bool CriteriaSheet::select(int row, int column)
{
    if (row < 1 || row > lastRow() || column < 1 || column > kLastField)
        return false;
    moveTo(row, column);
    return true;
}
