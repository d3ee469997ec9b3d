#include "gui/main/ImpressionsEdit.h"

#include "core/text/ShiftJis.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>

namespace sorabel {

ImpressionsEdit::ImpressionsEdit(QWidget* parent) : QPlainTextEdit(parent) {}

bool ImpressionsEdit::accepts(const QString& text) {
    const QString bad = sjis::unencodableCharacters(text);
    if (bad.isEmpty())
        return true;
    if (onRefused)
        onRefused(bad);
    return false;
}

void ImpressionsEdit::keyPressEvent(QKeyEvent* event) {
    if (!event->text().isEmpty() && !accepts(event->text())) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void ImpressionsEdit::inputMethodEvent(QInputMethodEvent* event) {
    if (!event->commitString().isEmpty() && !accepts(event->commitString())) {
        // Let the composition end, but without its text.
        QInputMethodEvent stripped(QString(), event->attributes());
        QPlainTextEdit::inputMethodEvent(&stripped);
        return;
    }
    QPlainTextEdit::inputMethodEvent(event);
}

void ImpressionsEdit::insertFromMimeData(const QMimeData* source) {
    if (source && source->hasText() && !accepts(source->text()))
        return;
    QPlainTextEdit::insertFromMimeData(source);
}

} // namespace sorabel
