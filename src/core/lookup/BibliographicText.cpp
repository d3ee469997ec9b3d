#include "core/lookup/BibliographicText.h"

#include <QRegularExpression>
#include <QStringList>
#include <cmath>

namespace sorabel::bibliographic {

namespace {

QChar namedEntity(const QString& name) {
    static const struct {
        const char* name;
        char16_t c;
    } kNamed[] = {{"amp", u'&'},   {"lt", u'<'},    {"gt", u'>'},     {"quot", u'"'},
                  {"apos", u'\''}, {"nbsp", u' '},  {"hellip", u'…'}, {"mdash", u'—'},
                  {"ndash", u'–'}, {"laquo", u'«'}, {"raquo", u'»'},  {"middot", u'・'},
                  {"copy", u'©'},  {"times", u'×'}, {"lsquo", u'‘'},  {"rsquo", u'’'},
                  {"ldquo", u'“'}, {"rdquo", u'”'}, {"yen", u'¥'}};
    for (const auto& n : kNamed)
        if (name == QLatin1String(n.name))
            return QChar(n.c);
    return {};
}

QString decodeOnce(const QString& text) {
    static const QRegularExpression entity(
        QStringLiteral("&(#[0-9]{1,7}|#[xX][0-9a-fA-F]{1,6}|[a-zA-Z]{2,8});"));
    QString out;
    qsizetype last = 0;
    auto it = entity.globalMatch(text);
    while (it.hasNext()) {
        const auto m = it.next();
        const QString body = m.captured(1);
        QString replacement;
        if (body.startsWith(QLatin1Char('#'))) {
            bool ok = false;
            const bool hex = body.size() > 1 && (body[1] == u'x' || body[1] == u'X');
            const uint code = body.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
            if (ok && code > 0 && code <= 0x10FFFF) {
                const char32_t c = code;
                replacement = QString::fromUcs4(&c, 1);
            }
        } else if (const QChar c = namedEntity(body); !c.isNull()) {
            replacement = c;
        }
        if (replacement.isEmpty())
            continue;
        out += QStringView(text).mid(last, m.capturedStart() - last);
        out += replacement;
        last = m.capturedEnd();
    }
    out += QStringView(text).mid(last);
    return out;
}

bool isLatinName(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() >= 0x2E80)
            return false;
    return true;
}

bool isKatakanaName(const QString& text) {
    for (const QChar c : text)
        if (!((c.unicode() >= 0x30A0 && c.unicode() <= 0x30FF) || c.isSpace()))
            return false;
    return !text.isEmpty();
}

// "1867-1916", "1950-", "1867?-1916", "19世紀" and the like.
bool isLifeDates(const QString& part) {
    static const QRegularExpression dates(QStringLiteral("^[0-9?？\\-‐ー－～〜生没世紀年頃 ]+$"));
    return dates.match(part).hasMatch() &&
           part.contains(QRegularExpression(QStringLiteral("[0-9]")));
}

} // namespace

QString decodeEntities(const QString& text) {
    QString decoded = text;
    // Twice escaped ("&amp;hellip;") comes out right after a second pass.
    for (int pass = 0; pass < 2 && decoded.contains(QLatin1Char('&')); ++pass)
        decoded = decodeOnce(decoded);
    return decoded.simplified();
}

QString cleanName(const QString& name) {
    QStringList parts;
    for (const QString& p : name.split(QRegularExpression(QStringLiteral("[,，、]")))) {
        const QString part = p.trimmed();
        if (!part.isEmpty() && !isLifeDates(part))
            parts.append(part);
    }
    if (parts.isEmpty())
        return name.trimmed();
    if (parts.size() == 1) {
        const QString only = parts.front();
        return isLatinName(only) ? only : QString(only).remove(QLatin1Char(' ')).remove(u'　');
    }
    const QString family = parts.takeFirst();
    const QString given = parts.join(QLatin1Char(' '));
    if (isLatinName(family))
        return given + QLatin1Char(' ') + family;
    if (isKatakanaName(family) && isKatakanaName(given))
        return given + u'・' + family;
    return QString(family + given).remove(QLatin1Char(' ')).remove(u'　');
}

