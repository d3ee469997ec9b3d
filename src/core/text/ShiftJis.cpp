#include "core/text/ShiftJis.h"

#include "ShiftJisTables.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <stdexcept>
#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

namespace sorabel::sjis {

namespace {

// The tables (made from ICU's converter when building) convert every valid
// sequence and every encodable BMP character. What they leave out, the
// converter itself handles: only then is it opened, which keeps its code and
// data out of memory for ordinary text.

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

Converter openConverter() {
    UErrorCode status = U_ZERO_ERROR;
    Converter conv(ucnv_open("windows-31j", &status));
    if (U_FAILURE(status) || !conv)
        throw std::runtime_error("windows-31j converter is not available");
    return conv;
}

// One converter per thread: ucnv objects carry state and are not thread-safe.
UConverter* converter() {
    thread_local Converter conv = openConverter();
    return conv.get();
}

char16_t pairCharacter(unsigned char lead, unsigned char trail) {
    if (trail < tables::firstTrail || trail > tables::lastTrail)
        return tables::none;
    return tables::doubleByte[tables::leadRow[lead] * tables::trailCount + trail -
                              tables::firstTrail];
}

// The bytes of a BMP character that is no surrogate (one byte below 0x100,
// else lead * 256 + trail), none, or noBytes for a character the converter
// leaves out of a text (ignorable ones it has no bytes for).
char16_t bytesOf(char16_t c) {
    return tables::blocks[tables::blockOf[c >> 8] * 256u + (c & 0xFFu)];
}

char* put(char* out, char16_t bytes) {
    if (bytes == tables::noBytes)
        return out;
    if (bytes >= 0x100)
        *out++ = static_cast<char>(bytes >> 8);
    *out++ = static_cast<char>(bytes & 0xFF);
    return out;
}

// Decodes with the tables alone into out (room for bytes.size() units),
// noting in starts, when given, the byte each unit begins at. Nothing when a
// sequence is not in them (illegal, unassigned or cut short).
std::optional<size_t> decodeWithTables(std::string_view bytes, char16_t* out, size_t* starts) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t size = bytes.size();
    size_t n = 0;
    for (size_t i = 0; i < size; ++n) {
        char16_t c = tables::singleByte[p[i]];
        if (starts)
            starts[n] = i;
        if (c != tables::none) {
            ++i;
        } else if (i + 1 < size && (c = pairCharacter(p[i], p[i + 1])) != tables::none) {
            i += 2;
        } else {
            return std::nullopt;
        }
        out[n] = c;
    }
    return n;
}

QString decodeWithConverter(std::string_view bytes) {
    UConverter* conv = converter();
    ucnv_reset(conv);
    UErrorCode status = U_ZERO_ERROR;
    // Each byte yields at most one UTF-16 unit (a double-byte character one unit).
    QString out(static_cast<qsizetype>(bytes.size()) + 1, Qt::Uninitialized);
    int32_t n =
        ucnv_toUChars(conv, reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()),
                      bytes.data(), static_cast<int32_t>(bytes.size()), &status);
    if (status == U_BUFFER_OVERFLOW_ERROR || status == U_STRING_NOT_TERMINATED_WARNING) {
        out.resize(n + 1);
        status = U_ZERO_ERROR;
        n = ucnv_toUChars(conv, reinterpret_cast<UChar*>(out.data()),
                          static_cast<int32_t>(out.size()), bytes.data(),
                          static_cast<int32_t>(bytes.size()), &status);
    }
    if (U_FAILURE(status))
        throw std::runtime_error("Shift-JIS decoding failed");
    out.resize(n);
    return out;
}

SpannedText decodeSpannedWithConverter(std::string_view bytes) {
    SpannedText result;
    result.bytes.assign(bytes);
    UConverter* conv = converter();
    ucnv_reset(conv);
    // Each byte yields at most one UTF-16 unit, so one pass always suffices.
    const size_t capacity = bytes.size() + 1;
    std::vector<UChar> units(capacity);
    std::vector<int32_t> offsets(capacity);
    UChar* target = units.data();
    const char* source = bytes.data();
    int32_t* offset = offsets.data();
    UErrorCode status = U_ZERO_ERROR;
    ucnv_toUnicode(conv, &target, units.data() + capacity, &source, bytes.data() + bytes.size(),
                   offset, true, &status);
    if (U_FAILURE(status))
        throw std::runtime_error("Shift-JIS decoding failed");
    const auto n = static_cast<size_t>(target - units.data());
    result.text = QString(reinterpret_cast<const QChar*>(units.data()), static_cast<qsizetype>(n));
    result.bounds.resize(n + 1);
    for (size_t i = 0; i < n; ++i) {
        // The converter names the byte each unit began at; a unit it made up
        // (-1) starts where the one before ended.
        if (i > 0)
            result.bounds[i] =
                std::max(result.bounds[i - 1], offsets[i] < 0 ? size_t{0} : size_t(offsets[i]));
    }
    result.bounds[n] = bytes.size();
    return result;
}

