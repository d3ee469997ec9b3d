// Writes the Shift-JIS tables the program converts with, as ICU's
// "windows-31j" converter maps every sequence today: the character of every
// single byte and of every double-byte sequence, and the bytes of every BMP
// character. Sequences and characters the converter rejects are left out;
// the program hands those to ICU itself.
//
// Usage: sorabel_generate_sjis_tables OUTPUT.h
#include <unicode/ucnv.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr unsigned none = 0xFFFF;
constexpr unsigned noBytes = 0xFFFE;

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

[[noreturn]] void fail(const std::string& why) {
    std::fprintf(stderr, "generate_sjis_tables: %s\n", why.c_str());
    std::exit(1);
}

Converter open() {
    UErrorCode status = U_ZERO_ERROR;
    Converter conv(ucnv_open("windows-31j", &status));
    if (U_FAILURE(status) || !conv)
        fail("ICU has no windows-31j converter");
    return conv;
}

// The one UTF-16 unit the bytes decode to whole, or none when the converter
// rejects them or gives anything else.
unsigned decodeOne(UConverter* conv, const char* bytes, int length) {
    ucnv_reset(conv);
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setToUCallBack(conv, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    status = U_ZERO_ERROR;
    UChar out[8];
    UChar* target = out;
    const char* source = bytes;
    ucnv_toUnicode(conv, &target, out + 8, &source, bytes + length, nullptr, true, &status);
    if (U_FAILURE(status) || target - out != 1 || source != bytes + length)
        return none;
    if (out[0] == none)
        fail("a sequence decodes to U+FFFF, which the tables use for 'no character'");
    return out[0];
}

// The bytes of one BMP character as one number (a double-byte sequence as
// lead * 256 + trail), none when the converter cannot encode it, or noBytes
// when it leaves it out (ignorable characters it has no bytes for). These are
// the settings the program encodes with: default fallbacks, stop on error.
unsigned encodeOne(UConverter* conv, UChar c) {
    ucnv_reset(conv);
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setFromUCallBack(conv, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    status = U_ZERO_ERROR;
    char out[8];
    const int32_t n = ucnv_fromUChars(conv, out, sizeof out, &c, 1, &status);
    if (U_FAILURE(status))
        return none;
    if (n == 0)
        return noBytes;
    const auto byte = [&](int i) { return static_cast<unsigned char>(out[i]); };
    if (n == 1)
        return byte(0);
    if (n != 2 || byte(0) == 0 || (byte(0) == 0xFF && byte(1) >= 0xFE))
        fail("U+" + std::to_string(c) + " encodes to bytes the tables cannot hold");
    return byte(0) * 256u + byte(1);
}

void writeArray(std::ostream& out, const std::vector<unsigned>& values, int perLine) {
    char text[16];
    for (size_t i = 0; i < values.size(); ++i) {
        std::snprintf(text, sizeof text, "0x%X,", values[i]);
        out << ((i % perLine) ? " " : "\n    ") << text;
    }
    out << "\n";
}

bool isLead(unsigned b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2)
        fail("usage: sorabel_generate_sjis_tables OUTPUT.h");
    const Converter conv = open();

    std::vector<unsigned> single(256);
    for (unsigned b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        single[b] = decodeOne(conv.get(), &byte, 1);
        if (isLead(b) && single[b] != none)
            fail("lead byte " + std::to_string(b) + " decodes on its own");
    }

    // Rows of the double-byte table: row 0 holds nothing, so that a byte that
    // is no lead byte finds nothing there.
    std::map<unsigned, std::vector<unsigned>> pairs; // lead → 256 trails
    unsigned firstTrail = 0xFF, lastTrail = 0;
    for (unsigned lead = 0; lead < 256; ++lead) {
        if (!isLead(lead))
            continue;
        std::vector<unsigned> row(256, none);
        for (unsigned trail = 0; trail < 256; ++trail) {
            const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            row[trail] = decodeOne(conv.get(), bytes, 2);
            if (row[trail] != none) {
                firstTrail = std::min(firstTrail, trail);
                lastTrail = std::max(lastTrail, trail);
            }
        }
        pairs[lead] = row;
    }
    if (firstTrail > lastTrail)
        fail("no double-byte sequence decodes");
    std::vector<unsigned> leadRow(256, 0);
    std::vector<unsigned> doubles(lastTrail - firstTrail + 1, none);
    for (const auto& [lead, row] : pairs) {
        leadRow[lead] = static_cast<unsigned>(doubles.size() / (lastTrail - firstTrail + 1));
        doubles.insert(doubles.end(), row.begin() + firstTrail, row.begin() + lastTrail + 1);
    }

    // Encoding: a block of 256 characters for each high byte that has any;
    // block 0 holds nothing. Surrogates are left to the converter.
    std::vector<unsigned> blockOf(256, 0);
    std::vector<unsigned> blocks(256, none);
    for (unsigned high = 0; high < 256; ++high) {
        std::vector<unsigned> block(256, none);
        bool any = false;
        for (unsigned low = 0; low < 256; ++low) {
            const auto c = static_cast<UChar>(high * 256 + low);
            if (c >= 0xD800 && c <= 0xDFFF)
                continue;
            block[low] = encodeOne(conv.get(), c);
            any = any || block[low] != none;
        }
        if (any) {
            blockOf[high] = static_cast<unsigned>(blocks.size() / 256);
            blocks.insert(blocks.end(), block.begin(), block.end());
        }
    }
    if (blocks.size() / 256 > 256)
        fail("too many encoding blocks");

    std::ostringstream out;
    out << "// Made by sorabel_generate_sjis_tables from ICU " << U_ICU_VERSION
        << "'s windows-31j converter. Do not edit.\n"
           "#pragma once\n\n#include <cstdint>\n\nnamespace sorabel::sjis::tables {\n\n"
           "// No character (decoding) or no bytes (encoding).\n"
           "constexpr char16_t none = 0xFFFF;\n"
           "// A character the converter leaves out of a text it encodes whole.\n"
           "constexpr char16_t noBytes = 0xFFFE;\n\n"
           "// The character of each byte on its own; none for lead bytes.\n"
           "constexpr char16_t singleByte[256] = {";
    writeArray(out, single, 12);
    out << "};\n\n// The row of each lead byte in doubleByte; 0 (a row of nothing) for others.\n"
           "constexpr std::uint8_t leadRow[256] = {";
    writeArray(out, leadRow, 16);
    out << "};\n\nconstexpr unsigned firstTrail = 0x" << std::hex << std::uppercase << firstTrail
        << ", lastTrail = 0x" << lastTrail << std::dec
        << ";\nconstexpr unsigned trailCount = lastTrail - firstTrail + 1;\n\n"
           "// The character of lead, trail at leadRow[lead] * trailCount + trail - firstTrail.\n"
           "constexpr char16_t doubleByte["
        << doubles.size() << "] = {";
    writeArray(out, doubles, 12);
    out << "};\n\n// The block of 256 characters that holds c is blockOf[c >> 8]; 0 holds none.\n"
           "constexpr std::uint8_t blockOf[256] = {";
    writeArray(out, blockOf, 16);
    out << "};\n\n// The bytes of c at blocks[blockOf[c >> 8] * 256 + (c & 0xFF)]: one byte\n"
           "// below 0x100, otherwise lead * 256 + trail (or none, or noBytes).\n"
           "constexpr char16_t blocks["
        << blocks.size() << "] = {";
    writeArray(out, blocks, 12);
    out << "};\n\n} // namespace sorabel::sjis::tables\n";

    std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
    file << out.str();
    if (!file.flush())
        fail(std::string("cannot write ") + argv[1]);
    return 0;
}
