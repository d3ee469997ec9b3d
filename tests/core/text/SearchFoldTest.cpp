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
    // {query, text}
    const char* const same[][2] = {{"abc", "xABCx"},  {"ＡＢＣ", "abc"},   {"Straße", "STRASSE"},
                                   {"１２３", "123"}, {"ｶﾞｲﾄﾞ", "ガイド"}, {"がいど", "ｶﾞｲﾄﾞ"},
                                   {"ねこ", "ネコ"},  {"ネコ", "ねこ"},    {"ﾈｺ", "ねこ"},
                                   {"ゔ", "ヴ"},      {"ｰ", "ー"},         {"ぱん", "ﾊﾟﾝ"}};
    const char* const different[][2] = {
        {"は", "ば"}, {"ば", "ぱ"},           {"ハ", "パ"}, {"ｶ", "ガ"},     {"や", "ゃ"},
        {"つ", "っ"}, {"ラーメン", "ラメン"}, {"ア", "亜"}, {"ＡＢＣ", "ab"}};
    for (const auto& [query, text] : same)
        EXPECT_TRUE(folds(query, text)) << query << " in " << text;
    for (const auto& [query, text] : different)
        EXPECT_FALSE(folds(query, text)) << query << " in " << text;
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
