// Exports of reading services, written here from their documented columns
// with made-up books, and what each column becomes in the catalogue.
#include "core/csv/CsvImport.h"
#include "core/stats/ReadingStatistics.h"
#include "core/text/ShiftJis.h"

#include <gtest/gtest.h>
#include <map>

using namespace sorabel;

namespace {

// One CSV line; every cell quoted when `quoteAll`, else only where needed.
std::string line(const std::vector<std::string>& cells, bool quoteAll = false) {
    std::string out;
    for (size_t i = 0; i < cells.size(); ++i) {
        std::string c = cells[i];
        const bool quote = quoteAll || c.find_first_of(",\"\r\n") != std::string::npos;
        for (size_t at = 0; (at = c.find('"', at)) != std::string::npos; at += 2)
            c.insert(at, "\"");
        out += (i ? "," : "") + (quote ? "\"" + c + "\"" : c);
    }
    return out + "\r\n";
}

std::vector<std::string> split(const std::string& header) {
    std::vector<std::string> out;
    size_t from = 0;
    for (size_t at; (at = header.find('|', from)) != std::string::npos; from = at + 1)
        out.push_back(header.substr(from, at - from));
    out.push_back(header.substr(from));
    return out;
}

// A row of a wide export: the named cells, the rest empty.
std::vector<std::string> row(const std::vector<std::string>& header,
                             const std::map<std::string, std::string>& cells) {
    std::vector<std::string> out;
    for (const auto& name : header)
        out.push_back(cells.contains(name) ? cells.at(name) : "");
    return out;
}

std::string withHeader(const std::string& header,
                       const std::vector<std::map<std::string, std::string>>& rows) {
    const auto names = split(header);
    std::string out = line(names);
    for (const auto& r : rows)
        out += line(row(names, r));
    return out;
}

struct Expect {
    int record;
    Field field;
    const char* text;
};

struct Service {
    const char* name;
    std::string bytes;
    CsvPresetId preset;
    std::vector<Expect> fields;
    std::vector<ReadingStatus> states; // of the records in order
};

std::vector<Service> services() {
    const std::string booklog =
        line({"1", "4101234567", "9784101234565", "小説", "5", "読み終わった", "面白かった",
              "SF,名作", "二度目に読む", "2024-01-10 12:34:56", "2024-03-05 00:00:00", "夜の図書館",
              "山田花子", "新潮社", "2015", "文学・評論", "320", "1540"},
             true) +
        line({"1", "B0TESTASIN", "", "未設定", "0", "積読", "", "", "", "2024-02-01 09:00:00", "",
              "海辺の時計", "鈴木次郎", "早川書房", "2020", "", "", ""},
             true) +
        line({"1", "4150000001", "9784150000001", "", "", "いま読んでる", "", "", "",
              "2024-04-02 08:00:00", "", "星の航路", "木村三郎", "東京創元社", "1980", "", "", ""},
             true);
    const std::string goodreads = withHeader(
        "Book Id|Title|Author|Author l-f|Additional Authors|ISBN|ISBN13|My Rating|Average "
        "Rating|Publisher|Binding|Number of Pages|Year Published|Original Publication Year|Date "
        "Read|Date Added|Bookshelves|Bookshelves with positions|Exclusive Shelf|My "
        "Review|Spoiler|Private Notes|Read Count|Owned Copies",
        {{{"Title", "夜の図書館 (星の書架, #2)"},
          {"Author", "山田 花子"},
          {"Additional Authors", "佐藤 一郎"},
          {"ISBN", "=\"4101234567\""},
          {"ISBN13", "=\"9784101234565\""},
          {"My Rating", "4"},
          {"Publisher", "新潮社"},
          {"Binding", "Paperback"},
          {"Number of Pages", "320"},
          {"Year Published", "2019"},
          {"Original Publication Year", "2015"},
          {"Date Read", "2024/03/05"},
          {"Date Added", "2024/01/10"},
          {"Exclusive Shelf", "read"},
          {"My Review", "良かった。<br/><br/>薦めたい &amp; 再読したい"},
          {"Private Notes", "図書館で借りた"},
          {"Read Count", "1"}},
         {{"Title", "海辺の時計"},
          {"Author", "鈴木 次郎"},
          {"ISBN", "=\"\""},
          {"My Rating", "0"},
          {"Date Added", "2024/02/01"},
          {"Exclusive Shelf", "to-read"}},
         {{"Title", "Reading Now"},
          {"Author", "Jane Roe"},
          {"Date Added", "2024/04/02"},
          {"Exclusive Shelf", "currently-reading"}},
         {{"Title", "Read Long Ago"}, {"Date Added", "2023/12/24"}, {"Exclusive Shelf", "read"}}});
    const std::string bookmeter =
        "\xEF\xBB\xBF" +
        withHeader("読了日|タイトル|著者|出版社|ページ数|感想|ネタバレ|ISBN/ASIN|本のURL|登録日",
                   {{{"読了日", "2024/03/05"},
                     {"タイトル", "白い部屋"},
                     {"著者", "村田一"},
                     {"出版社", "文藝社"},
                     {"ページ数", "160"},
                     {"感想", "静かな話。\n最後が良い"},
                     {"ネタバレ", "1"},
                     {"ISBN/ASIN", "4167000000"},
                     {"本のURL", "https://books.example/1"},
                     {"登録日", "2024/03/06"}}});
    const std::string calibre = withHeader(
        "title|title_sort|authors|author_sort|publisher|pubdate|tags|comments|series|series_index|"
        "isbn|identifiers|rating|languages|timestamp|cover|formats|id|library_name|size|uuid",
        {{{"title", "虚ろな船"},
          {"authors", "筒井一 & 筒井二"},
          {"publisher", "新潮社"},
          {"pubdate", "1984-05-20T00:00:00+09:00"},
          {"tags", "SF, 長編"},
          {"comments", "<div><p>第一段落</p><p>第二段落&amp;続き</p></div>"},
          {"series", "全集"},
          {"series_index", "3.0"},
          {"isbn", "9784101171000"},
          {"rating", "8"},
          {"timestamp", "2024-01-10T10:00:00+09:00"},
          {"id", "12"}}});
    const std::string libraryThing = withHeader(
        "Book Id|Title|Sort Character|Primary Author|Primary Author Role|Secondary "
        "Author|Secondary Author Roles|Publication|Date|Review|Rating|Comment|Private "
        "Comment|Summary|Media|Physical Description|Weight|Height|Thickness|Length|Dimensions|"
        "Page Count|LCCN|Acquired|Date Started|Date Read|Barcode|BCID|Tags|Collections|"
        "Languages|Original Languages|LC Classification|ISBN|ISBNs|Subjects|Dewey "
        "Decimal|Dewey Wording|Other Call Number|Copies|Source|Entry Date|From Where|OCLC|Work "
        "id|Lending Patron|Lending Status|Lending Start|Lending End",
        {{{"Title", "The Far Shore"},
          {"Primary Author", "Roe, Jane"},
          {"Secondary Author", "佐藤一郎"},
          {"Secondary Author Roles", "Translator"},
          {"Publication", "新潮社 (2015), Edition: 2, 文庫"},
          {"Date", "2015"},
          {"Review", "Fine.<br>Really."},
          {"Media", "Paperback"},
          {"Page Count", "288"},
          {"Acquired", "2023-11-02"},
          {"Date Read", "2024-01-15"},
          {"Collections", "Your library, Read but unowned"},
          {"ISBN", "[4101234567]"},
          {"Entry Date", "2023-11-02"}},
         {{"Title", "Unread One"},
          {"Primary Author", "Doe, John"},
          {"Acquired", "2024-02-02"},
          {"Collections", "Your library, To read"}}});
    const std::string collection =
        withHeader("Title|Subtitle|Author|Translator|Publisher|Genre|Format|Series|Edition|Pages|"
                   "ISBN#|Purchase Price|Purchase Date|Publication Year|Read|Date Read|Rating|"
                   "Location|Notes",
                   {{{"Title", "批評の庭"},
                     {"Subtitle", "随想集"},
                     {"Author", "高橋四郎"},
                     {"Publisher", "青土舎"},
                     {"Genre", "SF; 評論"},
                     {"ISBN#", "978-4-7917-0000-1"},
                     {"Purchase Price", "¥1,100"},
                     {"Purchase Date", "2022/05/01"},
                     {"Publication Year", "2021"},
                     {"Read", "No"},
                     {"Location", "書斎"}}});

    using F = Field;
    using S = ReadingStatus;
    return {
        {"ブクログ",
         sjis::fromUtf8(booklog),
         CsvPresetId::Booklog,
         {{1, F::Title, "夜の図書館"},
          {1, F::Author, "山田花子"},
          {1, F::Publisher, "新潮社"},
          {1, F::FirstEdition, "2015"},
          {1, F::Genre1, "文学・評論"},
          {1, F::Price, "1540"},
          {1, F::DateFinished, "2024/03/05"},
          {1, F::Impressions, "面白かった\r\n\r\n読書メモ: 二度目に読む"},
          {1, F::Note1,
           "カテゴリ: 小説 / 評価: 5 / 読書状況: 読み終わった / タグ: SF,名作 / 登録日時: "
           "2024-01-10 12:34:56 / ページ数: 320"},
          {1, F::Note2, "アイテムID: 4101234567 / ISBN: 9784101234565"},
          {2, F::DateBought, "2024/02/01"},
          {2, F::Note1, "カテゴリ: 未設定 / 読書状況: 積読 / 登録日時: 2024-02-01 09:00:00"},
          {3, F::DateStarted, "2024/04/02"},
          {3, F::DateFinished, ""}},
         {S::Finished, S::Stacked, S::Reading}},
        {"Goodreads",
         goodreads,
         CsvPresetId::Goodreads,
         {{1, F::Title, "夜の図書館"},
          {1, F::Series, "星の書架 2"},
          {1, F::Translator, "佐藤 一郎"},
          {1, F::Format, "Paperback"},
          {1, F::FirstEdition, "2015"},
          {1, F::EditionRead, "2019"},
          {1, F::Impressions,
           "良かった。\r\n\r\n薦めたい & 再読したい\r\n\r\n非公開メモ: 図書館で借りた"},
          {1, F::Note1,
           "評価: 4 / ページ数: 320 / 登録日: 2024/01/10 / 読書状況: read / 読んだ回数: 1"},
          {1, F::Note2, "ISBN: 4101234567 / ISBN13: 9784101234565"},
          {2, F::Note1, "登録日: 2024/02/01 / 読書状況: to-read"},
          {2, F::Note2, ""},
          {2, F::DateBought, "2024/02/01"},
          {3, F::DateStarted, "2024/04/02"},
          {4, F::DateFinished, "2023/12/24"}},
         {S::Finished, S::Stacked, S::Reading, S::Finished}},
        {"読書メーター",
         bookmeter,
         CsvPresetId::Bookmeter,
         {{1, F::DateFinished, "2024/03/05"},
          {1, F::Impressions, "静かな話。\r\n最後が良い"},
          {1, F::Note1, "ページ数: 160 / ネタバレ: あり / 登録日: 2024/03/06"},
          {1, F::Note2, "ISBN/ASIN: 4167000000 / URL: https://books.example/1"}},
         {S::Finished}},
        {"calibre",
         calibre,
         CsvPresetId::Calibre,
         {{1, F::Author, "筒井一、筒井二"},
          {1, F::FirstEdition, "1984/05/20"},
          {1, F::Impressions, "第一段落\r\n\r\n第二段落&続き"},
          {1, F::Series, "全集 3"},
          {1, F::Note1, "タグ: SF, 長編 / 評価: 8 / 登録日: 2024-01-10T10:00:00+09:00"},
          {1, F::Note2, "ISBN: 9784101171000"}},
         {S::Unsorted}},
        {"LibraryThing",
         libraryThing,
         CsvPresetId::LibraryThing,
         {{1, F::Author, "Roe, Jane"},
          {1, F::Translator, "佐藤一郎"},
          {1, F::Publisher, "新潮社"},
          {1, F::Impressions, "Fine.\r\nReally."},
          {1, F::Format, "Paperback"},
          {1, F::DateBought, "2023/11/02"},
          {1, F::DateFinished, "2024/01/15"},
          {1, F::Note2, "ISBN: 4101234567"},
          {1, F::Note1,
           "副著者の役割: Translator / ページ数: 288 / コレクション: Your library, Read but "
           "unowned / 登録日: 2023-11-02"},
          {2, F::DateBought, "2024/02/02"}},
         {S::Finished, S::Stacked}},
        {"蔵書管理ソフト",
         collection,
         CsvPresetId::Collection,
         {{1, F::Subtitle, "随想集"},
          {1, F::Genre1, "SF"},
          {1, F::Genre2, "評論"},
          {1, F::Price, "￥1,100"},
          {1, F::FirstEdition, "2021"},
          {1, F::DateBought, "2022/05/01"},
          {1, F::Note1, "読書状況: No / 置き場所: 書斎"},
          {1, F::Note2, "ISBN: 978-4-7917-0000-1"}},
         {S::Stacked}},
    };
}

} // namespace

