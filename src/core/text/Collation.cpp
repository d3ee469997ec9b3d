#include "core/text/Collation.h"

#include "core/text/ShiftJis.h"

#include <stdexcept>
#include <unicode/ucol.h>
#include <unicode/ustring.h>
#include <vector>

namespace sorabel {

Collation::Collation() {
    UErrorCode status = U_ZERO_ERROR;
    collator_ = ucol_open("ja", &status);
    if (U_FAILURE(status) || !collator_)
        throw std::runtime_error("the Japanese collator is not available");
    ucol_setStrength(collator_, UCOL_IDENTICAL);
    // Full normalisation keeps composed and decomposed kana together.
    ucol_setAttribute(collator_, UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
}

Collation::~Collation() {
    ucol_close(collator_);
}

const Collation& Collation::japanese() {
    static const Collation instance;
    return instance;
}

std::string Collation::sortKey(const QString& text) const {
    if (text.isEmpty())
        return {};
    // Full case folding (ß and ss agree too); a folded text may grow.
    std::u16string folded(static_cast<size_t>(text.size()) * 3 + 1, u'\0');
    UErrorCode status = U_ZERO_ERROR;
    const int32_t foldedLength =
        u_strFoldCase(folded.data(), static_cast<int32_t>(folded.size()),
                      reinterpret_cast<const UChar*>(text.constData()),
                      static_cast<int32_t>(text.size()), U_FOLD_CASE_DEFAULT, &status);
    if (U_FAILURE(status))
        throw std::runtime_error("case folding failed");
    const UChar* src = folded.data();
    const int32_t len = foldedLength;
    std::string key(static_cast<size_t>(len) * 4 + 16, '\0');
    int32_t n = ucol_getSortKey(collator_, src, len, reinterpret_cast<uint8_t*>(key.data()),
                                static_cast<int32_t>(key.size()));
    if (n > static_cast<int32_t>(key.size())) {
        key.resize(static_cast<size_t>(n));
        n = ucol_getSortKey(collator_, src, len, reinterpret_cast<uint8_t*>(key.data()),
                            static_cast<int32_t>(key.size()));
    }
    // The key ends in a zero byte that byte order does not need.
    key.resize(n > 0 ? static_cast<size_t>(n - 1) : 0);
    return key;
}

std::string Collation::sortKeyOfBytes(std::string_view sjis) const {
    return sortKey(sjis::decode(sjis));
}

int Collation::compare(const QString& a, const QString& b) const {
    const std::string ka = sortKey(a);
    const std::string kb = sortKey(b);
    return ka < kb ? -1 : (kb < ka ? 1 : 0);
}

} // namespace sorabel
