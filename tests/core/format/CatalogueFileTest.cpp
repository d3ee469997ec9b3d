#include "core/format/CatalogueFile.h"
#include "core/storage/FileIo.h"
#include "core/storage/FullDiskFileSystem.h"
#include "core/storage/IoErrorText.h"
#include "core/text/ShiftJis.h"

#include <QDir>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>

using namespace sorabel;

namespace {
Bytes sj(const char* utf8) {
    return sjis::fromUtf8(utf8);
}

QString fixture(const char* name) {
    return QString(SORABEL_TEST_DATA) + "/catalogue/" + QString::fromUtf8(name);
}

std::string fixtureBytes(const char* name) {
    return FileIo::readAll(fixture(name));
}

// Everything a catalogue holds, all 2000 records included, for "unchanged" checks.
std::string dump(const Catalogue& c) {
    std::string out = CatalogueFile::serialise(CatalogueContent{c.header(), {}});
    for (const auto& caption : c.storedCaptions)
        out += caption + '\x01';
    out += std::to_string(c.recordCount()) + '\x01';
    for (int r = 1; r <= kMaxRecords; ++r)
        for (const auto& info : fieldTable())
            out += std::string(c.field(info.field, r)) + '\x02';
    return out;
}

// A catalogue with something in every value, records 1..count filled.
void fillCatalogue(Catalogue& c, int count) {
    c.resize(count);
    c.captionFont = {12, sj("ＭＳ ゴシック"), 0x00FF8040};
    c.contentsFont = {-9, "IPAPGothic", static_cast<int32_t>(0x80000005)};
    c.flag(Field::Reading) = "FALSE";
    c.flag(Field::Note2) = "";
    c.liveCaptions[10] = sj("ひとこと");
    c.list(ChoiceList::Genre2).push_back("");
    c.list(ChoiceList::Format).push_back(sj("文庫"));
    c.spacing = 7;
    for (int r = 1; r <= count; ++r)
        for (const auto& info : fieldTable())
            c.setField(info.field, r,
                       sj("値") + std::to_string(r) + "-" + std::string(info.key) + "  ");
    c.setField(Field::Impressions, 1, sj("一行目\r\n二行目\r\n"));
    c.setField(Field::Impressions, 2, "");
}

QStringList entriesOf(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

} // namespace

// One case per quirk fixture: the values each was made to show.
TEST(CatalogueFile, ReadsEveryQuirkOfTheFormat) {
    const struct {
        const char* file;
        int record;
        Field field;
        const char* expected;
    } cases[] = {
        {"kansou_crlf.srb", 1, Field::Title, "吾輩は猫である"},
        {"kansou_crlf.srb", 1, Field::Impressions, "一行目\r\n二行目\r\n\r\n四行目"},
        // The empty line after the impressions is not the next record's title.
        {"kansou_trailing_break.srb", 1, Field::Impressions, "最後に改行\r\n"},
        {"kansou_trailing_break.srb", 2, Field::Title, "次"},
        {"kansou_trailing_spaces.srb", 1, Field::Impressions, "漢字とかな　　  "},
        {"kansou_trailing_spaces.srb", 1, Field::Title, "草枕  "},
        {"full.srb", 1, Field::Note2, "備考　"},
        // LF-only line ends; a lone CR stays in a text line, as in the impressions.
        {"bare_line_feeds.srb", 1, Field::Title, "改\r行"},
        {"bare_line_feeds.srb", 1, Field::Impressions, "中身\n"},
        // Lines missing at the end read as empty.
        {"missing_tail.srb", 1, Field::Impressions, "感想"},
        {"missing_tail.srb", 2, Field::Subtitle, "副題"},
        {"missing_tail.srb", 2, Field::Impressions, ""},
        {"worked_example.srb", 1, Field::Impressions, "abcde\r\nfghijk"},
        {"list_entry_is_marker.srb", 1, Field::Title, "a"},
    };
    for (const auto& c : cases) {
        const auto parsed = CatalogueFile::parse(fixtureBytes(c.file));
        ASSERT_GE(parsed.records.size(), size_t(c.record)) << c.file;
        EXPECT_EQ(parsed.records[size_t(c.record - 1)][index(c.field)], sj(c.expected))
            << c.file << " " << c.record << " " << fieldInfo(c.field).key;
    }
    // Writing them again gives the same bytes.
    for (const char* name :
         {"kansou_crlf.srb", "kansou_trailing_break.srb", "kansou_trailing_spaces.srb",
          "system_colour.srb", "full.srb", "list_empty_entry.srb", "list_entry_is_marker.srb",
          "worked_example.srb"}) {
        const std::string bytes = fixtureBytes(name);
        EXPECT_EQ(CatalogueFile::serialise(CatalogueFile::parse(bytes)), bytes) << name;
    }
}

TEST(CatalogueFile, HeaderQuirks) {
    const auto colour = CatalogueFile::parse(fixtureBytes("system_colour.srb"));
    EXPECT_EQ(colour.header.captionFont, (FontValues{9, "", -2147483640}));
    EXPECT_EQ(colour.header.contentsFont, (FontValues{-12, "IPAGothic", -2147483643}));

    const auto full = CatalogueFile::parse(fixtureBytes("full.srb"));
    EXPECT_EQ(full.header.flags[18], "true");
    EXPECT_EQ(full.header.captions[15], sj("備考２"));
    EXPECT_EQ(full.header.spacing, -3);

    const auto lf = CatalogueFile::parse(fixtureBytes("bare_line_feeds.srb"));
    EXPECT_EQ(lf.header.lists[2].back(), "B5\x94\xc5");
    EXPECT_EQ(lf.header.spacing, 12);

    const auto empty = CatalogueFile::parse(fixtureBytes("list_empty_entry.srb"));
    EXPECT_EQ(empty.header.lists[0], (std::vector<Bytes>{sj("ジャンル１"), "", sj("小説"), ""}));
    EXPECT_EQ(empty.header.lists[1], std::vector<Bytes>{sj("ジャンル２")});

    // An entry equal to its own end marker ends the list; the rest is read as
    // the next list, whose marker differs.
    const auto marker = CatalogueFile::parse(fixtureBytes("list_entry_is_marker.srb"));
    EXPECT_EQ(marker.header.lists[0], (std::vector<Bytes>{sj("ジャンル１"), sj("小説")}));
    EXPECT_EQ(marker.header.lists[1],
              (std::vector<Bytes>{sj("随筆"), kGenre1EndMarker, sj("ジャンル２"), sj("ＳＦ")}));
    EXPECT_EQ(marker.header.lists[2], (std::vector<Bytes>{sj("判型"), sj("文庫")}));

    // Ending right after the third end marker: spacing and record count 0.
    const std::string bytes = fixtureBytes("zero_records.srb");
    const auto cut = CatalogueFile::parse(bytes.substr(0, bytes.rfind("--\r\n") + 4));
    EXPECT_EQ(cut.header.spacing, 0);
    EXPECT_TRUE(cut.records.empty());
    EXPECT_EQ(cut.header.lists[2].front(), sj("判型"));
}

TEST(CatalogueFile, ReadReplacesEveryRecord) {
    Catalogue c;
    fillCatalogue(c, 10);

    EXPECT_EQ(CatalogueFile::read(fixture("three_records.srb"), c), 10);
    EXPECT_EQ(c.recordCount(), 3);
    EXPECT_EQ(c.field(Field::Title, 1), sj("一"));
    EXPECT_EQ(c.field(Field::Note2, 2), sj("備考"));
    for (int r = 4; r <= 10; ++r)
        for (const auto& info : fieldTable())
            EXPECT_EQ(c.field(info.field, r), "") << r << " " << info.key;
    // The header's takeover: WriteThenReadRestoresEverything.

    // No records at all.
    EXPECT_EQ(CatalogueFile::read(fixture("zero_records.srb"), c), 3);
    EXPECT_EQ(c.recordCount(), 0);
    for (const auto& info : fieldTable())
        EXPECT_EQ(c.field(info.field, 1), "");
}

TEST(CatalogueFile, WriteThenReadRestoresEverything) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromUtf8("読書録.srb"));
    Catalogue original;
    fillCatalogue(original, 40);
    CatalogueFile::write(path, original);

    Catalogue back;
    back.resize(0);
    CatalogueFile::read(path, back);
    EXPECT_EQ(back.recordCount(), 40);
    for (int r = 1; r <= 41; ++r)
        for (const auto& info : fieldTable())
            ASSERT_EQ(back.field(info.field, r), original.field(info.field, r))
                << r << " " << info.key;
    EXPECT_EQ(back.header(), original.header());
    EXPECT_EQ(back.storedCaptions, original.liveCaptions);

    // Writing what was read gives the same file, byte for byte.
    const QString again = dir.filePath("again.srb");
    CatalogueFile::write(again, back);
    EXPECT_EQ(FileIo::readAll(again), FileIo::readAll(path));
    EXPECT_EQ(entriesOf(dir.path()).size(), 2);
}

