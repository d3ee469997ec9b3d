#include "core/lookup/Isbn.h"

#include <gtest/gtest.h>

using namespace sorabel;

TEST(IsbnTest, AcceptsTheWaysPeopleAndScannersWriteItAndHyphenatesByTheRanges) {
    const struct {
        const char* typed;
        const char* hyphenated;
    } cases[] = {
        {"9784101010014", "978-4-10-101001-4"},
        {"978-4-10-101001-4", "978-4-10-101001-4"},
        {"４１０１０１００１３", "978-4-10-101001-4"}, // full-width ISBN-10
        {"ISBN4-915512-37-1", "978-4-915512-37-7"},
        {"ISBN: 978 4 06 512345 4", "978-4-06-512345-4"},
        {"9784797312348", "978-4-7973-1234-8"},
        {"9784888888882", "978-4-88888-888-2"},
        {"9784690000007", "978-4-690-00000-7"},
        {"080442957x", "978-0-8044-2957-3"},
        {"9780306406157", "978-0-306-40615-7"},
        {"9781554042951", "978-1-55404-295-1"},
        {"9791012345678", "979-10-12-34567-8"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Isbn::parse(QString::fromUtf8(c.typed)).hyphenated(),
                  QString::fromUtf8(c.hyphenated))
            << c.typed;
    EXPECT_EQ(Isbn::parse("9784101010014").isbn10(), "4101010013");
}

TEST(IsbnTest, NamesWhatIsWrongBeforeAnythingIsAsked) {
    const struct {
        const char* typed;
        const char* message;
    } cases[] = {
        {"", "ISBN を入力してください"},
        {"9784101010015", "チェックディジットが違います（最後の桁は 5 ではなく 4 のはずです）"},
        {"4101010012", "チェックディジットが違います（最後の桁は 2 ではなく 3 のはずです）"},
        {"0804429573", "チェックディジットが違います（最後の桁は 3 ではなく X のはずです）"},
        {"978410101001", "ISBN は10桁か13桁です（12桁あります）"},
        {"9774101010014", "13桁の ISBN は 978 か 979 で始まります"},
        {"97841010X0014", "X が使えるのは10桁の ISBN の最後の桁だけです"},
        {"978-4-10-10100l-4", "ISBN に使えない文字があります: 「l」"},
    };
    for (const auto& c : cases) {
        try {
            Isbn::parse(QString::fromUtf8(c.typed));
            ADD_FAILURE() << c.typed << " was taken";
        } catch (const IsbnError& e) {
            EXPECT_STREQ(e.what(), c.message) << c.typed;
        }
    }
}
