#pragma once

#include <QObject>

class QAction;

namespace sorabel {

class CatalogueSession;

// The データ menu's 元に戻す and やり直し: each names the step it takes back or
// does again ("元に戻す: 削除"), is disabled when there is none, and answers
// the desktop's undo and redo keys (Ctrl+Z; Ctrl+Y and Ctrl+Shift+Z).
class HistoryActions : public QObject {
    Q_OBJECT

public:
    // Lives as long as `undo`.
    HistoryActions(const CatalogueSession& session, QAction* undo, QAction* redo);

private:
    void refresh();

    const CatalogueSession& session_;
    QAction* undo_;
    QAction* redo_;
};

} // namespace sorabel
