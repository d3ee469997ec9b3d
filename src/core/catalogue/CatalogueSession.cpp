#include "core/catalogue/CatalogueSession.h"

#include "core/format/CatalogueFile.h"
#include "core/storage/FileIo.h"
#include "core/storage/SafeFileWriter.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <utility>

namespace sorabel {

namespace {
constexpr size_t kUndoDepth = 50;

QByteArray hashOf(std::string_view bytes) {
    return QCryptographicHash::hash(QByteArrayView(bytes.data(), qsizetype(bytes.size())),
                                    QCryptographicHash::Sha256);
}
} // namespace

CatalogueSession::CatalogueSession(QObject* parent) : QObject(parent) {}

// ---------------------------------------------------------------- state

void CatalogueSession::setCurrent(int record) {
    const int bounded = recordCount() == 0 ? 0 : std::clamp(record, 1, recordCount());
    current_ = bounded;
    emit currentRecordChanged();
}

void CatalogueSession::setModified(int count) {
    if (modified_ == count)
        return;
    modified_ = count;
    emit modifiedChanged();
}

void CatalogueSession::setFile(const QString& fullPath, const QString& shownName) {
    filePath_ = fullPath;
    displayName_ = shownName;
    emit fileNameChanged();
}

void CatalogueSession::takeCatalogue(Catalogue catalogue, int current) {
    catalogue_ = std::move(catalogue);
    emit headerChanged();
    emit catalogueReset();
    emit recordsChanged();
    setCurrent(current);
}

// ---------------------------------------------------------------- edits

void CatalogueSession::storeField(Field f, Bytes text) {
    if (!hasRecord())
        return;
    catalogue_.setField(f, current_, std::move(text));
    emit recordChanged(current_);
    emit recordsChanged();
}

void CatalogueSession::countChange(int changes) {
    setModified(modified_ + changes);
}

void CatalogueSession::storeEdits() {
    // The editor answers by calling storeField(); it never asks back.
    if (storingEdits_)
        return;
    storingEdits_ = true;
    emit storeEditsRequested();
    storingEdits_ = false;
}

bool CatalogueSession::addListEntry(ChoiceList list, const Bytes& entry) {
    std::vector<Bytes>& entries = catalogue_.list(list);
    if (entry.empty() || std::find(entries.begin(), entries.end(), entry) != entries.end())
        return false;
    entries.push_back(entry);
    emit headerChanged();
    return true;
}

void CatalogueSession::setSpacing(int spacing) {
    catalogue_.spacing = spacing;
}

void CatalogueSession::setCaptionFont(const FontValues& font) {
    catalogue_.captionFont = font;
    emit headerChanged();
}

void CatalogueSession::setContentsFont(const FontValues& font) {
    catalogue_.contentsFont = font;
    emit headerChanged();
}

// ---------------------------------------------------------------- navigation

void CatalogueSession::goTo(int record) {
    countChange();
    storeEdits();
    setCurrent(record);
}

void CatalogueSession::goToFirst() {
    if (recordCount() > 0)
        goTo(1);
}

void CatalogueSession::goToPrevious() {
    if (recordCount() > 0 && current_ > 1)
        goTo(std::min(current_ - 1, recordCount()));
}

void CatalogueSession::goToNext() {
    if (current_ < recordCount())
        goTo(std::max(current_ + 1, 1));
}

void CatalogueSession::goToLast() {
    if (recordCount() > 0)
        goTo(recordCount());
}

void CatalogueSession::showRecord(int record) {
    if (record < 1 || record > recordCount())
        return;
    storeEdits();
    setCurrent(record);
}

// ---------------------------------------------------------------- record commands

bool CatalogueSession::addRecord() {
    // Deliberately counted before the limit check: a refused add still counts.
    countChange();
    storeEdits();
    if (recordCount() >= kMaxRecords)
        return false;
    catalogue_.resize(recordCount() + 1);
    emit recordsInserted(recordCount(), 1);
    emit recordsChanged();
    setCurrent(recordCount());
    return true;
}

bool CatalogueSession::deleteCurrentRecord() {
    if (!hasRecord())
        return false;
    countChange();
    const bool last = current_ == recordCount();
    UndoStep step{UndoStep::Kind::Removed, current_, {}, 0, {}, current_};
    for (int i = 0; i < kFieldCount; ++i)
        step.fields[static_cast<size_t>(i)] = catalogue_.field(fieldAt(i), current_);
    pushUndo(std::move(step));
    const int removed = current_;
    catalogue_.removeRecord(current_);
    emit recordsRemoved(removed, 1);
    emit recordsChanged();
    setCurrent(last ? recordCount() : current_);
    return true;
}

bool CatalogueSession::copyRecordToEnd() {
    if (recordCount() >= kMaxRecords)
        return false;
    storeEdits();
    countChange();
    const int from = current_;
    pushUndo({UndoStep::Kind::Appended, 0, {}, recordCount(), {}, current_});
    catalogue_.resize(recordCount() + 1);
    if (from >= 1)
        catalogue_.copyRecord(from, recordCount());
    emit recordsInserted(recordCount(), 1);
    emit recordsChanged();
    goToLast();
    return true;
}

void CatalogueSession::deleteRecord(int record) {
    if (record < 1 || record > recordCount())
        return;
    storeEdits();
    UndoStep step{UndoStep::Kind::Removed, record, {}, 0, {}, current_};
    for (int i = 0; i < kFieldCount; ++i)
        step.fields[static_cast<size_t>(i)] = catalogue_.field(fieldAt(i), record);
    pushUndo(std::move(step));
    catalogue_.removeRecord(record);
    countChange();
    emit recordsRemoved(record, 1);
    emit recordsChanged();
    setCurrent(std::min(record, recordCount()));
}

bool CatalogueSession::insertRecordAt(int record) {
    if (recordCount() >= kMaxRecords)
        return false;
    storeEdits();
    const int at = std::clamp(record, 1, recordCount() + 1);
    pushUndo({UndoStep::Kind::Inserted, at, {}, 0, {}, current_});
    catalogue_.insertEmptyRecord(at);
    countChange();
    emit recordsInserted(at, 1);
    emit recordsChanged();
    setCurrent(std::clamp(record, 1, recordCount()));
    return true;
}

void CatalogueSession::applyOrder(const std::vector<int>& order) {
    storeEdits();
    catalogue_.reorder(order);
    pushUndo({UndoStep::Kind::Reordered, 0, {}, 0, order, current_});
    countChange();
    emit recordsReordered();
    emit recordsChanged();
    setCurrent(current_);
}

bool CatalogueSession::appendRecords(const std::vector<std::array<Bytes, kFieldCount>>& records) {
    if (records.size() > static_cast<size_t>(kMaxRecords - recordCount()))
        return false;
    if (records.empty())
        return true;
    storeEdits();
    const int before = recordCount();
    pushUndo({UndoStep::Kind::Appended, 0, {}, before, {}, current_});
    catalogue_.appendRecords(records);
    countChange();
    emit recordsInserted(before + 1, static_cast<int>(records.size()));
    emit recordsChanged();
    setCurrent(before + 1);
    return true;
}

bool CatalogueSession::setRecordFields(int record,
                                       const std::vector<std::pair<Field, Bytes>>& fields,
                                       const QString& stepName) {
    Q_UNUSED(stepName);
    if (record < 1 || record > recordCount())
        return false;
    storeEdits();
    for (const auto& [field, text] : fields)
        catalogue_.setField(field, record, text);
    countChange();
    emit recordChanged(record);
    emit recordsChanged();
    if (record == current_)
        emit currentRecordChanged();
    return true;
}

// ---------------------------------------------------------------- undo

void CatalogueSession::pushUndo(UndoStep step) {
    undo_.push_back(std::move(step));
    if (undo_.size() > kUndoDepth)
        undo_.erase(undo_.begin());
    emit undoAvailableChanged(true);
}

void CatalogueSession::clearUndo() {
    if (undo_.empty())
        return;
    undo_.clear();
    emit undoAvailableChanged(false);
}

void CatalogueSession::undo() {
    if (undo_.empty())
        return;
    storeEdits();
    UndoStep step = std::move(undo_.back());
    undo_.pop_back();
    switch (step.kind) {
    case UndoStep::Kind::Removed:
        catalogue_.insertEmptyRecord(step.record);
        for (int i = 0; i < kFieldCount; ++i)
            catalogue_.setField(fieldAt(i), step.record,
                                std::move(step.fields[static_cast<size_t>(i)]));
        emit recordsInserted(step.record, 1);
        break;
    case UndoStep::Kind::Inserted:
        catalogue_.removeRecord(step.record);
        emit recordsRemoved(step.record, 1);
        break;
    case UndoStep::Kind::Appended: {
        const int removed = recordCount() - step.countBefore;
        catalogue_.resize(step.countBefore);
        emit recordsRemoved(step.countBefore + 1, removed);
        break;
    }
    case UndoStep::Kind::Reordered: {
        std::vector<int> back(step.order.size());
        for (size_t i = 0; i < step.order.size(); ++i)
            back[static_cast<size_t>(step.order[i] - 1)] = static_cast<int>(i) + 1;
        catalogue_.reorder(back);
        emit recordsReordered();
        break;
    }
    }
    countChange();
    emit recordsChanged();
    if (undo_.empty())
        emit undoAvailableChanged(false);
    setCurrent(step.currentBefore);
}

// ---------------------------------------------------------------- files

void CatalogueSession::newCatalogue() {
    for (int r = 1; r <= recordCount(); ++r)
        catalogue_.clearRecord(r);
    catalogue_.resize(1);
    clearUndo();
    onDisk_.reset();
    setFile(QString(), QString());
    setModified(0);
    emit catalogueReset();
    emit recordsChanged();
    // The start index named a record of the old catalogue; the new one has just one.
    setCurrent(1);
}

int CatalogueSession::loadFile(const QString& path) {
    const std::string bytes = FileIo::readAll(path);
    int complete = 0;
    CatalogueFile::readBytes(bytes, catalogue_, &complete);
    remember(path, bytes);
    clearUndo();
    emit headerChanged();
    emit catalogueReset();
    emit recordsChanged();
    const int n = recordCount();
    setCurrent(n == 0 ? 0 : startIndex_ != 0 ? std::clamp(startIndex_, 1, n) : n);
    return complete;
}

int CatalogueSession::open(const QString& path) {
    const int complete = loadFile(path);
    const QString absolute = QFileInfo(path).absoluteFilePath();
    setFile(absolute, QFileInfo(absolute).fileName());
    setModified(0);
    return complete;
}

int CatalogueSession::reopen(const QString& fullPath) {
    const int complete = loadFile(fullPath);
    setFile(fullPath, fullPath);
    setModified(0);
    return complete;
}

void CatalogueSession::save() {
    storeEdits();
    writeWithBackup(filePath_);
    setModified(0);
}

void CatalogueSession::saveAs(const QString& path) {
    storeEdits();
    const std::string bytes = CatalogueFile::serialise(catalogue_);
    SafeFileWriter().write(path, bytes);
    remember(path, bytes);
    const QString absolute = QFileInfo(path).absoluteFilePath();
    setFile(absolute, QFileInfo(absolute).fileName());
    setModified(0);
}

void CatalogueSession::writeWithBackup(const QString& path) {
    const std::string bytes = CatalogueFile::serialise(catalogue_);
    SafeFileWriter().writeWithBackup(path, bytes);
    remember(path, bytes);
}

void CatalogueSession::remember(const QString& path, const std::string& bytes) {
    const QFileInfo info(path);
    onDisk_ = Fingerprint{static_cast<qint64>(bytes.size()),
                          info.lastModified().toMSecsSinceEpoch(), hashOf(bytes)};
}

bool CatalogueSession::fileChangedOnDisk() const {
    if (!onDisk_ || filePath_.isEmpty())
        return false;
    const QFileInfo info(filePath_);
    if (!info.exists())
        return false; // nothing there to overwrite
    if (info.size() == onDisk_->size &&
        info.lastModified().toMSecsSinceEpoch() == onDisk_->modified)
        return false;
    try {
        return hashOf(FileIo::readAll(filePath_)) != onDisk_->hash;
    } catch (const IoError&) {
        return true; // unreadable now: not the file we know
    }
}

// ---------------------------------------------------------------- settings cycle

void CatalogueSession::applySettings(const SettingsChoice& choice) {
    countChange();
    const QString handoff = HandoffFile::defaultPath();
    HandoffFile::write(handoff, choice.handoff);
    handoffPath_ = handoff;
    handoff_ = choice.handoff;
    catalogue_.liveCaptions = choice.captions;
    catalogue_.lists = choice.lists;
    emit headerChanged();
}

void CatalogueSession::finishSettings(bool apply) {
    // The hand-off file is read back and goes whatever the outcome. Only
    // what this cycle wrote is applied: a file another copy of the program
    // or an earlier, failed cycle left there (or changed meanwhile) gives way
    // to the choices this cycle holds itself.
    QString path = std::exchange(handoffPath_, QString());
    if (path.isEmpty())
        path = HandoffFile::defaultPath();
    const std::optional<HandoffValues> ours = std::exchange(handoff_, std::nullopt);
    std::optional<HandoffValues> found;
    try {
        found = HandoffFile::take(path);
    } catch (const IoError&) {
        // Unreadable: nothing of it is used.
    }
    if (FileIo::exists(path))
        FileIo::remove(path);
    if (!apply || !ours)
        return;
    HandoffFile::apply(found && *found == *ours ? *found : *ours, catalogue_);
    countChange();
    emit headerChanged();
}

} // namespace sorabel