TEST(CatalogueFile, LineBreaksInSingleLineValuesAreWrittenAsSpacesAndLoneCrsKept) {
    Catalogue c;
    c.resize(2);
    c.setField(Field::Price, 1, "1,000\r\n円");
    c.setField(Field::Title, 1, "a\rb\nc\r\n\r\nd");
    c.setField(Field::Impressions, 1, "x\r\ny\n");
    c.liveCaptions[0] = "cap\r\ntion";
    c.list(ChoiceList::Genre1).push_back("two\nlines");
    c.captionFont.name = "face\r";
    c.flag(Field::Title) = "TRUE\n";

    const auto back = CatalogueFile::parse(CatalogueFile::serialise(c));
    ASSERT_EQ(back.records.size(), 2u);
    EXPECT_EQ(back.records[0][index(Field::Price)], "1,000 円");
    EXPECT_EQ(back.records[0][index(Field::Title)], "a\rb c  d");
    EXPECT_EQ(back.records[0][index(Field::Impressions)], "x\r\ny\n");
    EXPECT_EQ(back.header.captions[0], "cap tion");
    EXPECT_EQ(back.header.lists[0].back(), "two lines");
    EXPECT_EQ(back.header.captionFont.name, "face\r");
    EXPECT_EQ(back.header.flags[0], "TRUE ");
}

