#include "core/format/CatalogueFile.h"
#include "core/storage/FileIo.h"
#include "core/text/ShiftJis.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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

void writePlain(const QString& path, std::string_view bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes.data(), static_cast<qint64>(bytes.size())),
              static_cast<qint64>(bytes.size()));
}

// Everything a catalogue holds, all 2000 records included, for "unchanged" checks.
std::string dump(const Catalogue& c) {
    std::string out = CatalogueFile::serialise(CatalogueContent{c.header(), {}});
    for (const auto& caption : c.storedCaptions)
        out += caption + '\x01';
    out += std::to_string(c.recordCount()) + '\x01';
    for (int r = 1; r <= kMaxRecords; ++r)
        for (const auto& info : fieldTable())
            out += c.field(info.field, r) + '\x02';
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
    c.resize(count);
}

// Restores the write-failure seam however a test ends.
struct FailWritesAfter {
    FailWritesAfter(long long bytes, int err) { FileIo::failWritesAfter(bytes, err); }
    ~FailWritesAfter() { FileIo::failWritesAfter(-1, 0); }
};

QStringList entriesOf(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

void expectIoError(const std::function<void()>& f, const char* message) {
    try {
        f();
        ADD_FAILURE() << "no error, expected " << message;
    } catch (const IoError& e) {
        EXPECT_STREQ(e.what(), message);
    }
}
} // namespace

TEST(CatalogueFile, EndMarkersAreTheShiftJisTexts) {
    EXPECT_EQ(kGenre1EndMarker, sj("--《ジャンル１ここまで》--"));
    EXPECT_EQ(kGenre2EndMarker, sj("--《ジャンル２ここまで》--"));
    EXPECT_EQ(kFormatEndMarker, sj("--《判型ここまで》--"));
    EXPECT_EQ(kGenre1EndMarker.size(), 26u);
    EXPECT_EQ(kGenre2EndMarker.size(), 26u);
    EXPECT_EQ(kFormatEndMarker.size(), 20u);
}

TEST(CatalogueFile, ImpressionsKeepLineBreaksDoubleByteTextAndTrailingSpaces) {
    const auto crlf = CatalogueFile::parse(fixtureBytes("kansou_crlf.srb"));
    ASSERT_EQ(crlf.records.size(), 1u);
    EXPECT_EQ(crlf.records[0][index(Field::Title)], sj("吾輩は猫である"));
    EXPECT_EQ(crlf.records[0][index(Field::Impressions)], sj("一行目\r\n二行目\r\n\r\n四行目"));

    const auto trailing = CatalogueFile::parse(fixtureBytes("kansou_trailing_break.srb"));
    ASSERT_EQ(trailing.records.size(), 2u);
    EXPECT_EQ(trailing.records[0][index(Field::Impressions)], sj("最後に改行\r\n"));
    // The empty line after the impressions is not taken as the next record's title.
    EXPECT_EQ(trailing.records[1][index(Field::Title)], sj("次"));

    const auto spaces = CatalogueFile::parse(fixtureBytes("kansou_trailing_spaces.srb"));
    ASSERT_EQ(spaces.records.size(), 1u);
    const auto& r = spaces.records[0];
    EXPECT_EQ(r[index(Field::Impressions)], sj("漢字とかな　　  "));
    EXPECT_EQ(r[index(Field::Title)], sj("草枕  "));
    EXPECT_EQ(r[index(Field::Author)], sj("夏目漱石　"));
    EXPECT_EQ(r[index(Field::Price)], sj("４００円 "));

    // Writing them again gives the same bytes.
    for (const char* name :
         {"kansou_crlf.srb", "kansou_trailing_break.srb", "kansou_trailing_spaces.srb"}) {
        const std::string bytes = fixtureBytes(name);
        EXPECT_EQ(CatalogueFile::serialise(CatalogueFile::parse(bytes)), bytes) << name;
    }
}

TEST(CatalogueFile, ChoiceListQuirks) {
    const auto empty = CatalogueFile::parse(fixtureBytes("list_empty_entry.srb"));
    const std::vector<Bytes> genre1{sj("ジャンル１"), "", sj("小説"), ""};
    EXPECT_EQ(empty.header.lists[0], genre1);
    EXPECT_EQ(empty.header.lists[1], std::vector<Bytes>{sj("ジャンル２")});
    EXPECT_EQ(empty.records.size(), 1u);

    // An entry equal to its own end marker ends the list; the rest is read as
    // the next list, whose marker differs.
    const auto marker = CatalogueFile::parse(fixtureBytes("list_entry_is_marker.srb"));
    EXPECT_EQ(marker.header.lists[0], (std::vector<Bytes>{sj("ジャンル１"), sj("小説")}));
    EXPECT_EQ(marker.header.lists[1],
              (std::vector<Bytes>{sj("随筆"), kGenre1EndMarker, sj("ジャンル２"), sj("ＳＦ")}));
    EXPECT_EQ(marker.header.lists[2], (std::vector<Bytes>{sj("判型"), sj("文庫")}));
    ASSERT_EQ(marker.records.size(), 1u);
    EXPECT_EQ(marker.records[0][index(Field::Title)], "a");
}