Contributor splitRole(const QString& text) {
    static const QRegularExpression role(QStringLiteral(
        "^(.*?)[\\s／/"
        "]*[\\[［(（]?((?:ほか|他)?[著作編訳監修絵画文共原写真解説集纂責任・]+)[\\]］)）]?$"));
    const QString trimmed = text.trimmed();
    const auto m = role.match(trimmed);
    if (m.hasMatch() && !m.captured(1).trimmed().isEmpty())
        return {cleanName(m.captured(1)), m.captured(2)};
    return {cleanName(trimmed), QString()};
}

bool isTranslatorRole(const QString& role) {
    return role.contains(u'訳');
}

void readPrice(const QString& text, BookData& book) {
    const QString t = text.normalized(QString::NormalizationForm_KC).remove(QLatin1Char(','));
    static const QRegularExpression number(QStringLiteral("([0-9]+)"));
    const auto m = number.match(t);
    if (!m.hasMatch())
        return;
    book.price = m.captured(1).toInt();
    if (t.contains(QStringLiteral("税込")))
        book.tax = BookData::Tax::Included;
    else if (t.contains(QStringLiteral("+税")) || t.contains(QStringLiteral("本体")) ||
             t.contains(QStringLiteral("税別")) || t.contains(QStringLiteral("税抜")))
        book.tax = BookData::Tax::Excluded;
}

void readDate(const QString& text, BookData& book) {
    const QString t = text.normalized(QString::NormalizationForm_KC);
    static const QRegularExpression groups(QStringLiteral("[0-9]+"));
    QStringList numbers;
    for (auto it = groups.globalMatch(t); it.hasNext();)
        numbers.append(it.next().captured());
    if (numbers.isEmpty())
        return;
    const QString first = numbers.front();
    int year = 0, month = 0;
    if (first.size() == 8 || first.size() == 6) {
        year = first.left(4).toInt();
        month = first.mid(4, 2).toInt();
    } else if (first.size() == 4) {
        year = first.toInt();
        if (numbers.size() > 1 && numbers[1].size() <= 2)
            month = numbers[1].toInt();
    }
    if (year < 1000)
        return;
    book.year = year;
    book.month = month >= 1 && month <= 12 ? month : 0;
}

QString formatOfHeight(double cm) {
    // Catalogues round a height up to the next centimetre.
    const int h = static_cast<int>(std::ceil(cm - 0.01));
    if (h == 15 || h == 16)
        return QStringLiteral("文庫");
    if (h == 17 || h == 18)
        return QStringLiteral("新書");
    if (h == 19 || h == 20)
        return QStringLiteral("四六版");
    if (h == 21 || h == 22)
        return QStringLiteral("A5版");
    if (h == 26 || h == 27)
        return QStringLiteral("B5版");
    if (h == 30)
        return QStringLiteral("A4版");
    return {};
}

double heightInExtent(const QString& extent) {
    static const QRegularExpression cm(QStringLiteral("([0-9]+(?:\\.[0-9]+)?)\\s*cm"));
    const auto m = cm.match(extent.normalized(QString::NormalizationForm_KC));
    return m.hasMatch() ? m.captured(1).toDouble() : 0.0;
}

QString readingInHiragana(const QString& reading) {
    // ICU's Katakana-Hiragana turns the long-vowel mark into a vowel
    // ("ハリー" → "はりい"); a reading keeps it, so the kana are moved by hand.
    QString text = reading.normalized(QString::NormalizationForm_KC);
    text.remove(QLatin1Char(' ')).remove(u'　');
    for (QChar& c : text)
        if (c.unicode() >= 0x30A1 && c.unicode() <= 0x30F6)
            c = QChar(c.unicode() - 0x60);
    return text;
}

} // namespace sorabel::bibliographic
