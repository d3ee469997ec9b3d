#pragma once

#include <QStringView>
#include <optional>

namespace sorabel {

// How much of a date the user wrote.
enum class DatePrecision { Year, Month, Day };

// A date as read from a date field: month and day are 0 when not written.
struct ReadDate {
    int year = 0;
    int month = 0;
    int day = 0;
    DatePrecision precision = DatePrecision::Day;
    bool operator==(const ReadDate&) const = default;
};

// Reads a date the way Japanese readers type it into the date fields:
//   2024/03/05  2024/3/5  2024-03-05  2024.3.5  20240305  2024年3月5日
//   令和6年3月5日  R6.3.5  平成30年1月2日  H30.1.2  昭和/S, 大正/T, 明治/M, 元年
//   2024/3  2024年3月  2024  2024年  令和6年
//   2024-03-05 00:00:00  2024/3/5 10:30  2024-03-05T10:30:00+09:00
//   2024/3/5（火）  2024/3/5 読了  2024年3月5日頃  2024年3月上旬 (its month)
//   二〇二四年三月五日  令和六年三月五日  二〇二四年十二月三十一日
// Full-width digits, letters and punctuation read like their ASCII forms, and
// spaces are ignored. Years before 1868 or after next year are slips of the
// keyboard and unreadable. A western year has four digits: two-digit years are never
// guessed. An era year runs from 1 (元) to the era's last year; within those
// years the date is not checked against the day the era changed, since old-era
// forms stayed in use for months after a change and the day is unambiguous.
// Anything else, impossible days included, is unreadable (nothing).
std::optional<ReadDate> readDate(QStringView text);

} // namespace sorabel
