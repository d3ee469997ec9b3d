#include "core/stats/ReadingStatistics.h"
#include "core/text/ShiftJis.h"

#include <gtest/gtest.h>

using namespace sorabel;

namespace {

struct Row {
    const char *title, *genre1, *genre2, *format, *finished, *started, *bought;
};

// Twelve books and one blank record: dates in every form, a gap year, a
// year-only and a month-only date, genres differing only by a space, and one
// book in each reading status.
Catalogue fixture() {
    const Row rows[] = {
        {"一", "小説", "ミステリ", "文庫", "2023/01/10", "2023/01/01", "2022/12/20"},
        {"二", "小説", "SF", "文庫", "2023/1/25", "", ""},
        {"三", "論文", "歴史", "新書", "2023年3月", "", ""},
        {"四", "小説", "ミステリ", "四六版", "2023", "", ""},
        {"五", "随筆", "", "文庫", "R6.2.3", "", ""},
        {"六", "小説", "ミステリ", "文庫", "２０２４／１１／３０", "", "2024/11/1"},
        {"七", "小説 ", "ミステリ", "文庫", "2021/5/5", "", ""},
        {"八", "小説", "", "", "", "2024/12/1", "2024/11/1"},
        {"九", "", "", "", "", "", "2024/3/3"},
        {"十", "", "", "", "", "", "去年"},
        {"十一", "", "", "", "読了", "2024/1/1", ""},
        {"十二", "", "", "", "", "", ""},
        {"", "", "", "", "", "", ""},
    };
    Catalogue c;
    int r = 0;
    for (const Row& row : rows) {
        ++r;
        auto set = [&](Field f, const char* utf8) { c.setField(f, r, sjis::fromUtf8(utf8)); };
        set(Field::Title, row.title);
        set(Field::Genre1, row.genre1);
        set(Field::Genre2, row.genre2);
        set(Field::Format, row.format);
        set(Field::DateFinished, row.finished);
        set(Field::DateStarted, row.started);
        set(Field::DateBought, row.bought);
    }
    c.resize(r);
    return c;
}

GroupCount g(const char* name, int count) {
    return {QString::fromUtf8(name), count};
}

} // namespace

TEST(ReadingStatisticsTest, CountsBooksFinishedByMonthYearAndGroup) {
    const Catalogue c = fixture();
    const ReadingStatistics s(c);
    const auto F = DateBasis::Finished;
    EXPECT_EQ(s.bookCount(), 12);
    EXPECT_EQ(s.datedCount(F), 7);
    EXPECT_EQ(s.years(F), (std::vector<int>{2021, 2023, 2024}));
    EXPECT_EQ(s.perYear(F), (std::vector<YearCount>{{2021, 1}, {2022, 0}, {2023, 4}, {2024, 2}}));
    EXPECT_EQ(s.perMonth(F, 2023), (std::array<int, 12>{2, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(s.yearTotal(F, 2023), 4); // the year-only date counts in the year, in no month
    EXPECT_EQ(s.perMonth(F, 2024), (std::array<int, 12>{0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0}));
    EXPECT_EQ(s.perMonth(F, 2022), (std::array<int, 12>{}));

    EXPECT_EQ(s.byGroup(F, ChoiceList::Genre1, std::nullopt),
              (std::vector<GroupCount>{g("小説", 5), g("随筆", 1), g("論文", 1)}));
    EXPECT_EQ(s.byGroup(F, ChoiceList::Genre2, 2023),
              (std::vector<GroupCount>{g("ミステリ", 2), g("SF", 1), g("歴史", 1)}));
    EXPECT_EQ(s.byGroup(F, ChoiceList::Genre2, 2024),
              (std::vector<GroupCount>{g("", 1), g("ミステリ", 1)}));
    EXPECT_EQ(s.byGroup(F, ChoiceList::Format, 2024), (std::vector<GroupCount>{g("文庫", 2)}));

    EXPECT_EQ(s.undated(F), (std::vector<UndatedRecord>{
                                {8, true}, {9, true}, {10, true}, {11, false}, {12, true}}));
}

TEST(ReadingStatisticsTest, CountsBooksBoughtAndSortsBooksByReadingStatus) {
    const Catalogue c = fixture();
    const ReadingStatistics s(c);
    const auto B = DateBasis::Bought;
    EXPECT_EQ(s.perYear(B), (std::vector<YearCount>{{2022, 1}, {2023, 0}, {2024, 3}}));
    EXPECT_EQ(s.perMonth(B, 2024), (std::array<int, 12>{0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 2, 0}));
    EXPECT_EQ(s.byGroup(B, ChoiceList::Genre1, 2024),
              (std::vector<GroupCount>{g("小説", 2), g("", 1)}));
    EXPECT_EQ(s.undated(B).size(), 8u);
    EXPECT_EQ(s.undated(B)[5], (UndatedRecord{10, false}));

    EXPECT_EQ(s.withStatus(ReadingStatus::Finished), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(s.withStatus(ReadingStatus::Reading), (std::vector<int>{8}));
    EXPECT_EQ(s.withStatus(ReadingStatus::Stacked), (std::vector<int>{9, 10}));
    // An unreadable date finished says nothing sure: the book waits for the user.
    EXPECT_EQ(s.withStatus(ReadingStatus::Unsorted), (std::vector<int>{11, 12}));
}

TEST(ReadingStatisticsTest, SpellingsOfOneGenreAreOneGroupUnderTheCommonestSpelling) {
    Catalogue c;
    const char* genres[][2] = {{"SF", "2024/1/1"}, {"ＳＦ", "2024/2/1"},     {"ｓｆ", ""},
                               {"SF", "2023/1/1"}, {"ミステリ", "2024/3/1"}, {"ミステリ", ""},
                               {"みすてり", ""}};
    int r = 0;
    for (const auto& [genre, date] : genres) {
        ++r;
        c.setField(Field::Title, r, sjis::fromUtf8("本"));
        c.setField(Field::Genre1, r, sjis::fromUtf8(genre));
        c.setField(Field::DateFinished, r, sjis::fromUtf8(date));
    }
    c.resize(r);
    const ReadingStatistics s(c);
    EXPECT_EQ(
        s.byGroup(DateBasis::Finished, ChoiceList::Genre1, std::nullopt),
        (std::vector<GroupCount>{{QStringLiteral("SF"), 3}, {QStringLiteral("ミステリ"), 1}}));
    // Every book, dated or not.
    EXPECT_EQ(
        s.byGroupOfAllBooks(ChoiceList::Genre1),
        (std::vector<GroupCount>{{QStringLiteral("SF"), 4}, {QStringLiteral("ミステリ"), 3}}));
}