TEST(CatalogueFile, BadFilesLeaveTheCatalogueAsItWas) {
    Catalogue c;
    fillCatalogue(c, 5);
    const std::string before = dump(c);

    const struct {
        const char* file;
        const char* message;
    } cases[] = {
        {"not_a_number.srb", io_messages::kNotANumber},
        {"no_end_marker.srb", io_messages::kDamaged},
        {"count_too_large.srb", io_messages::kDamaged},
        {"count_negative.srb", io_messages::kDamaged},
        {"impressions_past_end.srb", io_messages::kDamaged},
        {"no_such_file.srb", io_messages::kFileNotFound},
    };
    for (const auto& bad : cases) {
        SCOPED_TRACE(bad.file);
        EXPECT_EQ(ioErrorText([&] { CatalogueFile::read(fixture(bad.file), c); }), bad.message);
        EXPECT_EQ(dump(c), before);
    }
    EXPECT_EQ(ioErrorText([&] { CatalogueFile::parse(""); }), io_messages::kDamaged);
}

TEST(CatalogueFile, NumberLinesAreStrictSigned32BitDecimals) {
    const std::string good = fixtureBytes("zero_records.srb");
    // The first line is the caption font size.
    const std::string rest = good.substr(good.find("\r\n"));
    for (const char* bad : {"", "+5", " 5", "5 ", "1O", "-", "0x10", "2147483648", "-2147483649",
                            "99999999999999999999"})
        EXPECT_EQ(ioErrorText([&] { CatalogueFile::parse(bad + rest); }), io_messages::kNotANumber)
            << bad;
    EXPECT_EQ(CatalogueFile::parse("-2147483648" + rest).header.captionFont.size, INT32_MIN);
    EXPECT_EQ(CatalogueFile::parse("2147483647" + rest).header.captionFont.size, INT32_MAX);
    EXPECT_EQ(CatalogueFile::parse("0000000000000000000042" + rest).header.captionFont.size, 42);
    EXPECT_EQ(CatalogueFile::parse("-0" + rest).header.captionFont.size, 0);
    // A CR inside a number line is dropped as in any other line.
    EXPECT_EQ(CatalogueFile::parse("1\r2" + rest).header.captionFont.size, 12);
}

