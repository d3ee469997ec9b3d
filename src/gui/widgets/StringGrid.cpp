#include "gui/widgets/StringGrid.h"
#include "core/support/TestHooks.h"

#include <QAbstractTableModel>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>
#include <memory>
#include <unordered_set>

namespace sorabel {

// Data cells are model rows/columns shifted by one; the fixed row and column
// are the model's header data.
class StringGridModel : public QAbstractTableModel {
public:
    explicit StringGridModel(StringGrid* grid) : QAbstractTableModel(grid), grid_(grid) {}

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : grid_->rowCount_ - 1;
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : grid_->colCount_ - 1;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        return StringGrid::displayText(grid_->cells_[static_cast<size_t>(index.row() + 1)]
                                                    [static_cast<size_t>(index.column() + 1)]);
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        if (role != Qt::DisplayRole)
            return {};
        if (orientation == Qt::Horizontal)
            return StringGrid::displayText(grid_->cells(section + 1, 0));
        return StringGrid::displayText(grid_->cells(0, section + 1));
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }
    void reset() {
        beginResetModel();
        endResetModel();
    }
    void cellChanged(int col, int row) {
        if (row == 0 && col > 0)
            emit headerDataChanged(Qt::Horizontal, col - 1, col - 1);
        else if (col == 0 && row > 0)
            emit headerDataChanged(Qt::Vertical, row - 1, row - 1);
        else if (row > 0 && col > 0)
            emit dataChanged(index(row - 1, col - 1), index(row - 1, col - 1));
    }

private:
    StringGrid* grid_;
};

namespace {

class HookDelegate : public QStyledItemDelegate {
public:
    explicit HookDelegate(StringGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        if (const auto& hook = grid_->drawCellHook()) {
            const int col = index.column() + 1;
            const int row = index.row() + 1;
            painter->save();
            hook(*painter, col, row, option.rect, grid_->isFocusedCell(col, row));
            painter->restore();
        }
    }

private:
    StringGrid* grid_;
};

StringGrid::TextWidthMeasure& widthMeasure() {
    static StringGrid::TextWidthMeasure measure;
    return measure;
}

// Column widths need the width of every text of a column. Shaping each text
// is slow for 2000 rows, so plain texts are measured as the sum of their
// characters' advances (kerning off), each character measured once per font.
// Texts with surrogates or combining marks go through full shaping.
class AdvanceCache {
public:
    int width(const QString& text, const QFont& font) {
        if (font.key() != fontKey_) {
            fontKey_ = font.key();
            QFont plain = font;
            plain.setKerning(false);
            metrics_ = std::make_unique<QFontMetricsF>(plain);
            advances_.assign(0x10000, -1.0f);
        }
        qreal sum = 0;
        for (QChar ch : text) {
            const char16_t u = ch.unicode();
            float& advance = advances_[u];
            if (advance < 0) {
                if (ch.isSurrogate() || ch.isMark() || ch.category() == QChar::Other_Format)
                    return qRound(metrics_->horizontalAdvance(text));
                advance = static_cast<float>(metrics_->horizontalAdvance(ch));
            }
            sum += advance;
        }
        return qRound(sum);
    }

private:
    QString fontKey_;
    std::unique_ptr<QFontMetricsF> metrics_;
    std::vector<float> advances_;
};

AdvanceCache& advanceCache() {
    static AdvanceCache cache;
    return cache;
}

struct FlagGuard {
    bool& flag;
    bool old;
    explicit FlagGuard(bool& f) : flag(f), old(f) { flag = true; }
    ~FlagGuard() { flag = old; }
};

} // namespace

