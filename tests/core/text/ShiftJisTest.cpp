#include "core/text/ShiftJis.h"

#include <gtest/gtest.h>

using namespace sorabel;

TEST(ShiftJis, RoundTripsJapaneseAndAscii) {
    const QString text = QString::fromUtf8("書　名 ABC ｱｲｳ ～①");
    const std::string bytes = sjis::encode(text);
    EXPECT_EQ(bytes.substr(0, 6), std::string("\x8f\x91\x81\x40\x96\xbc"));
    EXPECT_EQ(sjis::decode(bytes), text);
    EXPECT_EQ(sjis::fromUtf8("／"), std::string("\x81\x5e"));
    // A lead byte without its trail byte still decodes, to a substitute.
    const QString cut = sjis::decode(std::string("a\x81", 2));
    ASSERT_EQ(cut.size(), 2);
    EXPECT_EQ(cut.at(0), QChar('a'));
    EXPECT_NE(cut.at(1), QChar(0x81));
}

TEST(ShiftJis, ReportsUnencodableCharactersInsteadOfQuestionMarks) {
    const QString text = QString::fromUtf8("猫😀と한글😀");
    const auto e = sjis::tryEncode(text);
    EXPECT_FALSE(e.ok());
    EXPECT_EQ(e.unencodable, QString::fromUtf8("😀한글"));
    EXPECT_THROW(sjis::encode(text), std::invalid_argument);
    EXPECT_TRUE(sjis::unencodableCharacters(QString::fromUtf8("普通の文")).isEmpty());
}
