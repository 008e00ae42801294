#include "maintenance/FrmTimeData.h"

#include "core/environment.h"
#include "core/handoffs.h"
#include "core/hensuu1.h"
#include "core/startup.h"
#include "core/widgets.h"
#include "maintenance/time_distribution.h"
#include "results/results_file.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

#include <optional>

namespace
{
constexpr int kGridLeft = 16;
constexpr int kGridTop = 48;
constexpr int kGridWidth = 546;
constexpr int kCellHeight = 16;
constexpr int kGridCellHeights = 33;
constexpr int kCaretPosition = 10;
constexpr int kPanelLeft = kGridLeft + kGridWidth + 16;
constexpr int kListWidth = 212;
constexpr int kListGap = 6;

const QColor kBackground(232, 232, 232);
const QColor kFixedCell(208, 208, 208);
const QColor kChangedCell(255, 255, 0);
const QColor kEditBox(128, 255, 128);

QListWidget *makeList(QWidget *parent, const QRect &geometry)
{
    auto *list = new QListWidget(parent);
    list->setGeometry(geometry);
    list->setFont(fixedPitchFont(9));
    list->setFocusPolicy(Qt::NoFocus);
    list->setSelectionMode(QAbstractItemView::NoSelection);
    return list;
}

// The lines in place where the list already has as many, so that the teacher's view
// of the list stays where it was scrolled to.
void showLines(QListWidget *list, const QStringList &lines)
{
    if (list->count() != lines.size()) {
        list->clear();
        list->addItems(lines);
        return;
    }
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->text() != lines[i])
            list->item(i)->setText(lines[i]);
    }
}

QString criteriaPath()
{
    return hensuu1().dataFolder + QString::fromUtf8(kCriteriaFileName);
}
} // namespace