TEST(CatalogueFile, HeaderValuesAndLineEnds) {
    const auto colour = CatalogueFile::parse(fixtureBytes("system_colour.srb"));
    EXPECT_EQ(colour.header.captionFont, (FontValues{9, "", -2147483640}));
    EXPECT_EQ(colour.header.contentsFont, (FontValues{-12, "IPAGothic", -2147483643}));
    EXPECT_EQ(CatalogueFile::serialise(colour), fixtureBytes("system_colour.srb"));

    const auto full = CatalogueFile::parse(fixtureBytes("full.srb"));
    EXPECT_EQ(full.header.captionFont.name, sj("ＭＳ ゴシック"));
    EXPECT_EQ(full.header.flags[5], "FALSE");
    EXPECT_EQ(full.header.flags[18], "true");
    EXPECT_EQ(full.header.captions[0], sj("書　名"));
    EXPECT_EQ(full.header.captions[15], sj("備考２"));
    EXPECT_EQ(full.header.spacing, -3);
    ASSERT_EQ(full.records.size(), 3u);
    EXPECT_EQ(full.records[0][index(Field::DateStarted)], "2020/01/02");
    EXPECT_EQ(full.records[0][index(Field::Note2)], sj("備考　"));
    EXPECT_EQ(full.records[0][index(Field::Genre2)], sj("ＳＦ"));

    // LF-only line ends read as well; a lone CR is dropped from a text line but
    // not from the impressions bytes.
    const auto lf = CatalogueFile::parse(fixtureBytes("bare_line_feeds.srb"));
    EXPECT_EQ(lf.header.lists[2].back(), "B5\x94\xc5");
    EXPECT_EQ(lf.header.spacing, 12);
    ASSERT_EQ(lf.records.size(), 1u);
    EXPECT_EQ(lf.records[0][index(Field::Title)], sj("改行"));
    EXPECT_EQ(lf.records[0][index(Field::Impressions)], sj("中身\n"));
}

TEST(CatalogueFile, ReadTakesOverRecordsAndHeader) {
    Catalogue c;
    fillCatalogue(c, 10);

    EXPECT_EQ(CatalogueFile::read(fixture("three_records.srb"), c), 10);
    EXPECT_EQ(c.recordCount(), 3);
    EXPECT_EQ(c.field(Field::Title, 1), sj("一"));
    EXPECT_EQ(c.field(Field::Impressions, 2), sj("感想二"));
    EXPECT_EQ(c.field(Field::Note2, 2), sj("備考"));
    EXPECT_EQ(c.field(Field::Reading, 3), "");
    for (int r = 4; r <= 10; ++r)
        for (const auto& info : fieldTable())
            EXPECT_EQ(c.field(info.field, r), "") << r << " " << info.key;
    // Captions become stored and live captions; lists, flags, fonts, spacing are the file's.
    EXPECT_EQ(c.storedCaptions[10], sj("感　想"));
    EXPECT_EQ(c.liveCaptions, c.storedCaptions);
    EXPECT_EQ(c.list(ChoiceList::Format).back(), "B5\x94\xc5");
    EXPECT_EQ(c.list(ChoiceList::Genre2).size(), 3u);
    EXPECT_TRUE(c.isShown(Field::Reading));
    EXPECT_EQ(c.captionFont, (FontValues{10, sj("ＭＳ ゴシック"), 0}));
    EXPECT_EQ(c.spacing, 12);

    // No records at all.
    EXPECT_EQ(CatalogueFile::read(fixture("zero_records.srb"), c), 3);
    EXPECT_EQ(c.recordCount(), 0);
    for (const auto& info : fieldTable())
        EXPECT_EQ(c.field(info.field, 1), "");
}

