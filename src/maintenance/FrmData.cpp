#include "maintenance/FrmData.h"

#include "core/environment.h"
#include "core/handoffs.h"
#include "core/hensuu1.h"
#include "core/levels.h"
#include "core/widgets.h"

#include <QKeyEvent>
#include <QSignalBlocker>

namespace
{

const QColor kPanelColour(255, 248, 214);

} // namespace

void RecordListModel::setLines(QList<RecordLine> lines)
{
    beginResetModel();
    m_lines = std::move(lines);
    endResetModel();
}

int RecordListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_lines.size());
}

QVariant RecordListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_lines.size())
        return {};
    return m_lines[index.row()].text;
}

FrmData::FrmData(QWidget *parent) : Screen(parent)
{
    setObjectName(QStringLiteral("FrmData"));
    setWindowTitle(QStringLiteral("v"));
    setBackground(this, hensuu1().seasonColor);

    Label5 = makeLabel(this, QStringLiteral("ダブルクリックすると変更、消去できます"), {24, 14, 600, 32}, 16,
                       true);

    Picture10 = new QWidget(this);
    Picture10->setGeometry(864, 6, 144, 52);
    Command4 = makeButton(Picture10, QStringLiteral("戻る"), {8, 4, 128, 44}, 14);
    connect(Command4, &QPushButton::clicked, this, &FrmData::back);

    Picture3 = new QWidget(this);
    Picture3->setGeometry(16, 64, 992, 120);
    setBackground(Picture3, kPanelColour);
    makeLabel(Picture3, QStringLiteral("記録番号"), {16, 12, 90, 32}, 13);
    Label1 = makeLabel(Picture3, {}, {108, 12, 110, 32}, 16, true);
    Label2[1] = makeLabel(Picture3, {}, {230, 12, 120, 32}, 16, true);
    Label2[2] = makeLabel(Picture3, {}, {360, 12, 180, 32}, 16, true);

    makeLabel(Picture3, QStringLiteral("生徒"), {16, 62, 60, 36}, 13);
    Combo1 = new QComboBox(Picture3);
    Combo1->setGeometry(80, 60, 330, 40);
    Combo1->setFont(screenFont(15));
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setMaxVisibleItems(20);
    Label2[4] = makeLabel(Picture3, {}, {420, 62, 60, 36}, 15, true);
    connect(Combo1, &QComboBox::activated, this, [this](int item) {
        Label2[4]->setText(gradeLabelOfItem(Combo1->itemText(item), m_source.roster));
    });

    makeLabel(Picture3, QStringLiteral("タイム"), {500, 62, 70, 36}, 13);
    Text1[1] = new QLineEdit(Picture3);
    Text1[1]->setGeometry(572, 60, 100, 40);
    Text1[1]->setFont(screenFont(16));
    Text1[1]->setAlignment(Qt::AlignRight);
    VScroll1 = new QScrollBar(Qt::Vertical, Picture3);
    VScroll1->setGeometry(674, 56, 26, 48);
    VScroll1->setRange(0, kSpinnerTop);
    VScroll1->setSingleStep(1);
    VScroll1->setPageStep(10);
    connect(VScroll1, &QScrollBar::valueChanged, this,
            [this](int value) { Text1[1]->setText(QString::number(value)); });
    Label2[0] = makeLabel(Picture3, QStringLiteral("秒"), {706, 62, 40, 36}, 15);

    Command2 = makeButton(Picture3, QStringLiteral("変更して記録"), {760, 8, 216, 44}, 14);
    Command3 = makeButton(Picture3, QStringLiteral("消去"), {760, 58, 104, 44}, 14);
    Command6 = makeButton(Picture3, QStringLiteral("キャンセル"), {872, 58, 104, 44}, 14);
    Command2->setEnabled(false);
    Command3->setEnabled(false);
    connect(Command2, &QPushButton::clicked, this, &FrmData::changeRecord);
    connect(Command3, &QPushButton::clicked, this, &FrmData::deleteRecord);
    Picture3->hide();

    List1 = new QListView(this);
    List1->setGeometry(16, 192, 992, 560);
    List1->setFont(fixedPitchFont(18));
    List1->setUniformItemSizes(true);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    listModel = new RecordListModel(List1);
    List1->setModel(listModel);
    List1->hide();
    connect(List1, &QListView::clicked, Picture3, &QWidget::hide);
    connect(List1->selectionModel(), &QItemSelectionModel::currentChanged, Picture3, &QWidget::hide);
    connect(List1, &QListView::doubleClicked, this,
            [this](const QModelIndex &index) { openEditPanel(index.row()); });

    Picture1 = new QWidget(this);
    Picture1->setGeometry(twipsRect(0, 0, 15360, 11520));
    setBackground(Picture1, hensuu1().seasonColor);
    Picture1->hide();
}