FrmTimeData::FrmTimeData(QWidget *parent) : Screen(parent)
{
    setObjectName(QStringLiteral("FrmTimeData"));
    setWindowTitle(QStringLiteral("合格タイムデータ変更"));
    setBackground(this, kBackground);

    Label5 = makeLabel(this, QStringLiteral("成績の基準となるデータを変更できます"),
                       {kGridLeft, 10, kGridWidth, 30}, 16, true);

    MSFlexGrid1 = new QTableWidget(0, kSheetColumns, this);
    MSFlexGrid1->setGeometry(kGridLeft, kGridTop, kGridWidth, kGridCellHeights * kCellHeight);
    MSFlexGrid1->setFont(screenFont(9));
    MSFlexGrid1->setHorizontalHeaderLabels(criteriaCaptions());
    MSFlexGrid1->horizontalHeader()->setFont(screenFont(8));
    // Two lines of caption: a thirteenth of the grid is narrower than "ﾎﾟｲﾝﾄ倍率".
    MSFlexGrid1->horizontalHeader()->setDefaultAlignment(Qt::Alignment(Qt::AlignCenter | Qt::TextWordWrap));
    MSFlexGrid1->horizontalHeader()->setTextElideMode(Qt::ElideNone);
    MSFlexGrid1->horizontalHeader()->setFixedHeight(2 * kCellHeight);
    MSFlexGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    MSFlexGrid1->horizontalHeader()->setMinimumSectionSize(kCellHeight);
    MSFlexGrid1->verticalHeader()->hide();
    MSFlexGrid1->verticalHeader()->setMinimumSectionSize(kCellHeight);
    MSFlexGrid1->verticalHeader()->setDefaultSectionSize(kCellHeight);
    MSFlexGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    MSFlexGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MSFlexGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MSFlexGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    MSFlexGrid1->setSelectionMode(QAbstractItemView::NoSelection);
    // Every key goes to the edit box; the grid only shows the cells and takes clicks.
    MSFlexGrid1->setFocusPolicy(Qt::NoFocus);
    connect(MSFlexGrid1, &QTableWidget::cellClicked, this, &FrmTimeData::cellClicked);

    // A thirteenth of the grid to each column, then column 1 at 80 % of column 2.
    const int gridWidth =
        kGridWidth - 2 * MSFlexGrid1->frameWidth() - MSFlexGrid1->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < kSheetColumns; ++column)
        MSFlexGrid1->setColumnWidth(column, gridWidth / kSheetColumns);
    MSFlexGrid1->setColumnWidth(1, MSFlexGrid1->columnWidth(2) * 8 / 10);

    // Inside the grid's viewport the box scrolls with the cell it lies over.
    Gridinputtext = new QLineEdit(MSFlexGrid1->viewport());
    Gridinputtext->setObjectName(QStringLiteral("Gridinputtext"));
    Gridinputtext->setFrame(false);
    Gridinputtext->setFont(screenFont(9));
    setBackground(Gridinputtext, kEditBox);
    QPalette boxPalette = Gridinputtext->palette();
    boxPalette.setColor(QPalette::Base, kEditBox);
    Gridinputtext->setPalette(boxPalette);
    Gridinputtext->hide();
    connect(Gridinputtext, &QLineEdit::textChanged, this, [this] { TextToGrid転送(); });

    const int belowGrid = kGridTop + MSFlexGrid1->height();
    Label1 = makeLabel(this, QStringLiteral("スペース：セルクリア　　Shift + ↓：セルコピー"),
                       {kGridLeft, belowGrid + 6, kGridWidth, 20}, 10);
    Label6 =
        makeLabel(this, QStringLiteral("列の説明"), {kGridLeft, belowGrid + 32, kGridWidth, 20}, 10, true);
    Label3 = makeLabel(this, QString(), {kGridLeft, belowGrid + 54, kGridWidth, 66}, 10);
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label3->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setBackground(Label3, Qt::white);

    const int secondList = kPanelLeft + kListWidth + kListGap;
    Label7 = makeLabel(this, QStringLiteral("現在までの成績度数分布"),
                       {kPanelLeft, kGridTop, 2 * kListWidth, 24}, 12, true);
    Label9 = makeLabel(this, QStringLiteral("全成績"), {kPanelLeft, kGridTop + 28, kListWidth, 20}, 10, true);
    Label10 =
        makeLabel(this, QStringLiteral("最高タイム"), {secondList, kGridTop + 28, kListWidth, 20}, 10, true);
    const int listTop = kGridTop + 50;
    const int listHeight = 690 - listTop;
    List3 = makeList(this, {kPanelLeft, listTop, kListWidth, listHeight});
    List4 = makeList(this, {secondList, listTop, kListWidth, listHeight});

    const int buttonWidth = (2 * kListWidth + kListGap - 2 * 10) / 3;
    Command3 = makeButton(this, QStringLiteral("更新記録"), {kPanelLeft, 702, buttonWidth, 48}, 13);
    Command2 = makeButton(this, QStringLiteral("元に戻す"),
                          {kPanelLeft + buttonWidth + 10, 702, buttonWidth, 48}, 13);
    Command4 = makeButton(this, QStringLiteral("戻る"),
                          {kPanelLeft + 2 * (buttonWidth + 10), 702, buttonWidth, 48}, 13);
    connect(Command3, &QPushButton::clicked, this, &FrmTimeData::command3Click);
    connect(Command2, &QPushButton::clicked, this, &FrmTimeData::command2Click);
    connect(Command4, &QPushButton::clicked, this, &FrmTimeData::command4Click);

    Picture6 = new QWidget(this);
    Picture6->setGeometry(0, 0, kCanvasWidth, kCanvasHeight);
    setBackground(Picture6, kBackground);
    Label8 =
        makeLabel(Picture6, QStringLiteral("Just a moment,please."), {0, 330, kCanvasWidth, 50}, 24, true);
    Label8->setAlignment(Qt::AlignCenter);
    Picture6->hide();
}

void FrmTimeData::activate()
{
    if (!loadGrid())
        return;
    Gridinputtext->show();
    placeBox();
    GridToText転送();
    rebuildDistribution();
}

bool FrmTimeData::loadGrid()
{
    if (const QString problem = m_sheet.load(criteriaPath()); !problem.isEmpty()) {
        env().dialogs->message(problem, QStringLiteral("合格タイムデータ変更"));
        leave();
        return false;
    }
    m_loaded = true;
    showSheet();
    return true;
}