StringGrid::StringGrid(QWidget* parent) : QTableView(parent), model_(new StringGridModel(this)) {
    cells_.assign(1, std::vector<QString>(1));
    widths_.assign(1, defaultColWidth_);
    setModel(model_);
    setItemDelegate(new HookDelegate(this));
    setEditTriggers(NoEditTriggers);
    setSelectionMode(ContiguousSelection);
    setSelectionBehavior(SelectItems);
    setVerticalScrollMode(ScrollPerItem);
    setHorizontalScrollMode(ScrollPerPixel);
    setTabKeyNavigation(false);
    setCornerButtonEnabled(false);
    setWordWrap(false);
    // A long text is cut at the cell's edge, as a grid does, not elided.
    setTextElideMode(Qt::ElideNone);
    setShowGrid(true);
    for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
        header->setSectionsClickable(false);
        header->setHighlightSections(false);
        header->setSectionResizeMode(QHeaderView::Fixed);
        header->setMinimumSectionSize(1);
        header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    horizontalHeader()->setDefaultSectionSize(defaultColWidth_);
    verticalHeader()->setDefaultSectionSize(defaultRowHeight_);
    horizontalHeader()->setFixedHeight(defaultRowHeight_);
    verticalHeader()->setFixedWidth(defaultColWidth_);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        // The user scrolled back: the extra room is only kept as far as needed.
        if (!inGeometry_ && !settingTop_)
            extraTop_ = std::min(extraTop_, value);
    });
}

StringGrid::~StringGrid() = default;

QString StringGrid::displayText(const QString& text) {
    // Line breaks (only the impressions have them) are shown as spaces so a
    // cell stays one line.
    if (!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String(" "));
    shown.replace(QLatin1Char('\r'), QLatin1Char(' '));
    shown.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return shown;
}

void StringGrid::setColCount(int count) {
    count = std::max(1, count);
    if (count == colCount_)
        return;
    colCount_ = count;
    for (auto& row : cells_)
        row.resize(static_cast<size_t>(count));
    widths_.resize(static_cast<size_t>(count), defaultColWidth_);
    clampCurrent();
    refreshAll();
}

void StringGrid::setRowCount(int count) {
    count = std::max(1, count);
    if (count == rowCount_)
        return;
    rowCount_ = count;
    cells_.resize(static_cast<size_t>(count), std::vector<QString>(static_cast<size_t>(colCount_)));
    clampCurrent();
    refreshAll();
}

void StringGrid::clampCurrent() {
    col_ = std::clamp(col_, 1, std::max(1, colCount_ - 1));
    row_ = std::clamp(row_, 1, std::max(1, rowCount_ - 1));
}

QString StringGrid::cells(int col, int row) const {
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_)
        return {};
    return cells_[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

void StringGrid::setCells(int col, int row, const QString& text) {
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_)
        return;
    cells_[static_cast<size_t>(row)][static_cast<size_t>(col)] = text;
    if (updateDepth_ > 0)
        dirty_ = true;
    else
        model_->cellChanged(col, row);
}

const std::vector<QString>& StringGrid::rowCells(int row) const {
    return cells_.at(static_cast<size_t>(row));
}

void StringGrid::setRowCells(int row, std::vector<QString> cells) {
    if (row < 0 || row >= rowCount_)
        return;
    cells.resize(static_cast<size_t>(colCount_));
    cells_[static_cast<size_t>(row)] = std::move(cells);
    if (updateDepth_ > 0) {
        dirty_ = true;
        return;
    }
    for (int c = 0; c < colCount_; ++c)
        model_->cellChanged(c, row);
}

void StringGrid::beginUpdate() {
    ++updateDepth_;
}

void StringGrid::endUpdate() {
    if (updateDepth_ > 0 && --updateDepth_ == 0 && dirty_)
        refreshAll();
}

void StringGrid::refreshAll() {
    if (updateDepth_ > 0) {
        dirty_ = true;
        return;
    }
    dirty_ = false;
    const int top = verticalScrollBar()->value();
    const int left = horizontalScrollBar()->value();
    {
        FlagGuard guard(programmatic_);
        model_->reset();
    }
    applyWidths();
    {
        FlagGuard guard(settingTop_);
        verticalScrollBar()->setValue(top);
        horizontalScrollBar()->setValue(left);
    }
    syncCurrent(false);
}