// Encodes one code point (a surrogate pair, a lone surrogate) with the
// converter, stopping at what it cannot encode: false then. It may give no
// bytes at all (for ignorable characters it has none for).
bool encodeWithConverter(const char16_t* src, int32_t length, std::string& out) {
    UConverter* conv = converter();
    ucnv_reset(conv);
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setFromUCallBack(conv, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    status = U_ZERO_ERROR;
    char buf[16];
    const int32_t n = ucnv_fromUChars(conv, buf, sizeof buf, src, length, &status);
    if (U_FAILURE(status))
        return false;
    out.append(buf, static_cast<size_t>(n));
    return true;
}

qsizetype codePointLength(const char16_t* src, qsizetype i, qsizetype len) {
    return QChar::isHighSurrogate(src[i]) && i + 1 < len && QChar::isLowSurrogate(src[i + 1]) ? 2
                                                                                              : 1;
}

// The bytes of the whole text when every character is encodable.
std::optional<std::string> encodeWhole(const char16_t* src, qsizetype len) {
    // Two bytes a UTF-16 unit always suffice.
    std::string out(static_cast<size_t>(len) * 2, '\0');
    char* end = out.data();
    std::string piece;
    for (qsizetype i = 0; i < len;) {
        if (!QChar::isSurrogate(src[i])) {
            const char16_t bytes = bytesOf(src[i]);
            if (bytes == tables::none)
                return std::nullopt;
            end = put(end, bytes);
            ++i;
            continue;
        }
        const qsizetype step = codePointLength(src, i, len);
        piece.clear();
        if (!encodeWithConverter(src + i, static_cast<int32_t>(step), piece))
            return std::nullopt;
        const auto at = static_cast<size_t>(end - out.data());
        out.resize(out.size() + piece.size());
        end = std::copy(piece.begin(), piece.end(), out.data() + at);
        i += step;
    }
    out.resize(static_cast<size_t>(end - out.data()));
    return out;
}

} // namespace

QString decode(std::string_view bytes) {
    if (bytes.empty())
        return {};
    QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    const auto n = decodeWithTables(bytes, reinterpret_cast<char16_t*>(out.data()), nullptr);
    if (!n)
        return decodeWithConverter(bytes);
    out.resize(static_cast<qsizetype>(*n));
    return out;
}

Encoded tryEncode(const QString& text) {
    Encoded result;
    if (text.isEmpty())
        return result;
    const auto* src = reinterpret_cast<const char16_t*>(text.constData());
    const qsizetype len = text.size();
    if (auto whole = encodeWhole(src, len)) {
        result.bytes = std::move(*whole);
        return result;
    }

    // One code point at a time, so that the characters the code page cannot
    // hold are known exactly; each of them becomes '?'.
    std::string& out = result.bytes;
    out.reserve(static_cast<size_t>(len) * 2);
    for (qsizetype i = 0; i < len;) {
        const qsizetype step = codePointLength(src, i, len);
        bool encoded = true;
        // Here characters below 0x80 go out as they are and one the converter
        // gives no bytes for (an ignorable one) counts as unencodable, where a
        // text encoded whole has the converter's bytes for U+001A, U+001C and
        // U+007F (it swaps those three) and leaves ignorable ones out. Kept
        // as they were so that stored bytes stay.
        if (src[i] < 0x80) {
            out.push_back(static_cast<char>(src[i]));
        } else if (!QChar::isSurrogate(src[i])) {
            const char16_t bytes = bytesOf(src[i]);
            encoded = bytes != tables::none && bytes != tables::noBytes;
            if (encoded) {
                char buf[2];
                out.append(buf, put(buf, bytes));
            }
        } else {
            const size_t before = out.size();
            encoded = encodeWithConverter(src + i, static_cast<int32_t>(step), out) &&
                      out.size() > before;
        }
        if (!encoded) {
            const QString ch(reinterpret_cast<const QChar*>(src + i), step);
            if (!result.unencodable.contains(ch))
                result.unencodable += ch;
            out.push_back('?');
        }
        i += step;
    }
    return result;
}

std::string encode(const QString& text) {
    Encoded e = tryEncode(text);
    if (!e.ok())
        throw std::invalid_argument("text cannot be held in Shift-JIS: " +
                                    e.unencodable.toStdString());
    return std::move(e.bytes);
}

