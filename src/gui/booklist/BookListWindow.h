#pragma once

#include "core/catalogue/FieldTable.h"
#include "gui/booklist/ListFind.h"

#include <QMainWindow>
#include <vector>

class QAction;
class QDialog;
class QMenu;
class QToolBar;
class QToolButton;

namespace sorabel {
class FindDialog;
class StringGrid;
} // namespace sorabel

// The book list window: every record as one row of a grid, one column per
// visible field. Choosing a row shows that record in the main window; the
// rows can be sorted (and the order applied to the catalogue), searched in
// one column, and records deleted or inserted. Created once, hidden and shown;
// every showing rebuilds the grid from the catalogue.
class BookListWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit BookListWindow(QWidget* parent = nullptr);
    ~BookListWindow() override;

    sorabel::StringGrid* StringGrid1;
    QToolBar* ToolBar1;
    QToolButton* ToolButton4;  // close
    QToolButton* ToolButton3;  // ascending sort
    QToolButton* ToolButton5;  // descending sort
    QToolButton* ToolButton10; // insert
    QToolButton* ToolButton11; // delete
    QToolButton* ToolButton13; // last row
    QToolButton* ToolButton14; // first row
    QToolButton* ToolButton1;  // find downward
    QToolButton* ToolButton6;  // find upward
    QToolButton* ToolButton2;  // help

    QAction* Close1;
    QMenu* N1; // ソート(&S): opening it sorts ascending
    QAction* J1;
    QAction* G1;
    QMenu* Data1;
    QAction* A1;
    QAction* Delete1;
    QAction* N2;
    QAction* N3;
    QMenu* Find1; // 検索(&L): opening it opens the find dialog
    QAction* D1;
    QAction* U1;
    QMenu* Help1;
    QAction* S1;
    QAction* About1;

    sorabel::FindDialog* FindDialog1;
    struct {
        QAction* size;
        QAction* narabekae;
        QAction* datahyoujo;
    } ActionList1;

    // Window state kept between commands.
    int keyColumn() const { return keyColumn_; }
    int savedColumn() const { return savedColumn_; }
    int searchRow() const { return find_.searchRow; }
    int reverseFlag() const { return find_.reverse; }

    // The list window's own font, in which column widths are measured.
    static QFont listFont();

public slots:
    void FormShow();
    void sizeExecute();
    void sortRows();
    void showChosenRecord();
    void StringGrid1Click();

    void ToolButton4Click();
    void ToolButton3Click();
    void ToolButton5Click();
    void ToolButton10Click();
    void ToolButton11Click();
    void ToolButton13Click();
    void ToolButton14Click();
    void ToolButton1Click();
    void ToolButton6Click();
    void ToolButton2Click();
    void D1Click();
    void U1Click();
    void Find1Click();
    void FindDialog1Find();
    void S1Click();
    void About1Click();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildToolBar();
    void buildMenu();
    void setEditCommandsEnabled(bool insert, bool del);
    // Rebuilds the grid when its rows no longer match the record count; true
    // if it did (the command that asked then does nothing else).
    bool rebuildIfOutOfStep();
    int recordOfRow(int row) const;
    sorabel::Field fieldOfColumn(int col) const;
    bool hasDataRows() const;
    bool hasFieldColumns() const;
    void drawCell(QPainter& painter, int col, int row, const QRect& rect, bool focused);

    int keyColumn_ = 0;
    int savedColumn_ = 0;
    sorabel::ListFind find_;
    std::vector<sorabel::Field> columnFields_; // field of grid column c at [c - 1]
};

extern BookListWindow* Form3;
