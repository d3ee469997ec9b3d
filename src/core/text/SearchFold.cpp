#include "core/text/SearchFold.h"

#include <array>
#include <memory>
#include <stdexcept>
#include <unicode/normalizer2.h>
#include <unicode/translit.h>
#include <unicode/unistr.h>
#include <unicode/utf16.h>

namespace sorabel {

namespace {

const icu::Normalizer2& normalizer() {
    static const icu::Normalizer2* instance = [] {
        UErrorCode status = U_ZERO_ERROR;
        const icu::Normalizer2* n = icu::Normalizer2::getNFKCCasefoldInstance(status);
        if (U_FAILURE(status) || !n)
            throw std::runtime_error("the NFKC case-fold normaliser is not available");
        return n;
    }();
    return *instance;
}

constexpr char16_t kHiraganaFirst = 0x3040;
constexpr char16_t kHiraganaLast = 0x309F;

// ICU's Hiragana-Katakana transliterator asked once for each character of the
// hiragana block: running it over whole texts manages only some 6 million
// characters a second, far too slow for a catalogue. Folded text is already
// NFKC, so no hiragana character can combine with a neighbour any more.
const std::array<QString, kHiraganaLast - kHiraganaFirst + 1>& katakanaOfHiragana() {
    static const auto table = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Transliterator> t(
            icu::Transliterator::createInstance("Hiragana-Katakana", UTRANS_FORWARD, status));
        if (U_FAILURE(status) || !t)
            throw std::runtime_error("the Hiragana-Katakana transliterator is not available");
        std::array<QString, kHiraganaLast - kHiraganaFirst + 1> out;
        for (char16_t c = kHiraganaFirst; c <= kHiraganaLast; ++c) {
            icu::UnicodeString s(static_cast<UChar>(c));
            t->transliterate(s);
            out[c - kHiraganaFirst] =
                QString(reinterpret_cast<const QChar*>(s.getBuffer()), s.length());
        }
        return out;
    }();
    return table;
}

// Writes folded characters with their origins, keeping the origin list empty
// for as long as every folded character sits at its source offset.
class Writer {
public:
    Writer(QString& out) : out_(out), base_(out.size()), kana_(katakanaOfHiragana()) {}

    void put(char16_t c, int32_t from) {
        if (c >= kHiraganaFirst && c <= kHiraganaLast) {
            const QString& k = kana_[c - kHiraganaFirst];
            if (k.size() == 1) {
                c = k.front().unicode();
            } else {
                for (QChar kc : k)
                    putOne(kc.unicode(), from);
                return;
            }
        }
        putOne(c, from);
    }

    // Copies source characters [from, to) that are already in normal form.
    void copy(const char16_t* p, int32_t from, int32_t to) {
        if (!identity_ || out_.size() - base_ != from) {
            for (int32_t i = from; i < to; ++i)
                put(p[i], i);
            return;
        }
        // The common case: one block copy, then the kana changed in place.
        out_.append(QStringView(p + from, to - from));
        char16_t* d = reinterpret_cast<char16_t*>(out_.data()) + base_;
        for (int32_t i = from; i < to; ++i) {
            const char16_t c = d[i];
            if (c >= kHiraganaFirst && c <= kHiraganaLast) {
                const QString& k = kana_[c - kHiraganaFirst];
                if (k.size() != 1) {
                    // Never for NFKC text; kept exact all the same.
                    out_.truncate(base_ + i);
                    for (int32_t j = i; j < to; ++j)
                        put(p[j], j);
                    return;
                }
                d[i] = k.front().unicode();
            }
        }
    }

    SearchFold::Origin finish(int32_t sourceLength) {
        if (identity_ && out_.size() - base_ != sourceLength)
            materialise();
        return std::move(origin_);
    }

private:
    void putOne(char16_t c, int32_t from) {
        const qsizetype at = out_.size() - base_;
        if (identity_ && at != from)
            materialise();
        if (!identity_)
            origin_.push_back(from);
        out_.append(QChar(c));
    }

    void materialise() {
        identity_ = false;
        const qsizetype n = out_.size() - base_;
        origin_.reserve(static_cast<size_t>(n) + 16);
        for (qsizetype i = 0; i < n; ++i)
            origin_.push_back(static_cast<int32_t>(i));
    }

    QString& out_;
    qsizetype base_;
    const std::array<QString, kHiraganaLast - kHiraganaFirst + 1>& kana_;
    bool identity_ = true;
    SearchFold::Origin origin_;
};

} // namespace

SearchFold::Origin SearchFold::appendFold(QStringView text, QString& out) {
    const icu::Normalizer2& nfkc = normalizer();
    const auto* p = reinterpret_cast<const UChar*>(text.utf16());
    const auto len = static_cast<int32_t>(text.size());
    Writer w(out);
    const auto codePointAt = [&](int32_t i) {
        UChar32 c;
        U16_GET(p, 0, i, len, c);
        return c;
    };
    int32_t pos = 0;
    while (pos < len) {
        UErrorCode status = U_ZERO_ERROR;
        const int32_t yes =
            pos + nfkc.spanQuickCheckYes(icu::UnicodeString(false, p + pos, len - pos), status);
        // Text that is already in normal form (most of it) is only copied.
        int32_t segmentStart = yes;
        if (yes < len) {
            // The character at `yes` may join with those before it.
            while (segmentStart > pos && !nfkc.hasBoundaryBefore(codePointAt(segmentStart)))
                U16_BACK_1(p, 0, segmentStart);
        }
        w.copy(reinterpret_cast<const char16_t*>(p), pos, segmentStart);
        if (yes >= len)
            break;
        int32_t segmentEnd = yes;
        U16_FWD_1(p, segmentEnd, len);
        while (segmentEnd < len && !nfkc.hasBoundaryBefore(codePointAt(segmentEnd)))
            U16_FWD_1(p, segmentEnd, len);
        const icu::UnicodeString normal = nfkc.normalize(
            icu::UnicodeString(false, p + segmentStart, segmentEnd - segmentStart), status);
        if (U_FAILURE(status))
            throw std::runtime_error("normalisation failed");
        for (int32_t i = 0; i < normal.length(); ++i)
            w.put(normal.charAt(i), segmentStart);
        pos = segmentEnd;
    }
    return w.finish(len);
}

SearchFold::Folded SearchFold::fold(QStringView text) {
    Folded f;
    f.text.reserve(text.size());
    f.origin = appendFold(text, f.text);
    f.sourceLength = text.size();
    return f;
}

QString SearchFold::foldedText(QStringView text) {
    QString out;
    out.reserve(text.size());
    appendFold(text, out);
    return out;
}

qsizetype SearchFold::sourceStart(const Origin& origin, qsizetype from) {
    return origin.empty() ? from : origin[static_cast<size_t>(from)];
}

qsizetype SearchFold::sourceEnd(const Origin& origin, qsizetype sourceLength, qsizetype from,
                                qsizetype length) {
    if (origin.empty())
        return from + length;
    // The source of the last folded character ends where a later folded
    // character's source begins.
    const int32_t last = origin[static_cast<size_t>(from + length - 1)];
    for (size_t j = static_cast<size_t>(from + length); j < origin.size(); ++j)
        if (origin[j] > last)
            return origin[j];
    return sourceLength;
}

} // namespace sorabel
