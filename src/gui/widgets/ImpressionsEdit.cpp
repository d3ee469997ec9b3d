#include "gui/widgets/ImpressionsEdit.h"

#include "core/text/LookAlikes.h"
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

// Text from input methods and web pages carries look-alikes of characters
// the catalogue holds (〜 for ～, − for －, ...): they are taken as those.
void ImpressionsEdit::keyPressEvent(QKeyEvent* event) {
    const QString text = toCodePageLookAlikes(event->text());
    if (!text.isEmpty() && !accepts(text)) {
        event->accept();
        return;
    }
    if (text != event->text()) {
        QKeyEvent mapped(event->type(), event->key(), event->modifiers(), text,
                         event->isAutoRepeat(), static_cast<ushort>(event->count()));
        QPlainTextEdit::keyPressEvent(&mapped);
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void ImpressionsEdit::inputMethodEvent(QInputMethodEvent* event) {
    const QString commit = toCodePageLookAlikes(event->commitString());
    if (!commit.isEmpty() && !accepts(commit)) {
        // Let the composition end, but without its text.
        QInputMethodEvent stripped(QString(), event->attributes());
        QPlainTextEdit::inputMethodEvent(&stripped);
        return;
    }
    if (commit != event->commitString()) {
        QInputMethodEvent mapped(event->preeditString(), event->attributes());
        mapped.setCommitString(commit, event->replacementStart(), event->replacementLength());
        QPlainTextEdit::inputMethodEvent(&mapped);
        return;
    }
    QPlainTextEdit::inputMethodEvent(event);
}

void ImpressionsEdit::insertFromMimeData(const QMimeData* source) {
    if (!source || !source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    const QString text = toCodePageLookAlikes(source->text());
    if (!accepts(text))
        return;
    QMimeData mapped;
    mapped.setText(text);
    QPlainTextEdit::insertFromMimeData(&mapped);
}

} // namespace sorabel