void StringGrid::applyWidths() {
    verticalHeader()->setFixedWidth(widths_[0]);
    for (int c = 1; c < colCount_; ++c)
        horizontalHeader()->resizeSection(c - 1, widths_[static_cast<size_t>(c)]);
}

void StringGrid::syncCurrent(bool scroll) {
    const QModelIndex index = model_->index(row_ - 1, col_ - 1);
    if (!index.isValid())
        return;
    FlagGuard guard(programmatic_);
    FlagGuard noScroll(noScroll_);
    noScroll_ = !scroll;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    if (scroll)
        scrollTo(index);
}

void StringGrid::setCol(int col) {
    if (col < 1 || col >= colCount_ || col == col_)
        return;
    col_ = col;
    syncCurrent(true);
    emit gridClick();
}

void StringGrid::setRow(int row) {
    if (row < 1 || row >= rowCount_ || row == row_)
        return;
    row_ = row;
    syncCurrent(true);
    emit gridClick();
}

StringGrid::Rect StringGrid::selectionRect() const {
    const QItemSelection selection = selectionModel()->selection();
    if (selection.isEmpty())
        return {col_, row_, col_, row_};
    Rect r{colCount_, rowCount_, 0, 0};
    for (const QItemSelectionRange& range : selection) {
        r.left = std::min(r.left, range.left() + 1);
        r.top = std::min(r.top, range.top() + 1);
        r.right = std::max(r.right, range.right() + 1);
        r.bottom = std::max(r.bottom, range.bottom() + 1);
    }
    return r;
}

void StringGrid::setSelectionRect(const Rect& rect) {
    const int maxCol = colCount_ - 1;
    const int maxRow = rowCount_ - 1;
    if (maxCol < 1 || maxRow < 1)
        return;
    const int left = std::clamp(rect.left, 1, maxCol);
    const int right = std::clamp(rect.right, left, maxCol);
    const int top = std::clamp(rect.top, 1, maxRow);
    const int bottom = std::clamp(rect.bottom, top, maxRow);
    col_ = right;
    row_ = bottom;
    FlagGuard guard(programmatic_);
    FlagGuard noScroll(noScroll_);
    selectionModel()->setCurrentIndex(model_->index(row_ - 1, col_ - 1),
                                      QItemSelectionModel::NoUpdate);
    selectionModel()->select(
        QItemSelection(model_->index(top - 1, left - 1), model_->index(bottom - 1, right - 1)),
        QItemSelectionModel::ClearAndSelect);
}

int StringGrid::topRow() const {
    return verticalScrollBar()->value() + 1;
}

void StringGrid::setTopRow(int row) {
    if (rowCount_ < 2)
        return;
    row = std::clamp(row, 1, rowCount_ - 1);
    FlagGuard guard(settingTop_);
    extraTop_ = row - 1;
    QScrollBar* bar = verticalScrollBar();
    if (bar->maximum() < row - 1)
        bar->setMaximum(row - 1);
    bar->setValue(row - 1);
}

void StringGrid::updateGeometries() {
    FlagGuard guard(inGeometry_);
    QScrollBar* bar = verticalScrollBar();
    const int wanted = bar->value();
    QTableView::updateGeometries();
    const int limit = std::max(0, rowCount_ - 2);
    extraTop_ = std::min(extraTop_, limit);
    if (extraTop_ > bar->maximum()) {
        bar->setMaximum(extraTop_);
        bar->setValue(std::min(wanted, extraTop_));
    }
    keepTopRowOffset();
}

void StringGrid::scrollContentsBy(int dx, int dy) {
    QTableView::scrollContentsBy(dx, dy);
    keepTopRowOffset();
}

