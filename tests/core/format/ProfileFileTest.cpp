#include "core/format/ProfileFile.h"
#include "core/storage/FileIo.h"

#include <QDir>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>

using namespace sorabel;

namespace {
const char* const kSample = "; settings\r\n"
                            "[Font]\r\n"
                            "Style=3\r\n"
                            "  pitch  =\t 2 \r\n"
                            "\r\n"
                            "[kioku]\r\n"
                            "Ki1=1\r\n"
                            "KI1=0\r\n"
                            "Name=\"  padded  \"\r\n"
                            "Odd=\"half'\r\n"
                            "Single='x'\r\n"
                            "Lone=\"\r\n"
                            "Empty=\r\n"
                            "[FONT]\r\n"
                            "Style=9\r\n"
                            "Other=1\r\n";
} // namespace

TEST(ProfileFile, ReadsNamesCaseInsensitivelyTrimsAndTakesTheFirstMatch) {
    const ProfileFile ini = ProfileFile::fromText(kSample);
    EXPECT_EQ(ini.readString("font", "STYLE", "d"), "3");
    EXPECT_EQ(ini.readString(" Font ", "Pitch", "d"), "2");
    // First key of a name wins, and only the first section of a name counts.
    EXPECT_EQ(ini.readString("Kioku", "ki1", "d"), "1");
    EXPECT_EQ(ini.readString("Font", "Other", "d"), "d");
    EXPECT_EQ(ini.readString("Kioku", "Empty", "d"), "");
    EXPECT_EQ(ini.readString("Kioku", "Missing", "dflt"), "dflt");
    EXPECT_EQ(ini.readString("Nowhere", "Style", "dflt"), "dflt");
    // Comment lines are no keys.
    EXPECT_EQ(ini.readString("Font", "; settings", "d"), "d");
}

TEST(ProfileFile, StripsOnlyOnePairOfMatchingQuotes) {
    const ProfileFile ini = ProfileFile::fromText(kSample);
    EXPECT_EQ(ini.readString("Kioku", "Name", ""), "  padded  ");
    EXPECT_EQ(ini.readString("Kioku", "Odd", ""), "\"half'");
    EXPECT_EQ(ini.readString("Kioku", "Single", ""), "x");
    EXPECT_EQ(ini.readString("Kioku", "Lone", ""), "\"");
    const ProfileFile nested = ProfileFile::fromText("[A]\nk=\"\"x\"\"\n");
    EXPECT_EQ(nested.readString("A", "k", ""), "\"x\"");
}

TEST(ProfileFile, ReadsLfOnlyFilesAndSkipsAByteOrderMark) {
    const ProfileFile ini = ProfileFile::fromText("\xEF\xBB\xBF[Window]\nTop=5\nLeft=6");
    EXPECT_EQ(ini.readInt("Window", "Top", -1), 5);
    EXPECT_EQ(ini.readInt("Window", "Left", -1), 6);
    // The mark stays where it is, so a rewritten file means the same.
    ProfileFile copy = ini;
    copy.writeInt("window", "Top", 7);
    EXPECT_EQ(copy.text(), "\xEF\xBB\xBF[Window]\r\nTop=7\r\nLeft=6\r\n");
}

TEST(ProfileFile, CapsValuesAt2047Characters) {
    const std::string longValue(3000, 'a');
    ProfileFile ini = ProfileFile::fromText("[S]\r\nk=" + longValue + "\r\n");
    EXPECT_EQ(ini.readString("S", "k", ""), std::string(2047, 'a'));
    const std::string exact(2047, 'b');
    ini.writeString("S", "k", exact);
    EXPECT_EQ(ini.readString("S", "k", ""), exact);
    // The default is held to the same buffer.
    EXPECT_EQ(ini.readString("S", "none", longValue).size(), 2047u);
}

TEST(ProfileFile, IntegersAreDecimalOrHexAndAnythingElseGivesTheDefault) {
    const ProfileFile ini =
        ProfileFile::fromText("[N]\r\n"
                              "dec=42\r\nneg=-17\r\nplus=+8\r\n"
                              "hex=0x1F\r\nHEX=0XfF\r\nhexMax=0xFFFFFFFF\r\n"
                              "bareX=0x\r\nhexJunk=0x1G\r\nhexBig=0x100000000\r\n"
                              "junk=12abc\r\nword=abc\r\nempty=\r\n"
                              "big=2147483648\r\nmin=-2147483648\r\n"
                              "quoted=\"7\"\r\nspace=1 2\r\nsign=-\r\n");
    EXPECT_EQ(ini.readInt("N", "dec", -1), 42);
    EXPECT_EQ(ini.readInt("N", "neg", -1), -17);
    EXPECT_EQ(ini.readInt("N", "plus", -1), 8);
    EXPECT_EQ(ini.readInt("N", "hex", -1), 31);
    EXPECT_EQ(ini.readInt("N", "HEX", -1), 31); // first "hex" key wins: names ignore case
    EXPECT_EQ(ini.readInt("N", "hexMax", 5), -1);
    EXPECT_EQ(ini.readInt("N", "bareX", 5), 5); // "0x" alone is neither hex nor decimal
    EXPECT_EQ(ini.readInt("N", "hexJunk", 5), 5);
    EXPECT_EQ(ini.readInt("N", "hexBig", 5), 5);
    EXPECT_EQ(ini.readInt("N", "junk", 5), 5);
    EXPECT_EQ(ini.readInt("N", "word", 5), 5);
    EXPECT_EQ(ini.readInt("N", "empty", 5), 5);
    EXPECT_EQ(ini.readInt("N", "big", 5), 5);
    EXPECT_EQ(ini.readInt("N", "min", 5), INT32_MIN);
    EXPECT_EQ(ini.readInt("N", "quoted", 5), 7);
    EXPECT_EQ(ini.readInt("N", "space", 5), 5);
    EXPECT_EQ(ini.readInt("N", "sign", 5), 5);
    EXPECT_EQ(ini.readInt("N", "missing", 5), 5);

    const ProfileFile b = ProfileFile::fromText("[B]\r\nzero=0\r\ntwo=2\r\nbad=yes\r\n");
    EXPECT_FALSE(b.readBool("B", "zero", true));
    EXPECT_TRUE(b.readBool("B", "two", false));
    EXPECT_TRUE(b.readBool("B", "bad", true));
    EXPECT_FALSE(b.readBool("B", "bad", false));
    EXPECT_TRUE(b.readBool("B", "missing", true));
}

