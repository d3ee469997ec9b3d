#include "core/format/ProfileFile.h"
#include "core/storage/FileIo.h"
#include "core/storage/FullDiskFileSystem.h"
#include "core/storage/IoErrorText.h"

#include <QDir>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>

using namespace sorabel;

namespace {
const char* const kSample = "; settings\r\n"
                            "[Font]\r\nStyle=3\r\n  pitch  =\t 2 \r\n\r\n"
                            "[kioku]\r\nKi1=1\r\nKI1=0\r\nName=\"  padded  \"\r\n"
                            "Odd=\"half'\r\nSingle='x'\r\nLone=\"\r\nEmpty=\r\n"
                            "[FONT]\r\nStyle=9\r\nOther=1\r\n";
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
    // Only one pair of matching quotes is stripped.
    EXPECT_EQ(ini.readString("Kioku", "Name", ""), "  padded  ");
    EXPECT_EQ(ini.readString("Kioku", "Odd", ""), "\"half'");
    EXPECT_EQ(ini.readString("Kioku", "Single", ""), "x");
    EXPECT_EQ(ini.readString("Kioku", "Lone", ""), "\"");
    const ProfileFile nested = ProfileFile::fromText("[A]\nk=\"\"x\"\"\n");
    EXPECT_EQ(nested.readString("A", "k", ""), "\"x\"");

    // LF-only, after a byte order mark that stays where it is when rewritten.
    ProfileFile bom = ProfileFile::fromText("\xEF\xBB\xBF[Window]\nTop=5\nLeft=6");
    EXPECT_EQ(bom.readInt("Window", "Left", -1), 6);
    bom.writeInt("window", "Top", 7);
    EXPECT_EQ(bom.text(), "\xEF\xBB\xBF[Window]\r\nTop=7\r\nLeft=6\r\n");
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
    const auto readInt = [](const std::string& value) {
        return ProfileFile::fromText("[N]\r\nk=" + value).readInt("N", "k", 5);
    };
    const std::pair<const char*, int> numbers[] = {{"42", 42},   {"-17", -17},  {"+8", 8},
                                                   {"0x1F", 31}, {"0XfF", 255}, {"0xFFFFFFFF", -1},
                                                   {"\"7\"", 7}};
    for (const auto& [text, expected] : numbers)
        EXPECT_EQ(readInt(text), expected) << text;
    EXPECT_EQ(readInt("-2147483648"), INT32_MIN);
    for (const char* text :
         {"0x", "0x1G", "0x100000000", "12abc", "abc", "", "2147483648", "1 2", "-"})
        EXPECT_EQ(readInt(text), 5) << text;

    const ProfileFile b = ProfileFile::fromText("[B]\r\nzero=0\r\ntwo=2\r\nbad=yes\r\n");
    EXPECT_FALSE(b.readBool("B", "zero", true));
    EXPECT_TRUE(b.readBool("B", "two", false));
    EXPECT_TRUE(b.readBool("B", "bad", true));
    EXPECT_FALSE(b.readBool("B", "bad", false));
    EXPECT_TRUE(b.readBool("B", "missing", true));
}

TEST(ProfileFile, WritingReplacesInPlaceAppendsAndKeepsEverythingElse) {
    ProfileFile ini =
        ProfileFile::fromText("; top comment\n"
                              "[Font]\n  style = 1 \n; about pitch\nPitch=0\nstyle=7\n\n"
                              "[Window]\nTop=1\n");
    ini.writeInt("FONT", "Style", 12);
    ini.writeBool("window", "top", true);
    EXPECT_EQ(ini.text(), "; top comment\r\n"
                          "[Font]\r\nstyle=12\r\n; about pitch\r\nPitch=0\r\nstyle=7\r\n\r\n"
                          "[Window]\r\nTop=1\r\n");

    // New keys end their section, new sections end the file.
    ini = ProfileFile::fromText("[A]\r\nx=1\r\n; belongs to B\r\n\r\n"
                                "[B]\r\n"
                                "[C]\r\ny=2");
    ini.writeString("a", "z", "new");
    ini.writeString("B", "k", "v");
    ini.writeString("D", "Key", "d");
    ini.writeString("c", "w", "3");
    EXPECT_EQ(ini.text(), "[A]\r\nx=1\r\nz=new\r\n; belongs to B\r\n\r\n"
                          "[B]\r\nk=v\r\n"
                          "[C]\r\ny=2\r\nw=3\r\n\r\n"
                          "[D]\r\nKey=d\r\n");

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

TEST(ProfileFile, FlushWritesAtomicallyAndNeverOverAnUnreadFile) {
    QTemporaryDir dir;
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
    {
        FullDiskFileSystem full(0, ENOSPC);
        EXPECT_EQ(ioErrorText([&] { relative.flush(); }), path.toStdString() + " に書き込めません");
    }
    QDir::setCurrent(cwd);
    EXPECT_EQ(FileIo::readAll(path), "[A]\r\nk=4\r\n"); // untouched by the failed write

    // A file that is there but cannot be read is never overwritten.
    const QString folder = dir.filePath("folder.ini");
    ASSERT_TRUE(QDir().mkdir(folder));
    ProfileFile unread(folder);
    EXPECT_EQ(unread.readInt("A", "k", 3), 3);
    unread.writeInt("A", "k", 1);
    EXPECT_THROW(unread.flush(), IoError);
    EXPECT_TRUE(QFileInfo(folder).isDir());
}
