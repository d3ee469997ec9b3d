#include "core/text/ShiftJis.h"

#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <unicode/ucnv.h>

using namespace sorabel;

namespace {

// ICU's windows-31j converter called directly: default substitutes when
// decoding, stopping at the first character it cannot encode.
class Icu {
public:
    Icu() {
        UErrorCode status = U_ZERO_ERROR;
        conv_.reset(ucnv_open("windows-31j", &status));
        EXPECT_TRUE(U_SUCCESS(status));
        status = U_ZERO_ERROR;
        ucnv_setFromUCallBack(conv_.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                              &status);
    }

    // The text and, for each unit and one past the end, the byte it starts at.
    sjis::SpannedText decode(const std::string& bytes) {
        ucnv_reset(conv_.get());
        std::vector<UChar> units(bytes.size() + 1);
        std::vector<int32_t> offsets(bytes.size() + 1);
        UChar* target = units.data();
        const char* source = bytes.data();
        UErrorCode status = U_ZERO_ERROR;
        ucnv_toUnicode(conv_.get(), &target, target + units.size(), &source, source + bytes.size(),
                       offsets.data(), true, &status);
        EXPECT_TRUE(U_SUCCESS(status));
        sjis::SpannedText out{
            QString(reinterpret_cast<const QChar*>(units.data()), target - units.data()),
            bytes,
            {}};
        out.bounds.assign(offsets.begin(), offsets.begin() + out.text.size());
        out.bounds.push_back(bytes.size());
        return out;
    }

    std::optional<std::string> encode(const QString& text) {
        ucnv_reset(conv_.get());
        char out[256];
        UErrorCode status = U_ZERO_ERROR;
        const int32_t n =
            ucnv_fromUChars(conv_.get(), out, sizeof out,
                            reinterpret_cast<const UChar*>(text.utf16()), text.size(), &status);
        return U_SUCCESS(status) ? std::optional(std::string(out, n)) : std::nullopt;
    }

private:
    struct Closer {
        void operator()(UConverter* c) const { ucnv_close(c); }
    };
    std::unique_ptr<UConverter, Closer> conv_;
};

void expectDecodedAsIcuDoes(Icu& icu, const std::string& bytes) {
    const sjis::SpannedText expected = icu.decode(bytes);
    const sjis::SpannedText spanned = sjis::decodeSpanned(bytes);
    ASSERT_EQ(sjis::decode(bytes), expected.text)
        << QByteArray::fromStdString(bytes).toHex(' ').toStdString();
    ASSERT_EQ(spanned.text, expected.text)
        << QByteArray::fromStdString(bytes).toHex(' ').toStdString();
    ASSERT_EQ(spanned.bounds, expected.bounds)
        << QByteArray::fromStdString(bytes).toHex(' ').toStdString();
    ASSERT_EQ(spanned.bytes, bytes);
}

} // namespace

TEST(ShiftJis, EverySequenceDecodesAsIcuDecodesIt) {
    Icu icu;
    for (int first = 0; first < 256; ++first)
        for (int second = -1; second < 256; ++second) {
            std::string bytes(1, static_cast<char>(first));
            if (second >= 0)
                bytes += static_cast<char>(second);
            expectDecodedAsIcuDoes(icu, bytes);
        }
    // Illegal and cut-short sequences among valid ones, and a long text.
    for (const char* bytes :
         {"a\x81", "\x85\x40xy\x87\x90", "\x81\x20\x81\x40", "\x81\x7F\xFF\x80z",
          "\xA0\xFD\xFE\xEF\xFC\x81", "\x8F\x91\x96\xBC\xB1\xEB\x40"})
        expectDecodedAsIcuDoes(icu, bytes);
    expectDecodedAsIcuDoes(icu, std::string(3000, '\x88') + "\x9F\x81");
}

TEST(ShiftJis, EveryCharacterEncodesAsIcuEncodesIt) {
    Icu icu;
    for (unsigned c = 0; c < 0x10000; ++c) {
        const QString text(QChar(static_cast<char16_t>(c)));
        const std::optional<std::string> expected = icu.encode(text);
        const sjis::Encoded encoded = sjis::tryEncode(text);
        ASSERT_EQ(encoded.bytes, expected.value_or("?")) << std::hex << c;
        ASSERT_EQ(encoded.unencodable, expected ? QString() : text) << std::hex << c;
        // Characters below 0x80 are stored as they are when edited.
        ASSERT_EQ(sjis::encodeSpanned(text).bytes,
                  c < 0x80 ? std::string(1, static_cast<char>(c)) : expected.value_or("?"))
            << std::hex << c;
    }
    // Texts that encode whole; and one that does not, whose other characters
    // are then encoded one at a time, those below 0x80 as they are.
    for (const char* utf8 : {"\x1A\x1C\x7F≒～①纊ｱ", "a\r\nｶﾞ書名", "a\u200Bb\U000E0100"}) {
        const QString text = QString::fromUtf8(utf8);
        EXPECT_EQ(sjis::tryEncode(text).bytes, icu.encode(text).value_or("(none)")) << utf8;
    }
    const sjis::Encoded mixed = sjis::tryEncode(QString::fromUtf8("\x1A猫😀𠮷한😀\u200B"));
    EXPECT_EQ(mixed.bytes, "\x1A\x94\x4C?????");
    EXPECT_EQ(mixed.unencodable, QString::fromUtf8("😀𠮷한\u200B"));
}

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
