// The pure rules under the CSV import: look-alikes, cell cutting, encoding
// detection and column names.
#include "core/csv/CsvEncoding.h"
#include "core/csv/CsvReader.h"
#include "core/csv/HeaderMapping.h"
#include "core/text/LookAlikes.h"
#include "core/text/ShiftJis.h"

#include <gtest/gtest.h>

using namespace sorabel;

TEST(LookAlikes, MapsTheEightCharactersAndNothingElse) {
    const auto mapped = [](const char* text) {
        return toCodePageLookAlikes(QString::fromUtf8(text)).toStdString();
    };
    const char* const targets = "～－∥―￠￡￢￥";
    EXPECT_EQ(mapped("〜−‖—¢£¬¥"), targets);
    EXPECT_EQ(mapped("5〜10−2 ¥100"), "5～10－2 ￥100");
    EXPECT_EQ(mapped("～－∥―￠￡￢￥ abc 漢字 😀"), "～－∥―￠￡￢￥ abc 漢字 😀");
    EXPECT_TRUE(sjis::tryEncode(QString::fromUtf8(targets)).ok()); // all code page 932 text
}

TEST(CsvReader, CutsCellsAsRfc4180AndOtherProgramsWriteThem) {
    using Rows = std::vector<std::vector<std::string>>;
    const struct {
        std::string in;
        Rows rows;
        std::vector<int> lines;
    } cases[] = {
        {"a,b\r\nc,d\r\n", {{"a", "b"}, {"c", "d"}}, {1, 2}},
        {"a,b\nc,d", {{"a", "b"}, {"c", "d"}}, {1, 2}},
        {"a\rb\r", {{"a"}, {"b"}}, {1, 2}},
        {"\"x,y\",\"say \"\"hi\"\"\"\r\n", {{"x,y", "say \"hi\""}}, {1}},
        {"\"one\r\ntwo\nthree\",z\r\nnext\r\n", {{"one\r\ntwo\nthree", "z"}, {"next"}}, {1, 4}},
        {"a,,\r\n,\r\n", {{"a", "", ""}, {"", ""}}, {1, 2}},
        {"\r\n\r\na\r\n\r\n", {{"a"}}, {3}},
        {" a , b ", {{" a ", " b "}}, {1}},
        {"ab\"c,\"q\"rest", {{"ab\"c", "qrest"}}, {1}},
        {"\"\"", {{""}}, {1}},
    };
    for (const auto& c : cases) {
        const CsvParse p = CsvReader::parse(c.in);
        ASSERT_FALSE(p.error) << c.in;
        Rows rows;
        std::vector<int> lines;
        for (const auto& r : p.rows) {
            rows.push_back(r.cells);
            lines.push_back(r.line);
        }
        EXPECT_EQ(rows, c.rows) << c.in;
        EXPECT_EQ(lines, c.lines) << c.in;
    }
    // An unclosed quote names the line it opened on.
    const CsvParse bad = CsvReader::parse("h\r\n\"ok\r\nstill\"\r\nx,\"never\r\nclosed\r\n");
    ASSERT_TRUE(bad.error);
    EXPECT_EQ(bad.error->line, 4);
    EXPECT_EQ(bad.error->message, CsvReader::unclosedQuoteMessage(4));
}

