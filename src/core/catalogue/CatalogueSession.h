#pragma once

#include "core/catalogue/Catalogue.h"
#include "core/catalogue/History.h"

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <array>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace sorabel {

class CatalogueReadAhead;

// The open catalogue: its records, the current record, its history of
// changes and the file it belongs to. Every window reads the catalogue here
// and changes it only through these operations, which keep the invariants
// (0 <= count <= 2000; the current index within 1..count, or 0 with no
// record), record each change as one step of the history and announce it by
// a signal. The record editor writes each edit through at once, so the
// catalogue here is always what the user sees.
class CatalogueSession : public QObject {
    Q_OBJECT

public:
    explicit CatalogueSession(QObject* parent = nullptr);
    ~CatalogueSession() override;

    const Catalogue& catalogue() const { return catalogue_; }
    int recordCount() const { return catalogue_.recordCount(); }
    int currentIndex() const { return current_; }
    bool hasRecord() const { return current_ >= 1 && current_ <= recordCount(); }
    // Unsaved changes: the history is not at the point last opened or saved.
    bool isModified() const { return !history_.isClean(); }
    // Full path of the catalogue file; empty for an untitled catalogue.
    QString filePath() const { return filePath_; }
    // The name the status bar shows: bare after Open and Save As, the full
    // path when it came from the settings file.
    QString displayName() const { return displayName_; }
    // Opened read-only (another copy holds the file): Save goes to Save As.
    bool isReadOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly);
    // The record the settings cycle returns to after reading a file.
    void setStartIndex(int record) { startIndex_ = record; }

    // Takes a whole catalogue built elsewhere, with `current` as the current
    // record (tests arrange a session this way). The history starts afresh
    // and the file stays as it was.
    void takeCatalogue(Catalogue catalogue, int current);

    // ---- edits
    // Typing into a field of the current record: goes into the open typing
    // step while the user stays in the field and keeps typing, else starts one.
    void editField(Field f, Bytes text, const QString& stepName = QStringLiteral("入力"));
    // The user left the field: the next edit starts a new step.
    void endTyping();
    // Sets several fields of a record as one step; false when there is no such record.
    bool setRecordFields(int record, const std::vector<std::pair<Field, Bytes>>& fields,
                         const QString& stepName);
    // A word confirmed in a choice box joins its list; false when it was there already.
    bool addListEntry(ChoiceList list, const Bytes& entry);
    // The spacing the layout settled on (derived from the window, no step).
    void setSpacing(int spacing);
    // The settings dialog's captions, lists, fonts, flags and spacing, as one step.
    void applySettings(const HeaderValues& values);

    // ---- navigation; moving edits nothing and is no change.
    void goToFirst();
    void goToPrevious();
    void goToNext();
    void goToLast();
    void goTo(int record);
    // Page Up / Page Down and a row chosen in the book list.
    void showRecord(int record);

    // ---- record commands, each one step
    // Adds a record at the end, its choice fields holding the lists'
    // headings, and makes it current. False (nothing changed) at 2000 records.
    bool addRecord();
    // Deletes the current record. False when there is none.
    bool deleteCurrentRecord();
    // Appends a copy of the current record and makes it current. False at 2000 records.
    bool copyRecordToEnd();
    // The book list's delete and insert at a row.
    void deleteRecord(int record);
    bool insertRecordAt(int record);
    // The book list's applied sort: record i becomes the old record order[i-1].
    void applyOrder(const std::vector<int>& order);
    // Appends records (an import) after the last one, all or none: false when
    // they would pass 2000 records.
    bool appendRecords(const std::vector<std::array<Bytes, kFieldCount>>& records);

    // ---- history. Undo and redo throw IoError, with the reason in Japanese,
    // when the step no longer fits the catalogue; the step then stays.
    bool canUndo() const { return history_.canUndo(); }
    bool canRedo() const { return history_.canRedo(); }
    QString undoText() const;
    QString redoText() const;
    void undo();
    void redo();

    // ---- files; failures throw IoError and leave the session as it was.
    // Empties the catalogue (captions, lists and fonts stay) and forgets the file.
    void newCatalogue();
    // Reads a catalogue file; the current record is the start index or the
    // last. Returns how many records the file held in full (fewer than the
    // record count when it ends early).
    int open(const QString& path);
    // Reads the file remembered from the last run, keeping the full path as its name.
    int reopen(const QString& fullPath);
    // Starts reading `path` on a thread of its own: the next open() or
    // reopen() of that file, while it is unchanged, takes what was read.
    // For the start, which builds its windows meanwhile.
    void readAhead(const QString& path);
    // Lets go of what was read ahead and not opened (the start opened
    // something else, or nothing).
    void endReadAhead();
    // How a save may write. `Safe`: atomically, refusing (WriteRefusal, before
    // anything is written) a vanished folder, a vanished file the session read
    // or wrote, and a folder where no temporary file or backup can be made.
    // The other two are the answers once the user has agreed: create the
    // vanished file, or rewrite the file in place without a backup.
    enum class WriteMode { Safe, CreateMissing, InPlace };
    // Writes to the current file, keeping the previous one as "<name>bak".
    void save(WriteMode mode = WriteMode::Safe);
    // Writes to a new file, which becomes the current one.
    void saveAs(const QString& path, WriteMode mode = WriteMode::Safe);
    // Records another program appended after the last one the file's count
    // line names: not read, so a save of the file drops them.
    int recordsPastCount() const { return recordsPastCount_; }
    // Takes back the unsaved catalogue of a run that ended without saving
    // (the bytes of a catalogue file), as unsaved changes of `fullPath`
    // shown as `shownName` (or untitled when empty). `written` is when
    // those changes were kept: a file changed on disk after that is not
    // overwritten without the question. Throws IoError on damaged bytes.
    void restoreUnsaved(const std::string& bytes, const QString& fullPath, const QString& shownName,
                        int current, const QDateTime& written);
    // True when the file on disk is no longer the one this session read or
    // last wrote (another program or another copy of this one changed it).
    bool fileChangedOnDisk() const;

signals:
    void currentRecordChanged();
    void recordsChanged();
    void modifiedChanged();
    void fileNameChanged();
    void readOnlyChanged();
    // Captions, choice lists, fonts, visibility flags or spacing changed.
    void headerChanged();
    // Finer signals for views with rows, each emitted after the change and
    // before the coarse recordsChanged(): records first..first+count-1 are new,
    // or were removed from first on; the records were put in a new order; one
    // record's fields changed; the whole catalogue was replaced.
    void recordsInserted(int first, int count);
    void recordsRemoved(int first, int count);
    void recordsReordered();
    void recordChanged(int record);
    void catalogueReset();
    // What undo and redo would take back or redo changed.
    void historyChanged();

private:
    // What the session last read or wrote, to notice another writer.
    struct Fingerprint {
        qint64 size = -1;
        qint64 modified = 0; // ms since the epoch
        QByteArray hash;
    };

    RecordTexts textsOf(int record) const;
    // Applies a step forwards or backwards, whole or (with the reason) not at all.
    QString whyNot(const HistoryStep& step, bool forward) const;
    void apply(const HistoryStep& step, bool forward);
    void insertTexts(int at, const std::vector<RecordTexts>& records);
    void removeTexts(int at, int count);
    // Applies a new step and records it.
    void record(HistoryStep step);
    void historyMoved(bool wasModified);
    void remember(const QString& path, const std::string& bytes);
    void remember(const QString& path, qint64 size, const QByteArray& hash);
    void setCurrent(int record);
    void setFile(const QString& fullPath, const QString& shownName);
    // `wasThere`: the session read or wrote the file, so its absence is news.
    void writeFile(const QString& path, WriteMode mode, bool keepBackup, bool wasThere);
    int loadFile(const QString& path);
    void restartHistory();

    Catalogue catalogue_;
    int current_ = 1;
    int startIndex_ = 0;
    QString filePath_;
    QString displayName_;
    History history_;
    QElapsedTimer typingClock_; // since the last keystroke of the open typing step
    std::optional<Fingerprint> onDisk_;
    std::unique_ptr<CatalogueReadAhead> readAhead_;
    int recordsPastCount_ = 0;
    bool readOnly_ = false;
};

} // namespace sorabel
