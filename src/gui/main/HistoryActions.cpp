#include "gui/main/HistoryActions.h"

#include "core/catalogue/CatalogueSession.h"

#include <QAction>
#include <QKeySequence>

namespace sorabel {

HistoryActions::HistoryActions(const CatalogueSession& session, QAction* undo, QAction* redo)
    : QObject(undo), session_(session), undo_(undo), redo_(redo) {
    undo->setShortcuts(QKeySequence::Undo);
    QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
    for (const QKeySequence& key :
         {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)})
        if (!redoKeys.contains(key))
            redoKeys << key;
    redo->setShortcuts(redoKeys);
    connect(&session, &CatalogueSession::historyChanged, this, &HistoryActions::refresh);
    refresh();
}

void HistoryActions::refresh() {
    undo_->setEnabled(session_.canUndo());
    undo_->setText(session_.canUndo() ? QStringLiteral("元に戻す: %1(&U)").arg(session_.undoText())
                                      : QStringLiteral("元に戻す(&U)"));
    redo_->setEnabled(session_.canRedo());
    redo_->setText(session_.canRedo() ? QStringLiteral("やり直し: %1(&R)").arg(session_.redoText())
                                      : QStringLiteral("やり直し(&R)"));
}

} // namespace sorabel
