#include "core/catalogue/RecoveryWriter.h"

#include "core/catalogue/CatalogueSession.h"
#include "core/format/CatalogueFile.h"
#include "core/storage/RecoveryStore.h"

#include <QDateTime>
#include <exception>
#include <memory>

namespace sorabel {

namespace {
RecoveryCopy copyOf(const CatalogueSession& session) {
    RecoveryCopy copy;
    copy.originalPath = session.filePath();
    copy.shownName = session.displayName();
    copy.current = session.currentIndex();
    copy.written = QDateTime::currentDateTime();
    copy.catalogue = CatalogueFile::serialise(session.catalogue());
    return copy;
}
} // namespace

RecoveryWriter::RecoveryWriter(CatalogueSession& session, RecoveryStore& store, QObject* parent)
    : QObject(parent), session_(session), store_(store) {
    worker_.setMaxThreadCount(1);
    timer_.setSingleShot(true);
    timer_.setInterval(kDelayMs);
    connect(&timer_, &QTimer::timeout, this, &RecoveryWriter::writeInBackground);
    for (auto change : {&CatalogueSession::recordsChanged, &CatalogueSession::headerChanged,
                        &CatalogueSession::historyChanged, &CatalogueSession::modifiedChanged})
        connect(&session_, change, this, &RecoveryWriter::sessionChanged);
}

RecoveryWriter::~RecoveryWriter() {
    worker_.waitForDone();
}

void RecoveryWriter::sessionChanged() {
    if (!session_.isModified()) {
        discard();
        return;
    }
    // Not restarted by each keystroke: steady typing is kept every few seconds.
    if (!timer_.isActive())
        timer_.start();
}

void RecoveryWriter::enqueue(std::function<void()> work) {
    worker_.start([this, work = std::move(work)] {
        try {
            work();
        } catch (const std::exception& e) {
            const QString message = QString::fromUtf8(e.what());
            QMetaObject::invokeMethod(this, [this, message] {
                if (message == lastFailure_)
                    return;
                lastFailure_ = message;
                emit failed(message);
            });
        }
    });
}

void RecoveryWriter::writeInBackground() {
    if (!session_.isModified())
        return;
    // Serialised here, where the catalogue lives; the disk is the worker's.
    auto copy = std::make_shared<RecoveryCopy>(copyOf(session_));
    enqueue([this, copy] { store_.write(*copy); });
}

void RecoveryWriter::writeNow() {
    timer_.stop();
    worker_.waitForDone();
    if (session_.isModified())
        store_.write(copyOf(session_));
}

void RecoveryWriter::discard() {
    timer_.stop();
    enqueue([this] { store_.remove(); });
}

void RecoveryWriter::waitForDisk() {
    worker_.waitForDone();
}

} // namespace sorabel
