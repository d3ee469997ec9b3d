#include "core/catalogue/CatalogueSession.h"

#include "core/format/CatalogueFile.h"
#include "core/storage/FileIo.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <utility>

namespace sorabel {

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

// ---------------------------------------------------------------- edits

void CatalogueSession::storeField(Field f, Bytes text) {
    if (!hasRecord())
        return;
    catalogue_.setField(f, current_, std::move(text));
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
    emit recordsChanged();
    setCurrent(recordCount());
    return true;
}

bool CatalogueSession::deleteCurrentRecord() {
    if (!hasRecord())
        return false;
    countChange();
    const bool last = current_ == recordCount();
    catalogue_.removeRecord(current_);
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
    catalogue_.resize(recordCount() + 1);
    if (from >= 1)
        catalogue_.copyRecord(from, recordCount());
    emit recordsChanged();
    goToLast();
    return true;
}

void CatalogueSession::deleteRecord(int record) {
    if (record < 1 || record > recordCount())
        return;
    storeEdits();
    catalogue_.removeRecord(record);
    countChange();
    emit recordsChanged();
    setCurrent(std::min(record, recordCount()));
}

bool CatalogueSession::insertRecordAt(int record) {
    if (recordCount() >= kMaxRecords)
        return false;
    storeEdits();
    catalogue_.insertEmptyRecord(std::clamp(record, 1, recordCount() + 1));
    countChange();
    emit recordsChanged();
    setCurrent(std::clamp(record, 1, recordCount()));
    return true;
}

void CatalogueSession::applyOrder(const std::vector<int>& order) {
    storeEdits();
    catalogue_.reorder(order);
    countChange();
    emit recordsChanged();
    setCurrent(current_);
}

// ---------------------------------------------------------------- files

void CatalogueSession::newCatalogue() {
    for (int r = 1; r <= recordCount(); ++r)
        catalogue_.clearRecord(r);
    catalogue_.resize(1);
    setFile(QString(), QString());
    setModified(0);
    emit recordsChanged();
    // The start index named a record of the old catalogue; the new one has just one.
    setCurrent(1);
}

void CatalogueSession::loadFile(const QString& path) {
    CatalogueFile::read(path, catalogue_);
    emit headerChanged();
    emit recordsChanged();
    const int n = recordCount();
    setCurrent(n == 0 ? 0 : startIndex_ != 0 ? std::clamp(startIndex_, 1, n) : n);
}

void CatalogueSession::open(const QString& path) {
    loadFile(path);
    const QString absolute = QFileInfo(path).absoluteFilePath();
    setFile(absolute, QFileInfo(absolute).fileName());
    setModified(0);
}

void CatalogueSession::reopen(const QString& fullPath) {
    loadFile(fullPath);
    setFile(fullPath, fullPath);
    setModified(0);
}

void CatalogueSession::rememberFile(const QString& fullPath) {
    setFile(fullPath, fullPath);
}

void CatalogueSession::useFullPathAsName() {
    if (filePath_.isEmpty())
        return;
    const QString full = QFileInfo(filePath_).absoluteFilePath();
    setFile(full, full);
}

void CatalogueSession::save() {
    storeEdits();
    writeWithBackup(filePath_);
    setModified(0);
}

void CatalogueSession::saveAs(const QString& path) {
    storeEdits();
    CatalogueFile::write(path, catalogue_);
    const QString absolute = QFileInfo(path).absoluteFilePath();
    setFile(absolute, QFileInfo(absolute).fileName());
    setModified(0);
}

void CatalogueSession::writeWithBackup(const QString& linkOrPath) {
    // Through a link, the linked file is replaced and backed up beside itself.
    const QFileInfo named(linkOrPath);
    const QString path =
        named.isSymLink() && named.exists() ? named.canonicalFilePath() : linkOrPath;
    const std::string bytes = CatalogueFile::serialise(catalogue_);
    if (!FileIo::exists(path)) {
        FileIo::writeAtomically(path, bytes);
        return;
    }
    // The new content is complete on disk before the old file becomes the
    // backup, so a failed write leaves both files as they were.
    const QString temp =
        path + QStringLiteral(".~") + QString::number(QRandomGenerator::global()->generate(), 36);
    FileIo::writeAtomically(temp, bytes);
    QFile::setPermissions(temp, QFile::permissions(path)); // the file keeps its mode
    const QString backup = path + QStringLiteral("bak");
    if (FileIo::exists(backup))
        FileIo::remove(backup);
    const bool backedUp = FileIo::rename(path, backup);
    if (!FileIo::rename(temp, path)) {
        const int err = errno;
        FileIo::remove(temp);
        if (backedUp)
            FileIo::rename(backup, path);
        throw ioErrorFromErrno(err, true);
    }
}

// ---------------------------------------------------------------- settings cycle

void CatalogueSession::applySettings(const SettingsChoice& choice) {
    countChange();
    const QString handoff = HandoffFile::defaultPath();
    HandoffFile::write(handoff, choice.handoff);
    handoffPath_ = handoff;
    catalogue_.liveCaptions = choice.captions;
    catalogue_.lists = choice.lists;
    emit headerChanged();
}

void CatalogueSession::finishSettings() {
    const QString path = std::exchange(handoffPath_, QString());
    if (path.isEmpty())
        return;
    if (auto values = HandoffFile::take(path)) {
        HandoffFile::apply(*values, catalogue_);
        countChange();
        emit headerChanged();
    }
}

} // namespace sorabel
