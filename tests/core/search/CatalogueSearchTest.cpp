#include "core/search/CatalogueSearch.h"
#include "core/catalogue/Catalogue.h"
#include "core/text/ShiftJis.h"

#include <gtest/gtest.h>

using namespace sorabel;

namespace {

Catalogue library() {
    Catalogue c;
    const auto set = [&](int r, Field f, const char* utf8) {
        c.setField(f, r, sjis::fromUtf8(utf8));
    };
    set(1, Field::Title, "吾輩は猫である");
    set(1, Field::Author, "夏目漱石");
    set(1, Field::Impressions, "ネコの目から見た人間。\r\nとても面白い。");
    set(2, Field::Title, "ノルウェイの森");
    set(2, Field::Author, "村上春樹");
    set(2, Field::Note2, "猫は出てこない");
    set(3, Field::Title, "海辺のカフカ");
    set(3, Field::Author, "村上春樹");
    set(3, Field::Impressions, "猫と話す男。ｶﾞｲﾄﾞ付き。fine");
    c.resize(3);
    c.flag(Field::Note2) = "FALSE";
    return c;
}

std::vector<int> records(const CatalogueSearch& s, const char* query,
                         std::optional<Field> only = {}) {
    std::vector<int> out;
    for (const auto& book : s.find(CatalogueSearch::parse(QString::fromUtf8(query)), only))
        out.push_back(book.record);
    return out;
}

} // namespace

