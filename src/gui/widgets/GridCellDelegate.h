#pragma once

#include <QFont>
#include <QHash>
#include <QStaticText>
#include <QStyledItemDelegate>

namespace sorabel {

class StringGrid;

// Draws the grid's cells: the style's background, selection and focus, then
// the text on one line, cut at the cell's edge, and last the grid's own cell
// hook. The text is laid out once and kept: a grid repaints many unchanged
// cells (scrolling, a column widened while the user types), and shaping every
// text again each time made a repaint of the list cost milliseconds.
class GridCellDelegate : public QStyledItemDelegate {
public:
    explicit GridCellDelegate(StringGrid* grid);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    void drawFocus(QPainter* painter, const QStyleOptionViewItem& opt, const QStyle* style) const;
    const QStaticText& laidOut(const QString& text, const QFont& font) const;

    StringGrid* grid_;
    mutable QHash<QString, QStaticText> texts_;
    mutable QFont textsFont_;
};

} // namespace sorabel