TEST(ServiceExport, EveryColumnLandsWhereAReaderLooksForIt) {
    Catalogue into;
    into.resize(0);
    for (const Service& s : services()) {
        const CsvRead read = CsvImport::read(s.bytes);
        ASSERT_FALSE(read.error) << s.name << ": " << read.error->message.toStdString();
        EXPECT_EQ(read.document.preset, s.preset) << s.name;
        const ImportPlan plan = CsvPreset::get(s.preset).plan(read.document.header, into);
        const CsvImportResult result = CsvImport::prepare(
            read.document, plan, UnencodablePolicy::Replace, into, read.document.preset);
        ASSERT_EQ(result.records.size(), s.states.size()) << s.name;
        for (const Expect& e : s.fields)
            EXPECT_EQ(sjis::decode(result.records[size_t(e.record - 1)][size_t(index(e.field))])
                          .toStdString(),
                      e.text)
                << s.name << " " << e.record << " " << fieldInfo(e.field).defaultCaption;

        Catalogue c;
        c.resize(0);
        c.appendRecords(result.records);
        const ReadingStatistics stats(c);
        for (size_t r = 0; r < s.states.size(); ++r) {
            const auto& in = stats.withStatus(s.states[r]);
            EXPECT_NE(std::find(in.begin(), in.end(), int(r + 1)), in.end())
                << s.name << " record " << r + 1;
        }
    }
}

