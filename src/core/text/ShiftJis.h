#pragma once

#include <QString>
#include <string>
#include <string_view>

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

} // namespace sorabel::sjis