// The cells as the sheet holds them; only those that differ are touched.
void FrmTimeData::showSheet()
{
    MSFlexGrid1->setRowCount(m_sheet.lastRow());
    for (int row = 1; row <= m_sheet.lastRow(); ++row) {
        for (int column = 0; column < kSheetColumns; ++column) {
            QTableWidgetItem *item = MSFlexGrid1->item(row - 1, column);
            if (!item) {
                item = new QTableWidgetItem;
                item->setFlags(Qt::ItemIsEnabled);
                MSFlexGrid1->setItem(row - 1, column, item);
            }
            const QColor colour = column == 0                    ? kFixedCell
                                  : m_sheet.changed(row, column) ? kChangedCell
                                                                 : QColor(Qt::white);
            if (item->background().color() != colour || item->background().style() == Qt::NoBrush)
                item->setBackground(colour);
            if (item->text() != m_sheet.text(row, column))
                item->setText(m_sheet.text(row, column));
        }
    }
}

void FrmTimeData::placeBox()
{
    const QModelIndex cell = MSFlexGrid1->model()->index(m_sheet.row() - 1, m_sheet.column());
    MSFlexGrid1->scrollTo(cell);
    Gridinputtext->setGeometry(MSFlexGrid1->visualRect(cell));
    Gridinputtext->raise();
    Gridinputtext->setFocus();
    Gridinputtext->setCursorPosition(kCaretPosition);
    Label3->setText(columnExplanation(m_sheet.column()));
}

void FrmTimeData::TextToGrid転送()
{
    if (!m_loaded)
        return;
    m_sheet.textToGrid(Gridinputtext->text());
    showSheet();
}

void FrmTimeData::GridToText転送()
{
    Gridinputtext->setText(m_sheet.currentText());
    QCoreApplication::processEvents();
    Gridinputtext->setCursorPosition(kCaretPosition);
}

bool FrmTimeData::previewKey(QKeyEvent *event)
{
    if (!m_loaded || !Gridinputtext->hasFocus())
        return false;
    std::optional<SheetKey> move;
    bool consumed = true;
    switch (event->key()) {
    case Qt::Key_Escape:
        return true;
    case Qt::Key_Up:
        move = SheetKey::Up;
        break;
    case Qt::Key_Down:
        move = event->modifiers() & Qt::ShiftModifier ? SheetKey::ShiftDown : SheetKey::Down;
        break;
    case Qt::Key_Left:
        move = SheetKey::Left;
        break;
    case Qt::Key_Right:
        move = SheetKey::Right;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        break;
    default:
        consumed = false;
    }
    if (move) {
        if (m_sheet.pressKey(*move, Gridinputtext->text())) {
            GridToText転送();
            placeBox();
        }
        showSheet();
    }
    rebuildDistribution();
    GridToText転送();
    // A space empties the cell instead of being typed.
    if (event->text() == QStringLiteral(" ")) {
        Gridinputtext->clear();
        return true;
    }
    return consumed;
}

void FrmTimeData::cellClicked(int tableRow, int column)
{
    if (!m_loaded || !m_sheet.select(tableRow + 1, column))
        return;
    placeBox();
    rebuildDistribution();
    GridToText転送();
}

void FrmTimeData::rebuildDistribution()
{
    const DistributionLines lines = readDistribution(resultsFilePath(), m_resultsBytes, m_sheet.row());
    showLines(List3, lines.all);
    showLines(List4, lines.best);
}

void FrmTimeData::showWaitPanel(bool shown)
{
    Picture6->setVisible(shown);
    Picture6->raise();
    QCoreApplication::processEvents();
}

bool FrmTimeData::save()
{
    showWaitPanel(true);
    const QString problem = m_sheet.save(criteriaPath());
    showWaitPanel(false);
    if (!problem.isEmpty())
        env().dialogs->message(problem, QStringLiteral("更新記録"));
    Gridinputtext->setFocus();
    return problem.isEmpty();
}

void FrmTimeData::command2Click()
{
    activate();
}

void FrmTimeData::command3Click()
{
    if (m_loaded)
        save();
}

void FrmTimeData::command4Click()
{
    if (m_sheet.criteriaChanged == 1 &&
        env().dialogs->message(QStringLiteral("データが変更されています。記録しますか？"),
                               QStringLiteral("注意"), DialogButtons::YesNo) == DialogAnswer::Yes &&
        !save())
        return; // what could not be saved stays on the screen
    leave();
}

void FrmTimeData::leave()
{
    m_loaded = false;
    showWaitPanel(true);
    if (handoffs().showLevelMenu)
        handoffs().showLevelMenu();
}
