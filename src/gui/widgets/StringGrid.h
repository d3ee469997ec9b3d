#pragma once

#include <QTableView>
#include <climits>
#include <functional>
#include <vector>

class QPainter;

namespace sorabel {

class StringGridModel;

// A grid of texts with one fixed header row (row 0) and one fixed number
// column (column 0). Cells are addressed (column, row) with the fixed ones
// included, so cells(0, r) is the number of row r and cells(c, 0) the header
// of column c. The fixed row and column are drawn as the view's headers and do
// not scroll.
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
// raises nothing.
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

    int colCount() const { return colCount_; }
    void setColCount(int count); // at least 1
    int rowCount() const { return rowCount_; }
    void setRowCount(int count); // at least 1

    QString cells(int col, int row) const;
    void setCells(int col, int row, const QString& text);
    // All cells of a row, column 0 included.
    const std::vector<QString>& rowCells(int row) const;
    void setRowCells(int row, std::vector<QString> cells);

    // Many cell changes at once: the view is refreshed once at endUpdate().
    void beginUpdate();
    void endUpdate();

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
    friend class StringGridModel;
    void refreshAll();
    void applyWidths();
    void syncCurrent(bool scroll);
    void clampCurrent();
    void keepTopRowOffset();
    static QString displayText(const QString& text);

    StringGridModel* model_;
    std::vector<std::vector<QString>> cells_; // [row][col]
    std::vector<int> widths_;
    int colCount_ = 1;
    int rowCount_ = 1;
    int col_ = 1;
    int row_ = 1;
    int defaultColWidth_ = 64;
    int defaultRowHeight_ = 24;
    int updateDepth_ = 0;
    bool dirty_ = false;
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
