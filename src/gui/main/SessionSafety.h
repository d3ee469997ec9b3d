#pragma once

#include "core/catalogue/RecoveryWriter.h"
#include "core/storage/CatalogueLock.h"
#include "core/storage/RecoveryStore.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace sorabel {

class CatalogueSession;

// What keeps the user's work safe around the session: the recovery copy of
// unsaved changes (offered back at the next start after a crash) and the lock
// that tells other copies of the program the catalogue is open here.
class SessionSafety : public QObject {
    Q_OBJECT

public:
    SessionSafety(CatalogueSession& session, const QString& recoveryFolder,
                  QObject* parent = nullptr);
    ~SessionSafety() override;

    RecoveryWriter& writer() { return writer_; }
    RecoveryStore& store() { return store_; }

    // At start: offers the changes a copy that is gone left unsaved
    // (はい takes them back into the session). True when one was taken back.
    bool offerRecovery(QWidget* parent);

    // Before `path` is opened: takes its lock, or asks when another copy
    // holds it. False: the user called the opening off.
    bool claim(QWidget* parent, const QString& path);
    // The claimed file could not be opened after all.
    void abandonClaim();
    // claim(), then `open` (which reads the file into the session); nothing
    // when the user called it off. An error of `open` gives the claim up.
    std::optional<int> openLocked(QWidget* parent, const QString& path,
                                  const std::function<int()>& open);

    // The program is told to end: the unsaved changes are kept at once.
    void keepNow();
    // The changes are saved or given up at a clean close.
    void giveUp();

    static QString heldQuestion(const QString& fileName, const QString& holder);

private:
    // Follows the session's file: Save As, New and restored changes.
    void fileChanged();

    CatalogueSession& session_;
    RecoveryStore store_;
    RecoveryWriter writer_;
    std::unique_ptr<CatalogueLock> held_;
    QString heldPath_;
    std::unique_ptr<CatalogueLock> candidate_;
    QString candidatePath_;
    bool candidateReadOnly_ = false;
    QTimer refresh_; // a long session on a shared folder is no stale lock
};

} // namespace sorabel