void StringGrid::keepTopRowOffset() {
    // At the scroll bar's end the header lines the last row up with the
    // bottom; a top row set beyond that end must stay on top instead.
    QScrollBar* bar = verticalScrollBar();
    const int value = bar->value();
    if (extraTop_ <= 0 || value != bar->maximum() || value >= rowCount_ - 1)
        return;
    const int position = verticalHeader()->sectionPosition(value);
    if (verticalHeader()->offset() != position) {
        verticalHeader()->setOffset(position);
        viewport()->update();
    }
}

int StringGrid::colWidths(int col) const {
    if (col < 0 || col >= colCount_)
        return 0;
    return widths_[static_cast<size_t>(col)];
}

void StringGrid::setColWidths(int col, int width) {
    if (col < 0 || col >= colCount_)
        return;
    width = std::max(0, width);
    widths_[static_cast<size_t>(col)] = width;
    if (col == 0)
        verticalHeader()->setFixedWidth(width);
    else
        horizontalHeader()->resizeSection(col - 1, width);
}

void StringGrid::setDefaultColWidth(int width) {
    defaultColWidth_ = width;
    horizontalHeader()->setDefaultSectionSize(width);
}

void StringGrid::setDefaultRowHeight(int height) {
    height = std::max(1, height);
    defaultRowHeight_ = height;
    verticalHeader()->setDefaultSectionSize(height);
    horizontalHeader()->setFixedHeight(height);
}

bool StringGrid::isFocusedCell(int col, int row) const {
    return col == col_ && row == row_ && hasFocus();
}

int StringGrid::textWidth(const QString& text, const QFont& font) {
    if (const auto& measure = widthMeasure())
        return measure(text);
    return advanceCache().width(displayText(text), font);
}

int StringGrid::maxTextWidth(int col, const QFont& font, int enough) const {
    if (col < 0 || col >= colCount_)
        return 0;
    const auto& measure = widthMeasure();
    AdvanceCache& cache = advanceCache();
    // Many cells repeat (genres, formats, empty notes): measure each text once.
    std::unordered_set<QString> seen;
    seen.reserve(static_cast<size_t>(rowCount_));
    int widest = 0;
    for (const auto& row : cells_) {
        const QString& text = row[static_cast<size_t>(col)];
        if (text.isEmpty() || !seen.insert(text).second)
            continue;
        widest = std::max(widest, measure ? measure(text) : cache.width(displayText(text), font));
        if (widest >= enough)
            break;
    }
    return widest;
}

void StringGrid::setTextWidthMeasure(TextWidthMeasure measure) {
    TestHooks::onReset(&widthMeasure(), [] { widthMeasure() = {}; });
    widthMeasure() = std::move(measure);
}

void StringGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    if (noScroll_) {
        const bool autoScroll = hasAutoScroll();
        setAutoScroll(false);
        QTableView::currentChanged(current, previous);
        setAutoScroll(autoScroll);
    } else {
        QTableView::currentChanged(current, previous);
    }
    if (programmatic_ || !current.isValid())
        return;
    const int col = current.column() + 1;
    const int row = current.row() + 1;
    if (col == col_ && row == row_)
        return;
    col_ = col;
    row_ = row;
    // A mouse press reports on release; a keyboard move at once.
    if (!mouseDown_)
        emit gridClick();
}

void StringGrid::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !indexAt(event->position().toPoint()).isValid()) {
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    mouseDown_ = true;
    pressedOnCell_ = true;
    QTableView::mousePressEvent(event);
}

void StringGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click counts as a press of its own.
    mousePressEvent(event);
}

void StringGrid::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    mouseDown_ = false;
    if (pressedOnCell_ && event->button() == Qt::LeftButton) {
        pressedOnCell_ = false;
        emit gridClick();
    }
}

void StringGrid::keyPressEvent(QKeyEvent* event) {
    mouseDown_ = false;
    QTableView::keyPressEvent(event);
}

} // namespace sorabel
