#pragma once

#include <QString>
#include <string>
#include <string_view>
#include <vector>

namespace sorabel::sjis {

// Shift-JIS (code page 932, ICU's "windows-31j") to Unicode and back. The
// catalogue and its file hold the bytes; only the windows convert.

// Bytes that are not valid code page 932 decode to U+FFFD.
QString decode(std::string_view bytes);

struct Encoded {
    std::string bytes;   // the text in code page 932; unencodable characters as '?'
    QString unencodable; // each character that code page 932 cannot hold, once, in order
    bool ok() const { return unencodable.isEmpty(); }
};

Encoded tryEncode(const QString& text);

// Encodes text that is known to be encodable (program texts, tested input).
// Throws std::invalid_argument naming the first character that is not.
std::string encode(const QString& text);

// UTF-8 literal (the program's own texts) straight to code page 932 bytes.
std::string fromUtf8(std::string_view utf8);

// The characters of text that code page 932 cannot hold (empty when all can).
QString unencodableCharacters(const QString& text);

// A text together with the bytes each of its UTF-16 units stands for: unit i
// came from bytes[bounds[i], bounds[i + 1]). A unit may stand for several
// bytes (an undecodable pair, a CR LF shown as one space) or for none (the CR
// a lone LF gains when shown with CR LF breaks).
struct SpannedText {
    QString text;
    std::string bytes;
    std::vector<size_t> bounds{0}; // text.size() + 1 entries
};

// Decodes bytes as decode() does, keeping the span of each unit.
SpannedText decodeSpanned(std::string_view bytes);
// Encodes text as tryEncode() does, keeping the span of each unit.
SpannedText encodeSpanned(const QString& text);

// How a field shows its line breaks: a one-line field shows each break (CR LF,
// CR or LF) as one space; the impressions give every break as CR LF.
enum class LineBreaks { AsSpace, AsCrLf };
SpannedText withLineBreaks(const SpannedText& stored, LineBreaks style);

// The text after an edit turned old.text into newText, with bytes that change
// only where the text changed: the start and end the two texts share keep
// their bytes from old, and only the characters between are encoded anew.
// Undoing an edit by hand therefore gives back the very same bytes.
SpannedText applyEdit(const SpannedText& old, const QString& newText);

} // namespace sorabel::sjis