TEST(CatalogueFile, ImpressionsAreCountedBytes) {
    std::string bytes = fixtureBytes("worked_example.srb");
    const size_t at = bytes.find("13\r\nabcde");
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, 2, "-4");
    const auto parsed = CatalogueFile::parse(bytes);
    ASSERT_EQ(parsed.records.size(), 1u);
    // No bytes, then the rest of the current line ("abcde") is dropped.
    EXPECT_EQ(parsed.records[0][index(Field::Impressions)], "");

    // A length running to the very end of the file without the closing line end is fine.
    std::string exact = fixtureBytes("worked_example.srb");
    exact.resize(exact.size() - 2);
    EXPECT_EQ(CatalogueFile::parse(exact).records[0][index(Field::Impressions)], "abcde\r\nfghijk");
}

TEST(CatalogueFile, TruncatedAtEveryByteEitherReadsOrFailsCleanly) {
    const std::string bytes = fixtureBytes("full.srb");
    const size_t lastMarker = bytes.rfind(kFormatEndMarker);
    ASSERT_NE(lastMarker, std::string::npos);
    int reads = 0;
    for (size_t cut = 0; cut <= bytes.size(); ++cut) {
        SCOPED_TRACE(cut);
        Catalogue c;
        fillCatalogue(c, 6);
        const std::string before = dump(c);
        try {
            CatalogueFile::readBytes(std::string_view(bytes).substr(0, cut), c);
            ++reads;
            // Everything up to the last end marker is needed.
            EXPECT_GE(cut, lastMarker + kFormatEndMarker.size());
            EXPECT_LE(c.recordCount(), 3);
        } catch (const IoError& e) {
            EXPECT_EQ(dump(c), before);
            const std::string message = e.what();
            EXPECT_TRUE(message == io_messages::kDamaged || message == io_messages::kNotANumber)
                << message;
        }
    }
    // The whole file and most cuts in the records read.
    EXPECT_GT(reads, 100);
}

TEST(CatalogueFile, FailedWriteLeavesTheFileAlone) {
    QTemporaryDir dir;
    const QString path = dir.filePath("books.srb");
    Catalogue c;
    fillCatalogue(c, 20);
    CatalogueFile::write(path, c);
    const std::string onDisk = FileIo::readAll(path);

    c.setField(Field::Title, 1, "changed");
    {
        // Every step that can fail is the safe writer's test; this is its use here.
        FullDiskFileSystem seam(static_cast<long long>(onDisk.size()) / 2, ENOSPC);
        EXPECT_EQ(ioErrorText([&] { CatalogueFile::write(path, c); }), io_messages::kDiskFull);
    }
    EXPECT_EQ(FileIo::readAll(path), onDisk);
    EXPECT_EQ(entriesOf(dir.path()), QStringList{"books.srb"});
}

TEST(CatalogueFile, RecordsAppendedPastTheCountLineAreCountedNotRead) {
    const std::string three = fixtureBytes("three_records.srb");
    // The same file claiming one record: two blocks follow the count line.
    std::string one = three;
    one[three.find("\r\n12\r\n3\r\n") + 6] = '1';
    std::string emptyBlock;
    for (int i = 0; i < 18; ++i)
        emptyBlock += "\r\n";
    const struct {
        const char* name;
        std::string bytes;
        int past;
        int records;
    } cases[] = {
        {"as written", three, 0, 3},
        {"two blocks after the count", one, 2, 1},
        {"blank lines at the end", three + "\r\n\r\n", 0, 3},
        {"a block cut short", three + "title\r\nsubtitle\r\n", 1, 3},
        {"an empty block", three + emptyBlock + "0\r\n\r\n", 1, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Catalogue catalogue;
        int past = -1;
        CatalogueFile::readBytes(c.bytes, catalogue, nullptr, &past);
        EXPECT_EQ(past, c.past);
        EXPECT_EQ(catalogue.recordCount(), c.records);
    }
}