TEST(CsvEncoding, DetectsAndChecksUtf8AndShiftJis) {
    const std::string sjisText = sjis::fromUtf8("書名,ｶﾅ\r\n");
    const struct {
        std::string bytes;
        std::optional<CsvEncoding> detected;
    } cases[] = {
        {"\xEF\xBB\xBFTitle\r\n", CsvEncoding::Utf8Bom},
        {"plain ascii", CsvEncoding::Utf8},
        {"書名,著者", CsvEncoding::Utf8},
        {sjisText, CsvEncoding::ShiftJis},
        {"\xFF\xFE\x41", std::nullopt},
        {"\xC0\x80", std::nullopt},     // overlong UTF-8; 0x80 alone is no Shift-JIS
        {"\xED\xA0\x80", std::nullopt}, // a UTF-8 surrogate; 0xA0 is no Shift-JIS byte
    };
    for (const auto& c : cases)
        EXPECT_EQ(csv_encoding::detect(c.bytes), c.detected) << c.bytes;

    EXPECT_FALSE(csv_encoding::check(sjisText, CsvEncoding::ShiftJis));
    const auto asUtf8 = csv_encoding::check("a\r\nb\r\n" + sjisText, CsvEncoding::Utf8);
    ASSERT_TRUE(asUtf8);
    EXPECT_EQ(asUtf8->line, 3);
    EXPECT_TRUE(asUtf8->message.contains(QStringLiteral("UTF-8")));
    EXPECT_TRUE(csv_encoding::check("\x81", CsvEncoding::ShiftJis)); // lead byte at the end

    for (auto e : {CsvEncoding::Utf8Bom, CsvEncoding::Utf8, CsvEncoding::ShiftJis})
        EXPECT_EQ(csv_encoding::fromOptionName(csv_encoding::optionName(e)), e);
    EXPECT_FALSE(csv_encoding::fromOptionName(QStringLiteral("latin-1")));
}

TEST(HeaderMapping, KnowsOwnCaptionsAndOtherProgramsNames) {
    Catalogue catalogue;
    catalogue.liveCaptions[14] = sjis::fromUtf8("ISBN番号"); // Label15: note 1
    const struct {
        std::optional<Field> field;
        std::vector<const char*> names;
    } cases[] = {
        {Field::Title, {"書　名", "タイトル", "書名", "Title", " ＴＩＴＬＥ "}},
        {Field::Author, {"著者", "著者名", "作者名", "Author", "著作者・編者"}},
        {Field::Publisher, {"出版社名", "publisher"}},
        {Field::DateFinished, {"読了日", "Read Date", "read_date"}},
        {Field::Impressions, {"感想", "レビュー", "Comments"}},
        {Field::Note2, {"ISBN"}},
        {Field::Note1, {"ISBN番号", "備考１"}},
        {Field::Genre1, {"ジャンル１"}},
        {Field::Genre2, {"ジャンル2"}},
        {Field::FirstEdition, {"初版（第１刷）"}},
        {std::nullopt, {"評価", ""}},
    };
    for (const auto& c : cases)
        for (const char* name : c.names)
            EXPECT_EQ(HeaderMapping::fieldFor(QString::fromUtf8(name), catalogue), c.field) << name;

    // A field goes to its first column only; the others are reported.
    const std::vector<QString> header{QStringLiteral("書名"), QStringLiteral("評価"),
                                      QStringLiteral("Title"), QStringLiteral("著者")};
    const auto columns = HeaderMapping::guess(header, catalogue);
    EXPECT_EQ(columns,
              (HeaderMapping::Columns{Field::Title, std::nullopt, std::nullopt, Field::Author}));
    const QStringList notes = HeaderMapping::notes(header, columns, catalogue);
    ASSERT_EQ(notes.size(), 2);
    EXPECT_TRUE(notes[0].startsWith(QStringLiteral("2 列目「評価」は取り込みません")));
    EXPECT_TRUE(notes[1].startsWith(QStringLiteral("3 列目「Title」は取り込みません")));
    EXPECT_FALSE(HeaderMapping::check(columns, catalogue));
    // Two columns for one field, or none at all, cannot be imported.
    EXPECT_TRUE(HeaderMapping::check({Field::Title, Field::Title}, catalogue));
    EXPECT_TRUE(HeaderMapping::check({std::nullopt}, catalogue));
}

TEST(HeaderMapping, OwnExportWithOtherCaptionsGoesByPosition) {
    Catalogue other;
    other.liveCaptions[0] = sjis::fromUtf8("本の名前");
    other.liveCaptions[14] = sjis::fromUtf8("ISBN"); // would be the second note by name
    std::vector<QString> header;
    for (const auto& info : fieldTable())
        header.push_back(HeaderMapping::captionText(other, info.field));
    const auto columns = HeaderMapping::guess(header, Catalogue());
    for (int c = 0; c < kFieldCount; ++c)
        EXPECT_EQ(columns[static_cast<size_t>(c)], fieldAt(c)) << c;
}