TEST(CatalogueFile, LinesMissingAtTheEndReadAsEmpty) {
    const auto tail = CatalogueFile::parse(fixtureBytes("missing_tail.srb"));
    ASSERT_EQ(tail.records.size(), 2u);
    EXPECT_EQ(tail.records[0][index(Field::Impressions)], sj("感想"));
    EXPECT_EQ(tail.records[1][index(Field::Title)], sj("二冊目"));
    EXPECT_EQ(tail.records[1][index(Field::Subtitle)], sj("副題"));
    EXPECT_EQ(tail.records[1][index(Field::Reading)], "");
    EXPECT_EQ(tail.records[1][index(Field::Impressions)], "");

    // Ending right after the third end marker: spacing and record count 0.
    const std::string bytes = fixtureBytes("zero_records.srb");
    const std::string cut = bytes.substr(0, bytes.rfind("--\r\n") + 4);
    const auto header = CatalogueFile::parse(cut);
    EXPECT_EQ(header.header.spacing, 0);
    EXPECT_TRUE(header.records.empty());
    EXPECT_EQ(header.header.lists[2].front(), sj("判型"));
}

TEST(CatalogueFile, WorkedExampleLayout) {
    const std::string bytes = fixtureBytes("worked_example.srb");
    const auto parsed = CatalogueFile::parse(bytes);
    ASSERT_EQ(parsed.records.size(), 1u);
    EXPECT_EQ(parsed.records[0][index(Field::Impressions)], "abcde\r\nfghijk");

    Catalogue c;
    CatalogueFile::apply(parsed, c);
    const std::string written = CatalogueFile::serialise(c);
    EXPECT_EQ(written, bytes);
    std::string expected = "1\r\n";
    for (int i = 0; i < 18; ++i)
        expected += "\r\n";
    expected += "13\r\nabcde\r\nfghijk\r\n";
    ASSERT_GE(written.size(), expected.size());
    EXPECT_EQ(written.substr(written.size() - expected.size()), expected);
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
    EXPECT_EQ(back.field(Field::Impressions, 1), sj("一行目\r\n二行目\r\n"));

    // Writing what was read gives the same file, byte for byte.
    const QString again = dir.filePath("again.srb");
    CatalogueFile::write(again, back);
    EXPECT_EQ(FileIo::readAll(again), FileIo::readAll(path));
    EXPECT_EQ(entriesOf(dir.path()).size(), 2);
}

TEST(CatalogueFile, LineBreaksInSingleLineValuesAreWrittenAsSpaces) {
    Catalogue c;
    c.resize(2);
    c.setField(Field::Price, 1, "1,000\r\n円");
    c.setField(Field::Title, 1, "a\rb\nc\r\n\r\nd");
    c.setField(Field::Impressions, 1, "x\r\ny\n");
    c.setField(Field::Title, 2, "second");
    c.liveCaptions[0] = "cap\r\ntion";
    c.list(ChoiceList::Genre1).push_back("two\nlines");
    c.captionFont.name = "face\r";
    c.flag(Field::Title) = "TRUE\n";

    const auto back = CatalogueFile::parse(CatalogueFile::serialise(c));
    ASSERT_EQ(back.records.size(), 2u);
    EXPECT_EQ(back.records[0][index(Field::Price)], "1,000 円");
    EXPECT_EQ(back.records[0][index(Field::Title)], "a b c  d");
    EXPECT_EQ(back.records[0][index(Field::Impressions)], "x\r\ny\n");
    EXPECT_EQ(back.records[1][index(Field::Title)], "second");
    EXPECT_EQ(back.header.captions[0], "cap tion");
    EXPECT_EQ(back.header.lists[0].back(), "two lines");
    EXPECT_EQ(back.header.captionFont.name, "face ");
    EXPECT_EQ(back.header.flags[0], "TRUE ");
    EXPECT_EQ(back.header.lists[1], c.list(ChoiceList::Genre2));
    EXPECT_EQ(CatalogueFile::singleLine("a\r\nb\rc\nd"), "a b c d");
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
        expectIoError([&] { CatalogueFile::read(fixture(bad.file), c); }, bad.message);
        EXPECT_EQ(dump(c), before);
    }
    expectIoError([&] { CatalogueFile::parse(""); }, io_messages::kDamaged);

    // Too many records handed over directly are refused before anything changes.
    CatalogueContent tooMany;
    tooMany.records.resize(kMaxRecords + 1);
    expectIoError([&] { CatalogueFile::apply(tooMany, c); }, io_messages::kDamaged);
    EXPECT_EQ(dump(c), before);
}