TEST(CatalogueSearchTest, EveryWordMustOccurInSomeFieldOfTheBook) {
    CatalogueSearch s;
    s.prepare(library());
    EXPECT_EQ(records(s, "猫"), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(records(s, "村上 猫"), (std::vector<int>{2, 3}));
    EXPECT_EQ(records(s, "猫　村上 海辺"), (std::vector<int>{3})); // ideographic space too
    EXPECT_EQ(records(s, "ねこ"), (std::vector<int>{1}));
    EXPECT_EQ(records(s, "猫", Field::Impressions), (std::vector<int>{3}));
    EXPECT_EQ(records(s, "村上 猫", Field::Author), (std::vector<int>{}));
    EXPECT_EQ(records(s, "猫", Field::Note2), (std::vector<int>{2})); // hidden, still searched
    EXPECT_FALSE(s.isShown(Field::Note2));

    // The fields of a book that hold any word, in display order.
    const auto books = s.find(CatalogueSearch::parse(u"男 春樹"));
    ASSERT_EQ(books.size(), 1u);
    ASSERT_EQ(books[0].fields.size(), 2u);
    EXPECT_EQ(books[0].fields[0].field, Field::Author);
    EXPECT_EQ(books[0].fields[1].field, Field::Impressions);

    // Nothing to look for, and what no catalogue text can fold to, match nothing.
    for (const char* q : {"", "  　", "😀", "猫 😀"})
        EXPECT_TRUE(records(s, q).empty()) << q;
    EXPECT_EQ(CatalogueSearch::parse(u"猫 😀").whyNothing,
              QStringLiteral("「😀」は読書録に記録できない文字なので、見つかる本はありません"));
    // The query is folded first: what folds to catalogue text finds it.
    for (const char* q : {"fi", "ﬁ"})
        EXPECT_EQ(records(s, q), (std::vector<int>{3})) << q;
    EXPECT_TRUE(records(s, std::string(1000, 'a').c_str()).empty());
    EXPECT_EQ(records(s, (std::string("猫 ") + std::string(997, ' ')).c_str()),
              (std::vector<int>{1, 2, 3}));
}

TEST(CatalogueSearchTest, ExcerptMarksTheSourceCharactersOfEveryWord) {
    CatalogueSearch s;
    s.prepare(library());
    const auto excerptOf = [&](const QString& query) {
        const auto q = CatalogueSearch::parse(query);
        const auto books = s.find(q, Field::Impressions);
        EXPECT_EQ(books.size(), 1u) << query.toStdString();
        const auto e = s.excerpt(books.at(0).record, books.at(0).fields.at(0), q);
        QStringList marked;
        for (const auto& [start, length] : e.highlights)
            marked << e.text.mid(start, length);
        return std::pair(e.text, marked);
    };
    const auto [text, marked] = excerptOf(QStringLiteral("がいど 男"));
    EXPECT_EQ(marked, (QStringList{u"男"_qs, u"ｶﾞｲﾄﾞ"_qs}));
    EXPECT_EQ(text, QStringLiteral("猫と話す男。ｶﾞｲﾄﾞ付き。fine"));
    // Line breaks become spaces; a long field is cut with an ellipsis.
    EXPECT_EQ(excerptOf(QStringLiteral("人間")).first,
              QStringLiteral("ネコの目から見た人間。  とても面白い。"));
    EXPECT_EQ(s.excerpt(1, {Field::Impressions, 8, 2}, CatalogueSearch::parse(u"人間"), 6).text,
              QStringLiteral("…た人間。  …"));
}

TEST(CatalogueSearchTest, StaleTextsFindNothingUntilPreparedAgain) {
    Catalogue c = library();
    CatalogueSearch s;
    s.prepare(c);
    c.setField(Field::Title, 2, sjis::fromUtf8("猫町"));
    s.invalidate();
    EXPECT_TRUE(records(s, "猫町").empty());
    s.prepare(c);
    EXPECT_EQ(records(s, "猫町"), (std::vector<int>{2}));
    EXPECT_EQ(s.text(2, Field::Title), QStringLiteral("猫町"));

    // Fields edited in place, one longer and one emptied: the books after
    // them are still found, and marked, where they are.
    c.setField(Field::Impressions, 1, sjis::fromUtf8("ｶﾞｲﾄﾞの猫"));
    c.setField(Field::Note2, 2, {});
    s.prepare(c);
    EXPECT_EQ(records(s, "がいど"), (std::vector<int>{1, 3}));
    EXPECT_EQ(records(s, "出てこない"), (std::vector<int>{}));
    EXPECT_EQ(s.text(3, Field::Author), QStringLiteral("村上春樹"));
    const auto q = CatalogueSearch::parse(u"話す");
    const auto books = s.find(q);
    ASSERT_EQ(books.size(), 1u);
    const auto e = s.excerpt(3, books[0].fields.at(0), q);
    ASSERT_EQ(e.highlights.size(), 1u);
    EXPECT_EQ(e.text.mid(e.highlights[0].first, e.highlights[0].second), QStringLiteral("話す"));
}

TEST(CatalogueSearchTest, QueriesAreFoldedBeforeTheyAreChecked) {
    Catalogue c;
    c.setField(Field::Title, 1, sjis::fromUtf8("ヴァイオリン弾き"));
    c.setField(Field::Genre1, 2, sjis::fromUtf8("ライトノベル"));
    c.resize(2);
    CatalogueSearch s;
    s.prepare(c);
    const struct {
        const char* query;
        std::vector<int> found;
    } cases[] = {
        {"ゔぁいおりん", {1}},
        {"ヴァイオリン", {1}},
        {"らいとのへ\u3099る", {2}}, // combining sound mark
        {"らいとのへ゛る", {2}},     // spacing sound mark after its kana
        {"ﾗｲﾄﾉﾍﾞﾙ", {2}},
        {"らいと\u00A0のべる", {2}}, // no-break space between words
        {"ゔぁいおりん 😀", {}},
    };
    for (const auto& k : cases)
        EXPECT_EQ(records(s, k.query), k.found) << k.query;
}

TEST(CatalogueSearchTest, SpacesAndHyphensInsideNamesAndIsbnsCanBeIgnored) {
    Catalogue c;
    c.setField(Field::Author, 1, sjis::fromUtf8("村上 春樹"));
    c.setField(Field::Note2, 2, sjis::fromUtf8("ISBN: 978-4-10-123456-5"));
    c.resize(2);
    CatalogueSearch s;
    s.prepare(c);
    const auto found = [&](const char* q, bool loose) {
        std::vector<int> out;
        for (const auto& book : s.find(CatalogueSearch::parse(QString::fromUtf8(q), loose)))
            out.push_back(book.record);
        return out;
    };
    EXPECT_EQ(found("村上春樹", false), std::vector<int>{});
    EXPECT_EQ(found("村上春樹", true), std::vector<int>{1});
    EXPECT_EQ(found("9784101234565", true), std::vector<int>{2});
    EXPECT_EQ(found("978-4101-234565", true), std::vector<int>{2});
    // The excerpt marks the whole name, its space included.
    const auto books = s.find(CatalogueSearch::parse(u"村上春樹", true));
    const auto e = s.excerpt(1, books[0].fields[0], CatalogueSearch::parse(u"村上春樹", true));
    EXPECT_EQ(e.text, QStringLiteral("村上 春樹"));
    EXPECT_EQ(e.highlights, (std::vector<std::pair<qsizetype, qsizetype>>{{0, 5}}));
}
