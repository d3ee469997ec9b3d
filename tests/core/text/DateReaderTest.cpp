#include "core/text/DateReader.h"

#include <QString>
#include <gtest/gtest.h>

using namespace sorabel;

TEST(DateReaderTest, ReadsTheFormsReadersType) {
    constexpr auto Y = DatePrecision::Year, M = DatePrecision::Month, D = DatePrecision::Day;
    const struct {
        ReadDate expected;
        std::vector<const char*> texts;
    } cases[] = {
        {{2024, 3, 5, D},
         {"2024/03/05", "2024/3/5", "2024-03-05", "2024.3.5", "20240305", "2024年3月5日",
          "2024年 03月 05日", "  2024/3/5　", "２０２４／３／５", "２０２４年３月５日",
          "２０２４．３．５", "令和6年3月5日", "R6.3.5", "r6/3/5", "Ｒ６．３．５"}},
        {{2024, 2, 29, D}, {"2024/2/29"}},
        {{2019, 5, 1, D}, {"令和元年5月1日", "R元.5.1"}},
        {{2018, 1, 2, D}, {"平成30年1月2日", "H30.1.2", "㍻30年1月2日"}},
        {{1989, 1, 8, D}, {"平成元年1月8日"}},
        {{2019, 4, 30, D}, {"平成31年4月30日"}},
        {{2019, 5, 10, D}, {"平成31年5月10日"}}, // old-era forms outlive the change
        {{1989, 1, 7, D}, {"昭和64年1月7日"}},
        {{1975, 10, 1, D}, {"S50.10.1"}},
        {{1926, 12, 1, D}, {"大正15年12月1日"}},
        {{1912, 8, 1, D}, {"T1.8.1"}},
        {{1912, 7, 1, D}, {"明治45年7月1日"}},
        {{1868, 11, 1, D}, {"M元.11.1"}},
        {{2024, 3, 0, M}, {"2024/3", "2024-03", "2024年3月", "令和6年3月"}},
        {{2018, 12, 0, M}, {"H30.12"}},
        {{2024, 0, 0, Y}, {"2024", "2024年", "令和6年"}},
        {{1989, 0, 0, Y}, {"平成元年"}},
    };
    for (const auto& c : cases)
        for (const char* text : c.texts)
            EXPECT_EQ(readDate(QString::fromUtf8(text)), c.expected) << text;
}

TEST(DateReaderTest, NeverGuessesAnUnreadableDate) {
    const auto unreadable = [](std::initializer_list<const char*> texts) {
        for (const char* text : texts)
            EXPECT_FALSE(readDate(QString::fromUtf8(text)).has_value()) << text;
    };
    unreadable({"",           "　",        "24/3/5",    "024/3/5",     "0999/1/1",   "2024/13/1",
                "2024/0/5",   "2024/2/30", "2023/2/29", "2024/4/31",   "2024/3/0",   "2024/3/32",
                "2024/3/5/1", "2024/3/",   "2024//3",   "2024/3-5",    "2024/003/5", "20240230",
                "2024035",    "202403051", "3/5",       "2024/3/5(火)"});
    unreadable({"2024年3/5", "2024年3月5", "2024年13月", "令和0年1月1日", "平成32年1月1日",
                "昭和65年1月1日", "大正16年", "明治46年1月1日", "H0.1.1", "R123.1.1", "令和", "R",
                "X6.3.5", "元年3月5日", "読了", "2024/3/5読了", "先月", "2024年3月5日頃"});
}