std::string fromUtf8(std::string_view utf8) {
    return encode(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

QString unencodableCharacters(const QString& text) {
    return tryEncode(text).unencodable;
}

SpannedText decodeSpanned(std::string_view bytes) {
    if (bytes.empty()) {
        SpannedText result;
        result.bytes.assign(bytes);
        return result;
    }
    std::vector<size_t> starts(bytes.size() + 1);
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    const auto n = decodeWithTables(bytes, reinterpret_cast<char16_t*>(text.data()), starts.data());
    if (!n)
        return decodeSpannedWithConverter(bytes);
    text.resize(static_cast<qsizetype>(*n));
    starts.resize(*n + 1);
    starts[*n] = bytes.size();
    return SpannedText{std::move(text), std::string(bytes), std::move(starts)};
}

SpannedText encodeSpanned(const QString& text) {
    SpannedText result;
    result.text = text;
    result.bounds.reserve(static_cast<size_t>(text.size()) + 1);
    result.bytes.reserve(static_cast<size_t>(text.size()) * 2);
    const auto* src = reinterpret_cast<const char16_t*>(text.constData());
    const qsizetype len = text.size();
    for (qsizetype i = 0; i < len;) {
        const qsizetype step = codePointLength(src, i, len);
        if (src[i] < 0x80) {
            result.bytes.push_back(static_cast<char>(src[i]));
        } else if (!QChar::isSurrogate(src[i])) {
            const char16_t bytes = bytesOf(src[i]);
            char buf[2] = {'?'};
            result.bytes.append(buf, bytes == tables::none ? buf + 1 : put(buf, bytes));
        } else {
            result.bytes += tryEncode(text.mid(i, step)).bytes;
        }
        // The first unit of a surrogate pair stands for no bytes, the second for all.
        if (step == 2)
            result.bounds.push_back(result.bounds.back());
        result.bounds.push_back(result.bytes.size());
        i += step;
    }
    return result;
}

SpannedText withLineBreaks(const SpannedText& stored, LineBreaks style) {
    SpannedText result;
    result.bytes = stored.bytes;
    const QString& in = stored.text;
    auto add = [&result](QChar c, size_t end) {
        result.text += c;
        result.bounds.push_back(end);
    };
    for (qsizetype i = 0; i < in.size(); ++i) {
        const size_t begin = stored.bounds[static_cast<size_t>(i)];
        const size_t end = stored.bounds[static_cast<size_t>(i) + 1];
        const QChar c = in.at(i);
        const bool crLf =
            c == QLatin1Char('\r') && i + 1 < in.size() && in.at(i + 1) == QLatin1Char('\n');
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n')) {
            add(c, end);
        } else if (style == LineBreaks::AsSpace) {
            if (crLf)
                ++i;
            add(QLatin1Char(' '), stored.bounds[static_cast<size_t>(i) + 1]);
        } else if (crLf) {
            add(c, end);
        } else if (c == QLatin1Char('\r')) {
            add(c, end);
            add(QLatin1Char('\n'), end);
        } else {
            add(QLatin1Char('\r'), begin);
            add(c, end);
        }
    }
    return result;
}

SpannedText applyEdit(const SpannedText& old, const QString& newText) {
    const QString& was = old.text;
    const qsizetype shorter = std::min(was.size(), newText.size());
    qsizetype prefix = 0;
    while (prefix < shorter && was.at(prefix) == newText.at(prefix))
        ++prefix;
    // Never split a surrogate pair between kept and new.
    if (prefix > 0 && was.at(prefix - 1).isHighSurrogate())
        --prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix &&
           was.at(was.size() - 1 - suffix) == newText.at(newText.size() - 1 - suffix))
        ++suffix;
    if (suffix > 0 && was.at(was.size() - suffix).isLowSurrogate())
        --suffix;

    const SpannedText middle = encodeSpanned(newText.mid(prefix, newText.size() - prefix - suffix));
    const size_t keptStart = old.bounds[static_cast<size_t>(prefix)];
    const size_t suffixFrom = old.bounds[static_cast<size_t>(was.size() - suffix)];

    SpannedText result;
    result.text = newText;
    result.bytes.reserve(keptStart + middle.bytes.size() + old.bytes.size() - suffixFrom);
    result.bytes.append(old.bytes, 0, keptStart);
    result.bytes += middle.bytes;
    result.bytes.append(old.bytes, suffixFrom, std::string::npos);
    result.bounds.assign(old.bounds.begin(), old.bounds.begin() + prefix + 1);
    for (size_t k = 1; k < middle.bounds.size(); ++k)
        result.bounds.push_back(keptStart + middle.bounds[k]);
    const size_t middleEnd = keptStart + middle.bytes.size();
    for (size_t k = static_cast<size_t>(was.size() - suffix) + 1; k < old.bounds.size(); ++k)
        result.bounds.push_back(middleEnd + old.bounds[k] - suffixFrom);
    return result;
}

} // namespace sorabel::sjis
