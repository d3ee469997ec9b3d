#include "core/lookup/Isbn.h"

#include <QStringList>
#include <array>
#include <span>

namespace sorabel {

namespace {

// One row of a range table: every 7-digit value up to `last` (read after the
// part already split off) has a part `length` digits long; 0 means the
// values are not assigned.
struct Range {
    int last;
    int length;
};

// Registration groups after 978 and 979.
constexpr std::array<Range, 8> k978Groups{{{5999999, 1},
                                           {6499999, 3},
                                           {6599999, 2},
                                           {6999999, 0},
                                           {7999999, 1},
                                           {9499999, 2},
                                           {9899999, 3},
                                           {9999999, 4}}};
constexpr std::array<Range, 4> k979Groups{{{999999, 0}, {1299999, 2}, {7999999, 0}, {8999999, 1}}};

// Registrant (publisher) ranges of the groups this program hyphenates: Japan
// first, then the groups most books on a Japanese shelf come from.
constexpr std::array<Range, 6> kJapan{
    {{1999999, 2}, {6999999, 3}, {8499999, 4}, {8999999, 5}, {9499999, 6}, {9999999, 7}}};
constexpr std::array<Range, 6> kEnglish0 = kJapan;
constexpr std::array<Range, 6> kEnglish1{
    {{999999, 2}, {3999999, 3}, {5499999, 4}, {8697999, 5}, {9989999, 6}, {9999999, 7}}};
constexpr std::array<Range, 8> kFrench{{{1999999, 2},
                                        {3499999, 3},
                                        {3999999, 5},
                                        {6999999, 3},
                                        {8399999, 4},
                                        {8999999, 5},
                                        {9499999, 6},
                                        {9999999, 7}}};
constexpr std::array<Range, 13> kGerman{{{299999, 2},
                                         {339999, 3},
                                         {369999, 4},
                                         {399999, 5},
                                         {1999999, 2},
                                         {6999999, 3},
                                         {8499999, 4},
                                         {8999999, 5},
                                         {9499999, 6},
                                         {9539999, 7},
                                         {9699999, 5},
                                         {9849999, 7},
                                         {9999999, 5}}};
constexpr std::array<Range, 5> kChina{
    {{999999, 2}, {4999999, 3}, {7999999, 4}, {8999999, 5}, {9999999, 6}}};
constexpr std::array<Range, 7> kKorea978{{{2499999, 2},
                                          {5499999, 3},
                                          {8499999, 4},
                                          {9499999, 5},
                                          {9699999, 6},
                                          {9899999, 5},
                                          {9999999, 3}}};
constexpr std::array<Range, 5> kFrance979{
    {{1999999, 2}, {6999999, 3}, {8999999, 4}, {9759999, 5}, {9999999, 6}}};
constexpr std::array<Range, 5> kKorea979{
    {{2499999, 2}, {5499999, 3}, {8499999, 4}, {9499999, 5}, {9999999, 6}}};

struct Group {
    const char* prefixAndGroup; // e.g. "9784"
    std::span<const Range> registrants;
};

const std::array<Group, 9> kGroups{{{"9784", kJapan},
                                    {"9780", kEnglish0},
                                    {"9781", kEnglish1},
                                    {"9782", kFrench},
                                    {"9783", kGerman},
                                    {"9787", kChina},
                                    {"97889", kKorea978},
                                    {"97910", kFrance979},
                                    {"97911", kKorea979}}};

int lengthAt(std::span<const Range> ranges, const QString& sevenDigits) {
    const int value = sevenDigits.toInt();
    for (const Range& r : ranges)
        if (value <= r.last)
            return r.length;
    return 0;
}

// The next seven digits from `from`, padded with zeros like the range tables.
QString sevenFrom(const QString& digits, int from) {
    return digits.mid(from, 7).leftJustified(7, QLatin1Char('0'));
}

[[noreturn]] void fail(const char* utf8) {
    throw IsbnError(utf8);
}

int isbn13Check(const QString& twelve) {
    int sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += twelve[i].digitValue() * (i % 2 == 0 ? 1 : 3);
    return (10 - sum % 10) % 10;
}

int isbn10Check(const QString& nine) {
    int sum = 0;
    for (int i = 0; i < 9; ++i)
        sum += nine[i].digitValue() * (10 - i);
    return (11 - sum % 11) % 11;
}

QString checkText(int check) {
    return check == 10 ? QStringLiteral("X") : QString::number(check);
}

} // namespace

Isbn Isbn::parse(const QString& typed) {
    // Full-width digits, letters and hyphens become their ASCII forms.
    QString text = typed.normalized(QString::NormalizationForm_KC).trimmed();
    if (text.startsWith(QStringLiteral("ISBN"), Qt::CaseInsensitive))
        text = text.mid(4);
    if (text.startsWith(QLatin1Char(':')))
        text = text.mid(1);
    QString digits;
    for (const QChar c : text) {
        if (c.isDigit() && c.unicode() < 128)
            digits += c;
        else if (c == QLatin1Char('X') || c == QLatin1Char('x'))
            digits += QLatin1Char('X');
        else if (c == QLatin1Char('-') || c.isSpace() || c == QChar(0x2010) || c == QChar(0x2212) ||
                 c == QChar(0x30FC))
            continue;
        else
            throw IsbnError(
                QStringLiteral("ISBN に使えない文字があります: 「%1」").arg(c).toStdString());
    }
    if (digits.isEmpty())
        fail("ISBN を入力してください");
    const qsizetype x = digits.indexOf(QLatin1Char('X'));
    if (digits.size() != 10 && digits.size() != 13)
        throw IsbnError(QStringLiteral("ISBN は10桁か13桁です（%1桁あります）")
                            .arg(digits.size())
                            .toStdString());
    if (x >= 0 && (digits.size() == 13 || x != 9))
        fail("X が使えるのは10桁の ISBN の最後の桁だけです");

    if (digits.size() == 10) {
        const int check = isbn10Check(digits.left(9));
        if (checkText(check) != digits.right(1))
            throw IsbnError(
                QStringLiteral(
                    "チェックディジットが違います（最後の桁は %1 ではなく %2 のはずです）")
                    .arg(digits.right(1), checkText(check))
                    .toStdString());
        const QString twelve = QStringLiteral("978") + digits.left(9);
        return Isbn(twelve + QString::number(isbn13Check(twelve)));
    }
    if (!digits.startsWith(QStringLiteral("978")) && !digits.startsWith(QStringLiteral("979")))
        fail("13桁の ISBN は 978 か 979 で始まります");
    const int check = isbn13Check(digits.left(12));
    if (QString::number(check) != digits.right(1))
        throw IsbnError(
            QStringLiteral("チェックディジットが違います（最後の桁は %1 ではなく %2 のはずです）")
                .arg(digits.right(1))
                .arg(check)
                .toStdString());
    return Isbn(digits);
}

QString Isbn::hyphenated() const {
    const bool is978 = digits_.startsWith(QStringLiteral("978"));
    const int groupLength = is978 ? lengthAt(k978Groups, sevenFrom(digits_, 3))
                                  : lengthAt(k979Groups, sevenFrom(digits_, 3));
    if (groupLength == 0)
        return digits_;
    const QString prefixAndGroup = digits_.left(3 + groupLength);
    for (const Group& g : kGroups) {
        if (prefixAndGroup != QLatin1String(g.prefixAndGroup))
            continue;
        const int registrant = lengthAt(g.registrants, sevenFrom(digits_, 3 + groupLength));
        if (registrant == 0)
            return digits_;
        const int start = 3 + groupLength;
        const int publication = 12 - start - registrant;
        return QStringList{digits_.left(3), digits_.mid(3, groupLength),
                           digits_.mid(start, registrant),
                           digits_.mid(start + registrant, publication), digits_.right(1)}
            .join(QLatin1Char('-'));
    }
    return digits_;
}

QString Isbn::isbn10() const {
    if (!digits_.startsWith(QStringLiteral("978")))
        return {};
    const QString nine = digits_.mid(3, 9);
    return nine + checkText(isbn10Check(nine));
}

} // namespace sorabel
