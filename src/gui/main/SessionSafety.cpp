#include "gui/main/SessionSafety.h"

#include "core/catalogue/CatalogueSession.h"
#include "core/storage/FileIo.h"
#include "gui/widgets/Dialogs.h"

#include <QFileInfo>
#include <cstdio>
#include <exception>

namespace sorabel {

namespace {
QString absolute(const QString& path) {
    return path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
}
} // namespace

SessionSafety::SessionSafety(CatalogueSession& session, const QString& recoveryFolder,
                             QObject* parent)
    : QObject(parent), session_(session), store_(recoveryFolder), writer_(session, store_) {
    connect(&session_, &CatalogueSession::fileNameChanged, this, &SessionSafety::fileChanged);
    refresh_.setInterval(60 * 60 * 1000);
    connect(&refresh_, &QTimer::timeout, this, [this] {
        if (held_)
            held_->refresh();
    });
    refresh_.start();
}

SessionSafety::~SessionSafety() {
    writer_.waitForDisk();
}

// ---------------------------------------------------------------- recovery

bool SessionSafety::offerRecovery(QWidget* parent) {
    for (RecoveryStore::Leftover& leftover : store_.find()) {
        RecoveryCopy copy;
        try {
            copy = RecoveryStore::read(leftover.path());
        } catch (const std::exception& e) {
            // Kept aside, not offered at every start.
            Dialogs::error(parent,
                           QString::fromUtf8(e.what()) + QStringLiteral("：") + leftover.path());
            store_.setAside(leftover);
            continue;
        }
        if (!Dialogs::question(
                parent, QStringLiteral("前回、保存されなかった変更があります。復元しますか？"))) {
            store_.keepAs(leftover);
            store_.discard(leftover);
            continue;
        }
        session_.restoreUnsaved(copy.catalogue, copy.originalPath, copy.shownName, copy.current,
                                copy.written);
        // This copy keeps the changes before the leftover goes.
        writer_.writeNow();
        store_.discard(leftover);
        // Any further leftover waits for the next start.
        return true;
    }
    return false;
}

void SessionSafety::keepNow() {
    try {
        writer_.writeNow();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
    }
}

void SessionSafety::giveUp() {
    writer_.discard();
    writer_.waitForDisk();
}

// ---------------------------------------------------------------- the lock

QString SessionSafety::heldQuestion(const QString& fileName, const QString& holder) {
    return QStringLiteral("%1 は他のソラベルで開かれています。\n%2\n\n"
                          "読み取り専用で開くと、変更は別の名前で保存します。")
        .arg(fileName, holder);
}

bool SessionSafety::claim(QWidget* parent, const QString& path) {
    abandonClaim();
    const QString full = absolute(path);
    if (held_ && heldPath_ == full)
        return true; // the catalogue open here, read again
    auto lock = std::make_unique<CatalogueLock>();
    bool readOnly = false;
    if (lock->acquire(full) == CatalogueLock::Outcome::HeldByOther) {
        const auto& holder = lock->holder();
        const QString who = holder && holder->pid != 0
                                ? holder->description()
                                : QStringLiteral("開いているプログラムはわかりません");
        switch (Dialogs::choose(parent, heldQuestion(QFileInfo(full).fileName(), who),
                                {QStringLiteral("読み取り専用で開く"),
                                 QStringLiteral("それでも開く"), QStringLiteral("キャンセル")})) {
        case 0:
            readOnly = true;
            lock.reset();
            break;
        case 1:
            lock->acquire(full, true);
            break;
        default:
            return false;
        }
    }
    candidate_ = std::move(lock);
    candidatePath_ = full;
    candidateReadOnly_ = readOnly;
    return true;
}

std::optional<int> SessionSafety::openLocked(QWidget* parent, const QString& path,
                                             const std::function<int()>& open) {
    if (!claim(parent, path))
        return std::nullopt;
    try {
        return open();
    } catch (...) {
        abandonClaim();
        throw;
    }
}

void SessionSafety::abandonClaim() {
    candidate_.reset();
    candidatePath_.clear();
    candidateReadOnly_ = false;
}

void SessionSafety::fileChanged() {
    const QString full = absolute(session_.filePath());
    if (!candidatePath_.isEmpty() && candidatePath_ == full) {
        // The claimed file is open now: its lock (or its read-only state) holds.
        held_ = std::move(candidate_);
        heldPath_ = held_ ? full : QString();
        session_.setReadOnly(candidateReadOnly_);
        abandonClaim();
        return;
    }
    abandonClaim();
    if (full == heldPath_ && held_)
        return;
    held_.reset();
    heldPath_.clear();
    session_.setReadOnly(false);
    if (full.isEmpty())
        return;
    // Saved under a new name, or changes taken back after a crash: this copy
    // holds that file now, unless another one already does.
    auto lock = std::make_unique<CatalogueLock>();
    if (lock->acquire(full) == CatalogueLock::Outcome::HeldByOther) {
        session_.setReadOnly(true);
        return;
    }
    held_ = std::move(lock);
    heldPath_ = full;
}

} // namespace sorabel
