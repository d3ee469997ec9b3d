#include "core/csv/CsvPreset.h"

#include "core/csv/HeaderMapping.h"
#include "core/text/DateReader.h"

#include <QRegularExpression>
#include <algorithm>
#include <array>

namespace sorabel {

namespace {

using F = Field;
using R = ColumnRole;
using Column = CsvPreset::Column;

constexpr F kNone = F::Note1; // the field of a column whose role has none

// ブクログ writes no header; these are its columns in order.
constexpr Column kBooklog[] = {
    {"サービスID", R::Ignore, kNone, nullptr},
    {"アイテムID", R::Identifier, kNone, "アイテムID"},
    {"13桁ISBN", R::Identifier, kNone, "ISBN"},
    {"カテゴリ", R::Note, kNone, "カテゴリ"},
    {"評価", R::Rating, kNone, "評価"},
    {"読書状況", R::Shelf, kNone, "読書状況"},
    {"レビュー", R::Field, F::Impressions, nullptr},
    {"タグ", R::Note, kNone, "タグ"},
    {"読書メモ(非公開)", R::Memo, kNone, "読書メモ"},
    {"登録日時", R::Added, kNone, "登録日時"},
    {"読了日", R::Field, F::DateFinished, nullptr},
    {"タイトル", R::Field, F::Title, nullptr},
    {"作者名", R::Field, F::Author, nullptr},
    {"出版社名", R::Field, F::Publisher, nullptr},
    {"発行年", R::Field, F::FirstEdition, nullptr},
    {"ジャンル", R::Genres, F::Genre1, nullptr},
    {"ページ数", R::Note, kNone, "ページ数"},
    {"価格", R::Field, F::Price, nullptr},
};

constexpr Column kBookmeter[] = {
    {"読了日", R::Field, F::DateFinished, nullptr},
    {"タイトル", R::Field, F::Title, nullptr},
    {"著者", R::Field, F::Author, nullptr},
    {"出版社", R::Field, F::Publisher, nullptr},
    {"ページ数", R::Note, kNone, "ページ数"},
    {"感想", R::Field, F::Impressions, nullptr},
    {"ネタバレ", R::Flag, kNone, "ネタバレ"},
    {"ISBN/ASIN", R::Identifier, kNone, "ISBN/ASIN"},
    {"本のURL", R::Identifier, kNone, "URL"},
    {"登録日", R::Added, kNone, "登録日"},
};

constexpr Column kGoodreads[] = {
    {"Book Id", R::Ignore, kNone, nullptr},
    {"Title", R::Field, F::Title, nullptr},
    {"Author", R::Field, F::Author, nullptr},
    {"Author l-f", R::Ignore, kNone, nullptr},
    {"Additional Authors", R::Field, F::Translator, nullptr},
    {"ISBN", R::Identifier, kNone, "ISBN"},
    {"ISBN13", R::Identifier, kNone, "ISBN13"},
    {"My Rating", R::Rating, kNone, "評価"},
    {"Average Rating", R::Ignore, kNone, nullptr},
    {"Publisher", R::Field, F::Publisher, nullptr},
    {"Binding", R::Field, F::Format, nullptr},
    {"Number of Pages", R::Note, kNone, "ページ数"},
    {"Year Published", R::Field, F::EditionRead, nullptr},
    {"Original Publication Year", R::Field, F::FirstEdition, nullptr},
    {"Date Read", R::Field, F::DateFinished, nullptr},
    {"Date Added", R::Added, kNone, "登録日"},
    {"Bookshelves", R::Note, kNone, "本棚"},
    {"Bookshelves with positions", R::Ignore, kNone, nullptr},
    {"Exclusive Shelf", R::Shelf, kNone, "読書状況"},
    {"My Review", R::Field, F::Impressions, nullptr},
    {"Spoiler", R::Flag, kNone, "ネタバレ"},
    {"Private Notes", R::Memo, kNone, "非公開メモ"},
    {"Read Count", R::Rating, kNone, "読んだ回数"},
    {"Owned Copies", R::Ignore, kNone, nullptr},
};

constexpr Column kCalibre[] = {
    {"title", R::Field, F::Title, nullptr},
    {"title_sort", R::Ignore, kNone, nullptr},
    {"authors", R::Field, F::Author, nullptr},
    {"author_sort", R::Ignore, kNone, nullptr},
    {"publisher", R::Field, F::Publisher, nullptr},
    {"pubdate", R::Field, F::FirstEdition, nullptr},
    {"tags", R::Note, kNone, "タグ"},
    {"comments", R::Field, F::Impressions, nullptr},
    {"series", R::Field, F::Series, nullptr},
    {"series_index", R::Ignore, kNone, nullptr}, // joined to the series
    {"isbn", R::Identifier, kNone, "ISBN"},
    {"identifiers", R::Identifier, kNone, "識別子"},
    {"rating", R::Rating, kNone, "評価"},
    {"languages", R::Note, kNone, "言語"},
    {"timestamp", R::Added, kNone, "登録日"},
    {"cover", R::Ignore, kNone, nullptr},
    {"formats", R::Ignore, kNone, nullptr},
    {"id", R::Ignore, kNone, nullptr},
    {"library_name", R::Ignore, kNone, nullptr},
    {"size", R::Ignore, kNone, nullptr},
    {"uuid", R::Ignore, kNone, nullptr},
};

constexpr Column kLibraryThing[] = {
    {"Book Id", R::Ignore, kNone, nullptr},
    {"Title", R::Field, F::Title, nullptr},
    {"Sort Character", R::Ignore, kNone, nullptr},
    {"Primary Author", R::Field, F::Author, nullptr},
    {"Primary Author Role", R::Ignore, kNone, nullptr},
    {"Secondary Author", R::Field, F::Translator, nullptr},
    {"Secondary Author Roles", R::Note, kNone, "副著者の役割"},
    {"Publication", R::Field, F::Publisher, nullptr},
    {"Date", R::Field, F::FirstEdition, nullptr},
    {"Review", R::Field, F::Impressions, nullptr},
    {"Rating", R::Rating, kNone, "評価"},
    {"Comment", R::Memo, kNone, "コメント"},
    {"Private Comment", R::Memo, kNone, "非公開コメント"},
    {"Summary", R::Ignore, kNone, nullptr},
    {"Media", R::Field, F::Format, nullptr},
    {"Physical Description", R::Ignore, kNone, nullptr},
    {"Weight", R::Ignore, kNone, nullptr},
    {"Height", R::Ignore, kNone, nullptr},
    {"Thickness", R::Ignore, kNone, nullptr},
    {"Length", R::Ignore, kNone, nullptr},
    {"Dimensions", R::Ignore, kNone, nullptr},
    {"Page Count", R::Note, kNone, "ページ数"},
    {"LCCN", R::Ignore, kNone, nullptr},
    {"Acquired", R::Field, F::DateBought, nullptr},
    {"Date Started", R::Field, F::DateStarted, nullptr},
    {"Date Read", R::Field, F::DateFinished, nullptr},
    {"Barcode", R::Ignore, kNone, nullptr},
    {"BCID", R::Ignore, kNone, nullptr},
    {"Tags", R::Note, kNone, "タグ"},
    {"Collections", R::Shelf, kNone, "コレクション"},
    {"Languages", R::Note, kNone, "言語"},
    {"Original Languages", R::Note, kNone, "原語"},
    {"LC Classification", R::Ignore, kNone, nullptr},
    {"ISBN", R::Identifier, kNone, "ISBN"},
    {"ISBNs", R::Ignore, kNone, nullptr},
    {"Subjects", R::Note, kNone, "件名"},
    {"Dewey Decimal", R::Ignore, kNone, nullptr},
    {"Dewey Wording", R::Ignore, kNone, nullptr},
    {"Other Call Number", R::Ignore, kNone, nullptr},
    {"Copies", R::Ignore, kNone, nullptr},
    {"Source", R::Ignore, kNone, nullptr},
    {"Entry Date", R::Added, kNone, "登録日"},
    {"From Where", R::Note, kNone, "購入先"},
    {"OCLC", R::Ignore, kNone, nullptr},
    {"Work id", R::Ignore, kNone, nullptr},
    {"Lending Patron", R::Note, kNone, "貸出先"},
    {"Lending Status", R::Ignore, kNone, nullptr},
    {"Lending Start", R::Ignore, kNone, nullptr},
    {"Lending End", R::Ignore, kNone, nullptr},
};

constexpr Column kCollection[] = {
    {"Title", R::Field, F::Title, nullptr},
    {"Subtitle", R::Field, F::Subtitle, nullptr},
    {"Author", R::Field, F::Author, nullptr},
    {"Translator", R::Field, F::Translator, nullptr},
    {"Publisher", R::Field, F::Publisher, nullptr},
    {"Genre", R::Genres, F::Genre1, nullptr},
    {"Format", R::Field, F::Format, nullptr},
    {"Series", R::Field, F::Series, nullptr},
    {"Edition", R::Field, F::EditionRead, nullptr},
    {"Pages", R::Note, kNone, "ページ数"},
    {"ISBN#", R::Identifier, kNone, "ISBN"},
    {"Purchase Price", R::Field, F::Price, nullptr},
    {"Purchase Date", R::Field, F::DateBought, nullptr},
    {"Publication Year", R::Field, F::FirstEdition, nullptr},
    {"Read", R::Shelf, kNone, "読書状況"},
    {"Date Read", R::Field, F::DateFinished, nullptr},
    {"Rating", R::Rating, kNone, "評価"},
    {"Location", R::Note, kNone, "置き場所"},
    {"Notes", R::Memo, kNone, "メモ"},
};

const std::array<CsvPreset, 7> kPresets = {{
    {CsvPresetId::Generic, "generic", "一般の表計算ソフト", false, {}},
    {CsvPresetId::Booklog, "booklog", "ブクログ", true, kBooklog},
    {CsvPresetId::Bookmeter, "bookmeter", "読書メーター", false, kBookmeter},
    {CsvPresetId::Goodreads, "goodreads", "Goodreads", false, kGoodreads},
    {CsvPresetId::Calibre, "calibre", "calibre", false, kCalibre},
    {CsvPresetId::LibraryThing, "librarything", "LibraryThing", false, kLibraryThing},
    {CsvPresetId::Collection, "collection", "蔵書管理ソフト（Title, Subtitle, Author, … ISBN#）",
     false, kCollection},
}};

constexpr CsvPresetId kIds[] = {
    CsvPresetId::Generic, CsvPresetId::Booklog,      CsvPresetId::Bookmeter, CsvPresetId::Goodreads,
    CsvPresetId::Calibre, CsvPresetId::LibraryThing, CsvPresetId::Collection};

QString nameOf(const Column& c) {
    return QString::fromUtf8(c.name);
}

} // namespace

const CsvPreset& CsvPreset::get(CsvPresetId id) {
    return kPresets[static_cast<size_t>(id)];
}

std::span<const CsvPresetId> CsvPreset::all() {
    return kIds;
}

std::optional<CsvPresetId> CsvPreset::fromOptionName(const QString& name) {
    for (const auto& p : kPresets)
        if (name.compare(QLatin1String(p.optionName), Qt::CaseInsensitive) == 0)
            return p.id;
    return std::nullopt;
}

QString CsvPreset::optionNames() {
    QStringList names;
    for (const auto& p : kPresets)
        names << QLatin1String(p.optionName);
    return names.join(QStringLiteral("、"));
}

std::optional<CsvPresetId> CsvPreset::fromHeader(const std::vector<QString>& header) {
    QStringList names;
    for (const QString& h : header)
        names << HeaderMapping::normalise(h);
    std::optional<CsvPresetId> best;
    double bestShare = 0;
    for (const auto& p : kPresets) {
        if (p.columns.empty())
            continue;
        int found = 0;
        for (const Column& c : p.columns)
            found += names.contains(HeaderMapping::normalise(nameOf(c)));
        // Most of the service's columns, and more than a sheet that happens
        // to have Title and Author: exports vary a little between versions.
        const double share = double(found) / double(p.columns.size());
        if (found >= 4 && share >= 0.6 && share > bestShare) {
            bestShare = share;
            best = p.id;
        }
    }
    // The catalogue program's export is told by its own column names.
    if (!best && names.contains(QStringLiteral("isbn#")) &&
        names.contains(QStringLiteral("purchaseprice")))
        best = CsvPresetId::Collection;
    return best;
}

bool CsvPreset::looksLikeHeaderlessBooklog(const std::vector<QString>& row) {
    if (row.size() != std::size(kBooklog))
        return false;
    static const QRegularExpression number(QStringLiteral(R"(^\d{1,4}$)"));
    static const QRegularExpression dateTime(
        QStringLiteral(R"(^\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}$)"));
    static const QRegularExpression isbn(QStringLiteral(R"(^(\d{13})?$)"));
    const QString& state = row[5];
    int signs = 0;
    signs += number.match(row[0]).hasMatch();
    signs += dateTime.match(row[9]).hasMatch();
    signs += isbn.match(row[2]).hasMatch();
    signs += state.isEmpty() || shelfStateOf(state) != ShelfState::None;
    return signs >= 3;
}

std::vector<QString> CsvPreset::headerFor(size_t columnCount) const {
    std::vector<QString> header;
    for (size_t c = 0; c < columnCount; ++c)
        header.push_back(headerless && c < columns.size() ? nameOf(columns[c])
                                                          : QStringLiteral("%1 列目").arg(c + 1));
    return header;
}

ImportPlan CsvPreset::plan(const std::vector<QString>& header, const Catalogue& catalogue) const {
    ImportPlan out(header.size());
    std::vector<QString> rest = header;
    std::array<bool, kFieldCount> taken{};
    for (size_t c = 0; c < header.size(); ++c) {
        const QString key = HeaderMapping::normalise(header[c]);
        for (const Column& col : columns) {
            if (HeaderMapping::normalise(nameOf(col)) != key)
                continue;
            ColumnPlan& p = out[c];
            p.role = col.role;
            p.label = col.label ? QString::fromUtf8(col.label) : header[c];
            if (col.role == R::Field || col.role == R::Genres) {
                if (taken[static_cast<size_t>(index(col.field))]) {
                    p.role = R::Note;
                } else {
                    p.field = col.field;
                    taken[static_cast<size_t>(index(col.field))] = true;
                }
            }
            rest[c].clear(); // known: not guessed again
            break;
        }
    }
    // Columns the service's table does not name go by the common names.
    const HeaderMapping::Columns guessed = HeaderMapping::guess(rest, catalogue);
    for (size_t c = 0; c < header.size(); ++c) {
        if (rest[c].isEmpty() || !guessed[c] || taken[static_cast<size_t>(index(*guessed[c]))])
            continue;
        taken[static_cast<size_t>(index(*guessed[c]))] = true;
        out[c] = {R::Field, guessed[c], header[c]};
    }
    return out;
}

ShelfState shelfStateOf(const QString& word) {
    if (word.isEmpty())
        return ShelfState::None;
    const bool ascii =
        std::all_of(word.begin(), word.end(), [](QChar c) { return c.unicode() < 0x80; });
    QString w = ascii ? word.toLower() : HeaderMapping::normalise(word);
    if (ascii)
        w.removeIf([](QChar c) { return c == u' ' || c == u'_' || c == u'-'; });
    static const QStringList stacked = {QStringLiteral("toread"),   QStringLiteral("積読"),
                                        QStringLiteral("読みたい"), QStringLiteral("wishlist"),
                                        QStringLiteral("積ん読"),   QStringLiteral("未読"),
                                        QStringLiteral("0"),        QStringLiteral("unread"),
                                        QStringLiteral("no"),       QStringLiteral("false")};
    static const QStringList reading = {
        QStringLiteral("currentlyreading"), QStringLiteral("いま読んでる"),
        QStringLiteral("今読んでる"), QStringLiteral("読書中"), QStringLiteral("reading")};
    static const QStringList finished = {QStringLiteral("read"), QStringLiteral("読み終わった"),
                                         QStringLiteral("読了"), QStringLiteral("readbutunowned"),
                                         QStringLiteral("既読"), QStringLiteral("1"),
                                         QStringLiteral("yes"),  QStringLiteral("true")};
    // LibraryThing's collections come as a list: "Your library, Read but unowned".
    for (const QString& part : w.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (finished.contains(part))
            return ShelfState::Finished;
        if (reading.contains(part))
            return ShelfState::Reading;
        if (stacked.contains(part))
            return ShelfState::Stacked;
    }
    return ShelfState::None;
}

} // namespace sorabel
