#include "core/text/DateReader.h"

#include <QDate>
#include <QString>
#include <array>

namespace sorabel {

namespace {

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

// Full-width forms, circled or squared era signs (㍻) and ideographic spaces
// become their plain forms; all spaces go.
QString folded(QStringView text) {
    bool ascii = true;
    for (QChar c : text)
        ascii &= c.unicode() < 0x80;
    QString s = ascii ? text.toString() : text.toString().normalized(QString::NormalizationForm_KC);
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

} // namespace

std::optional<ReadDate> readDate(QStringView text) {
    const QString folded = sorabel::folded(text);
    const QStringView s(folded);
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
        if (y < 1000 || !QDate::isValid(y, m, d))
            return std::nullopt;
        return ReadDate{y, m, d, DatePrecision::Day};
    }
    if (n != 4 || year < 1000)
        return std::nullopt;
    return readMonthDay(s, pos, year);
}

} // namespace sorabel
