#include "core/text/SearchFold.h"

#include <gtest/gtest.h>

using sorabel::SearchFold;

namespace {
bool folds(const char* query, const char* text) {
    return SearchFold::foldedText(QString::fromUtf8(text))
        .contains(SearchFold::foldedText(QString::fromUtf8(query)));
}
} // namespace

TEST(SearchFoldTest, IgnoresCaseWidthAndKanaButNotMarksOrSmallKana) {
    struct Case {
        const char* query;
        const char* text;
        bool match;
    };
    const Case cases[] = {
        {"abc", "xABCx", true},
        {"ＡＢＣ", "abc", true},
        {"Straße", "STRASSE", true},
        {"１２３", "123", true},
        {"ｶﾞｲﾄﾞ", "ガイド", true},
        {"がいど", "ｶﾞｲﾄﾞ", true},
        {"ねこ", "ネコ", true},
        {"ネコ", "ねこ", true},
        {"ﾈｺ", "ねこ", true},
        {"ゔ", "ヴ", true},
        {"ｰ", "ー", true},
        {"ぱん", "ﾊﾟﾝ", true},
        {"は", "ば", false},
        {"ば", "ぱ", false},
        {"ハ", "パ", false},
        {"ｶ", "ガ", false},
        {"や", "ゃ", false},
        {"つ", "っ", false},
        {"ラーメン", "ラメン", false},
        {"ア", "亜", false},
        {"ＡＢＣ", "ab", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(folds(c.query, c.text), c.match) << c.query << " in " << c.text;
}

TEST(SearchFoldTest, MapsFoldedOffsetsBackToTheSource) {
    // x ｶﾞ Ａ ㍻ y  ->  x ガ a 平 成 y
    const SearchFold::Folded f = SearchFold::fold(QStringLiteral("xｶﾞＡ㍻y"));
    ASSERT_EQ(f.text, QStringLiteral("xガa平成y"));
    using Range = std::pair<qsizetype, qsizetype>;
    const auto range = [&](qsizetype from, qsizetype length) {
        return Range(SearchFold::sourceStart(f.origin, from),
                     SearchFold::sourceEnd(f.origin, f.sourceLength, from, length));
    };
    EXPECT_EQ(range(1, 1), Range(1, 3)); // ガ is ｶﾞ
    EXPECT_EQ(range(2, 1), Range(3, 4));
    EXPECT_EQ(range(3, 1), Range(4, 5)); // half of ㍻ is all of it
    EXPECT_EQ(range(4, 2), Range(4, 6));
    // Kana keep their length: no origin table is needed.
    EXPECT_TRUE(SearchFold::fold(QStringLiteral("ねこと猫")).origin.empty());
}
