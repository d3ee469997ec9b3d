#include "gui/search/SearchResultDelegate.h"

#include "gui/widgets/ReadableColour.h"

#include "gui/search/SearchResultModel.h"

#include <QApplication>
#include <QPainter>
#include <QTextLayout>

namespace sorabel {

namespace {
constexpr int kMargin = 4;
const QColor kMark(255, 226, 100);
const QColor kDarkMark(122, 92, 0);

// One line of text clipped to the width, with marked ranges.
void drawLine(QPainter* painter, const QString& text, const QList<QTextLayout::FormatRange>& marks,
              const QFont& font, const QPointF& at, qreal width) {
    QTextLayout layout(text, font);
    layout.setFormats(marks);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid())
        line.setLineWidth(width);
    layout.endLayout();
    layout.draw(painter, at);
}
} // namespace

void SearchResultDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    opt.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    const auto* model = qobject_cast<const SearchResultModel*>(index.model());
    if (!model)
        return;
    painter->save();
    painter->setClipRect(option.rect);
    const bool selected = option.state & QStyle::State_Selected;
    painter->setPen(option.palette.color(QPalette::Normal,
                                         selected ? QPalette::HighlightedText : QPalette::Text));
    const QFontMetrics fm(option.font);
    const qreal width = option.rect.width() - 2 * kMargin;
    QPointF at(option.rect.left() + kMargin, option.rect.top() + kMargin);

    QFont bold = option.font;
    bold.setBold(true);
    const int fields = index.data(SearchResultModel::FieldCountRole).toInt();
    const QString count = QStringLiteral("%1項目").arg(fields);
    const int countWidth = fm.horizontalAdvance(count) + kMargin;
    drawLine(painter, index.data().toString(), {}, bold, at, width - countWidth);
    painter->drawText(QRectF(at.x(), at.y(), width, fm.height()), Qt::AlignRight, count);

    QTextCharFormat caption;
    caption.setForeground(option.palette.color(
        QPalette::Normal, selected ? QPalette::HighlightedText : QPalette::PlaceholderText));
    // The found words stand out on the theme's base: a light mark with dark
    // text, or on a dark theme a deep one with the theme's light text.
    QTextCharFormat mark;
    const bool dark = ReadableColour::isDark(option.palette);
    mark.setBackground(dark ? kDarkMark : kMark);
    mark.setForeground(dark ? option.palette.color(QPalette::Normal, QPalette::Text)
                            : QColor(Qt::black));
    for (const auto& line : model->lines(index.row(), kExcerptLines)) {
        at.ry() += fm.lineSpacing();
        QList<QTextLayout::FormatRange> formats{{0, static_cast<int>(line.captionLength), caption}};
        for (const auto& [start, length] : line.highlights)
            formats.append({static_cast<int>(start), static_cast<int>(length), mark});
        drawLine(painter, line.text, formats, option.font, at, width);
    }
    painter->restore();
}

QSize SearchResultDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    const QFontMetrics fm(option.font);
    return {fm.averageCharWidth() * 40, fm.lineSpacing() * (1 + kExcerptLines) + 2 * kMargin};
}

} // namespace sorabel
