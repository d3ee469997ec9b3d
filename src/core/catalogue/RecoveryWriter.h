#pragma once

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>

namespace sorabel {

class CatalogueSession;
class RecoveryStore;

// Keeps a recovery copy of the session's unsaved changes in the store: a few
// seconds after the first change not yet kept, the catalogue is serialised
// (a few milliseconds, on a timer, never inside a keystroke) and the bytes go
// to disk on a worker thread. When the session is back at its saved state
// (saved, opened, new) the copy is removed.
class RecoveryWriter : public QObject {
    Q_OBJECT

public:
    static constexpr int kDelayMs = 3000;

    RecoveryWriter(CatalogueSession& session, RecoveryStore& store, QObject* parent = nullptr);
    ~RecoveryWriter() override; // waits for a write under way

    void setDelay(int ms) { timer_.setInterval(ms); }
    // Writes the copy at once and waits for it (the program is told to end).
    void writeNow();
    // The changes are given up: the copy goes, and no write is pending.
    void discard();
    // Waits for the writes handed to the worker.
    void waitForDisk();
    bool scheduled() const { return timer_.isActive(); }

signals:
    // A write failed (full disk, no state folder); reported once per reason.
    void failed(const QString& message);

private:
    void sessionChanged();
    void writeInBackground();
    void enqueue(std::function<void()> work);

    CatalogueSession& session_;
    RecoveryStore& store_;
    QTimer timer_;
    QThreadPool worker_; // one thread: writes and removals keep their order
    QString lastFailure_;
};

} // namespace sorabel
