#include "core/text/Collation.h"
#include "core/text/ShiftJis.h"
#include "core/text/ShiftJisSearch.h"

#include <gtest/gtest.h>

using namespace sorabel;

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
    const std::string sjisA = sjis::fromUtf8("ａｂ");
    EXPECT_EQ(c.sortKeyOfBytes(sjisA), c.sortKey(QStringLiteral("ＡＢ")));
    EXPECT_NE(c.sortKeyOfBytes(sjisA), c.sortKey(QStringLiteral("ab")));
}

// A match starts only where a character starts: "\" is the trail byte of ソ
// (0x83 0x5C), "@" that of the ideographic space (0x81 0x40). Matching is exact.
TEST(ShiftJisSearchTest, MatchesWholeCharactersExactly) {
    const auto npos = ShiftJisSearch::npos;
    const struct {
        std::string text, needle;
        size_t at;
    } cases[] = {
        {sjis::fromUtf8("ソ"), "\\", npos},
        {sjis::fromUtf8("ソ\\"), "\\", 2},
        {sjis::fromUtf8("書　名"), "@", npos},
        {sjis::fromUtf8("書　名"), sjis::fromUtf8("　名"), 2},
        {sjis::fromUtf8("ソラベルabcソ\\"), "abc", 8},
        {sjis::fromUtf8("ソラベルabcソ\\"), "\\", 13},
        {sjis::fromUtf8("ソラベルabcソ\\"), sjis::fromUtf8("ベル"), 4},
        {sjis::fromUtf8("ｱA"), "A", 1}, // half-width katakana is one byte
        {"abc", "ABC", npos},
        {"abc", "", npos},
        {"", "a", npos},
        {"ABC", sjis::fromUtf8("ＡＢＣ"), npos},
        {"xxABC", "ABC", 2},
        // A stray lead byte at the end neither matches a pair nor runs past the end.
        {"a\x83", "\x83\x5C", npos},
        {"a\x83", "\x83", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShiftJisSearch::find(c.text, c.needle), c.at) << c.text << " / " << c.needle;
}
