#include "gui/main/ImpressionsSearch.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <stdexcept>

namespace sorabel::ImpressionsSearch {

std::optional<int> findNext(const QString& text, const QString& needle, int selectionStart,
                            int selectionLength) {
    if (needle.isEmpty())
        return std::nullopt;
    qsizetype from = selectionLength > 0 ? qsizetype(selectionStart) + selectionLength : 0;
    if (from < 0 || from > text.size())
        return std::nullopt;
    const qsizetype at = text.indexOf(needle, from, Qt::CaseSensitive);
    if (at < 0)
        return std::nullopt;
    return static_cast<int>(at);
}

QString cannotFocusMessage() {
    return QStringLiteral("無効/非表示ウィンドウにはフォーカスを設定できません");
}

void findInControl(QPlainTextEdit* impressions, const QString& needle) {
    const QTextCursor cursor = impressions->textCursor();
    const std::optional<int> at =
        findNext(impressions->toPlainText(), needle, cursor.selectionStart(),
                 cursor.selectionEnd() - cursor.selectionStart());
    if (!at)
        return;
    if (impressions->isHidden() || !impressions->isEnabled() || !impressions->window()->isVisible())
        throw std::runtime_error(cannotFocusMessage().toStdString());
    impressions->window()->activateWindow();
    impressions->setFocus(Qt::OtherFocusReason);
    QTextCursor selection(impressions->document());
    selection.setPosition(*at);
    selection.setPosition(*at + static_cast<int>(needle.size()), QTextCursor::KeepAnchor);
    impressions->setTextCursor(selection);
}

} // namespace sorabel::ImpressionsSearch
