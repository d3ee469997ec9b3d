#include "catalogue/FieldTable.h"

#include <stdexcept>

namespace sorabel {

namespace {
using K = ControlKind;
using F = Field;

// The gaps in 書　名, 副　題, よ　み, 定　価 and 感　想 are ideographic spaces.
constexpr std::array<FieldInfo, kFieldCount> kTable{{
    {F::shomei, 1, "shomei", K::Edit, 1, "書　名", "title", 0},
    {F::hukudai, 2, "hukudai", K::Edit, 2, "副　題", "subtitle", 1},
    {F::yomi, 3, "yomi", K::Edit, 3, "よ　み", "reading", 2},
    {F::janru1, 4, "janru1", K::Combo, 0, "ジャンル１", "genre 1", 16},
    {F::janru2, 5, "janru2", K::Combo, 0, "ジャンル２", "genre 2", 17},
    {F::hangata, 6, "hangata", K::Combo, 0, "判型", "book format", 18},
    {F::sakusha, 7, "sakusha", K::Edit, 4, "著作者・編者", "author or editor", 3},
    {F::yakusha, 8, "yakusha", K::Edit, 5, "翻訳者", "translator", 4},
    {F::shuppansha, 9, "shuppansha", K::Edit, 6, "出版社", "publisher", 5},
    {F::sousho, 10, "sousho", K::Edit, 7, "叢書名", "series", 6},
    {F::teika, 11, "teika", K::LineMemo, 8, "定　価", "price", 7},
    {F::shohan, 12, "shohan", K::Edit, 9, "初版（第１刷）", "first edition", 8},
    {F::yondahan, 13, "yondahan", K::Edit, 10, "読んだ版", "edition read", 9},
    {F::kansou, 14, "kansou", K::RichMemo, 11, "感　想", "impressions", 10},
    {F::dokuryou, 15, "dokuryou", K::Edit, 12, "読了日", "date finished", 11},
    {F::kaisi, 16, "kaisi", K::Edit, 13, "読書開始日", "date started", 12},
    {F::kounyuu, 17, "kounyuu", K::Edit, 14, "購入日", "date bought", 13},
    {F::bikou1, 18, "bikou1", K::Edit, 15, "備考１", "note 1", 14},
    {F::bikou2, 19, "bikou2", K::Edit, 16, "備考２", "note 2", 15},
}};

constexpr std::array<Field, kFieldCount> kBlockOrder{
    F::shomei,   F::hukudai, F::yomi,     F::janru1,     F::janru2,
    F::hangata,  F::sakusha, F::yakusha,  F::shuppansha, F::sousho,
    F::teika,    F::shohan,  F::yondahan, F::dokuryou,   F::kaisi,
    F::kounyuu,  F::bikou1,  F::bikou2,   F::kansou,
};
} // namespace

const std::array<FieldInfo, kFieldCount>& fieldTable() { return kTable; }

const FieldInfo& fieldInfo(Field f) { return kTable[static_cast<size_t>(index(f))]; }

Field fieldOfCaption(int caption) {
    for (const auto& info : kTable)
        if (info.caption == caption)
            return info.field;
    throw std::out_of_range("caption number out of range");
}

const std::array<Field, kFieldCount>& fileBlockOrder() { return kBlockOrder; }

bool isCombo(Field f) { return fieldInfo(f).kind == ControlKind::Combo; }

ChoiceList choiceListOf(Field f) {
    switch (f) {
    case F::janru1:
        return ChoiceList::Genre1;
    case F::janru2:
        return ChoiceList::Genre2;
    case F::hangata:
        return ChoiceList::Format;
    default:
        throw std::invalid_argument("field has no choice list");
    }
}

Field fieldOfList(ChoiceList l) {
    switch (l) {
    case ChoiceList::Genre1:
        return F::janru1;
    case ChoiceList::Genre2:
        return F::janru2;
    case ChoiceList::Format:
        break;
    }
    return F::hangata;
}

} // namespace sorabel
