#include "core/csv/CsvImport.h"
#include "core/csv/CsvCommandLine.h"
#include "core/csv/CsvWriter.h"
#include "core/format/CatalogueFile.h"
#include "core/storage/FileIo.h"
#include "core/text/ShiftJis.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace sorabel;

namespace {
Bytes sj(const char* utf8) {
    return sjis::fromUtf8(utf8);
}

QString csvFixture(const char* name) {
    return QString(SORABEL_TEST_DATA) + "/csv/" + QString::fromUtf8(name);
}

std::vector<Record> recordsOf(const Catalogue& c) {
    std::vector<Record> out;
    for (int r = 1; r <= c.recordCount(); ++r) {
        Record rec;
        for (const auto& info : fieldTable())
            rec[static_cast<size_t>(index(info.field))] = c.field(info.field, r);
        out.push_back(rec);
    }
    return out;
}

Catalogue emptyCatalogue() {
    Catalogue c;
    c.resize(0);
    return c;
}

// The whole import as the command line does it: read, guess, prepare.
CsvImportResult importBytes(std::string_view bytes, const Catalogue& into,
                            UnencodablePolicy policy = UnencodablePolicy::Replace,
                            std::optional<CsvEncoding> encoding = {}) {
    const CsvRead read = CsvImport::read(bytes, encoding);
    EXPECT_FALSE(read.error) << (read.error ? read.error->message.toStdString() : "");
    const auto columns = HeaderMapping::guess(read.document.header, into);
    return CsvImport::prepare(read.document, columns, policy, into);
}

const Bytes& fieldOf(const Record& r, Field f) {
    return r[static_cast<size_t>(index(f))];
}

int run(const QStringList& args, QString* errText = nullptr) {
    QString text;
    QTextStream err(&text);
    const int rc = CsvCommandLine::run(QStringList{QStringLiteral("sorabel")} + args, err);
    if (errText)
        *errText = text;
    return rc;
}
} // namespace

TEST(CsvRoundTrip, ExportThenImportGivesTheSameRecords) {
    // Every catalogue fixture that reads and holds only code page 932 text,
    // plus one with every quirk a CSV cell can have, under other captions.
    std::vector<Catalogue> catalogues;
    const QDir dir(QString(SORABEL_TEST_DATA) + "/catalogue");
    for (const QString& name : dir.entryList({QStringLiteral("*.srb")})) {
        Catalogue c;
        try {
            CatalogueFile::read(dir.filePath(name), c);
        } catch (const IoError&) {
            continue;
        }
        catalogues.push_back(std::move(c));
    }
    ASSERT_GE(catalogues.size(), 10u);
    Catalogue quirks = emptyCatalogue();
    quirks.liveCaptions[0] = sj("本の名前");
    const char* texts[] = {"a,b", "say \"hi\"", "  both ends  ", "", "ｶﾀｶﾅ～①", "\"",
                           ",",   "\t",         "備考　"};
    for (int r = 1; r <= 9; ++r) {
        for (const auto& info : fieldTable())
            quirks.setField(info.field, r, sj(texts[(r + index(info.field)) % 9]));
        quirks.setField(Field::Impressions, r, sj("一行目\r\n\r\n\"三\",行目\r\n"));
    }
    quirks.resize(9);
    catalogues.push_back(std::move(quirks));

    for (const Catalogue& original : catalogues) {
        for (auto encoding : {CsvEncoding::Utf8Bom, CsvEncoding::Utf8, CsvEncoding::ShiftJis}) {
            const std::string csv = CsvWriter::write(original, encoding);
            if (original.recordCount() == 0) { // nothing but the header
                EXPECT_TRUE(CsvImport::read(csv).error);
                continue;
            }
            Catalogue copy = emptyCatalogue();
            const CsvImportResult result = importBytes(csv, copy);
            EXPECT_TRUE(result.notes.empty())
                << CsvImport::reportLines(result).join('\n').toStdString();
            ASSERT_TRUE(copy.appendRecords(result.records));
            EXPECT_EQ(recordsOf(copy), recordsOf(original)) << static_cast<int>(encoding);
        }
    }
}

