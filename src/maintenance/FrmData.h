// The teacher's results editor "v": every record of the results file in one list;
// a double-click opens the edit panel to correct the pupil or the time, or to delete
// the record.
#pragma once

#include "core/screen_host.h"
#include "maintenance/record_list.h"

#include <QAbstractListModel>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>

#include <array>
#include <optional>

// The computed lines behind List1: a list of a hundred thousand records is shown
// without creating a widget item per line.
class RecordListModel : public QAbstractListModel
{
public:
    using QAbstractListModel::QAbstractListModel;

    void setLines(QList<RecordLine> lines);
    const QList<RecordLine> &lines() const { return m_lines; }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    QList<RecordLine> m_lines;
};

class FrmData : public Screen
{
    Q_OBJECT
public:
    explicit FrmData(QWidget *parent = nullptr);

    // Form load: shows List1 and builds the list.
    void activate() override;
    // The hidden Command1: reads the roster and the results file again and rebuilds
    // List1; the edit panel is hidden.
    void buildList();
    // List1 double-click on a row.
    void openEditPanel(int row);
    void changeRecord(); // Command2 "変更して記録"
    void deleteRecord(); // Command3 "消去"
    void back();         // Command4 "戻る"

    int selectedRecord = 0;

    QLabel *Label5;
    QListView *List1;
    RecordListModel *listModel;
    QWidget *Picture10;
    QPushButton *Command4;
    QWidget *Picture3; // the edit panel
    QLabel *Label1;
    std::array<QLabel *, 5> Label2{}; // 0 "秒", 1 level, 2 date, 4 grade label; 3 is not used
    QComboBox *Combo1;
    std::array<QLineEdit *, 2> Text1{}; // 1 the time; 0 is not used
    QScrollBar *VScroll1;
    QPushButton *Command2;
    QPushButton *Command3;
    QPushButton *Command6; // "キャンセル"
    QWidget *Picture1;     // covers the screen while it is left

protected:
    bool previewKey(QKeyEvent *event) override;

private:
    void selectRow(int row);
    void tellProblem(const QString &text);
    // Tells the teacher, in one message, of rewrites that were cut short and put right.
    void tellMends();
    // After a change or a deletion: the list rebuilt, with the record's line or the
    // next one selected when it was written.
    void showWritten(const EditResult &result);

    RecordListSource m_source;
    std::optional<ListedRecord> m_read; // the record the panel was opened on, as read
};
