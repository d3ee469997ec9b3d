#include "core/format/HandoffFile.h"
#include "core/storage/FileIo.h"
#include "core/storage/IoErrorText.h"
#include "core/text/ShiftJis.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

using namespace sorabel;

namespace {

HandoffValues sample() {
    HandoffValues v;
    v.captionFont = {12, sjis::fromUtf8("ＭＳ Ｐゴシック"), 255};
    v.contentsFont = {-9, "IPAGothic", static_cast<int32_t>(0x80000008)};
    for (size_t i = 0; i < v.flags.size(); ++i)
        v.flags[i] = i % 3 == 0 ? "FALSE" : "TRUE";
    v.spacing = 25;
    return v;
}

std::string lines(std::initializer_list<std::string> ls) {
    std::string out;
    for (const auto& l : ls)
        out += l + "\r\n";
    return out;
}

} // namespace

TEST(HandoffFile, SerialisesTwentySixCrLfLines) {
    const std::string text = HandoffFile::serialise(sample());
    EXPECT_EQ(std::ranges::count(text, '\n'), 26);
    EXPECT_TRUE(text.starts_with("12\r\n" + sjis::fromUtf8("ＭＳ Ｐゴシック") +
                                 "\r\n255\r\n-9\r\nIPAGothic\r\n-2147483640\r\nFALSE\r\nTRUE\r\n"));
    EXPECT_TRUE(text.ends_with("\r\nTRUE\r\nFALSE\r\n25\r\n"));
    EXPECT_EQ(HandoffFile::parse(text), sample());

    // A line break in a font name must not shift the lines after it.
    HandoffValues broken = sample();
    broken.captionFont.name = "Font\r\nName";
    const HandoffValues back = HandoffFile::parse(HandoffFile::serialise(broken));
    broken.captionFont.name = "Font Name"; // one line break, one space
    EXPECT_EQ(back, broken);
}

// Lines are read as in a catalogue file (its test covers the number and line
// rules); here: missing lines, and which lines are numbers.
TEST(HandoffFile, ParsesTruncatedFilesAndChecksNumberLines) {
    HandoffValues expected;
    expected.captionFont = {10, "Arial", 0};
    EXPECT_EQ(HandoffFile::parse("10\nArial\r\n"), expected);
    EXPECT_EQ(HandoffFile::parse(""), HandoffValues{});

    std::string text = HandoffFile::serialise(sample());
    EXPECT_EQ(ioErrorText([&] { HandoffFile::parse("12abc" + text.substr(2)); }),
              io_messages::kNotANumber);
    text.replace(text.rfind("25\r\n"), 2, "wide");
    EXPECT_THROW(HandoffFile::parse(text), IoError);
    EXPECT_EQ(HandoffFile::parse(lines({"1", " 12abc ", "2"})).captionFont.name, " 12abc ");
}

TEST(HandoffFile, TakeReadsOnceAndDeletesOnlyOnSuccess) {
    QTemporaryDir dir;
    const QString path = dir.filePath("itijisettei.qqq");

    EXPECT_FALSE(HandoffFile::take(path).has_value());

    HandoffFile::write(path, sample());
    const auto taken = HandoffFile::take(path);
    ASSERT_TRUE(taken.has_value());
    EXPECT_EQ(*taken, sample());
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(HandoffFile::take(path).has_value());

    FileIo::writeAtomically(path, lines({"12", "Font", "red"}));
    EXPECT_THROW(HandoffFile::take(path), IoError);
    EXPECT_TRUE(QFile::exists(path));

    // The hand-off file replaces an older one.
    HandoffFile::write(path, sample());
    EXPECT_EQ(HandoffFile::take(path), sample());
}

TEST(HandoffFile, ApplySetsFontsFlagsAndSpacingOnly) {
    Catalogue c;
    c.setField(Field::Title, 1, "title");
    const auto captions = c.liveCaptions;
    HandoffFile::apply(sample(), c);
    EXPECT_EQ(c.captionFont, sample().captionFont);
    EXPECT_EQ(c.contentsFont, sample().contentsFont);
    EXPECT_EQ(c.flags, sample().flags);
    EXPECT_EQ(c.spacing, 25);
    EXPECT_EQ(c.field(Field::Title, 1), "title");
    EXPECT_EQ(c.liveCaptions, captions);
}