TEST(CsvWriter, WritesHeaderQuotingAndEncodings) {
    Catalogue c = emptyCatalogue();
    c.liveCaptions[0] = ""; // an empty caption falls back to the default
    c.list(ChoiceList::Genre1)[0] = sj("分類");
    c.setField(Field::Title, 1, sj("猫"));
    c.setField(Field::Impressions, 1, sj("a\r\n\"b\""));
    c.resize(1);
    const std::string sjisCsv = CsvWriter::write(c, CsvEncoding::ShiftJis);
    const QString text = sjis::decode(sjisCsv);
    EXPECT_TRUE(text.startsWith(QStringLiteral("書　名,副　題,よ　み,分類,ジャンル２,")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("猫,,,,,,,,,,,,,\"a\r\n\"\"b\"\"\",,,,,\r\n")));
    const std::string bom = CsvWriter::write(c, CsvEncoding::Utf8Bom);
    EXPECT_EQ(bom, std::string(csv_encoding::kBom) + text.toStdString());
    EXPECT_EQ(CsvWriter::write(c, CsvEncoding::Utf8), text.toStdString());
}

TEST(CsvImport, ReadsFilesOfOtherPrograms) {
    const struct {
        const char* file;
        CsvEncoding encoding;
        Field field;
        int record;
        const char* expected;
    } cases[] = {
        {"spreadsheet_bom_crlf.csv", CsvEncoding::Utf8Bom, Field::Impressions, 1, "一行目\n二行目"},
        {"spreadsheet_bom_crlf.csv", CsvEncoding::Utf8Bom, Field::Title, 2,
         "カンマ, と \"引用符\""},
        {"shift_jis.csv", CsvEncoding::ShiftJis, Field::Author, 1, "作者～一"},
        {"shift_jis.csv", CsvEncoding::ShiftJis, Field::Title, 1, "ｶﾀｶﾅの本"},
        {"lf_only.csv", CsvEncoding::Utf8, Field::Impressions, 1, "line one\nline two"},
        {"reordered_extra.csv", CsvEncoding::Utf8, Field::Reading, 1, "こころ"},
        {"reordered_extra.csv", CsvEncoding::Utf8, Field::Note2, 1, "978-4-00-310101-8"},
        {"reordered_extra.csv", CsvEncoding::Utf8, Field::Note1, 1, ""},
    };
    Catalogue into; // one record already, as after a fresh start
    for (const auto& c : cases) {
        const CsvRead read = CsvImport::readFile(csvFixture(c.file));
        ASSERT_FALSE(read.error) << c.file;
        EXPECT_EQ(read.document.encoding, c.encoding) << c.file;
        const auto result =
            CsvImport::prepare(read.document, HeaderMapping::guess(read.document.header, into),
                               UnencodablePolicy::Replace, into);
        EXPECT_TRUE(result.notes.empty()) << c.file;
        ASSERT_GE(result.records.size(), static_cast<size_t>(c.record)) << c.file;
        EXPECT_EQ(sjis::decode(fieldOf(result.records[static_cast<size_t>(c.record - 1)], c.field)),
                  QString::fromUtf8(c.expected))
            << c.file << " " << c.record;
    }
}

TEST(CsvImport, BadInputGivesAMessageAndNeverACrash) {
    const struct {
        const char* file;
        int line;
        const char* message;
    } cases[] = {
        {"empty.csv", 0, "ファイルが空です"},
        {"header_only.csv", 1, "見出しの行しかありません"},
        {"unclosed_quote.csv", 2, "2 行目で始まる引用符（\"）が閉じられていません"},
        {"nul_byte.csv", 3, "3 行目に NUL 文字があります"},
        {"binary.bin", 0, "文字コードを判別できません"},
        {"no_such_file.csv", 0, "ファイルが見つかりません"},
    };
    for (const auto& c : cases) {
        const CsvRead read = CsvImport::readFile(csvFixture(c.file));
        ASSERT_TRUE(read.error) << c.file;
        EXPECT_EQ(read.error->line, c.line) << c.file;
        EXPECT_TRUE(read.error->message.startsWith(QString::fromUtf8(c.message)))
            << c.file << ": " << read.error->message.toStdString();
    }
    EXPECT_TRUE(CsvImport::read(std::string(2000, ',') + "\nx\n")
                    .error->message.startsWith(QStringLiteral("列が多すぎます（2001 列）")));
    // A Shift-JIS file read as UTF-8.
    EXPECT_TRUE(
        CsvImport::read(FileIo::readAll(csvFixture("shift_jis.csv")), CsvEncoding::Utf8).error);
    EXPECT_TRUE(CsvImport::read(std::string(50 << 20, 'a'))
                    .error->message.startsWith(QStringLiteral("ファイルが大きすぎます（50 MB）")));

    // A short row is padded, a long one skipped, both reported; a trailing
    // empty cell is no extra.
    const CsvRead ragged = CsvImport::readFile(csvFixture("ragged.csv"));
    ASSERT_FALSE(ragged.error);
    const auto result = CsvImport::prepare(
        ragged.document, HeaderMapping::guess(ragged.document.header, Catalogue()),
        UnencodablePolicy::Replace, emptyCatalogue());
    ASSERT_EQ(result.records.size(), 3u);
    EXPECT_EQ(fieldOf(result.records[2], Field::Title), sj("十"));
    EXPECT_EQ(result.skipped, 1);
    EXPECT_EQ(CsvImport::reportLines(result),
              (QStringList{QStringLiteral("2 行目（記録 1）: 列が 2 つしかないので、後ろの 1 列は"
                                          "空欄にしました"),
                           QStringLiteral("3 行目: 列の数（4）が見出しの列の数（3）より多いので、"
                                          "この行は取り込みません")}));
}