TEST(CatalogueFile, NumberLinesAreStrictSigned32BitDecimals) {
    const std::string good = fixtureBytes("zero_records.srb");
    // The first line is the caption font size.
    const std::string rest = good.substr(good.find("\r\n"));
    for (const char* bad : {"", "+5", " 5", "5 ", "1O", "-", "0x10", "2147483648", "-2147483649",
                            "99999999999999999999"}) {
        SCOPED_TRACE(bad);
        expectIoError([&] { CatalogueFile::parse(bad + rest); }, io_messages::kNotANumber);
    }
    EXPECT_EQ(CatalogueFile::parse("-2147483648" + rest).header.captionFont.size, INT32_MIN);
    EXPECT_EQ(CatalogueFile::parse("2147483647" + rest).header.captionFont.size, INT32_MAX);
    EXPECT_EQ(CatalogueFile::parse("0000000000000000000042" + rest).header.captionFont.size, 42);
    EXPECT_EQ(CatalogueFile::parse("-0" + rest).header.captionFont.size, 0);
    // A CR inside a number line is dropped as in any other line.
    EXPECT_EQ(CatalogueFile::parse("1\r2" + rest).header.captionFont.size, 12);
}

TEST(CatalogueFile, NegativeImpressionsLengthReadsNoBytes) {
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
    QTemporaryDir dir;
    const QString path = dir.filePath("cut.srb");
    const std::string bytes = fixtureBytes("full.srb");
    const size_t lastMarker = bytes.rfind(kFormatEndMarker);
    ASSERT_NE(lastMarker, std::string::npos);
    int reads = 0;
    for (size_t cut = 0; cut <= bytes.size(); ++cut) {
        SCOPED_TRACE(cut);
        writePlain(path, std::string_view(bytes).substr(0, cut));
        Catalogue c;
        fillCatalogue(c, 6);
        const std::string before = dump(c);
        try {
            CatalogueFile::read(path, c);
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
    for (long long after : {0LL, 1LL, 1000LL, static_cast<long long>(onDisk.size()) / 2}) {
        SCOPED_TRACE(after);
        FailWritesAfter seam(after, ENOSPC);
        expectIoError([&] { CatalogueFile::write(path, c); }, io_messages::kDiskFull);
        EXPECT_EQ(FileIo::readAll(path), onDisk);
        EXPECT_EQ(entriesOf(dir.path()), QStringList{"books.srb"});
    }
    // A new file that cannot be written is not left behind half-made.
    {
        FailWritesAfter seam(10, ENOSPC);
        expectIoError([&] { CatalogueFile::write(dir.filePath("new.srb"), c); },
                      io_messages::kDiskFull);
    }
    EXPECT_EQ(entriesOf(dir.path()), QStringList{"books.srb"});

    // A folder that cannot hold the file.
    writePlain(dir.filePath("plain"), "x");
    expectIoError([&] { CatalogueFile::write(dir.filePath("plain/books.srb"), c); },
                  io_messages::kInvalidName);

    CatalogueFile::write(path, c);
    EXPECT_NE(FileIo::readAll(path), onDisk);
}

TEST(CatalogueFile, ReadOnlyFolderRefusesTheWrite) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not apply to root";
    QTemporaryDir dir;
    const QString path = dir.filePath("books.srb");
    Catalogue c;
    CatalogueFile::write(path, c);
    const std::string onDisk = FileIo::readAll(path);
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);
    c.spacing = 99;
    expectIoError([&] { CatalogueFile::write(path, c); }, io_messages::kAccessDenied);
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    EXPECT_EQ(FileIo::readAll(path), onDisk);
}

TEST(CatalogueFile, ApplyAndReadingFromBytesTakeOverAlike) {
    // Two paths into the catalogue: parsed content moved in, and the reader's
    // in-place copy. Both over a longer catalogue.
    for (const char* name : {"full.srb", "three_records.srb", "zero_records.srb",
                             "list_entry_is_marker.srb", "bare_line_feeds.srb"}) {
        SCOPED_TRACE(name);
        const std::string bytes = fixtureBytes(name);
        Catalogue viaApply;
        Catalogue viaRead;
        for (Catalogue* c : {&viaApply, &viaRead})
            fillCatalogue(*c, 12);
        EXPECT_EQ(CatalogueFile::apply(CatalogueFile::parse(bytes), viaApply), 12);
        EXPECT_EQ(CatalogueFile::readBytes(bytes, viaRead), 12);
        EXPECT_EQ(dump(viaApply), dump(viaRead));
        EXPECT_EQ(CatalogueFile::serialise(viaRead),
                  CatalogueFile::serialise(CatalogueFile::parse(bytes)));
    }
}
