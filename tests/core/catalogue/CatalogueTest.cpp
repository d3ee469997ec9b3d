#include "core/catalogue/Catalogue.h"
#include "core/text/ShiftJis.h"

#include <gtest/gtest.h>

using namespace sorabel;

namespace {
Bytes sj(const char* utf8) { return sjis::fromUtf8(utf8); }

void fillTitles(Catalogue& c, std::initializer_list<const char*> titles) {
    int i = 1;
    for (const char* t : titles) {
        for (const auto& info : fieldTable())
            c.setField(info.field, i, sj(t));
        ++i;
    }
    c.recordCount = static_cast<int>(titles.size());
}
} // namespace

TEST(CatalogueStore, FreshCatalogueHoldsDefaults) {
    Catalogue c;
    EXPECT_EQ(c.recordCount, 1);
    EXPECT_EQ(c.currentIndex, 1);
    EXPECT_EQ(c.modifiedCount, 0);
    EXPECT_EQ(c.startIndex, 0);
    EXPECT_TRUE(c.fileName.empty());
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
    c.removeRecordAt(2, 4);
    EXPECT_EQ(c.field(Field::Title, 1), sj("い"));
    EXPECT_EQ(c.field(Field::Title, 2), sj("は"));
    EXPECT_EQ(c.field(Field::FirstEdition, 3), sj("に"));
    for (const auto& info : fieldTable())
        EXPECT_TRUE(c.field(info.field, 4).empty()) << info.key;
    // Removing the last record only empties it.
    c.removeRecordAt(3, 3);
    EXPECT_EQ(c.field(Field::Title, 2), sj("は"));
    EXPECT_TRUE(c.field(Field::Title, 3).empty());
}

TEST(CatalogueStore, InsertEmptyShiftsDown) {
    Catalogue c;
    fillTitles(c, {"一", "二", "三"});
    c.insertEmptyAt(1, 3);
    for (const auto& info : fieldTable())
        EXPECT_TRUE(c.field(info.field, 1).empty()) << info.key;
    EXPECT_EQ(c.field(Field::Title, 2), sj("一"));
    EXPECT_EQ(c.field(Field::Format, 4), sj("三"));
    // Appending at the end is an insert after the last record.
    c.insertEmptyAt(5, 4);
    EXPECT_TRUE(c.field(Field::Title, 5).empty());
    EXPECT_EQ(c.field(Field::Title, 4), sj("三"));
}

TEST(CatalogueStore, InsertRefusesAFullCatalogue) {
    Catalogue c;
    EXPECT_THROW(c.insertEmptyAt(1, kMaxRecords), std::out_of_range);
    c.setField(Field::Title, kMaxRecords, "last");
    c.insertEmptyAt(kMaxRecords, kMaxRecords - 1);
    EXPECT_TRUE(c.field(Field::Title, kMaxRecords).empty());
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
