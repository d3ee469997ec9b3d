#pragma once

#include <QStyledItemDelegate>

namespace sorabel {

// Draws a found book in three lines: its heading with the number of matching
// fields, then the first two matching fields, each as caption and excerpt
// with the words of the query marked. Every row has the same height, so the
// list lays out 2000 rows without asking each one.
class SearchResultDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int kExcerptLines = 2;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace sorabel
