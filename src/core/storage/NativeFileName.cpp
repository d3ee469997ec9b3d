#include "core/storage/NativeFileName.h"

namespace sorabel {

namespace {

constexpr char16_t kEscapeBase = 0xDC00; // U+DC80..U+DCFF stand for bytes 0x80..0xFF

// Length of the valid UTF-8 sequence starting at `i`, or 0 when there is none.
qsizetype validSequence(const QByteArray& b, qsizetype i) {
    const auto at = [&](qsizetype k) { return static_cast<unsigned char>(b[k]); };
    const unsigned char lead = at(i);
    qsizetype length = 0;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0; // no overlong forms
        if (lead == 0xED)
            high = 0x9F; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F; // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (i + length > b.size() || at(i + 1) < low || at(i + 1) > high)
        return 0;
    for (qsizetype k = 2; k < length; ++k)
        if (at(i + k) < 0x80 || at(i + k) > 0xBF)
            return 0;
    return length;
}

} // namespace

QString NativeFileName::decode(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size());
    qsizetype i = 0;
    while (i < bytes.size()) {
        qsizetype run = i;
        while (run < bytes.size()) {
            const qsizetype n = validSequence(bytes, run);
            if (n == 0)
                break;
            run += n;
        }
        out += QString::fromUtf8(bytes.constData() + i, run - i);
        if (run < bytes.size())
            out +=
                QChar(static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(bytes[run])));
        i = run + 1;
    }
    return out;
}

QByteArray NativeFileName::encode(const QString& name) {
    QByteArray out;
    out.reserve(name.size() * 3);
    qsizetype start = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        const bool escaped = c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF &&
                             (i == 0 || !name[i - 1].isHighSurrogate());
        if (!escaped)
            continue;
        out += QStringView(name).sliced(start, i - start).toUtf8();
        out += static_cast<char>(c - kEscapeBase);
        start = i + 1;
    }
    out += QStringView(name).sliced(start).toUtf8();
    return out;
}

} // namespace sorabel
