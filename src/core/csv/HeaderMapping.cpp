#include "core/csv/HeaderMapping.h"

#include "core/text/ShiftJis.h"

#include <QHash>
#include <utility>

namespace sorabel {

namespace {

using F = Field;

// Column names of other reading logs, spreadsheets and book services.
const std::pair<const char*, Field> kSynonyms[] = {
    {"タイトル", F::Title},
    {"書名", F::Title},
    {"題名", F::Title},
    {"作品名", F::Title},
    {"Title", F::Title},
    {"Book Title", F::Title},
    {"副題", F::Subtitle},
    {"サブタイトル", F::Subtitle},
    {"Subtitle", F::Subtitle},
    {"よみ", F::Reading},
    {"読み", F::Reading},
    {"ヨミ", F::Reading},
    {"ふりがな", F::Reading},
    {"フリガナ", F::Reading},
    {"書名よみ", F::Reading},
    {"書名カナ", F::Reading},
    {"タイトルよみ", F::Reading},
    {"タイトルカナ", F::Reading},
    {"Reading", F::Reading},
    {"ジャンル", F::Genre1},
    {"ジャンル1", F::Genre1},
    {"分類", F::Genre1},
    {"カテゴリ", F::Genre1},
    {"カテゴリー", F::Genre1},
    {"Genre", F::Genre1},
    {"Genre1", F::Genre1},
    {"Category", F::Genre1},
    {"ジャンル2", F::Genre2},
    {"サブジャンル", F::Genre2},
    {"Genre2", F::Genre2},
    {"判型", F::Format},
    {"版型", F::Format},
    {"形態", F::Format},
    {"Format", F::Format},
    {"Binding", F::Format},
    {"著作者・編者", F::Author},
    {"著作者", F::Author},
    {"著者", F::Author},
    {"著者名", F::Author},
    {"作者", F::Author},
    {"作者名", F::Author},
    {"編者", F::Author},
    {"作家", F::Author},
    {"Author", F::Author},
    {"Authors", F::Author},
    {"翻訳者", F::Translator},
    {"訳者", F::Translator},
    {"翻訳", F::Translator},
    {"Translator", F::Translator},
    {"出版社", F::Publisher},
    {"出版社名", F::Publisher},
    {"出版元", F::Publisher},
    {"発行所", F::Publisher},
    {"Publisher", F::Publisher},
    {"叢書名", F::Series},
    {"叢書", F::Series},
    {"シリーズ", F::Series},
    {"シリーズ名", F::Series},
    {"レーベル", F::Series},
    {"Series", F::Series},
    {"定価", F::Price},
    {"価格", F::Price},
    {"値段", F::Price},
    {"本体価格", F::Price},
    {"Price", F::Price},
    {"初版", F::FirstEdition},
    {"初版日", F::FirstEdition},
    {"発行日", F::FirstEdition},
    {"出版日", F::FirstEdition},
    {"発売日", F::FirstEdition},
    {"Publication Date", F::FirstEdition},
    {"Date Published", F::FirstEdition},
    {"Year Published", F::FirstEdition},
    {"読んだ版", F::EditionRead},
    {"版", F::EditionRead},
    {"Edition", F::EditionRead},
    {"感想", F::Impressions},
    {"レビュー", F::Impressions},
    {"感想・レビュー", F::Impressions},
    {"コメント", F::Impressions},
    {"Comments", F::Impressions},
    {"Comment", F::Impressions},
    {"Review", F::Impressions},
    {"My Review", F::Impressions},
    {"Impressions", F::Impressions},
    {"読了日", F::DateFinished},
    {"読み終わった日", F::DateFinished},
    {"読了", F::DateFinished},
    {"Read Date", F::DateFinished},
    {"Date Read", F::DateFinished},
    {"Date Finished", F::DateFinished},
    {"読書開始日", F::DateStarted},
    {"読み始めた日", F::DateStarted},
    {"開始日", F::DateStarted},
    {"Date Started", F::DateStarted},
    {"Start Date", F::DateStarted},
    {"購入日", F::DateBought},
    {"買った日", F::DateBought},
    {"Date Bought", F::DateBought},
    {"Purchase Date", F::DateBought},
    {"Date Acquired", F::DateBought},
    {"備考", F::Note1},
    {"備考1", F::Note1},
    {"メモ", F::Note1},
    {"Note", F::Note1},
    {"Notes", F::Note1},
    {"Note1", F::Note1},
    {"Private Notes", F::Note1},
    {"備考2", F::Note2},
    {"Note2", F::Note2},
    // The catalogue has no ISBN field: the second note keeps it.
    {"ISBN", F::Note2},
    {"ISBN13", F::Note2},
    {"ISBN10", F::Note2},
    {"ISBNコード", F::Note2},
};

const QHash<QString, Field>& synonyms() {
    static const QHash<QString, Field> table = [] {
        QHash<QString, Field> t;
        for (const auto& [name, field] : kSynonyms)
            t.insert(HeaderMapping::normalise(QString::fromUtf8(name)), field);
        for (const auto& info : fieldTable())
            t.insert(HeaderMapping::normalise(QString::fromUtf8(info.defaultCaption)), info.field);
        return t;
    }();
    return table;
}

} // namespace

Bytes HeaderMapping::caption(const Catalogue& catalogue, Field f) {
    const FieldInfo& info = fieldInfo(f);
    Bytes text = info.caption > 0 ? catalogue.liveCaptions[static_cast<size_t>(info.caption - 1)]
                                  : catalogue.heading(choiceListOf(f));
    return text.empty() ? sjis::fromUtf8(info.defaultCaption) : text;
}

QString HeaderMapping::captionText(const Catalogue& catalogue, Field f) {
    return sjis::decode(caption(catalogue, f));
}

QString HeaderMapping::normalise(const QString& name) {
    QString s = name.normalized(QString::NormalizationForm_KC).toCaseFolded();
    s.removeIf([](QChar c) { return c.isSpace() || c == u'_' || c == u'-'; });
    return s;
}

std::optional<Field> HeaderMapping::fieldFor(const QString& name, const Catalogue& catalogue) {
    const QString key = normalise(name);
    if (key.isEmpty())
        return std::nullopt;
    for (const auto& info : fieldTable())
        if (normalise(captionText(catalogue, info.field)) == key)
            return info.field;
    const auto it = synonyms().constFind(key);
    if (it != synonyms().constEnd())
        return *it;
    return std::nullopt;
}

HeaderMapping::Columns HeaderMapping::guess(const std::vector<QString>& header,
                                            const Catalogue& catalogue) {
    Columns columns(header.size());
    std::array<bool, kFieldCount> taken{};
    int inPlace = 0;
    for (size_t c = 0; c < header.size(); ++c) {
        const auto f = fieldFor(header[c], catalogue);
        if (!f || taken[static_cast<size_t>(index(*f))])
            continue;
        taken[static_cast<size_t>(index(*f))] = true;
        columns[c] = f;
        if (static_cast<int>(c) == index(*f))
            ++inPlace;
    }
    if (header.size() == static_cast<size_t>(kFieldCount) && inPlace > kFieldCount / 2)
        for (size_t c = 0; c < header.size(); ++c)
            columns[c] = fieldAt(static_cast<int>(c));
    return columns;
}

QStringList HeaderMapping::notes(const std::vector<QString>& header, const Columns& columns,
                                 const Catalogue& catalogue) {
    QStringList out;
    for (size_t c = 0; c < header.size() && c < columns.size(); ++c) {
        if (columns[c])
            continue;
        const auto f = fieldFor(header[c], catalogue);
        QString why;
        if (header[c].trimmed().isEmpty())
            why = QStringLiteral("見出しが空です");
        else if (f)
            why = QStringLiteral("「%1」には前の列を取り込みます").arg(captionText(catalogue, *f));
        else
            why = QStringLiteral("見出しに当たる項目がありません");
        out << QStringLiteral("%1 列目「%2」は取り込みません（%3）").arg(c + 1).arg(header[c], why);
    }
    return out;
}

std::optional<CsvError> HeaderMapping::check(const Columns& columns, const Catalogue& catalogue) {
    std::array<int, kFieldCount> column{};
    bool any = false;
    for (size_t c = 0; c < columns.size(); ++c) {
        if (!columns[c])
            continue;
        any = true;
        int& first = column[static_cast<size_t>(index(*columns[c]))];
        if (first)
            return CsvError{
                0, QStringLiteral("%1 列目と %2 列目が同じ項目「%3」に割り当てられています")
                       .arg(first)
                       .arg(c + 1)
                       .arg(captionText(catalogue, *columns[c]))};
        first = static_cast<int>(c + 1);
    }
    if (!any)
        return CsvError{0, QStringLiteral("取り込む列がありません。見出しが項目名に当たりません")};
    return std::nullopt;
}

} // namespace sorabel
