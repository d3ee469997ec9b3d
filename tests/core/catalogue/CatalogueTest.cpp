#include "core/catalogue/Catalogue.h"
#include "core/text/ShiftJis.h"

#include <gtest/gtest.h>

using namespace sorabel;

namespace {
Bytes sj(const char* utf8) {
    return sjis::fromUtf8(utf8);
}

void fillTitles(Catalogue& c, std::initializer_list<const char*> titles) {
    c.resize(static_cast<int>(titles.size()));
    int i = 1;
    for (const char* t : titles) {
        for (const auto& info : fieldTable())
            c.setField(info.field, i, sj(t));
        ++i;
    }
}
} // namespace

TEST(CatalogueStore, FreshCatalogueHoldsDefaults) {
    Catalogue c;
    EXPECT_EQ(c.recordCount(), 1);
    for (const auto& info : fieldTable()) {
        EXPECT_TRUE(c.isShown(info.field));
        EXPECT_TRUE(c.field(info.field, 1).empty());
        EXPECT_TRUE(c.field(info.field, kMaxRecords).empty());
    }
    for (const auto& caption : c.storedCaptions)
        EXPECT_TRUE(caption.empty());
    // Ideographic space 0x81 0x40 in the default captions.
    EXPECT_EQ(c.liveCaptions[0], std::string("\x8f\x91\x81\x40\x96\xbc"));
    ASSERT_EQ(c.list(ChoiceList::Genre1).size(), 5u);
    EXPECT_EQ(c.heading(ChoiceList::Genre1), sj("ジャンル１"));
    ASSERT_EQ(c.list(ChoiceList::Genre2).size(), 11u);
    EXPECT_EQ(c.list(ChoiceList::Genre2).back(), sj("インターネット"));
    ASSERT_EQ(c.list(ChoiceList::Format).size(), 6u);
    EXPECT_EQ(c.list(ChoiceList::Format)[4], "B5\x94\xc5");
}

TEST(CatalogueStore, FlagMustBeExactlyTrue) {
    Catalogue c;
    c.flag(Field::Reading) = "true";
    c.flag(Field::Impressions) = "";
    c.flag(Field::Price) = "FALSE";
    EXPECT_FALSE(c.isShown(Field::Reading));
    EXPECT_FALSE(c.isShown(Field::Impressions));
    EXPECT_FALSE(c.isShown(Field::Price));
    EXPECT_TRUE(c.isShown(Field::Title));
}

TEST(CatalogueStore, FieldsAreAddressedByStorageColumnNotDisplayOrder) {
    Catalogue c;
    c.setField(Field::Genre1, 3, "a");
    c.setField(Field::Impressions, 3, "b\r\nc");
    EXPECT_EQ(c.field(Field::Genre1, 3), "a");
    EXPECT_EQ(c.field(Field::Impressions, 3), "b\r\nc");
    EXPECT_TRUE(c.field(Field::Genre2, 3).empty());
    EXPECT_TRUE(c.field(Field::Series, 3).empty());
    EXPECT_THROW(c.field(Field::Title, 0), std::out_of_range);
    EXPECT_THROW(c.setField(Field::Title, kMaxRecords + 1, "x"), std::out_of_range);
}

TEST(CatalogueStore, RemoveShiftsUpAndEmptiesFreedPosition) {
    Catalogue c;
    fillTitles(c, {"い", "ろ", "は", "に"});
    c.removeRecord(2);
    EXPECT_EQ(c.recordCount(), 3);
    EXPECT_EQ(c.field(Field::Title, 1), sj("い"));
    EXPECT_EQ(c.field(Field::Title, 2), sj("は"));
    EXPECT_EQ(c.field(Field::FirstEdition, 3), sj("に"));
    for (const auto& info : fieldTable())
        EXPECT_TRUE(c.field(info.field, 4).empty()) << info.key;
    // Removing the last record only empties it.
    c.removeRecord(3);
    EXPECT_EQ(c.recordCount(), 2);
    EXPECT_EQ(c.field(Field::Title, 2), sj("は"));
    EXPECT_TRUE(c.field(Field::Title, 3).empty());
    EXPECT_THROW(c.removeRecord(3), std::out_of_range);
}

TEST(CatalogueStore, InsertEmptyShiftsDownAndRefusesAFullCatalogue) {
    Catalogue c;
    fillTitles(c, {"一", "二", "三"});
    c.insertEmptyRecord(1);
    for (const auto& info : fieldTable())
        EXPECT_TRUE(c.field(info.field, 1).empty()) << info.key;
    EXPECT_EQ(c.field(Field::Title, 2), sj("一"));
    EXPECT_EQ(c.field(Field::Format, 4), sj("三"));
    // Appending at the end is an insert after the last record.
    c.insertEmptyRecord(5);
    EXPECT_EQ(c.recordCount(), 5);
    EXPECT_TRUE(c.field(Field::Title, 5).empty());
    EXPECT_EQ(c.field(Field::Title, 4), sj("三"));
    EXPECT_THROW(c.insertEmptyRecord(7), std::out_of_range);

    c.resize(kMaxRecords);
    EXPECT_THROW(c.insertEmptyRecord(1), std::out_of_range);
    EXPECT_EQ(c.recordCount(), kMaxRecords);
}

TEST(CatalogueStore, ResizeEmptiesRecordsBeyondTheCount) {
    Catalogue c;
    fillTitles(c, {"甲", "乙", "丙"});
    c.resize(1);
    c.resize(3);
    EXPECT_EQ(c.field(Field::Title, 1), sj("甲"));
    EXPECT_TRUE(c.field(Field::Title, 2).empty());
    EXPECT_TRUE(c.field(Field::Note2, 3).empty());
    EXPECT_THROW(c.resize(kMaxRecords + 1), std::out_of_range);
}

TEST(CatalogueStore, ReorderTakesOnlyAPermutation) {
    Catalogue c;
    fillTitles(c, {"甲", "乙", "丙"});
    for (const std::vector<int>& bad : {std::vector<int>{1, 2}, {1, 1, 2}, {0, 1, 2}, {1, 2, 4}})
        EXPECT_THROW(c.reorder(bad), std::invalid_argument);
    EXPECT_EQ(c.field(Field::Title, 1), sj("甲"));
    c.reorder({3, 1, 2});
    EXPECT_EQ(c.field(Field::Title, 1), sj("丙"));
    EXPECT_EQ(c.field(Field::Note2, 2), sj("甲"));
    EXPECT_EQ(c.field(Field::Title, 3), sj("乙"));
}

TEST(CatalogueStore, CopyAndClearRecord) {
    Catalogue c;
    fillTitles(c, {"甲", "乙"});
    c.copyRecord(1, 5);
    for (const auto& info : fieldTable())
        EXPECT_EQ(c.field(info.field, 5), c.field(info.field, 1));
    c.clearRecord(1);
    for (const auto& info : fieldTable())
        EXPECT_TRUE(c.field(info.field, 1).empty());
    EXPECT_EQ(c.field(Field::Title, 5), sj("甲"));
}

TEST(CatalogueStore, HeaderCarriesLiveCaptions) {
    Catalogue c;
    c.liveCaptions[0] = "live";
    c.storedCaptions[0] = "stored";
    EXPECT_EQ(c.header().captions[0], "live");
}
