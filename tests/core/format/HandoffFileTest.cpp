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

TEST(HandoffFile, ParsesTruncatedAndLfOnlyFiles) {
    HandoffValues expected;
    expected.captionFont = {10, "Arial", 0};
    EXPECT_EQ(HandoffFile::parse("10\nArial\r\n"), expected);

    // Last line without its line end; a stray CR is dropped.
    std::string text = HandoffFile::serialise(sample());
    text.resize(text.size() - 2);
    text.replace(text.find("IPAGothic"), 9, "IPA\rGothic");
    const HandoffValues w = HandoffFile::parse(text);
    EXPECT_EQ(w.contentsFont.name, "IPAGothic");
    EXPECT_EQ(w.spacing, 25);

    EXPECT_EQ(HandoffFile::parse(""), HandoffValues{});
}

TEST(HandoffFile, NumberLinesMustHoldAnIntegerOnly) {
    auto withLine1 = [](const std::string& first) {
        std::string text = HandoffFile::serialise(sample());
        return first + "\r\n" + text.substr(text.find("\r\n") + 2);
    };
    EXPECT_EQ(HandoffFile::parse(withLine1("-14")).captionFont.size, -14);
    EXPECT_EQ(HandoffFile::parse(withLine1("-2147483648")).captionFont.size, INT32_MIN);
    for (const char* bad :
         {"12abc", "abc", "", " 12", "12 ", "+7", "1 2", "2147483648", "0x10", "-"})
        EXPECT_EQ(ioErrorText([&] { HandoffFile::parse(withLine1(bad)); }),
                  "入力値が数値ではありません")
            << bad;
    // The spacing line is a number line too; flags and names are taken whole.
    std::string text = HandoffFile::serialise(sample());
    text.replace(text.rfind("25\r\n"), 2, "wide");
    EXPECT_THROW(HandoffFile::parse(text), IoError);
    EXPECT_EQ(HandoffFile::parse(lines({"1", " 12abc ", "2"})).captionFont.name, " 12abc ");
}

TEST(HandoffFile, TakeReadsOnceAndDeletesOnlyOnSuccess) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
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
    EXPECT_FALSE(c.isShown(Field::Title));
    EXPECT_TRUE(c.isShown(Field::Subtitle));
    EXPECT_EQ(c.spacing, 25);
    EXPECT_EQ(c.field(Field::Title, 1), "title");
    EXPECT_EQ(c.liveCaptions, captions);
}