void FrmData::activate()
{
    List1->show();
    tellMends();
    buildList();
    // The record to correct is mostly one of the latest.
    List1->scrollToBottom();
    List1->setFocus();
}

void FrmData::tellProblem(const QString &text)
{
    env().dialogs->message(text, QString::fromUtf8(kProgramTitle));
}

void FrmData::tellMends()
{
    if (const QString mends = mendsToTell(); !mends.isEmpty())
        tellProblem(mends);
}

void FrmData::buildList()
{
    Picture3->hide();
    m_read.reset();
    m_source = readRecordListSource();
    Combo1->clear();
    Combo1->addItems(m_source.roster.comboItems);
    listModel->setLines(recordListLines(m_source));
    if (!m_source.problem.isEmpty())
        tellProblem(m_source.problem);
}

void FrmData::selectRow(int row)
{
    if (row < 0) {
        List1->selectionModel()->clear();
        return;
    }
    const QModelIndex index = listModel->index(row);
    List1->setCurrentIndex(index);
    List1->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void FrmData::openEditPanel(int row)
{
    if (row < 0 || row >= listModel->rowCount())
        return;
    QString refusal;
    m_read = listedRecord(m_source, listModel->lines()[row].record, &refusal);
    if (!m_read)
        return;
    selectedRecord = m_read->n;
    Command2->setEnabled(true);
    Command3->setEnabled(true);
    const EditPanelTexts texts = editPanelTexts(*m_read, m_source.roster);
    Label1->setText(texts.record);
    Label2[1]->setText(texts.level);
    Label2[2]->setText(texts.date);
    Label2[4]->setText(texts.gradeLabel);
    Text1[1]->setText(texts.time);
    {
        // The spinner follows the box, not the other way round: a time of 99999 stays.
        const QSignalBlocker quiet(VScroll1);
        VScroll1->setValue(texts.spinner);
    }
    Combo1->setEditText(texts.pupil);
    Picture3->show();
    Picture3->raise();
}

void FrmData::changeRecord()
{
    if (!m_read)
        return;
    const EditResult result = changeListedRecord(*m_read, pupilNumberOfCombo(Combo1->currentText()),
                                                 Text1[1]->text(), m_source.roster);
    if (result.outcome == EditOutcome::Refused) {
        // The panel stays, for the text to be mended.
        tellProblem(result.message);
        return;
    }
    showWritten(result);
}

void FrmData::deleteRecord()
{
    if (!m_read)
        return;
    if (env().dialogs->message(QStringLiteral("本当に消去しますか"), QStringLiteral("注意"),
                               DialogButtons::OkCancel) != DialogAnswer::Ok)
        return;
    showWritten(deleteListedRecord(*m_read));
}

void FrmData::showWritten(const EditResult &result)
{
    const bool written = result.outcome == EditOutcome::Written;
    if (!written)
        tellProblem(result.message);
    // What the write found another PC had left unfinished, and put right first.
    tellMends();
    // Rebuilt either way: when nothing was written, another PC may have changed the file.
    buildList();
    if (written)
        selectRow(rowToSelect(listModel->lines(), selectedRecord));
}

void FrmData::back()
{
    Picture1->show();
    Picture1->raise();
    if (handoffs().showLevelMenu)
        handoffs().showLevelMenu();
}

bool FrmData::previewKey(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && List1->hasFocus() && List1->currentIndex().isValid()) {
        openEditPanel(List1->currentIndex().row());
        return true;
    }
    return false;
}
