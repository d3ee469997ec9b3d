#pragma once

#include "core/catalogue/FieldTable.h"
#include "gui/booklist/ListFind.h"

#include <QFont>
#include <QMainWindow>
#include <optional>

class QAction;
class QMenu;
class QToolBar;
class QToolButton;

namespace sorabel {

class BookListModel;
class CatalogueSession;
class FindDialog;
class ListOrderProxy;
class StringGrid;

// The book list window: every record as one row of a grid, one column per
// visible field. Choosing a row shows that record in the main window; the
// rows can be sorted (and the order applied to the catalogue), searched in
// one column, and records deleted or inserted, all through the session.
// The grid is a live view of the session's records: it stays current while
// the user works elsewhere. Every showing returns to catalogue order and
// sizes the columns afresh.
class BookListWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit BookListWindow(CatalogueSession& session, QWidget* parent = nullptr);
    ~BookListWindow() override;

    // The list window's own font, in which column widths are measured.
    static QFont listFont();

public slots:
    // The list command of the main window: shows the list, or refreshes it
    // in front when it is open already.
    void showList();
    // The font of the main window's fields and the height of the title field
    // as laid out; an open list takes them at once.
    void setCellFont(const QFont& font, int rowHeight);

    void sortAscending();
    void sortDescending();
    void insertRecord();
    void deleteRecord();
    void goToLastRow();
    void goToFirstRow();
    void findDown();
    // Upward from the tool button examines the current row first, from the
    // menu the row above it.
    void findUpFromCurrentRow();
    void findUpFromRowAbove();
    void openFindDialog();
    void showHelp();

signals:
    // A record was shown from row `row` of `rows` data rows.
    void positionShown(int row, int rows);
    void aboutRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildToolBar();
    void buildMenu();
    void rebuildGrid();
    void layOutGrid();
    void sizeColumns();
    // Columns grow to fit the texts of rows first..last (changed or new).
    void widenColumns(int firstRow, int lastRow);
    void followCurrentRecord();
    void orderChanged();
    void sortRows();
    void showChosenRecord();
    void chooseCell();
    void findNext();
    void drawCell(QPainter& painter, int col, int row, const QRect& rect, bool focused);

    void setEditCommandsEnabled(bool insert, bool del);
    int recordOfRow(int row) const;
    Field fieldOfColumn(int col) const;
    bool hasDataRows() const;
    bool hasFieldColumns() const;

    CatalogueSession& session_;
    BookListModel* model_;
    ListOrderProxy* order_;
    StringGrid* grid_;
    FindDialog* findDialog_;
    QToolBar* toolBar_ = nullptr;
    QToolButton* insertButton_ = nullptr;
    QToolButton* deleteButton_ = nullptr;
    QAction* insertAction_ = nullptr;
    QAction* deleteAction_ = nullptr;

    std::optional<QFont> cellFont_; // none until the main window has told it
    int rowHeight_ = 0;             // 0 until the main window has told it
    int keyColumn_ = 0;
    int savedColumn_ = 0;
    ListFind find_;
};

} // namespace sorabel
