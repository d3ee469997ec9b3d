#include "core/csv/CsvEncoding.h"

#include <algorithm>

namespace sorabel::csv_encoding {

QString displayName(CsvEncoding encoding) {
    switch (encoding) {
    case CsvEncoding::Utf8Bom:
        return QStringLiteral("UTF-8（BOM 付き）");
    case CsvEncoding::Utf8:
        return QStringLiteral("UTF-8（BOM なし）");
    case CsvEncoding::ShiftJis:
        break;
    }
    return QStringLiteral("Shift-JIS");
}

QString optionName(CsvEncoding encoding) {
    switch (encoding) {
    case CsvEncoding::Utf8Bom:
        return QStringLiteral("utf-8-bom");
    case CsvEncoding::Utf8:
        return QStringLiteral("utf-8");
    case CsvEncoding::ShiftJis:
        break;
    }
    return QStringLiteral("shift-jis");
}

std::optional<CsvEncoding> fromOptionName(const QString& name) {
    for (auto e : {CsvEncoding::Utf8Bom, CsvEncoding::Utf8, CsvEncoding::ShiftJis})
        if (name.compare(optionName(e), Qt::CaseInsensitive) == 0)
            return e;
    return std::nullopt;
}

std::string_view withoutBom(std::string_view bytes) {
    return bytes.starts_with(kBom) ? bytes.substr(kBom.size()) : bytes;
}

size_t invalidUtf8At(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    size_t i = 0;
    while (i < n) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        // Lengths and the allowed range of the second byte, which rules out
        // overlong forms, surrogates and code points past U+10FFFF.
        size_t len = 0;
        unsigned char lo = 0x80, hi = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            if (c == 0xE0)
                lo = 0xA0;
            else if (c == 0xED)
                hi = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            if (c == 0xF0)
                lo = 0x90;
            else if (c == 0xF4)
                hi = 0x8F;
        } else {
            return i;
        }
        if (i + len > n || p[i + 1] < lo || p[i + 1] > hi)
            return i;
        for (size_t k = 2; k < len; ++k)
            if ((p[i + k] & 0xC0) != 0x80)
                return i;
        i += len;
    }
    return std::string_view::npos;
}

size_t invalidShiftJisAt(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    size_t i = 0;
    while (i < n) {
        const unsigned char c = p[i];
        if (c < 0x80 || (c >= 0xA1 && c <= 0xDF)) {
            ++i;
            continue;
        }
        const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        if (!lead || i + 1 >= n)
            return i;
        const unsigned char t = p[i + 1];
        if (t < 0x40 || t == 0x7F || t > 0xFC)
            return i;
        i += 2;
    }
    return std::string_view::npos;
}

int lineAt(std::string_view bytes, size_t offset) {
    offset = std::min(offset, bytes.size());
    return 1 + static_cast<int>(std::count(bytes.begin(), bytes.begin() + offset, '\n'));
}

std::optional<CsvEncoding> detect(std::string_view bytes) {
    if (bytes.starts_with(kBom))
        return CsvEncoding::Utf8Bom;
    if (invalidUtf8At(bytes) == std::string_view::npos)
        return CsvEncoding::Utf8;
    if (invalidShiftJisAt(bytes) == std::string_view::npos)
        return CsvEncoding::ShiftJis;
    return std::nullopt;
}

std::optional<CsvError> check(std::string_view bytes, CsvEncoding encoding) {
    const bool sjis = encoding == CsvEncoding::ShiftJis;
    const std::string_view body = sjis ? bytes : withoutBom(bytes);
    const size_t at = sjis ? invalidShiftJisAt(body) : invalidUtf8At(body);
    if (at == std::string_view::npos)
        return std::nullopt;
    const int line = lineAt(body, at);
    return CsvError{line, QStringLiteral("%1 行目に %2 として読めないバイトがあります。"
                                         "文字コードを選び直してください")
                              .arg(line)
                              .arg(sjis ? QStringLiteral("Shift-JIS") : QStringLiteral("UTF-8"))};
}

} // namespace sorabel::csv_encoding
