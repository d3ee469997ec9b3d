#include "core/text/DateReader.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <QString>
#include <algorithm>
#include <array>
#include <atomic>

namespace sorabel {

namespace {

constexpr int kFirstYear = 1868;

// This year, asked of the clock and the time zone at most once a minute: a
// recount reads thousands of dates, and the time zone lookup for each one
// was most of the time it took.
int currentYear() {
    static std::atomic<qint64> validUntil{0};
    static std::atomic<int> year{0};
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    if (now >= validUntil.load(std::memory_order_acquire)) {
        year.store(QDate::currentDate().year(), std::memory_order_relaxed);
        validUntil.store(now + 60, std::memory_order_release);
    }
    return year.load(std::memory_order_relaxed);
}

struct Era {
    QStringView name;
    char16_t letter; // the initial used in short forms: R6.3.5
    QDate start;
};

// Oldest first; an era's last year is the year the next one started in.
const std::array<Era, 5>& eras() {
    static const std::array<Era, 5> table = {{
        {u"明治", u'M', QDate(1868, 10, 23)},
        {u"大正", u'T', QDate(1912, 7, 30)},
        {u"昭和", u'S', QDate(1926, 12, 25)},
        {u"平成", u'H', QDate(1989, 1, 8)},
        {u"令和", u'R', QDate(2019, 5, 1)},
    }};
    return table;
}

// Last year of era `i` counted in that era (昭和64, 平成31); 0 for the current era.
int lastEraYear(size_t i) {
    const auto& table = eras();
    if (i + 1 >= table.size())
        return 0;
    return table[i + 1].start.year() - table[i].start.year() + 1;
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Reads a run of ASCII digits at `pos`; returns how many there were.
int readDigits(QStringView s, qsizetype& pos, int& value) {
    value = 0;
    int n = 0;
    while (pos < s.size() && isDigit(s[pos]) && n < 9) {
        value = value * 10 + (s[pos].unicode() - u'0');
        ++pos;
        ++n;
    }
    return n;
}

constexpr QStringView kKanjiDigits = u"〇一二三四五六七八九";

// Kanji numerals as digits: 二〇二四 → 2024 (one kanji a digit), 十二 → 12,
// 三十一 → 31, 二十 → 20 (with 十 the tens are counted).
QString withArabicNumerals(const QString& s) {
    const auto isNumeral = [](QChar c) { return kKanjiDigits.contains(c) || c == u'十'; };
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size();) {
        if (!isNumeral(s[i])) {
            out += s[i++];
            continue;
        }
        qsizetype end = i;
        while (end < s.size() && isNumeral(s[end]))
            ++end;
        const QStringView run = QStringView(s).sliced(i, end - i);
        const qsizetype ten = run.indexOf(u'十');
        if (ten < 0) {
            for (QChar c : run)
                out += QChar(char16_t(u'0' + kKanjiDigits.indexOf(c)));
        } else {
            const QStringView tens = run.first(ten), ones = run.sliced(ten + 1);
            if (tens.size() > 1 || ones.size() > 1 || ones.contains(u'十'))
                return s; // not a number this reader knows; leave it unreadable
            const int value = (tens.isEmpty() ? 1 : int(kKanjiDigits.indexOf(tens[0]))) * 10 +
                              (ones.isEmpty() ? 0 : int(kKanjiDigits.indexOf(ones[0])));
            out += QString::number(value);
        }
        i = end;
    }
    return out;
}

// Where the date ends in the forms exports write most, told without a
// pattern: 2024-03-05 00:00:00, 2024-03-05T10:30:00+09:00; 0 for others.
qsizetype timeAfterDate(QStringView s) {
    const auto digits = [&](qsizetype from, qsizetype n) {
        for (qsizetype i = from; i < from + n; ++i)
            if (!isDigit(s[i]))
                return false;
        return true;
    };
    if (s.size() < 16 || !digits(0, 4) || !digits(5, 2) || !digits(8, 2) || s[4] != s[7] ||
        (s[4] != u'-' && s[4] != u'/') || (s[10] != u' ' && s[10] != u'T') || !digits(11, 2) ||
        s[13] != u':' || !digits(14, 2))
        return 0;
    const int hour = (s[11].unicode() - u'0') * 10 + (s[12].unicode() - u'0');
    const int minute = (s[14].unicode() - u'0') * 10 + (s[15].unicode() - u'0');
    if (hour > 23 || minute > 59)
        return 0;
    for (QChar c : s.sliced(16))
        if (!isDigit(c) && c != u':' && c != u'.' && c != u'+' && c != u'-' && c != u'Z')
            return 0;
    return 10;
}

// What real files and hand-typed logs write around a date: a time of day
// (2024-03-05 00:00:00, 2024/3/5 10:30, 2024-03-05T10:30:00+09:00), a weekday
// or remark in brackets (2024/3/5（火）), a word after a space (2024/3/5 読了)
// and 頃. `partOfMonth` is set for 上旬, 中旬 and 下旬, which give the month.
QString withoutSurroundings(QString s, bool& partOfMonth) {
    static const QRegularExpression isoTime(
        QStringLiteral(
            R"(^(\d{4}-\d{1,2}-\d{1,2})T([01]?\d|2[0-3]):[0-5]\d(:[0-5]\d(\.\d+)?)?(Z|[+-]\d{2}(:?\d{2})?)?$)"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression time(
        QStringLiteral(R"(\s+([01]?\d|2[0-3]):[0-5]\d(:[0-5]\d(\.\d+)?)?(\s*(AM|PM))?$)"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression bracket(
        QStringLiteral(R"(\s*[(\[【][^()\[\]【】]{1,12}[)\]】]$)"));
    static const QRegularExpression word(QStringLiteral(R"(^(\S*\d\S*)\s+\D+$)"));
    static const QRegularExpression about(QStringLiteral(R"((頃|ごろ|ころ|位|くらい)$)"));
    static const QRegularExpression part(QStringLiteral(R"((上旬|中旬|下旬|初旬|始め|初め|末)$)"));

    s = s.trimmed();
    if (const qsizetype cut = timeAfterDate(s); cut > 0)
        return s.left(cut);
    if (auto m = isoTime.match(s); m.hasMatch())
        return m.captured(1);
    for (bool changed = true; changed;) {
        const qsizetype before = s.size();
        s.remove(bracket);
        s.remove(time);
        if (auto m = word.match(s); m.hasMatch())
            s = m.captured(1);
        s.remove(about);
        s = s.trimmed();
        changed = s.size() != before;
    }
    if (s.contains(part)) {
        s.remove(part);
        partOfMonth = true;
    }
    return s;
}

// Full-width forms, circled or squared era signs (㍻) and ideographic spaces
// become their plain forms, kanji numerals digits; what surrounds the date
// goes, and so do all spaces.
QString folded(QStringView text, bool& partOfMonth) {
    bool ascii = true;
    for (QChar c : text)
        ascii &= c.unicode() < 0x80;
    QString s = ascii ? text.toString() : text.toString().normalized(QString::NormalizationForm_KC);
    if (!ascii)
        s = withArabicNumerals(s);
    // Most dates are digits and separators only: no surroundings to look for.
    const bool plain = std::all_of(s.begin(), s.end(), [](QChar c) {
        return isDigit(c) || c == u'/' || c == u'-' || c == u'.';
    });
    if (!plain)
        s = withoutSurroundings(std::move(s), partOfMonth);
    s.removeIf([](QChar c) { return c.isSpace(); });
    return s;
}

// Month and day after the year, from `pos` to the end of `s`.
std::optional<ReadDate> readMonthDay(QStringView s, qsizetype pos, int year) {
    ReadDate date{year, 0, 0, DatePrecision::Year};
    if (pos == s.size())
        return date;
    const QChar sep = s[pos++];
    const bool kanji = sep == u'年';
    if (!kanji && sep != u'/' && sep != u'-' && sep != u'.')
        return std::nullopt;
    if (kanji && pos == s.size())
        return date;

    int month = 0;
    if (int n = readDigits(s, pos, month); n < 1 || n > 2 || month < 1 || month > 12)
        return std::nullopt;
    date.month = month;
    date.precision = DatePrecision::Month;
    if (kanji && (pos == s.size() || s[pos++] != u'月'))
        return std::nullopt;
    if (pos == s.size())
        return date;
    if (!kanji && s[pos++] != sep)
        return std::nullopt;

    int day = 0;
    if (int n = readDigits(s, pos, day); n < 1 || n > 2 || !QDate::isValid(year, month, day))
        return std::nullopt;
    if (kanji && (pos == s.size() || s[pos++] != u'日'))
        return std::nullopt;
    if (pos != s.size())
        return std::nullopt;
    date.day = day;
    date.precision = DatePrecision::Day;
    return date;
}

std::optional<ReadDate> readEraDate(QStringView s, size_t era, qsizetype pos) {
    int eraYear = 0;
    if (pos < s.size() && s[pos] == u'元') {
        eraYear = 1;
        ++pos;
    } else if (int n = readDigits(s, pos, eraYear); n < 1 || n > 2) {
        return std::nullopt;
    }
    const int last = lastEraYear(era);
    if (eraYear < 1 || (last != 0 && eraYear > last))
        return std::nullopt;
    return readMonthDay(s, pos, eras()[era].start.year() + eraYear - 1);
}

std::optional<ReadDate> readFolded(QStringView s) {
    if (s.isEmpty())
        return std::nullopt;

    const auto& table = eras();
    for (size_t i = 0; i < table.size(); ++i) {
        if (s.startsWith(table[i].name))
            return readEraDate(s, i, table[i].name.size());
        if (s.size() > 1 && s[0].toUpper() == QChar(table[i].letter) &&
            (isDigit(s[1]) || s[1] == u'元'))
            return readEraDate(s, i, 1);
    }

    qsizetype pos = 0;
    int year = 0;
    const int n = readDigits(s, pos, year);
    if (n == 8 && pos == s.size()) { // 20240305
        const int y = year / 10000, m = year / 100 % 100, d = year % 100;
        if (!QDate::isValid(y, m, d))
            return std::nullopt;
        return ReadDate{y, m, d, DatePrecision::Day};
    }
    if (n != 4)
        return std::nullopt;
    return readMonthDay(s, pos, year);
}

} // namespace

std::optional<ReadDate> readDate(QStringView text) {
    bool partOfMonth = false;
    const QString folded = sorabel::folded(text, partOfMonth);
    auto date = readFolded(folded);
    // Before the first era or past next year is a typing slip (1024, 3024),
    // which would stretch every chart over a thousand empty years.
    if (!date || date->year < kFirstYear || date->year > currentYear() + 1)
        return std::nullopt;
    if (partOfMonth && date->precision != DatePrecision::Month)
        return std::nullopt;
    return date;
}

} // namespace sorabel
