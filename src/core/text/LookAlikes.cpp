#include "core/text/LookAlikes.h"

namespace sorabel {

namespace {
// These are the characters that Unicode's own Shift-JIS tables give for the
// bytes where code page 932 gives the full-width forms.
char16_t lookAlike(char16_t c) {
    switch (c) {
    case 0x301C:
        return 0xFF5E;
    case 0x2212:
        return 0xFF0D;
    case 0x2016:
        return 0x2225;
    case 0x2014:
        return 0x2015;
    case 0x00A2:
        return 0xFFE0;
    case 0x00A3:
        return 0xFFE1;
    case 0x00AC:
        return 0xFFE2;
    case 0x00A5:
        return 0xFFE5;
    default:
        return c;
    }
}
} // namespace

QString toCodePageLookAlikes(QString text) {
    // Only the touched string is detached; text without any look-alike is
    // returned without a copy.
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text.at(i).unicode();
        const char16_t to = lookAlike(c);
        if (to != c)
            text[i] = QChar(to);
    }
    return text;
}

} // namespace sorabel
