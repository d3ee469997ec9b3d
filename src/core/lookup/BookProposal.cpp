#include "core/lookup/BookProposal.h"

#include "core/lookup/BibliographicText.h"
#include "core/text/LookAlikes.h"
#include "core/text/ShiftJis.h"

#include <QLocale>
#include <QStringList>

namespace sorabel {

namespace {

struct Source {
    const BookData* book;
    const QString* name;
};

QString people(const BookData& book, bool translators) {
    QStringList names;
    for (const Contributor& c : book.contributors)
        if (bibliographic::isTranslatorRole(c.role) == translators && !names.contains(c.name))
            names.append(c.name);
    return names.join(u'、');
}

QString price(const BookData& book) {
    if (book.price <= 0)
        return {};
    const QString yen = QLocale(QLocale::English).toString(book.price) + u'円';
    // A price without tax is what the book itself prints as "本体…円＋税".
    return book.tax == BookData::Tax::Excluded ? yen + QStringLiteral("+税") : yen;
}

QString firstEdition(const BookData& book) {
    if (book.year == 0)
        return {};
    return book.month > 0 ? QStringLiteral("%1年%2月").arg(book.year).arg(book.month)
                          : QStringLiteral("%1年").arg(book.year);
}

QString series(const BookData& book) {
    if (book.series.isEmpty())
        return {};
    return book.volume.isEmpty() ? book.series : book.series + u' ' + book.volume;
}

QString textOf(Field f, const BookData& book) {
    switch (f) {
    case Field::Title:
        return book.title;
    case Field::Subtitle:
        return book.subtitle;
    case Field::Reading:
        return bibliographic::readingInHiragana(book.reading);
    case Field::Format:
        return book.format;
    case Field::Author:
        return people(book, false);
    case Field::Translator:
        return people(book, true);
    case Field::Publisher:
        return book.publisher;
    case Field::Series:
        return series(book);
    case Field::Price:
        return price(book);
    case Field::FirstEdition:
        return firstEdition(book);
    default:
        return {};
    }
}

QString digitsOnly(const QString& text) {
    QString d;
    for (const QChar c : text.normalized(QString::NormalizationForm_KC))
        if (c.isDigit() || c == u'X' || c == u'x')
            d += c.toUpper();
    return d;
}

} // namespace

QString BookProposal::isbnNote(const Isbn& isbn) {
    return QStringLiteral("ISBN: ") + isbn.hyphenated();
}

std::vector<ProposedField> BookProposal::merge(const Isbn& isbn,
                                               const std::optional<BookData>& openBd,
                                               const std::optional<BookData>& ndl) {
    std::vector<ProposedField> fields;
    if (!openBd && !ndl)
        return fields;
    const Source publisherFirst[] = {{openBd ? &*openBd : nullptr, &kOpenBd},
                                     {ndl ? &*ndl : nullptr, &kNdl}};
    const Source libraryFirst[] = {publisherFirst[1], publisherFirst[0]};
    for (const Field f :
         {Field::Title, Field::Subtitle, Field::Reading, Field::Format, Field::Author,
          Field::Translator, Field::Publisher, Field::Series, Field::Price, Field::FirstEdition}) {
        const bool library = f == Field::Reading || f == Field::Author || f == Field::Translator;
        for (const Source& s : library ? libraryFirst : publisherFirst) {
            if (!s.book)
                continue;
            if (QString text = textOf(f, *s.book); !text.isEmpty()) {
                fields.push_back({f, std::move(text), *s.name});
                break;
            }
        }
    }
    if (fields.empty())
        return fields;
    fields.push_back({Field::Note1, isbnNote(isbn), QStringLiteral("ISBN")});
    return fields;
}

Bytes BookProposal::toCatalogueText(const QString& text) {
    const QString alike = toCodePageLookAlikes(text);
    const QString missing = sjis::unencodableCharacters(alike);
    if (missing.isEmpty())
        return sjis::encode(alike);
    QString replaced;
    for (const char32_t c : alike.toUcs4()) {
        const QString one = QString::fromUcs4(&c, 1);
        replaced += missing.contains(one) ? QStringLiteral("〓") : one;
    }
    return sjis::tryEncode(replaced).bytes;
}

std::array<Bytes, kFieldCount> BookProposal::toRecord(const std::vector<ProposedField>& fields) {
    std::array<Bytes, kFieldCount> record;
    for (const ProposedField& p : fields)
        record[index(p.field)] = toCatalogueText(p.text);
    return record;
}

int BookProposal::findDuplicate(const Catalogue& catalogue, const Isbn& isbn,
                                const std::vector<ProposedField>& fields) {
    Bytes title, author;
    for (const ProposedField& p : fields) {
        if (p.field == Field::Title)
            title = toCatalogueText(p.text);
        else if (p.field == Field::Author)
            author = toCatalogueText(p.text);
    }
    const QString isbn10 = isbn.isbn10();
    for (int r = 1; r <= catalogue.recordCount(); ++r) {
        for (const Field note : {Field::Note1, Field::Note2}) {
            const QString digits = digitsOnly(sjis::decode(catalogue.field(note, r)));
            if (digits.contains(isbn.digits()) || (!isbn10.isEmpty() && digits.contains(isbn10)))
                return r;
        }
        if (!title.empty() && catalogue.field(Field::Title, r) == title &&
            catalogue.field(Field::Author, r) == author)
            return r;
    }
    return 0;
}

} // namespace sorabel
