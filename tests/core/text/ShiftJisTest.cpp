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

TEST(ShiftJis, AnEditKeepsTheBytesOfEveryCharacterItLeftAlone) {
    using sjis::LineBreaks;
    struct Case {
        const char* what;
        std::string stored;
        LineBreaks breaks;
        std::vector<const char*> edits; // the texts shown one after the other
        std::string expected;
    };
    // ≒ stored as NEC row 13 (87 90) encodes afresh as 81 E0; 纊 stored as the
    // IBM extension ED 40 as FA 5C; 85 40 decodes to U+FFFD and a stray lead
    // byte at the end to U+001A.
    const Case cases[] = {
        {"typing after an NEC character",
         "\x87\x90",
         LineBreaks::AsSpace,
         {"≒a", "≒ab"},
         "\x87\x90"
         "ab"},
        {"typing and deleting again", "\xED\x40", LineBreaks::AsSpace, {"纊x", "纊"}, "\xED\x40"},
        {"replacing the middle",
         "\x87\x90\x87\x90\x87\x90",
         LineBreaks::AsSpace,
         {"≒＝≒"},
         "\x87\x90\x81\x81\x87\x90"},
        {"undecodable bytes before the edit",
         "x\x85\x40y",
         LineBreaks::AsSpace,
         {"x\xEF\xBF\xBDz"},
         "x\x85\x40z"},
        {"a stray lead byte at the end", "ab\x81", LineBreaks::AsSpace, {"Zab\x1A"}, "Zab\x81"},
        {"a line break shown as a space",
         "a\r\nb\rc",
         LineBreaks::AsSpace,
         {"a b cd"},
         "a\r\nb\rcd"},
        {"a lone LF in the impressions", "a\nb", LineBreaks::AsCrLf, {"a\r\n", "Xa\r\n"}, "Xa\n"},
        {"a new line typed in the impressions",
         "a\rb",
         LineBreaks::AsCrLf,
         {"a\r\nb\r\n≒"},
         "a\rb\r\n\x81\xE0"},
        {"a deleted repeated character",
         "\x87\x90\x87\x90",
         LineBreaks::AsSpace,
         {"≒"},
         "\x87\x90"},
        {"everything typed afresh", "\xED\x40", LineBreaks::AsSpace, {"", "纊"}, "\xFA\x5C"},
    };
    for (const Case& c : cases) {
        sjis::SpannedText shown = sjis::withLineBreaks(sjis::decodeSpanned(c.stored), c.breaks);
        for (const char* text : c.edits)
            shown = sjis::applyEdit(shown, QString::fromUtf8(text));
        EXPECT_EQ(shown.bytes, c.expected) << c.what;
    }
}
