#include "gui/widgets/GridCellDelegate.h"
#include "gui/widgets/StringGrid.h"

#include <QPainter>
#include <QStyle>

namespace sorabel {

namespace {

// Enough for every cell of a large screen several times over; beyond it the
// kept texts start afresh rather than growing with every text ever shown.
constexpr qsizetype kMostKeptTexts = 4096;

} // namespace

GridCellDelegate::GridCellDelegate(StringGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

void GridCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : nullptr;
    const bool plain = style && !(opt.features & (QStyleOptionViewItem::HasDecoration |
                                                  QStyleOptionViewItem::HasCheckIndicator |
                                                  QStyleOptionViewItem::WrapText));
    if (!plain) {
        QStyledItemDelegate::paint(painter, option, index);
    } else {
        // The style draws everything but the text, which is drawn where the
        // style would put it: inside its margins, centred as one line.
        QStyleOptionViewItem bare = opt;
        bare.text.clear();
        bare.state &= ~QStyle::State_HasFocus; // drawn over the text, below
        style->drawControl(QStyle::CE_ItemViewItem, &bare, painter, widget);
        const QString& text = opt.text;
        if (!text.isEmpty()) {
            const QStaticText& laid = laidOut(text, opt.font);
            const int margin =
                style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
            const QRect textRect = opt.rect.adjusted(margin, 0, -margin, 0);
            const QSize size(textRect.width(), static_cast<int>(laid.size().height()));
            const Qt::Alignment alignment = QStyle::visualAlignment(
                opt.direction, opt.displayAlignment & (Qt::AlignVertical_Mask | Qt::AlignLeft |
                                                       Qt::AlignRight | Qt::AlignHCenter));
            const QRect placed = QStyle::alignedRect(
                opt.direction, alignment & Qt::AlignVertical_Mask, size, textRect);
            qreal x = textRect.x();
            if (alignment & Qt::AlignRight)
                x = textRect.right() + 1 - laid.size().width();
            else if (alignment & Qt::AlignHCenter)
                x = textRect.x() + (textRect.width() - laid.size().width()) / 2;
            const QPalette::ColorGroup group =
                !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
                : (opt.state & QStyle::State_Active) ? QPalette::Normal
                                                     : QPalette::Inactive;
            painter->save();
            painter->setClipRect(opt.rect);
            painter->setFont(opt.font);
            painter->setPen(opt.palette.color(group, (opt.state & QStyle::State_Selected)
                                                         ? QPalette::HighlightedText
                                                         : QPalette::Text));
            painter->drawStaticText(QPointF(x, placed.top()), laid);
            painter->restore();
        }
        if (opt.state & QStyle::State_HasFocus)
            drawFocus(painter, opt, style);
    }
    if (const auto& hook = grid_->drawCellHook()) {
        const int col = index.column() + 1;
        const int row = index.row() + 1;
        painter->save();
        hook(*painter, col, row, option.rect, grid_->isFocusedCell(col, row));
        painter->restore();
    }
}

// The focus frame as the style draws it over an item's text.
void GridCellDelegate::drawFocus(QPainter* painter, const QStyleOptionViewItem& opt,
                                 const QStyle* style) const {
    QStyleOptionFocusRect focus;
    focus.QStyleOption::operator=(opt);
    focus.rect = style->subElementRect(QStyle::SE_ItemViewItemFocusRect, &opt, opt.widget);
    focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
    const QPalette::ColorGroup group =
        (opt.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
    focus.backgroundColor = opt.palette.color(
        group, (opt.state & QStyle::State_Selected) ? QPalette::Highlight : QPalette::Window);
    painter->save();
    painter->setClipRect(opt.rect);
    style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, opt.widget);
    painter->restore();
}

const QStaticText& GridCellDelegate::laidOut(const QString& text, const QFont& font) const {
    if (font != textsFont_ || texts_.size() >= kMostKeptTexts) {
        texts_.clear();
        textsFont_ = font;
    }
    auto found = texts_.find(text);
    if (found == texts_.end()) {
        QStaticText laid(text);
        laid.setTextFormat(Qt::PlainText);
        QTextOption option;
        option.setWrapMode(QTextOption::ManualWrap);
        laid.setTextOption(option);
        laid.prepare(QTransform(), font);
        found = texts_.insert(text, laid);
    }
    return *found;
}

} // namespace sorabel
