#pragma once

#include "core/catalogue/Catalogue.h"
#include "core/format/HandoffFile.h"

#include <QObject>
#include <QString>
#include <array>
#include <optional>
#include <utility>
#include <vector>

namespace sorabel {

// What the settings dialog's OK hands over: the captions and choice lists go
// into the catalogue at once, the fonts, flags and spacing travel through the
// hand-off file until the catalogue has been saved.
struct SettingsChoice {
    std::array<Bytes, kCaptionCount> captions;
    std::array<std::vector<Bytes>, kListCount> lists;
    HandoffValues handoff;
};

// The open catalogue: its records, the current record, the count of unsaved
// changes and the file it belongs to. Every window reads the catalogue here
// and changes it only through these operations, which keep the invariants
// (0 <= count <= 2000; the current index within 1..count, or 0 with no
// record) and announce each change by a signal.
//
// Operations that leave the shown record or need the catalogue up to date
// first emit storeEditsRequested(), to which the record editor answers by
// storing its fields (synchronously, through storeField()).
class CatalogueSession : public QObject {
    Q_OBJECT

public:
    explicit CatalogueSession(QObject* parent = nullptr);

    const Catalogue& catalogue() const { return catalogue_; }
    int recordCount() const { return catalogue_.recordCount(); }
    int currentIndex() const { return current_; }
    bool hasRecord() const { return current_ >= 1 && current_ <= recordCount(); }
    int modifiedCount() const { return modified_; }
    bool isModified() const { return modified_ > 0; }
    // Full path of the catalogue file; empty for an untitled catalogue.
    QString filePath() const { return filePath_; }
    // The name the status bar shows: bare after Open and Save As, the full
    // path when it came from the settings file.
    QString displayName() const { return displayName_; }
    // The record the settings cycle returns to after reading a file.
    void setStartIndex(int record) { startIndex_ = record; }

    // Takes a whole catalogue built elsewhere, with `current` as the current
    // record (tests arrange a session this way). The file and the count of
    // changes stay as they were.
    void takeCatalogue(Catalogue catalogue, int current);

    // ---- edits
    // The editor stores a field of the current record (nothing else changes).
    void storeField(Field f, Bytes text);
    // Counts `changes` unsaved changes (typing in the impressions, a choice box changed).
    void countChange(int changes = 1);
    // Asks the editor to store what it shows into the current record.
    void storeEdits();
    // A word confirmed in a choice box joins its list; false when it was there already.
    bool addListEntry(ChoiceList list, const Bytes& entry);
    // The spacing the layout settled on.
    void setSpacing(int spacing);
    void setCaptionFont(const FontValues& font);
    void setContentsFont(const FontValues& font);

    // ---- navigation; each move counts as a change, deliberately: the
    // program has always asked to save after the user browsed.
    void goToFirst();
    void goToPrevious();
    void goToNext();
    void goToLast();
    void goTo(int record);
    // Page Up / Page Down and a row chosen in the book list: a move that
    // does not count as a change.
    void showRecord(int record);

    // ---- record commands
    // Adds an empty record at the end and makes it current. Deliberately
    // counts a change before the limit check. False at 2000 records.
    bool addRecord();
    // Deletes the current record. False when there is none.
    bool deleteCurrentRecord();
    // Appends a copy of the current record (with the editor's edits) and
    // makes it current. False at 2000 records.
    bool copyRecordToEnd();
    // The book list's delete and insert at a row.
    void deleteRecord(int record);
    bool insertRecordAt(int record);
    // The book list's applied sort: record i becomes the old record order[i-1].
    void applyOrder(const std::vector<int>& order);
    // Appends records (an import) after the last one, all or none: false when
    // they would pass 2000 records. One change, one undo step.
    bool appendRecords(const std::vector<std::array<Bytes, kFieldCount>>& records);
    // Replaces some fields of one record as one change; false when there is
    // no such record.
    bool setRecordFields(int record, const std::vector<std::pair<Field, Bytes>>& fields,
                         const QString& stepName);

    // Takes back the last delete, insert, copy to the end, applied sort or
    // import of this catalogue; counts as a change like the command it undoes.
    bool canUndo() const { return !undo_.empty(); }
    void undo();

    // ---- files; failures throw IoError and leave the session as it was.
    // Empties the catalogue (captions, lists and fonts stay) and forgets the file.
    void newCatalogue();
    // Reads a catalogue file; the current record is the start index or the
    // last. Returns how many records the file held in full (fewer than the
    // record count when it ends early).
    int open(const QString& path);
    // Reads the file remembered from the last run, keeping the full path as its name.
    int reopen(const QString& fullPath);
    // Writes to the current file, keeping the previous one as "<name>bak".
    void save();
    // Writes to a new file, which becomes the current one.
    void saveAs(const QString& path);
    // True when the file on disk is no longer the one this session read or
    // last wrote (another program or another copy of this one changed it).
    bool fileChangedOnDisk() const;

    // ---- the settings cycle
    // OK: captions and lists go in, the rest into the hand-off file; one change.
    void applySettings(const SettingsChoice& choice);
    // After the dialog: takes the hand-off file this cycle wrote, if any, and
    // applies it (or, when the cycle failed, only removes it).
    void finishSettings(bool apply);

signals:
    void currentRecordChanged();
    void recordsChanged();
    void modifiedChanged();
    void fileNameChanged();
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
    // Emitted before an operation that needs the editor's edits stored.
    void storeEditsRequested();
    void undoAvailableChanged(bool available);

private:
    struct UndoStep {
        enum class Kind { Removed, Inserted, Appended, Reordered } kind;
        int record = 0;                        // Removed, Inserted
        std::array<Bytes, kFieldCount> fields; // Removed
        int countBefore = 0;                   // Appended
        std::vector<int> order;                // Reordered
        int currentBefore = 0;
    };
    // What the session last read or wrote, to notice another writer.
    struct Fingerprint {
        qint64 size = -1;
        qint64 modified = 0; // ms since the epoch
        QByteArray hash;
    };

    void pushUndo(UndoStep step);
    void clearUndo();
    void remember(const QString& path, const std::string& bytes);
    void setCurrent(int record);
    void setModified(int count);
    void setFile(const QString& fullPath, const QString& shownName);
    void writeWithBackup(const QString& path);
    int loadFile(const QString& path);

    Catalogue catalogue_;
    int current_ = 1;
    int modified_ = 0;
    int startIndex_ = 0;
    QString filePath_;
    QString displayName_;
    QString handoffPath_; // the hand-off file this settings cycle wrote
    std::optional<HandoffValues> handoff_;
    std::vector<UndoStep> undo_;
    std::optional<Fingerprint> onDisk_;
    bool storingEdits_ = false;
};

} // namespace sorabel