TEST(CsvImport, TextTheCatalogueCannotHoldIsReplacedOrItsRowSkipped) {
    const std::string bytes = FileIo::readAll(csvFixture("unencodable.csv"));
    const Catalogue into = emptyCatalogue();

    const auto replaced = importBytes(bytes, into, UnencodablePolicy::Replace);
    ASSERT_EQ(replaced.records.size(), 3u);
    // Look-alikes become their code page 932 forms without a note.
    EXPECT_EQ(fieldOf(replaced.records[0], Field::Title), sj("波～ダッシュ－マイナス"));
    EXPECT_EQ(fieldOf(replaced.records[1], Field::Title), sj("絵文字〓の本"));
    EXPECT_EQ(fieldOf(replaced.records[1], Field::Author), sj("〓〓〓"));
    EXPECT_EQ(replaced.replaced, 3);
    ASSERT_EQ(replaced.notes.size(), 3u);
    // The note's line, record, caption and characters are all in the text the user reads.
    EXPECT_EQ(replaced.notes[1].kind, CsvImportNote::Kind::Replaced);
    EXPECT_EQ(
        replaced.notes[1].text,
        QStringLiteral("3 行目（記録 2）「著作者・編者」: 「김철수」を「〓」に置き換えました"));

    const auto skipped = importBytes(bytes, into, UnencodablePolicy::Skip);
    ASSERT_EQ(skipped.records.size(), 2u);
    EXPECT_EQ(fieldOf(skipped.records[1], Field::Title), sj("最後の本"));
    EXPECT_EQ(skipped.skipped, 1);
    ASSERT_EQ(skipped.notes.size(), 3u); // each refused field of the row
    EXPECT_EQ(skipped.notes[0].kind, CsvImportNote::Kind::SkippedText);

    // A line break in a one-line field becomes a space, with a note.
    const auto breaks = importBytes("書名,感想\n\"一\r\n二\n三\",\"a\rb\"\n", into);
    EXPECT_EQ(fieldOf(breaks.records[0], Field::Title), sj("一 二 三"));
    EXPECT_EQ(fieldOf(breaks.records[0], Field::Impressions), "a\rb");
    ASSERT_EQ(breaks.notes.size(), 1u);
    EXPECT_EQ(breaks.notes[0].kind, CsvImportNote::Kind::LineBreaks);
}

TEST(CsvImport, RefusesRowsPastTheLimitAndAppendsAllOrNothing) {
    Catalogue c = emptyCatalogue();
    c.resize(kMaxRecords - 1);
    const auto result = importBytes("書名\r\n一\r\n二\r\n三\r\n", c);
    ASSERT_EQ(result.records.size(), 1u);
    EXPECT_EQ(result.firstRecord, kMaxRecords);
    EXPECT_EQ(result.overLimit, 2);
    ASSERT_EQ(result.notes.size(), 1u);
    EXPECT_EQ(
        result.notes[0].text,
        QStringLiteral("記録できるのは２０００冊までです。3 行目から後の 2 行は取り込みません"));

    // Rows far past the limit are counted without being kept.
    std::string many = "書名\n";
    for (int i = 0; i < 25000; ++i)
        many += "x\n";
    const CsvRead manyRead = CsvImport::read(many);
    EXPECT_EQ(manyRead.document.rows.size(), CsvImport::kMaxRows);
    const auto manyResult = importBytes(many, emptyCatalogue());
    EXPECT_EQ(manyResult.records.size(), static_cast<size_t>(kMaxRecords));
    EXPECT_EQ(manyResult.overLimit, 25000 - kMaxRecords);
    EXPECT_EQ(manyResult.notes.back().line, kMaxRecords + 2);

    const std::vector<Record> two(2);
    EXPECT_FALSE(c.appendRecords(two));
    EXPECT_EQ(c.recordCount(), kMaxRecords - 1);
    EXPECT_TRUE(c.appendRecords(result.records));
    EXPECT_EQ(c.recordCount(), kMaxRecords);
    EXPECT_EQ(c.field(Field::Title, kMaxRecords), sj("一"));
}

