#include "core/text/Collation.h"
#include "core/text/ShiftJis.h"
#include "core/text/ShiftJisSearch.h"

#include <gtest/gtest.h>

using sorabel::Collation;
using sorabel::ShiftJisSearch;

TEST(CollationTest, IgnoresCaseButKeepsWidthAndKanaDistinct) {
    const Collation& c = Collation::japanese();
    EXPECT_EQ(c.compare(QStringLiteral("a"), QStringLiteral("A")), 0);
    EXPECT_EQ(c.compare(QStringLiteral("Straße"), QStringLiteral("STRASSE")), 0);
    EXPECT_LT(c.compare(QStringLiteral("あ"), QStringLiteral("ア")), 0);
    EXPECT_NE(c.compare(QStringLiteral("Ａ"), QStringLiteral("A")), 0);
    EXPECT_NE(c.compare(QStringLiteral("ｱ"), QStringLiteral("ア")), 0);
    EXPECT_LT(c.compare(QStringLiteral("A"), QStringLiteral("b")), 0);
    EXPECT_LT(c.compare(QStringLiteral("a"), QStringLiteral("B")), 0);
    // Gojūon order of kana, not code order alone.
    EXPECT_LT(c.compare(QStringLiteral("か"), QStringLiteral("が")), 0);
    EXPECT_LT(c.compare(QStringLiteral("が"), QStringLiteral("き")), 0);
}

TEST(CollationTest, EmptySortsFirstAndKeysAgreeWithCompare) {
    const Collation& c = Collation::japanese();
    const std::string empty = c.sortKey(QString());
    for (const char* text : {"0", "a", " ", "あ", "亜", "～"}) {
        EXPECT_LT(empty, c.sortKey(QString::fromUtf8(text))) << text;
        EXPECT_LT(c.compare(QString(), QString::fromUtf8(text)), 0) << text;
    }
    // Shift-JIS input sorts like the decoded text.
    const std::string sjisA = sorabel::sjis::fromUtf8("ａｂ");
    EXPECT_EQ(c.sortKeyOfBytes(sjisA), c.sortKey(QStringLiteral("ＡＢ")));
    EXPECT_NE(c.sortKeyOfBytes(sjisA), c.sortKey(QStringLiteral("ab")));
}

TEST(ShiftJisSearchTest, MatchesOnlyWhereACharacterStarts) {
    const std::string so = sorabel::sjis::fromUtf8("ソ"); // 0x83 0x5C
    ASSERT_EQ(so, std::string("\x83\x5C"));
    EXPECT_FALSE(ShiftJisSearch::contains(so, "\\"));
    EXPECT_TRUE(ShiftJisSearch::contains(so + "\\", "\\"));
    const std::string space = sorabel::sjis::fromUtf8("書　名"); // ideographic space 0x81 0x40
    EXPECT_FALSE(ShiftJisSearch::contains(space, "@"));
    EXPECT_TRUE(ShiftJisSearch::contains(space, sorabel::sjis::fromUtf8("　名")));
    // After double-byte characters the boundaries stay in step.
    const std::string mixed = sorabel::sjis::fromUtf8("ソラベルabcソ\\");
    EXPECT_EQ(ShiftJisSearch::find(mixed, "abc"), 8u);
    EXPECT_EQ(ShiftJisSearch::find(mixed, "\\"), 13u);
    EXPECT_EQ(ShiftJisSearch::find(mixed, sorabel::sjis::fromUtf8("ベル")), 4u);
    // A half-width katakana (one byte, 0xB1) does not start a pair.
    EXPECT_EQ(ShiftJisSearch::find(sorabel::sjis::fromUtf8("ｱA"), "A"), 1u);
}

TEST(ShiftJisSearchTest, ExactAndNeverEmpty) {
    EXPECT_FALSE(ShiftJisSearch::contains("abc", "ABC"));
    EXPECT_FALSE(ShiftJisSearch::contains("abc", ""));
    EXPECT_FALSE(ShiftJisSearch::contains("", "a"));
    EXPECT_FALSE(ShiftJisSearch::contains(sorabel::sjis::fromUtf8("ABC"),
                                          sorabel::sjis::fromUtf8("ＡＢＣ")));
    EXPECT_TRUE(ShiftJisSearch::contains("xxABC", "ABC"));
    // A stray lead byte at the end neither matches a trail nor runs past the end.
    EXPECT_FALSE(ShiftJisSearch::contains(std::string("a\x83"), "\x83\x5C"));
    EXPECT_TRUE(ShiftJisSearch::contains(std::string("a\x83"), "\x83"));
}