TEST(ProfileFile, WritingReplacesInPlaceAndKeepsEverythingElse) {
    ProfileFile ini = ProfileFile::fromText("; top comment\n"
                                            "[Font]\n"
                                            "  style = 1 \n"
                                            "; about pitch\n"
                                            "Pitch=0\n"
                                            "style=7\n"
                                            "\n"
                                            "[Window]\n"
                                            "Top=1\n");
    ini.writeInt("FONT", "Style", 12);
    ini.writeBool("window", "top", true);
    EXPECT_EQ(ini.text(), "; top comment\r\n"
                          "[Font]\r\n"
                          "style=12\r\n"
                          "; about pitch\r\n"
                          "Pitch=0\r\n"
                          "style=7\r\n"
                          "\r\n"
                          "[Window]\r\n"
                          "Top=1\r\n");
}

TEST(ProfileFile, NewKeysEndTheirSectionAndNewSectionsEndTheFile) {
    ProfileFile ini = ProfileFile::fromText("[A]\r\n"
                                            "x=1\r\n"
                                            "; belongs to B\r\n"
                                            "\r\n"
                                            "[B]\r\n"
                                            "[C]\r\n"
                                            "y=2");
    ini.writeString("a", "z", "new");
    ini.writeString("B", "k", "v");
    ini.writeString("D", "Key", "d");
    ini.writeString("c", "w", "3");
    EXPECT_EQ(ini.text(), "[A]\r\n"
                          "x=1\r\n"
                          "z=new\r\n"
                          "; belongs to B\r\n"
                          "\r\n"
                          "[B]\r\n"
                          "k=v\r\n"
                          "[C]\r\n"
                          "y=2\r\n"
                          "w=3\r\n"
                          "\r\n"
                          "[D]\r\n"
                          "Key=d\r\n");

    // An empty file gets no leading blank line; a file already ending in a
    // blank line gets no second one.
    ProfileFile empty = ProfileFile::fromText("");
    empty.writeInt("Rubi", "Rubi", 1);
    EXPECT_EQ(empty.text(), "[Rubi]\r\nRubi=1\r\n");
    ProfileFile blank = ProfileFile::fromText("[A]\nx=1\n\n");
    blank.writeInt("B", "y", 2);
    EXPECT_EQ(blank.text(), "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
}

TEST(ProfileFile, WrittenValuesNeverBreakTheFileAndReadBackUnchanged) {
    ProfileFile ini = ProfileFile::fromText("[S]\r\nafter=1\r\n");
    ini.writeString("S", "multi", "one\r\ntwo\nthree");
    EXPECT_EQ(ini.readString("S", "multi", ""), "one  two three");
    EXPECT_EQ(ini.readString("S", "after", ""), "1");
    EXPECT_EQ(ini.readString("S", "two", "none"), "none");

    for (const std::string v : {" lead", "trail ", "\"quoted\"", "'single'", "\"", "a=b;c", ""}) {
        ini.writeString("S", "v", v);
        EXPECT_EQ(ini.readString("S", "v", "x"), v) << v;
    }
    EXPECT_EQ(ini.readString("S", "after", ""), "1");
}

TEST(ProfileFile, FlushWritesAtomicallyAndReportsTheFullPath) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("x.ini");
    {
        ProfileFile ini(path); // missing: reads as empty
        EXPECT_EQ(ini.readInt("A", "k", 9), 9);
        ini.writeInt("A", "k", 4);
        ini.flush();
    }
    EXPECT_EQ(FileIo::readAll(path), "[A]\r\nk=4\r\n");
    EXPECT_EQ(ProfileFile(path).readInt("A", "k", 9), 4);

    // A relative name is reported with its full path.
    const QString cwd = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    ProfileFile relative(QStringLiteral("x.ini"));
    relative.writeInt("A", "k", 5);
    FileIo::failWritesAfter(0, ENOSPC);
    try {
        relative.flush();
        ADD_FAILURE() << "flush succeeded";
    } catch (const IoError& e) {
        EXPECT_EQ(std::string(e.what()), path.toStdString() + " に書き込めません");
    }
    FileIo::failWritesAfter(-1, 0);
    QDir::setCurrent(cwd);
    EXPECT_EQ(FileIo::readAll(path), "[A]\r\nk=4\r\n"); // untouched by the failed write
}

TEST(ProfileFile, AFileThatCannotBeReadIsNeverOverwritten) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("folder.ini");
    ASSERT_TRUE(QDir().mkdir(path)); // exists, but reading fails
    ProfileFile ini(path);
    EXPECT_EQ(ini.readInt("A", "k", 3), 3);
    ini.writeInt("A", "k", 1);
    EXPECT_THROW(ini.flush(), IoError);
    EXPECT_TRUE(QFileInfo(path).isDir());
}
