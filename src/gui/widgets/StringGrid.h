#pragma once

#include <QTableView>
#include <climits>
#include <functional>
#include <vector>

class QPainter;

namespace sorabel {

// A grid over a table model, with one fixed header row (row 0) and one fixed
// number column (column 0) drawn from the model's header data. Cells are
// addressed (column, row) with the fixed ones included, so cells(0, r) is the
// vertical header of row r and cells(c, 0) the header of column c; data cell
// (c, r) is the model's (r - 1, c - 1). The fixed row and column do not scroll.
// The grid holds no texts of its own: it reads the model.
//
// gridClick() is raised
// - when the mouse is released after being pressed on a data cell (also when
//   that cell was already current);
// - when the keyboard moves the current cell;
// - when setCol() or setRow() changes the current column or row (setting the
//   present value raises nothing).
// setSelectionRect() moves the current cell to the rectangle's bottom-right
// corner without raising it and without scrolling; setRow() and setCol()
// scroll as far as needed. Pressing on the header row or the number column
// raises nothing, and neither does a change of the model's rows: the current
// cell then keeps its place, within the rows that remain.
class StringGrid : public QTableView {
    Q_OBJECT
public:
    struct Rect {
        int left = 1;
        int top = 1;
        int right = 1;
        int bottom = 1;
        bool operator==(const Rect&) const = default;
    };
    // Runs after the default painting of each data cell; `focused` is true
    // for the current cell while the grid has the keyboard focus.
    using DrawCellHook =
        std::function<void(QPainter& painter, int col, int row, const QRect& rect, bool focused)>;
    using TextWidthMeasure = std::function<int(const QString& text)>;

    explicit StringGrid(QWidget* parent = nullptr);
    ~StringGrid() override;

    // The grid reads this model from now on (a flat table).
    void setModel(QAbstractItemModel* model) override;

    // Counts with the fixed row and column: never less than 1.
    int colCount() const;
    int rowCount() const;
    QString cells(int col, int row) const;

    // The current cell at another row, without a click and scrolled into view.
    void moveToRowQuietly(int row);

    int col() const { return col_; }
    int row() const { return row_; }
    void setCol(int col);
    void setRow(int row);
    Rect selectionRect() const;
    void setSelectionRect(const Rect& rect);

    // First data row shown under the header. Any data row may be made the top
    // row, also near the end where empty space is left below the last row.
    int topRow() const;
    void setTopRow(int row);

    int colWidths(int col) const;
    void setColWidths(int col, int width);
    int defaultColWidth() const { return defaultColWidth_; }
    void setDefaultColWidth(int width);
    int defaultRowHeight() const { return defaultRowHeight_; }
    void setDefaultRowHeight(int height);

    void setDrawCellHook(DrawCellHook hook) { drawCellHook_ = std::move(hook); }
    const DrawCellHook& drawCellHook() const { return drawCellHook_; }
    bool isFocusedCell(int col, int row) const;

    // Width of a text in `font`; the measure can be replaced for tests.
    static int textWidth(const QString& text, const QFont& font);
    // Widest text of a column, header included, measured in `font`. Measuring
    // stops once a text reaches `enough` pixels (a caller that caps the width
    // needs no more).
    int maxTextWidth(int col, const QFont& font, int enough = INT_MAX) const;
    // The same over rows firstRow..lastRow only (row 0 is the header).
    int maxTextWidth(int col, int firstRow, int lastRow, const QFont& font,
                     int enough = INT_MAX) const;
    static void setTextWidthMeasure(TextWidthMeasure measure);

signals:
    void gridClick();

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void watchModel(QAbstractItemModel* model);
    void modelChanging();
    void modelChanged();
    void applyWidths();
    void syncCurrent(bool scroll);
    void clampCurrent();
    void keepTopRowOffset();

    std::vector<QMetaObject::Connection> modelConnections_;
    std::vector<int> widths_;
    int col_ = 1;
    int row_ = 1;
    int defaultColWidth_ = 64;
    int defaultRowHeight_ = 24;
    int changing_ = 0; // inside a change of the model's rows
    bool programmatic_ = false;
    bool noScroll_ = false;
    bool mouseDown_ = false;
    bool pressedOnCell_ = false;
    bool inGeometry_ = false;
    bool settingTop_ = false;
    int extraTop_ = 0; // scroll position wanted beyond the natural end
    DrawCellHook drawCellHook_;
};

} // namespace sorabel
