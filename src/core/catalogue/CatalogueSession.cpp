#include "core/catalogue/CatalogueSession.h"

#include "core/catalogue/CatalogueReadAhead.h"
#include "core/format/CatalogueFile.h"
#include "core/storage/FileIo.h"
#include "core/storage/SafeFileWriter.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHashFunctions>
#include <algorithm>
#include <utility>

namespace sorabel {

namespace {
// Typing after a pause this long starts a new step, as in text editors.
constexpr qint64 kTypingPauseMs = 1500;

std::vector<int> inverse(const std::vector<int>& order) {
    std::vector<int> back(order.size());
    for (size_t i = 0; i < order.size(); ++i)
        back[static_cast<size_t>(order[i] - 1)] = static_cast<int>(i) + 1;
    return back;
}
} // namespace

CatalogueSession::CatalogueSession(QObject* parent) : QObject(parent) {}

CatalogueSession::~CatalogueSession() = default;

// ---------------------------------------------------------------- state

void CatalogueSession::setCurrent(int record) {
    const int bounded = recordCount() == 0 ? 0 : std::clamp(record, 1, recordCount());
    current_ = bounded;
    emit currentRecordChanged();
}

void CatalogueSession::setFile(const QString& fullPath, const QString& shownName) {
    filePath_ = fullPath;
    displayName_ = shownName;
    emit fileNameChanged();
}

void CatalogueSession::restartHistory() {
    const bool was = isModified();
    history_.clear();
    historyMoved(was);
}

void CatalogueSession::historyMoved(bool wasModified) {
    emit historyChanged();
    if (wasModified != isModified())
        emit modifiedChanged();
}

void CatalogueSession::takeCatalogue(Catalogue catalogue, int current) {
    catalogue_ = std::move(catalogue);
    emit headerChanged();
    emit catalogueReset();
    emit recordsChanged();
    restartHistory();
    setCurrent(current);
}

RecordTexts CatalogueSession::textsOf(int record) const {
    RecordTexts texts;
    for (int i = 0; i < kFieldCount; ++i)
        texts[static_cast<size_t>(i)] = catalogue_.field(fieldAt(i), record);
    return texts;
}

// ---------------------------------------------------------------- applying steps

QString CatalogueSession::whyNot(const HistoryStep& step, bool forward) const {
    const int n = recordCount();
    const int count = static_cast<int>(step.records.size());
    using K = HistoryStep::Kind;
    const bool inserting = (step.kind == K::Inserted) == forward;
    switch (step.kind) {
    case K::Fields:
        if (step.record < 1 || step.record > n)
            return QStringLiteral("%1番目の本がもうありません").arg(step.record);
        break;
    case K::Inserted:
    case K::Removed:
        if (inserting && n + count > kMaxRecords)
            return QStringLiteral("記録できるのは２０００冊までです");
        if (inserting && (step.record < 1 || step.record > n + 1))
            return QStringLiteral("%1番目の位置に本を戻せません").arg(step.record);
        if (!inserting && (step.record < 1 || step.record + count - 1 > n))
            return QStringLiteral("%1番目からの%2冊がもうありません").arg(step.record).arg(count);
        break;
    case K::Reordered:
        if (static_cast<int>(step.order.size()) != n)
            return QStringLiteral("本の数が並べ替えたときと違います");
        break;
    case K::Header:
        break;
    }
    return QString();
}

void CatalogueSession::insertTexts(int at, const std::vector<RecordTexts>& records) {
    if (at == recordCount() + 1) {
        catalogue_.appendRecords(records);
    } else {
        for (size_t i = 0; i < records.size(); ++i) {
            const int r = at + static_cast<int>(i);
            catalogue_.insertEmptyRecord(r);
            for (int k = 0; k < kFieldCount; ++k)
                catalogue_.setField(fieldAt(k), r, records[i][static_cast<size_t>(k)]);
        }
    }
    emit recordsInserted(at, static_cast<int>(records.size()));
}

void CatalogueSession::removeTexts(int at, int count) {
    if (at + count - 1 == recordCount())
        catalogue_.resize(at - 1);
    else
        for (int i = 0; i < count; ++i)
            catalogue_.removeRecord(at);
    emit recordsRemoved(at, count);
}

void CatalogueSession::apply(const HistoryStep& step, bool forward) {
    using K = HistoryStep::Kind;
    switch (step.kind) {
    case K::Fields:
        for (const FieldChange& c : step.fields)
            catalogue_.setField(c.field, step.record, forward ? c.after : c.before);
        emit recordChanged(step.record);
        emit recordsChanged();
        break;
    case K::Inserted:
    case K::Removed:
        if ((step.kind == K::Inserted) == forward)
            insertTexts(step.record, step.records);
        else
            removeTexts(step.record, static_cast<int>(step.records.size()));
        emit recordsChanged();
        break;
    case K::Reordered:
        catalogue_.reorder(forward ? step.order : inverse(step.order));
        emit recordsReordered();
        emit recordsChanged();
        break;
    case K::Header:
        catalogue_.setHeader(forward ? step.headerAfter : step.headerBefore);
        emit headerChanged();
        break;
    }
    // Typing stays on its record: the editor, which shows it, is not disturbed.
    const int target = forward ? step.currentAfter : step.currentBefore;
    if (step.kind != K::Fields || target != current_)
        setCurrent(target);
}

void CatalogueSession::record(HistoryStep step) {
    const bool was = isModified();
    if (step.currentBefore == 0)
        step.currentBefore = current_;
    apply(step, true);
    history_.push(std::move(step));
    if (history_.openTyping())
        typingClock_.start();
    historyMoved(was);
}

QString CatalogueSession::undoText() const {
    return canUndo() ? history_.undoStep().name : QString();
}

QString CatalogueSession::redoText() const {
    return canRedo() ? history_.redoStep().name : QString();
}

void CatalogueSession::undo() {
    if (!canUndo())
        return;
    history_.closeTyping();
    const HistoryStep& step = history_.undoStep();
    if (const QString reason = whyNot(step, false); !reason.isEmpty())
        throw IoError(
            QStringLiteral("「%1」を元に戻せません: %2").arg(step.name, reason).toStdString());
    const bool was = isModified();
    apply(step, false);
    history_.undone();
    historyMoved(was);
}

void CatalogueSession::redo() {
    if (!canRedo())
        return;
    const HistoryStep& step = history_.redoStep();
    if (const QString reason = whyNot(step, true); !reason.isEmpty())
        throw IoError(
            QStringLiteral("「%1」をやり直せません: %2").arg(step.name, reason).toStdString());
    const bool was = isModified();
    apply(step, true);
    history_.redone();
    historyMoved(was);
}

// ---------------------------------------------------------------- edits

void CatalogueSession::editField(Field f, Bytes text, const QString& stepName) {
    if (!hasRecord())
        return;
    HistoryStep* open = history_.openTyping();
    if (open && open->kind == HistoryStep::Kind::Fields && open->record == current_ &&
        open->fields.size() == 1 && open->fields.front().field == f && open->name == stepName &&
        typingClock_.isValid() && typingClock_.elapsed() < kTypingPauseMs) {
        // The typing goes on: the open step takes the new text.
        open->fields.front().after = text;
        catalogue_.setField(f, current_, std::move(text));
        typingClock_.start();
        emit recordChanged(current_);
        emit recordsChanged();
        return;
    }
    if (catalogue_.field(f, current_) == text)
        return;
    HistoryStep step;
    step.kind = HistoryStep::Kind::Fields;
    step.name = stepName;
    step.record = current_;
    step.fields.push_back({f, Bytes(catalogue_.field(f, current_)), std::move(text)});
    step.currentAfter = current_;
    step.typing = true;
    record(std::move(step));
}

void CatalogueSession::endTyping() {
    history_.closeTyping();
}

bool CatalogueSession::setRecordFields(int record,
                                       const std::vector<std::pair<Field, Bytes>>& fields,
                                       const QString& stepName) {
    if (record < 1 || record > recordCount())
        return false;
    HistoryStep step;
    step.kind = HistoryStep::Kind::Fields;
    step.name = stepName;
    step.record = record;
    for (const auto& [f, text] : fields)
        step.fields.push_back({f, Bytes(catalogue_.field(f, record)), text});
    step.currentAfter = current_;
    this->record(std::move(step));
    return true;
}

bool CatalogueSession::addListEntry(ChoiceList list, const Bytes& entry) {
    const std::vector<Bytes>& entries = catalogue_.list(list);
    if (entry.empty() || std::find(entries.begin(), entries.end(), entry) != entries.end())
        return false;
    HeaderValues after = catalogue_.header();
    after.lists[static_cast<size_t>(list)].push_back(entry);
    HistoryStep step;
    step.kind = HistoryStep::Kind::Header;
    step.name = QStringLiteral("選択肢の追加");
    step.headerBefore = catalogue_.header();
    step.headerAfter = std::move(after);
    step.currentAfter = current_;
    record(std::move(step));
    return true;
}

void CatalogueSession::setSpacing(int spacing) {
    catalogue_.spacing = spacing;
}

void CatalogueSession::applySettings(const HeaderValues& values) {
    HistoryStep step;
    step.kind = HistoryStep::Kind::Header;
    step.name = QStringLiteral("環境設定");
    step.headerBefore = catalogue_.header();
    step.headerAfter = values;
    step.currentAfter = current_;
    record(std::move(step));
}

// ---------------------------------------------------------------- navigation

void CatalogueSession::goTo(int record) {
    history_.closeTyping();
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
    goTo(record);
}

// ---------------------------------------------------------------- record commands

bool CatalogueSession::addRecord() {
    if (recordCount() >= kMaxRecords)
        return false;
    RecordTexts fresh;
    // A new book starts with each choice list's heading in its box.
    for (Field f : {Field::Genre1, Field::Genre2, Field::Format})
        fresh[static_cast<size_t>(index(f))] = catalogue_.heading(choiceListOf(f));
    HistoryStep step;
    step.kind = HistoryStep::Kind::Inserted;
    step.name = QStringLiteral("追加");
    step.record = recordCount() + 1;
    step.records.push_back(std::move(fresh));
    step.currentAfter = recordCount() + 1;
    record(std::move(step));
    return true;
}

bool CatalogueSession::deleteCurrentRecord() {
    if (!hasRecord())
        return false;
    HistoryStep step;
    step.kind = HistoryStep::Kind::Removed;
    step.name = QStringLiteral("削除");
    step.record = current_;
    step.records.push_back(textsOf(current_));
    step.currentAfter = current_ == recordCount() ? recordCount() - 1 : current_;
    record(std::move(step));
    return true;
}

bool CatalogueSession::copyRecordToEnd() {
    if (recordCount() >= kMaxRecords)
        return false;
    HistoryStep step;
    step.kind = HistoryStep::Kind::Inserted;
    step.name = QStringLiteral("コピーして最後尾へ追加");
    step.record = recordCount() + 1;
    step.records.push_back(hasRecord() ? textsOf(current_) : RecordTexts{});
    step.currentAfter = recordCount() + 1;
    record(std::move(step));
    return true;
}

void CatalogueSession::deleteRecord(int record) {
    if (record < 1 || record > recordCount())
        return;
    HistoryStep step;
    step.kind = HistoryStep::Kind::Removed;
    step.name = QStringLiteral("削除");
    step.record = record;
    step.records.push_back(textsOf(record));
    step.currentAfter = std::min(record, recordCount() - 1);
    this->record(std::move(step));
}

bool CatalogueSession::insertRecordAt(int record) {
    if (recordCount() >= kMaxRecords)
        return false;
    const int at = std::clamp(record, 1, recordCount() + 1);
    HistoryStep step;
    step.kind = HistoryStep::Kind::Inserted;
    step.name = QStringLiteral("挿入");
    step.record = at;
    step.records.resize(1);
    step.currentAfter = std::clamp(record, 1, recordCount() + 1);
    this->record(std::move(step));
    return true;
}

void CatalogueSession::applyOrder(const std::vector<int>& order) {
    if (order.size() != static_cast<size_t>(recordCount()))
        throw std::invalid_argument("an order must name every record once");
    HistoryStep step;
    step.kind = HistoryStep::Kind::Reordered;
    step.name = QStringLiteral("並べ替え");
    step.order = order;
    step.currentAfter = current_;
    record(std::move(step));
}

bool CatalogueSession::appendRecords(const std::vector<std::array<Bytes, kFieldCount>>& records) {
    if (records.size() > static_cast<size_t>(kMaxRecords - recordCount()))
        return false;
    if (records.empty())
        return true;
    HistoryStep step;
    step.kind = HistoryStep::Kind::Inserted;
    step.name = QStringLiteral("インポート");
    step.record = recordCount() + 1;
    step.records = records;
    step.currentAfter = recordCount() + 1;
    record(std::move(step));
    return true;
}

// ---------------------------------------------------------------- files

void CatalogueSession::newCatalogue() {
    for (int r = 1; r <= recordCount(); ++r)
        catalogue_.clearRecord(r);
    catalogue_.resize(1);
    onDisk_.reset();
    recordsPastCount_ = 0;
    setFile(QString(), QString());
    restartHistory();
    emit catalogueReset();
    emit recordsChanged();
    // The start index named a record of the old catalogue; the new one has just one.
    setCurrent(1);
}

void CatalogueSession::readAhead(const QString& path) {
    readAhead_ = std::make_unique<CatalogueReadAhead>(path);
}

void CatalogueSession::endReadAhead() {
    readAhead_.reset();
}

int CatalogueSession::loadFile(const QString& path) {
    // What was read ahead serves the first read only; whatever it is, the thread ends.
    std::optional<CatalogueReadAhead::Read> ahead;
    if (readAhead_)
        ahead = std::exchange(readAhead_, nullptr)->take(path);
    CatalogueFile::KeptRead read;
    if (ahead) {
        catalogue_ = std::move(ahead->catalogue);
        read = std::move(ahead->read);
    } else {
        read = CatalogueFile::readKept(path, catalogue_);
    }
    recordsPastCount_ = read.pastCount;
    remember(path, read.size, read.hash);
    restartHistory();
    emit headerChanged();
    emit catalogueReset();
    emit recordsChanged();
    const int n = recordCount();
    setCurrent(n == 0 ? 0 : startIndex_ != 0 ? std::clamp(startIndex_, 1, n) : n);
    return read.complete;
}

int CatalogueSession::open(const QString& path) {
    const int complete = loadFile(path);
    const QString absolute = QFileInfo(path).absoluteFilePath();
    setFile(absolute, QFileInfo(absolute).fileName());
    return complete;
}

int CatalogueSession::reopen(const QString& fullPath) {
    const int complete = loadFile(fullPath);
    setFile(fullPath, fullPath);
    return complete;
}

void CatalogueSession::save(WriteMode mode) {
    writeFile(filePath_, mode, true, onDisk_.has_value());
    recordsPastCount_ = 0;
    const bool was = isModified();
    history_.markClean();
    historyMoved(was);
}

void CatalogueSession::saveAs(const QString& path, WriteMode mode) {
    // Another name is a new file: nothing was read there that could have vanished.
    writeFile(path, mode, false, false);
    recordsPastCount_ = 0;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    setFile(absolute, QFileInfo(absolute).fileName());
    const bool was = isModified();
    history_.markClean();
    historyMoved(was);
}

void CatalogueSession::writeFile(const QString& path, WriteMode mode, bool keepBackup,
                                 bool wasThere) {
    const std::string bytes = CatalogueFile::serialise(catalogue_);
    const SafeFileWriter writer;
    if (mode == WriteMode::InPlace) {
        writer.writeInPlace(path, bytes);
    } else {
        // A file the session read or wrote that has gone is not created again unasked.
        const auto expect = mode == WriteMode::Safe && wasThere
                                ? SafeFileWriter::Expect::ExistingFile
                                : SafeFileWriter::Expect::AnyFile;
        if (keepBackup)
            writer.writeWithBackup(path, bytes, expect);
        else
            writer.write(path, bytes, expect);
    }
    remember(path, bytes);
}

void CatalogueSession::remember(const QString& path, const std::string& bytes) {
    remember(path, static_cast<qint64>(bytes.size()), CatalogueFile::hashOf(bytes));
}

void CatalogueSession::remember(const QString& path, qint64 size, const QByteArray& hash) {
    onDisk_ = Fingerprint{size, QFileInfo(path).lastModified().toMSecsSinceEpoch(), hash};
}

void CatalogueSession::setReadOnly(bool readOnly) {
    if (readOnly_ == readOnly)
        return;
    readOnly_ = readOnly;
    emit readOnlyChanged();
}

void CatalogueSession::restoreUnsaved(const std::string& bytes, const QString& fullPath,
                                      const QString& shownName, int current,
                                      const QDateTime& written) {
    Catalogue restored;
    CatalogueFile::readBytes(bytes, restored);
    catalogue_ = std::move(restored);
    onDisk_.reset();
    if (!fullPath.isEmpty()) {
        // The file as it is now is what the changes are meant for, unless it
        // changed after they were kept: then Save asks first.
        const QFileInfo info(fullPath);
        if (info.exists()) {
            try {
                const std::string now = FileIo::readAll(fullPath);
                remember(fullPath, now);
                if (written.isValid() && info.lastModified() > written) {
                    onDisk_->modified = -1;
                    onDisk_->hash.clear();
                }
            } catch (const IoError&) {
                onDisk_.reset();
            }
        }
    }
    setFile(fullPath, shownName.isEmpty() ? fullPath : shownName);
    const bool was = isModified();
    history_.clear();
    history_.forgetClean();
    historyMoved(was);
    emit headerChanged();
    emit catalogueReset();
    emit recordsChanged();
    setCurrent(current > 0 ? current : recordCount());
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
        return CatalogueFile::hashOf(FileIo::readAll(filePath_)) != onDisk_->hash;
    } catch (const IoError&) {
        return true; // unreadable now: not the file we know
    }
}

} // namespace sorabel
