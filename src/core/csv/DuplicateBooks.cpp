#include "core/csv/DuplicateBooks.h"

#include "core/text/SearchFold.h"
#include "core/text/ShiftJis.h"

#include <QRegularExpression>

namespace sorabel {

namespace {

// The ISBN-13 form of an ISBN written with or without hyphens.
QString isbn13(QString digits) {
    digits.remove(u'-');
    if (digits.size() == 13)
        return digits;
    QString body = QStringLiteral("978") + digits.left(9);
    int sum = 0;
    for (qsizetype i = 0; i < 12; ++i)
        sum += (body[i].unicode() - u'0') * (i % 2 ? 3 : 1);
    return body + QChar(char16_t(u'0' + (10 - sum % 10) % 10));
}

} // namespace

DuplicateBooks::DuplicateBooks(const Catalogue& catalogue) {
    for (int r = 1; r <= catalogue.recordCount(); ++r) {
        std::array<Bytes, kFieldCount> record;
        for (int f = 0; f < kFieldCount; ++f)
            record[static_cast<size_t>(f)] = catalogue.field(fieldAt(f), r);
        const QString key = titleAndAuthor(record[static_cast<size_t>(index(Field::Title))],
                                           record[static_cast<size_t>(index(Field::Author))]);
        if (!key.isEmpty())
            books_.insert(key);
        isbns_.unite(isbnsIn(record));
    }
}

bool DuplicateBooks::contains(const std::array<Bytes, kFieldCount>& record) const {
    const QString key = titleAndAuthor(record[static_cast<size_t>(index(Field::Title))],
                                       record[static_cast<size_t>(index(Field::Author))]);
    if (!key.isEmpty() && books_.contains(key))
        return true;
    return isbns_.intersects(isbnsIn(record));
}

QString DuplicateBooks::titleAndAuthor(const Bytes& title, const Bytes& author) {
    if (title.empty())
        return {};
    QString key = SearchFold::foldedText(sjis::decode(title)) + u'\t' +
                  SearchFold::foldedText(sjis::decode(author));
    key.removeIf([](QChar c) { return c == u' '; });
    return key;
}

QSet<QString> DuplicateBooks::isbnsIn(const std::array<Bytes, kFieldCount>& record) {
    static const QRegularExpression isbn(
        QStringLiteral(R"((?<![\d-])(97[89]-?(\d-?){9}\d|(\d-?){9}[\dX])(?![\d-]))"));
    QSet<QString> out;
    for (Field f : {Field::Note1, Field::Note2}) {
        const Bytes& b = record[static_cast<size_t>(index(f))];
        if (b.empty())
            continue;
        const QString text = sjis::decode(b);
        for (auto it = isbn.globalMatch(text); it.hasNext();) {
            out.insert(isbn13(it.next().captured(1)));
        }
    }
    return out;
}

} // namespace sorabel
