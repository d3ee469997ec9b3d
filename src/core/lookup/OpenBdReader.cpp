#include "core/lookup/OpenBdReader.h"

#include "core/lookup/BibliographicText.h"
#include "core/lookup/LookupError.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <cmath>

namespace sorabel {

namespace {

using namespace bibliographic;

// ONIX lets most composites be one object or an array of them.
QJsonArray asArray(const QJsonValue& v) {
    if (v.isArray())
        return v.toArray();
    if (v.isObject())
        return QJsonArray{v};
    return {};
}

QString text(const QJsonValue& v) {
    if (v.isObject())
        return decodeEntities(v.toObject().value(QStringLiteral("content")).toString());
    if (v.isDouble())
        return QString::number(v.toDouble());
    return decodeEntities(v.toString());
}

QString reading(const QJsonValue& v) {
    return decodeEntities(v.toObject().value(QStringLiteral("collationkey")).toString());
}

// ONIX contributor role codes in the words a Japanese book uses.
QString roleOf(const QString& code) {
    static const struct {
        const char* code;
        const char16_t* role;
    } kRoles[] = {{"A01", u"著"}, {"A02", u"共著"}, {"A06", u"作曲"}, {"A08", u"写真"},
                  {"A12", u"絵"}, {"A38", u"原作"}, {"B01", u"編"},   {"B05", u"翻案"},
                  {"B06", u"訳"}, {"B09", u"編"},   {"B20", u"監修"}, {"B25", u"編"},
                  {"A09", u"著"}};
    for (const auto& r : kRoles)
        if (code == QLatin1String(r.code))
            return QString::fromUtf16(r.role);
    return QStringLiteral("著");
}

void readOnix(const QJsonObject& onix, BookData& book) {
    const QJsonObject detail = onix.value(QStringLiteral("DescriptiveDetail")).toObject();
    for (const QJsonValue& element : asArray(detail.value(QStringLiteral("TitleDetail"))
                                                 .toObject()
                                                 .value(QStringLiteral("TitleElement")))) {
        const QJsonObject e = element.toObject();
        if (book.title.isEmpty()) {
            book.title = text(e.value(QStringLiteral("TitleText")));
            book.reading = reading(e.value(QStringLiteral("TitleText")));
        }
        if (book.subtitle.isEmpty())
            book.subtitle = text(e.value(QStringLiteral("Subtitle")));
    }
    for (const QJsonValue& c : asArray(detail.value(QStringLiteral("Contributor")))) {
        const QJsonObject person = c.toObject();
        const QString name = cleanName(text(person.value(QStringLiteral("PersonName"))));
        if (name.isEmpty())
            continue;
        const QJsonArray roles = asArray(person.value(QStringLiteral("ContributorRole")));
        QString code = roles.isEmpty() ? person.value(QStringLiteral("ContributorRole")).toString()
                                       : roles.first().toString();
        book.contributors.push_back({name, roleOf(code)});
    }
    for (const QJsonValue& c : asArray(detail.value(QStringLiteral("Collection")))) {
        const QJsonObject collection = c.toObject();
        for (const QJsonValue& e : asArray(collection.value(QStringLiteral("TitleDetail"))
                                               .toObject()
                                               .value(QStringLiteral("TitleElement")))) {
            const QJsonObject element = e.toObject();
            // Level 02 is the series; 03 a sub-series.
            if (book.series.isEmpty())
                book.series = text(element.value(QStringLiteral("TitleText")));
            if (book.volume.isEmpty())
                book.volume = element.value(QStringLiteral("PartNumber")).toString();
        }
        for (const QJsonValue& s : asArray(collection.value(QStringLiteral("CollectionSequence"))))
            if (book.volume.isEmpty())
                book.volume =
                    s.toObject().value(QStringLiteral("CollectionSequenceNumber")).toString();
    }
    // Height in millimetres (measure type 01).
    for (const QJsonValue& m : asArray(detail.value(QStringLiteral("Measure")))) {
        const QJsonObject measure = m.toObject();
        if (measure.value(QStringLiteral("MeasureType")).toString() != QLatin1String("01"))
            continue;
        const double value = text(measure.value(QStringLiteral("Measurement"))).toDouble();
        const QString unit = measure.value(QStringLiteral("MeasureUnitCode")).toString();
        if (value > 0)
            book.format = formatOfHeight(unit == QLatin1String("cm") ? value : value / 10.0);
    }

    const QJsonObject publishing = onix.value(QStringLiteral("PublishingDetail")).toObject();
    for (const QJsonValue& p : asArray(publishing.value(QStringLiteral("Publisher"))))
        if (book.publisher.isEmpty())
            book.publisher = text(p.toObject().value(QStringLiteral("PublisherName")));
    if (book.publisher.isEmpty())
        for (const QJsonValue& p : asArray(publishing.value(QStringLiteral("Imprint"))))
            book.publisher = text(p.toObject().value(QStringLiteral("ImprintName")));
    for (const QJsonValue& d : asArray(publishing.value(QStringLiteral("PublishingDate")))) {
        const QJsonObject date = d.toObject();
        const QString role = date.value(QStringLiteral("PublishingDateRole")).toString();
        if (book.year == 0 && (role == QLatin1String("01") || role == QLatin1String("11")))
            readDate(date.value(QStringLiteral("Date")).toString(), book);
    }

    const QJsonObject supply = onix.value(QStringLiteral("ProductSupply"))
                                   .toObject()
                                   .value(QStringLiteral("SupplyDetail"))
                                   .toObject();
    for (const QJsonValue& p : asArray(supply.value(QStringLiteral("Price")))) {
        const QJsonObject price = p.toObject();
        const QString currency = price.value(QStringLiteral("CurrencyCode")).toString();
        if (!currency.isEmpty() && currency != QLatin1String("JPY"))
            continue;
        const int amount = static_cast<int>(
            std::lround(text(price.value(QStringLiteral("PriceAmount"))).toDouble()));
        if (amount <= 0 || book.price > 0)
            continue;
        book.price = amount;
        // Price types 02 and 04 include tax; 01 and 03 do not.
        const QString type = price.value(QStringLiteral("PriceType")).toString();
        book.tax = (type == QLatin1String("02") || type == QLatin1String("04"))
                       ? BookData::Tax::Included
                       : BookData::Tax::Excluded;
    }
}

void readSummary(const QJsonObject& summary, BookData& book) {
    auto fill = [&](QString& field, const char* key) {
        if (field.isEmpty())
            field = text(summary.value(QLatin1String(key)));
    };
    fill(book.title, "title");
    fill(book.publisher, "publisher");
    fill(book.series, "series");
    fill(book.volume, "volume");
    if (book.contributors.empty()) {
        // "夏目漱石／著 山田花子／訳"
        const QString authors = text(summary.value(QStringLiteral("author")));
        static const QRegularExpression between(QStringLiteral("(?<=[著作編訳修絵画])[\\s,、]+"));
        for (const QString& a : authors.split(between, Qt::SkipEmptyParts))
            book.contributors.push_back(splitRole(a));
    }
    if (book.year == 0)
        readDate(summary.value(QStringLiteral("pubdate")).toString(), book);
}

} // namespace

std::optional<BookData> OpenBdReader::read(const QByteArray& json, const QString& isbn13) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isArray())
        throw LookupError(
            QStringLiteral("openBD の返答が読めません（JSON の形が正しくありません）"));
    for (const QJsonValue& entry : doc.array()) {
        if (!entry.isObject())
            continue; // null: openBD has no such book
        const QJsonObject o = entry.toObject();
        const QJsonObject summary = o.value(QStringLiteral("summary")).toObject();
        BookData book;
        book.isbn = summary.value(QStringLiteral("isbn")).toString();
        if (!isbn13.isEmpty() && !book.isbn.isEmpty() && book.isbn != isbn13)
            continue;
        readOnix(o.value(QStringLiteral("onix")).toObject(), book);
        readSummary(summary, book);
        if (!book.isEmpty())
            return book;
    }
    return std::nullopt;
}

} // namespace sorabel