TEST(CsvCommandLine, ExportsAndImportsWithoutAWindow) {
    QTemporaryDir dir;
    const QString srb = dir.filePath("log.srb");
    const QString csv = dir.filePath("log.csv");
    const QString sjisCsv = dir.filePath("log-sjis.csv");
    QString err;

    // A new catalogue from CSV, with the default captions and lists.
    ASSERT_EQ(run({"--import-csv", csvFixture("unencodable.csv"), srb}, &err), 0);
    EXPECT_TRUE(
        err.contains(QStringLiteral("3 行目（記録 2）「書　名」: 「😀」を「〓」に置き換えました")))
        << err.toStdString();
    Catalogue c;
    CatalogueFile::read(srb, c);
    EXPECT_EQ(c.recordCount(), 3);
    EXPECT_EQ(c.liveCaptions, Catalogue::defaultCaptions());
    EXPECT_EQ(c.lists, Catalogue::defaultLists());

    // Exported in two encodings, and appended to the existing catalogue.
    EXPECT_EQ(run({"--export-csv", srb, csv}), 0);
    EXPECT_EQ(run({"--export-csv", srb, sjisCsv, "--encoding", "shift-jis"}), 0);
    EXPECT_TRUE(FileIo::readAll(csv).starts_with(csv_encoding::kBom));
    EXPECT_EQ(sjis::decode(FileIo::readAll(sjisCsv)).toStdString(),
              std::string(csv_encoding::withoutBom(FileIo::readAll(csv))));
    // The same books again are left out, and the catalogue is kept as its backup.
    const std::string first = FileIo::readAll(srb);
    ASSERT_EQ(run({"--import-csv", sjisCsv, srb}, &err), 0);
    EXPECT_EQ(err.toStdString(),
              (sjisCsv +
               ": 3 行は読書録にすでにある本と同じようなので加えません（加えるには "
               "--allow-duplicates）\n" +
               srb + ": 0 件を加えました\n")
                  .toStdString());
    EXPECT_EQ(FileIo::readAll(srb + "bak"), first);
    ASSERT_EQ(run({"--import-csv", sjisCsv, srb, "--allow-duplicates"}, &err), 0);
    CatalogueFile::read(srb, c);
    EXPECT_EQ(c.recordCount(), 6);
    EXPECT_EQ(c.field(Field::Title, 5), c.field(Field::Title, 2));

    // Failures: status 1, a message, nothing written.
    const std::string before = FileIo::readAll(srb);
    const struct {
        QStringList args;
        const char* message;
    } failures[] = {
        {{"--import-csv", csvFixture("ragged.csv")}, "使い方"},
        {{"--export-csv", srb, csv, "--encoding", "latin-1"}, "文字コード「latin-1」は使えません"},
        {{"--import-csv", csvFixture("binary.bin"), srb}, "文字コードを判別できません"},
        {{"--export-csv", dir.filePath("none.srb"), csv}, "ファイルが見つかりません"},
    };
    for (const auto& f : failures) {
        EXPECT_EQ(run(f.args, &err), 1) << f.message;
        EXPECT_TRUE(err.contains(QString::fromUtf8(f.message))) << err.toStdString();
    }
    // Over the limit: nothing is appended.
    c.resize(kMaxRecords - 1);
    CatalogueFile::write(srb, c);
    const std::string full = FileIo::readAll(srb);
    EXPECT_EQ(run({"--import-csv", csv, srb}, &err), 1);
    EXPECT_TRUE(err.contains(QStringLiteral("記録できるのは２０００冊までです")));
    EXPECT_EQ(FileIo::readAll(srb), full);
}