TEST(ServiceExport, HandMadeFilesWithFaults) {
    Catalogue into;
    into.resize(0);
    // A short row is padded; a stray Latin-1 byte in UTF-8 becomes 〓.
    const CsvRead read = CsvImport::read("書名,著者,出版社\r\nCaf\xE9,X,Y\r\n短い行\r\n");
    ASSERT_FALSE(read.error) << read.error->message.toStdString();
    const CsvImportResult result =
        CsvImport::prepare(read.document, HeaderMapping::guess(read.document.header, into),
                           UnencodablePolicy::Replace, into);
    ASSERT_EQ(result.records.size(), 2u);
    EXPECT_EQ(sjis::decode(result.records[0][0]), QStringLiteral("Caf〓"));
    EXPECT_EQ(sjis::decode(result.records[1][0]), QStringLiteral("短い行"));
    EXPECT_EQ(
        CsvImport::reportLines(result),
        (QStringList{QStringLiteral("2 行目: UTF-8 として読めないバイト 0xE9 を「〓」にしました"),
                     QStringLiteral(
                         "3 行目（記録 2）: 列が 1 つしかないので、後ろの 2 列は空欄にしました")}));
    // A headerless file read with the first row as data.
    const CsvRead headerless =
        CsvImport::read("夜の図書館,山田花子\r\n", CsvReadOptions{{}, {}, true});
    ASSERT_FALSE(headerless.error);
    EXPECT_EQ(headerless.document.rows.size(), 1u);
    EXPECT_EQ(headerless.document.header,
              (std::vector<QString>{QStringLiteral("1 列目"), QStringLiteral("2 列目")}));
}
