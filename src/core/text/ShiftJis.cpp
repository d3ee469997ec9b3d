#include "core/text/ShiftJis.h"

#include <algorithm>
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

SpannedText decodeSpanned(std::string_view bytes) {
    SpannedText result;
    result.bytes.assign(bytes);
    if (bytes.empty())
        return result;
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

SpannedText encodeSpanned(const QString& text) {
    SpannedText result;
    result.text = text;
    result.bounds.reserve(static_cast<size_t>(text.size()) + 1);
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype step =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()
                ? 2
                : 1;
        if (text.at(i).unicode() < 0x80)
            result.bytes.push_back(static_cast<char>(text.at(i).unicode()));
        else
            result.bytes += tryEncode(text.mid(i, step)).bytes;
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
