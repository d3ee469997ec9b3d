#pragma once

#include <QString>
#include <optional>

class QPlainTextEdit;

namespace sorabel {

// Finding text in the impressions of the shown record.
namespace ImpressionsSearch {

// Where the next match of `needle` in `text` starts: searched forward from
// the end of the selection (from the start of the text when nothing is
// selected, whatever the caret position), case-sensitively, without wrapping
// around. Positions are those of the text control. Nothing when there is no
// further match or the needle is empty.
std::optional<int> findNext(const QString& text, const QString& needle, int selectionStart,
                            int selectionLength);

// The find-next step on the impressions control: selects the next match and
// gives the control the focus (and its window the activation). Throws when a
// match exists but the control is hidden or disabled and cannot take the
// focus; nothing is selected then. No match: nothing happens.
void findInControl(QPlainTextEdit* impressions, const QString& needle);

// The text of that refusal.
QString cannotFocusMessage();

} // namespace ImpressionsSearch

} // namespace sorabel
