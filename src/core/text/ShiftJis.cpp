#include "core/text/ShiftJis.h"

#include <memory>
#include <stdexcept>
#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

namespace sorabel::sjis {

namespace {

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

} // namespace

QString decode(std::string_view bytes) {
    if (bytes.empty())
        return {};
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

Encoded tryEncode(const QString& text) {
    Encoded result;
    if (text.isEmpty())
        return result;
    UConverter* conv = converter();
    std::string& out = result.bytes;

    // Most text encodes whole: one call instead of one a character.
    {
        ucnv_reset(conv);
        UErrorCode status = U_ZERO_ERROR;
        ucnv_setFromUCallBack(conv, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
        status = U_ZERO_ERROR;
        out.resize(static_cast<size_t>(text.size()) * 2);
        const int32_t n = ucnv_fromUChars(conv, out.data(), static_cast<int32_t>(out.size()),
                                          reinterpret_cast<const UChar*>(text.constData()),
                                          static_cast<int32_t>(text.size()), &status);
        // Two bytes a UTF-16 unit always suffice, so only an unencodable
        // character stops the call.
        if (U_SUCCESS(status)) {
            out.resize(static_cast<size_t>(n));
            return result;
        }
        out.clear();
    }
    out.reserve(static_cast<size_t>(text.size()) * 2);

    // Encode one code point at a time so that the characters the code page
    // cannot hold are known exactly; ICU would otherwise substitute silently.
    const auto* src = reinterpret_cast<const UChar*>(text.constData());
    const qsizetype len = text.size();
    char buf[16];
    for (qsizetype i = 0; i < len;) {
        qsizetype step = 1;
        if (QChar::isHighSurrogate(src[i]) && i + 1 < len && QChar::isLowSurrogate(src[i + 1]))
            step = 2;
        // ASCII is the same in code page 932.
        if (step == 1 && src[i] < 0x80) {
            out.push_back(static_cast<char>(src[i]));
            ++i;
            continue;
        }
        ucnv_reset(conv);
        UErrorCode status = U_ZERO_ERROR;
        ucnv_setFromUCallBack(conv, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
        status = U_ZERO_ERROR;
        int32_t n =
            ucnv_fromUChars(conv, buf, sizeof buf, src + i, static_cast<int32_t>(step), &status);
        if (U_FAILURE(status) || n <= 0) {
            QString ch(reinterpret_cast<const QChar*>(src + i), step);
            if (!result.unencodable.contains(ch))
                result.unencodable += ch;
            out.push_back('?');
        } else {
            out.append(buf, static_cast<size_t>(n));
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

} // namespace sorabel::sjis
