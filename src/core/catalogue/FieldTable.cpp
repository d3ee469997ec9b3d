#include "core/catalogue/FieldTable.h"

#include <stdexcept>

namespace sorabel {

namespace {
using K = ControlKind;
using F = Field;

// The gaps in 書　名, 副　題, よ　み, 定　価 and 感　想 are ideographic spaces.
constexpr std::array<FieldInfo, kFieldCount> kTable{{
    {F::Title, 1, "title", K::Edit, 1, "書　名", "title", 0},
    {F::Subtitle, 2, "subtitle", K::Edit, 2, "副　題", "subtitle", 1},
    {F::Reading, 3, "reading", K::Edit, 3, "よ　み", "reading", 2},
    {F::Genre1, 4, "genre1", K::Combo, 0, "ジャンル１", "genre 1", 16},
    {F::Genre2, 5, "genre2", K::Combo, 0, "ジャンル２", "genre 2", 17},
    {F::Format, 6, "format", K::Combo, 0, "判型", "book format", 18},
    {F::Author, 7, "author", K::Edit, 4, "著作者・編者", "author or editor", 3},
    {F::Translator, 8, "translator", K::Edit, 5, "翻訳者", "translator", 4},
    {F::Publisher, 9, "publisher", K::Edit, 6, "出版社", "publisher", 5},
    {F::Series, 10, "series", K::Edit, 7, "叢書名", "series", 6},
    {F::Price, 11, "price", K::LineMemo, 8, "定　価", "price", 7},
    {F::FirstEdition, 12, "firstEdition", K::Edit, 9, "初版（第１刷）", "first edition", 8},
    {F::EditionRead, 13, "editionRead", K::Edit, 10, "読んだ版", "edition read", 9},
    {F::Impressions, 14, "impressions", K::RichMemo, 11, "感　想", "impressions", 10},
    {F::DateFinished, 15, "dateFinished", K::Edit, 12, "読了日", "date finished", 11},
    {F::DateStarted, 16, "dateStarted", K::Edit, 13, "読書開始日", "date started", 12},
    {F::DateBought, 17, "dateBought", K::Edit, 14, "購入日", "date bought", 13},
    {F::Note1, 18, "note1", K::Edit, 15, "備考１", "note 1", 14},
    {F::Note2, 19, "note2", K::Edit, 16, "備考２", "note 2", 15},
}};

constexpr std::array<Field, kFieldCount> kBlockOrder{
    F::Title,      F::Subtitle,     F::Reading,     F::Genre1,       F::Genre2,
    F::Format,     F::Author,       F::Translator,  F::Publisher,    F::Series,
    F::Price,      F::FirstEdition, F::EditionRead, F::DateFinished, F::DateStarted,
    F::DateBought, F::Note1,        F::Note2,       F::Impressions,
};
} // namespace

const std::array<FieldInfo, kFieldCount>& fieldTable() {
    return kTable;
}

const FieldInfo& fieldInfo(Field f) {
    return kTable[static_cast<size_t>(index(f))];
}

Field fieldOfCaption(int caption) {
    for (const auto& info : kTable)
        if (info.caption == caption)
            return info.field;
    throw std::out_of_range("caption number out of range");
}

const std::array<Field, kFieldCount>& fileBlockOrder() {
    return kBlockOrder;
}

bool isCombo(Field f) {
    return fieldInfo(f).kind == ControlKind::Combo;
}

ChoiceList choiceListOf(Field f) {
    switch (f) {
    case F::Genre1:
        return ChoiceList::Genre1;
    case F::Genre2:
        return ChoiceList::Genre2;
    case F::Format:
        return ChoiceList::Format;
    default:
        throw std::invalid_argument("field has no choice list");
    }
}

Field fieldOfList(ChoiceList l) {
    switch (l) {
    case ChoiceList::Genre1:
        return F::Genre1;
    case ChoiceList::Genre2:
        return F::Genre2;
    case ChoiceList::Format:
        break;
    }
    return F::Format;
}

} // namespace sorabel
