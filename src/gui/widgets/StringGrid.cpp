#include "gui/widgets/StringGrid.h"
#include "core/support/TestHooks.h"
#include "gui/widgets/GridCellDelegate.h"

#include <QAbstractItemModel>
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

namespace {

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

StringGrid::StringGrid(QWidget* parent) : QTableView(parent) {
    widths_.assign(1, defaultColWidth_);
    setItemDelegate(new GridCellDelegate(this));
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

void StringGrid::setModel(QAbstractItemModel* model) {
    for (const auto& c : modelConnections_)
        disconnect(c);
    modelConnections_.clear();
    // Connected before the view's own handlers, so that the selection
    // model's moves during a change are known to be no user's.
    if (model)
        watchModel(model);
    {
        FlagGuard guard(programmatic_);
        QTableView::setModel(model);
    }
    modelChanged();
}

void StringGrid::watchModel(QAbstractItemModel* model) {
    using M = QAbstractItemModel;
    auto on = [this, model](auto signal, auto slot) {
        modelConnections_.push_back(connect(model, signal, this, slot));
    };
    for (auto signal : {&M::rowsAboutToBeInserted, &M::rowsAboutToBeRemoved,
                        &M::columnsAboutToBeInserted, &M::columnsAboutToBeRemoved})
        on(signal, [this] { modelChanging(); });
    for (auto signal : {&M::rowsInserted, &M::rowsRemoved, &M::columnsInserted, &M::columnsRemoved})
        on(signal, [this] { modelChanged(); });
    on(&M::modelAboutToBeReset, [this] { modelChanging(); });
    on(&M::modelReset, [this] { modelChanged(); });
    on(&M::layoutAboutToBeChanged, [this] { modelChanging(); });
    on(&M::layoutChanged, [this] { modelChanged(); });
}

void StringGrid::modelChanging() {
    ++changing_;
}

void StringGrid::modelChanged() {
    changing_ = std::max(0, changing_ - 1);
    if (changing_ > 0)
        return;
    widths_.resize(static_cast<size_t>(colCount()), defaultColWidth_);
    clampCurrent();
    applyWidths();
    syncCurrent(false);
}

int StringGrid::colCount() const {
    return model() ? model()->columnCount() + 1 : 1;
}

int StringGrid::rowCount() const {
    return model() ? model()->rowCount() + 1 : 1;
}

void StringGrid::clampCurrent() {
    col_ = std::clamp(col_, 1, std::max(1, colCount() - 1));
    row_ = std::clamp(row_, 1, std::max(1, rowCount() - 1));
}

QString StringGrid::cells(int col, int row) const {
    if (!model() || col < 0 || row < 0 || col >= colCount() || row >= rowCount() ||
        (col == 0 && row == 0))
        return {};
    if (row == 0)
        return model()->headerData(col - 1, Qt::Horizontal).toString();
    if (col == 0)
        return model()->headerData(row - 1, Qt::Vertical).toString();
    return model()->index(row - 1, col - 1).data().toString();
}

void StringGrid::applyWidths() {
    verticalHeader()->setFixedWidth(widths_[0]);
    for (int c = 1; c < colCount(); ++c)
        horizontalHeader()->resizeSection(c - 1, widths_[static_cast<size_t>(c)]);
}

void StringGrid::syncCurrent(bool scroll) {
    const QModelIndex index = model() ? model()->index(row_ - 1, col_ - 1) : QModelIndex();
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
    if (col < 1 || col >= colCount() || col == col_)
        return;
    col_ = col;
    syncCurrent(true);
    emit gridClick();
}

void StringGrid::setRow(int row) {
    if (row < 1 || row >= rowCount() || row == row_)
        return;
    row_ = row;
    syncCurrent(true);
    emit gridClick();
}

void StringGrid::moveToRowQuietly(int row) {
    if (row < 1 || row >= rowCount() || row == row_)
        return;
    row_ = row;
    syncCurrent(true);
}

StringGrid::Rect StringGrid::selectionRect() const {
    if (!selectionModel())
        return {col_, row_, col_, row_};
    const QItemSelection selection = selectionModel()->selection();
    if (selection.isEmpty())
        return {col_, row_, col_, row_};
    Rect r{colCount(), rowCount(), 0, 0};
    for (const QItemSelectionRange& range : selection) {
        r.left = std::min(r.left, range.left() + 1);
        r.top = std::min(r.top, range.top() + 1);
        r.right = std::max(r.right, range.right() + 1);
        r.bottom = std::max(r.bottom, range.bottom() + 1);
    }
    return r;
}

void StringGrid::setSelectionRect(const Rect& rect) {
    const int maxCol = colCount() - 1;
    const int maxRow = rowCount() - 1;
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
    selectionModel()->setCurrentIndex(model()->index(row_ - 1, col_ - 1),
                                      QItemSelectionModel::NoUpdate);
    selectionModel()->select(
        QItemSelection(model()->index(top - 1, left - 1), model()->index(bottom - 1, right - 1)),
        QItemSelectionModel::ClearAndSelect);
}

int StringGrid::topRow() const {
    return verticalScrollBar()->value() + 1;
}

void StringGrid::setTopRow(int row) {
    if (rowCount() < 2)
        return;
    row = std::clamp(row, 1, rowCount() - 1);
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
    const int limit = std::max(0, rowCount() - 2);
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
    if (extraTop_ <= 0 || value != bar->maximum() || value >= rowCount() - 1)
        return;
    const int position = verticalHeader()->sectionPosition(value);
    if (verticalHeader()->offset() != position) {
        verticalHeader()->setOffset(position);
        viewport()->update();
    }
}

int StringGrid::colWidths(int col) const {
    if (col < 0 || col >= colCount() || col >= static_cast<int>(widths_.size()))
        return 0;
    return widths_[static_cast<size_t>(col)];
}

void StringGrid::setColWidths(int col, int width) {
    if (col < 0 || col >= colCount())
        return;
    if (col >= static_cast<int>(widths_.size()))
        widths_.resize(static_cast<size_t>(col + 1), defaultColWidth_);
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
    return advanceCache().width(text, font);
}

int StringGrid::maxTextWidth(int col, const QFont& font, int enough) const {
    return maxTextWidth(col, 0, rowCount() - 1, font, enough);
}

int StringGrid::maxTextWidth(int col, int firstRow, int lastRow, const QFont& font,
                             int enough) const {
    if (col < 0 || col >= colCount())
        return 0;
    const auto& measure = widthMeasure();
    AdvanceCache& cache = advanceCache();
    firstRow = std::max(firstRow, 0);
    lastRow = std::min(lastRow, rowCount() - 1);
    // Many cells repeat (genres, formats, empty notes): measure each text once.
    std::unordered_set<QString> seen;
    seen.reserve(static_cast<size_t>(std::max(0, lastRow - firstRow + 1)));
    int widest = 0;
    for (int row = firstRow; row <= lastRow; ++row) {
        const QString text = cells(col, row);
        if (text.isEmpty() || !seen.insert(text).second)
            continue;
        widest = std::max(widest, measure ? measure(text) : cache.width(text, font));
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
    if (programmatic_ || changing_ > 0 || !current.isValid())
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
