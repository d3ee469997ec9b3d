#pragma once

#include "core/catalogue/Catalogue.h"

#include <QString>
#include <array>
#include <cstddef>
#include <deque>
#include <optional>
#include <vector>

namespace sorabel {

// What the settings dialog changes in a catalogue: one step holds it before
// and after.
using HeaderValues = CatalogueHeader;

// The 19 texts of one record, in display order.
using RecordTexts = std::array<Bytes, kFieldCount>;

// One field of one record, before and after.
struct FieldChange {
    Field field;
    Bytes before;
    Bytes after;
};

// One step of the history: what one command changed and nothing more, so that
// a hundred steps of typing cost a hundred fields, not a hundred catalogues.
struct HistoryStep {
    enum class Kind {
        Fields,    // fields of `record` changed
        Inserted,  // `records` were inserted from `record` on
        Removed,   // `records` were removed from `record` on
        Reordered, // the new record i is the old record order[i-1]
        Header,    // captions, lists, fonts, flags or spacing
    };
    Kind kind = Kind::Fields;
    QString name; // what the menu shows: "元に戻す: <name>"
    int record = 0;
    std::vector<FieldChange> fields;
    std::vector<RecordTexts> records;
    std::vector<int> order;
    HeaderValues headerBefore;
    HeaderValues headerAfter;
    int currentBefore = 0;
    int currentAfter = 0;
    // Typing goes on in this step until the field is left or the user pauses.
    bool typing = false;
};

// A linear undo history: undo takes back the newest applied step first, redo
// reapplies, and a new step after an undo drops the steps that could have been
// redone. The history only keeps the steps; the session applies them, and moves
// the history on only when the catalogue has taken the step whole.
//
// It lives in core, not as a QUndoStack, so that core and the command-line
// tools need nothing of Qt GUI; the design is the same (a clean point, a
// bounded depth, steps merged while typing).
class History {
public:
    explicit History(size_t depth = 200) : depth_(depth) {}

    // Empties the history; the catalogue as it is now is the clean point.
    void clear();
    // Takes a step the session has just applied.
    void push(HistoryStep step);

    bool canUndo() const { return applied_ > 0; }
    bool canRedo() const { return applied_ < steps_.size(); }
    HistoryStep& undoStep() { return steps_[applied_ - 1]; }
    const HistoryStep& undoStep() const { return steps_[applied_ - 1]; }
    const HistoryStep& redoStep() const { return steps_[applied_]; }
    // The session applied undoStep() backwards or redoStep() forwards.
    void undone() { --applied_; }
    void redone() { ++applied_; }

    // The newest step while typing may still go into it.
    HistoryStep* openTyping();
    void closeTyping();

    // The catalogue as it is now is what the file holds.
    void markClean();
    // No state this history reaches is what the file holds (changes brought
    // back after a crash).
    void forgetClean() { clean_.reset(); }
    bool isClean() const { return clean_ == applied_; }
    size_t size() const { return steps_.size(); }

private:
    std::deque<HistoryStep> steps_;
    size_t applied_ = 0;
    std::optional<size_t> clean_ = 0; // none: the saved state can no longer be reached
    size_t depth_;
};

} // namespace sorabel
