#pragma once

#include <array>
#include <string_view>

namespace sorabel {

inline constexpr int kFieldCount = 19;
inline constexpr int kCaptionCount = 16;
inline constexpr int kListCount = 3;
inline constexpr int kMaxRecords = 2000;

// The 19 fields in display order. The enum value is the field number minus one;
// the visibility flags, the settings dialog's check boxes, the layout and the
// list window's columns all follow this order.
enum class Field : int {
    Title,
    Subtitle,
    Reading, // reading of the title, in kana
    Genre1,
    Genre2,
    Format, // book format (文庫, 新書, ...)
    Author, // author or editor
    Translator,
    Publisher,
    Series,
    Price,
    FirstEdition,
    EditionRead,
    Impressions, // the only field that holds line breaks
    DateFinished,
    DateStarted,
    DateBought,
    Note1,
    Note2,
};

enum class ControlKind {
    Edit,     // single-line edit
    Combo,    // editable drop-down combo box
    LineMemo, // one-line memo, right-justified (the price)
    RichMemo, // multi-line memo with a vertical scroll bar (the impressions)
};

// Which of the three choice lists a combo-box field uses.
enum class ChoiceList : int { Genre1, Genre2, Format };

struct FieldInfo {
    Field field;
    int number;           // 1..19
    std::string_view key; // English identifier, e.g. "title"
    ControlKind kind;
    int caption;                     // caption number 1..16, 0 for combos
    std::string_view defaultCaption; // UTF-8; for combos the default heading
    std::string_view meaning;        // English gloss, for messages and docs
    int storageColumn;               // place in the record storage
};

const std::array<FieldInfo, kFieldCount>& fieldTable();
const FieldInfo& fieldInfo(Field f);

inline constexpr int index(Field f) {
    return static_cast<int>(f);
}
inline constexpr Field fieldAt(int displayIndex) {
    return static_cast<Field>(displayIndex);
}

// Field whose caption is number `caption` (1..16).
Field fieldOfCaption(int caption);

// The order of a record block in the catalogue file: field-number order with
// the impressions moved to the end.
const std::array<Field, kFieldCount>& fileBlockOrder();

bool isCombo(Field f);
ChoiceList choiceListOf(Field f); // only for the three combo fields
Field fieldOfList(ChoiceList l);

} // namespace sorabel
