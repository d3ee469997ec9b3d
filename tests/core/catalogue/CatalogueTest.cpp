#include "core/catalogue/Catalogue.h"
#include "core/format/CatalogueFile.h"

#include <gtest/gtest.h>

using namespace sorabel;

namespace {
// A catalogue whose record i holds texts[i-1] in every field.
Catalogue filled(std::initializer_list<const char*> texts) {
    Catalogue c;
    c.resize(static_cast<int>(texts.size()));
    int r = 0;
    for (const char* t : texts) {
        ++r;
        for (const auto& info : fieldTable())
            c.setField(info.field, r, t);
    }
    return c;
}

// Records 1..upTo as "a|b|...": the text all fields of a record share, "?" when they differ.
std::string records(const Catalogue& c, int upTo) {
    std::string out;
    for (int r = 1; r <= upTo; ++r) {
        const Bytes first(c.field(Field::Title, r));
        bool same = true;
        for (const auto& info : fieldTable())
            same = same && c.field(info.field, r) == first;
        out += (r > 1 ? "|" : "") + (same ? first : "?");
    }
    return out;
}
} // namespace

TEST(CatalogueStore, FreshCatalogueHoldsOneEmptyRecordAndTheDefaults) {
    Catalogue c;
    EXPECT_EQ(c.recordCount(), 1);
    EXPECT_EQ(records(c, 1), "");
    EXPECT_TRUE(c.field(Field::Note2, kMaxRecords).empty());
    for (const auto& info : fieldTable())
        EXPECT_TRUE(c.isShown(info.field));
    EXPECT_EQ(c.storedCaptions, decltype(c.storedCaptions){});
    // The default captions and headings: CsvWriter's header test.
    // A field is shown only under the exact flag "TRUE".
    for (const char* flag : {"true", "", "FALSE", "TRUE "}) {
        c.flag(Field::Reading) = flag;
        EXPECT_FALSE(c.isShown(Field::Reading)) << flag;
    }
    EXPECT_TRUE(c.isShown(Field::Title));
}

TEST(CatalogueStore, RecordMovesTakeWholeRecordsAndEmptyWhatTheyFree) {
    Catalogue c = filled({"a", "b", "c", "d"});
    c.removeRecord(2);
    EXPECT_EQ(records(c, 5), "a|c|d||");
    c.removeRecord(3); // the last one is only emptied
    EXPECT_EQ(records(c, 4), "a|c||");
    EXPECT_EQ(c.recordCount(), 2);
    EXPECT_THROW(c.removeRecord(3), std::out_of_range);

    c.insertEmptyRecord(1);
    c.insertEmptyRecord(4); // after the last record
    EXPECT_EQ(records(c, 5), "|a|c||");
    EXPECT_EQ(c.recordCount(), 4);
    EXPECT_THROW(c.insertEmptyRecord(6), std::out_of_range);

    c.copyRecord(2, 4);
    c.clearRecord(3);
    EXPECT_EQ(records(c, 5), "|a||a|");

    c = filled({"a", "b", "c"});
    c.resize(1);
    c.resize(3);
    EXPECT_EQ(records(c, 3), "a||");
    EXPECT_THROW(c.resize(kMaxRecords + 1), std::out_of_range);
    c.resize(kMaxRecords);
    EXPECT_THROW(c.insertEmptyRecord(1), std::out_of_range);
    EXPECT_EQ(c.recordCount(), kMaxRecords);
    EXPECT_THROW(c.field(Field::Title, 0), std::out_of_range);
    EXPECT_THROW(c.setField(Field::Title, kMaxRecords + 1, "x"), std::out_of_range);
}

TEST(CatalogueStore, ReorderTakesOnlyAPermutation) {
    Catalogue c = filled({"a", "b", "c"});
    for (const std::vector<int>& bad : {std::vector<int>{1, 2}, {1, 1, 2}, {0, 1, 2}, {1, 2, 4}})
        EXPECT_THROW(c.reorder(bad), std::invalid_argument);
    EXPECT_EQ(records(c, 3), "a|b|c");
    c.reorder({3, 1, 2});
    EXPECT_EQ(records(c, 4), "c|a|b|");
}

// Texts read from a file stay in the file's bytes; texts set later are the
// catalogue's own. Neither may leak into another field through a copy, a move
// or a second catalogue, and a view of one field survives other fields being set.
TEST(CatalogueStore, ReadTextsAndSetTextsLiveSideBySide) {
    Catalogue c;
    CatalogueFile::readBytes(CatalogueFile::serialise(filled({"a", "b", "c"})), c);
    EXPECT_EQ(records(c, 4), "a|b|c|");
    c.setField(Field::Title, 2, "x");
    c.copyRecord(2, 3);
    c.setField(Field::Title, 2, "y");
    EXPECT_EQ(c.field(Field::Title, 3), "x");
    EXPECT_EQ(c.field(Field::Author, 3), "b");

    const std::string_view kept = c.field(Field::Title, 3);
    for (int r = 1; r <= 300; ++r)
        c.setField(Field::Note2, r, std::string(40, 'n'));
    EXPECT_EQ(kept, "x");

    Catalogue copy = c;
    copy.setField(Field::Title, 3, "z");
    c.removeRecord(1);
    EXPECT_EQ(c.field(Field::Title, 1), "y");
    EXPECT_EQ(c.field(Field::Title, 2), "x");
    EXPECT_EQ(copy.field(Field::Title, 3), "z");
    EXPECT_EQ(copy.field(Field::Title, 1), "a");

    // Reading again replaces every record, the ones set by hand included.
    CatalogueFile::readBytes(CatalogueFile::serialise(filled({"p", "q"})), c);
    EXPECT_EQ(records(c, 3), "p|q|");
    c.setField(Field::Title, 1, "r");
    EXPECT_EQ(records(c, 2), "?|q");
    EXPECT_EQ(c.field(Field::Title, 1), "r");
}
