#pragma once

#include "core/catalogue/Catalogue.h"
#include "core/storage/FileIo.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <deque>
#include <limits>
#include <string_view>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sorabel {

// Reads the lines of a catalogue file (or of the hand-off file, which has the
// same form). Past the end every line is empty, which is what a file with its
// last lines missing reads as. Kept in the header: it is the reader's hot path.
class LineReader {
public:
    explicit LineReader(std::string_view bytes) : data_(bytes) {}

    bool atEnd() const { return pos_ >= data_.size(); }

    // A text line: up to the next LF; CRs are not part of any line (the one
    // before the LF ends it, a lone one is dropped). The view points into the
    // file's bytes, or into `repaired` for a line that lost a lone CR.
    std::string_view text(std::deque<Bytes>& repaired) {
        const Line line = nextLine();
        if (!line.loneCr)
            return line.text;
        return repaired.emplace_back(withoutCr(line.text));
    }

    // A number line: optional '-', decimal digits, nothing else; a missing
    // line at the end of the file reads as 0.
    int32_t number() {
        if (atEnd())
            return 0;
        const Line line = nextLine();
        const Bytes repaired = line.loneCr ? withoutCr(line.text) : Bytes();
        const std::string_view digits = line.loneCr ? std::string_view(repaired) : line.text;
        // from_chars takes an optional '-' and digits only: no blanks, no '+'.
        int32_t value = 0;
        const char* last = digits.data() + digits.size();
        auto [end, ec] = std::from_chars(digits.data(), last, value, 10);
        if (digits.empty() || ec != std::errc() || end != last)
            throw IoError(io_messages::kNotANumber);
        return value;
    }

    // Exactly `count` raw bytes; running past the end means a damaged file.
    std::string_view bytes(int32_t count) {
        if (count <= 0)
            return {};
        if (static_cast<size_t>(count) > data_.size() - pos_)
            throw IoError(io_messages::kDamaged);
        const std::string_view out = data_.substr(pos_, static_cast<size_t>(count));
        pos_ += static_cast<size_t>(count);
        return out;
    }

    void skipRestOfLine() { nextLine(); }

private:
    struct Line {
        std::string_view text; // without the LF and the CR right before it
        bool loneCr = false;   // a CR elsewhere in the line
    };

    static Bytes withoutCr(std::string_view text) {
        Bytes out;
        out.reserve(text.size());
        for (char c : text)
            if (c != '\r')
                out.push_back(c);
        return out;
    }

    // The LFs and CRs of the 64 bytes from `base`, one bit a byte. Lines are
    // found from these masks, so that a short line costs a few bit operations
    // rather than a scan of its own.
    void loadBlock(size_t base) {
        const char* p = data_.data() + base;
        const size_t n = std::min<size_t>(64, data_.size() - base);
        blockBase_ = base;
        lfMask_ = crMask_ = 0;
#if defined(__SSE2__)
        if (n == 64) {
            const __m128i lf = _mm_set1_epi8('\n');
            const __m128i cr = _mm_set1_epi8('\r');
            for (int i = 0; i < 4; ++i) {
                const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
                lfMask_ |= static_cast<uint64_t>(
                               static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lf))))
                           << (16 * i);
                crMask_ |= static_cast<uint64_t>(
                               static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, cr))))
                           << (16 * i);
            }
            return;
        }
#endif
        for (size_t i = 0; i < n; ++i) {
            lfMask_ |= static_cast<uint64_t>(p[i] == '\n') << i;
            crMask_ |= static_cast<uint64_t>(p[i] == '\r') << i;
        }
    }

    Line nextLine() {
        const char* const data = data_.data();
        const size_t size = data_.size();
        const size_t begin = pos_;
        if (begin >= size)
            return {std::string_view(data + size, 0), false};
        constexpr size_t npos = std::numeric_limits<size_t>::max();
        size_t base = begin & ~size_t{63};
        if (base != blockBase_)
            loadBlock(base);
        const uint64_t from = ~uint64_t{0} << (begin - base);
        uint64_t lfs = lfMask_ & from;
        const uint64_t crs = crMask_ & from;
        size_t firstCr = crs ? base + static_cast<size_t>(std::countr_zero(crs)) : npos;
        size_t lf = size;
        for (;;) {
            if (lfs) {
                lf = base + static_cast<size_t>(std::countr_zero(lfs));
                break;
            }
            base += 64;
            if (base >= size)
                break;
            loadBlock(base);
            lfs = lfMask_;
            if (firstCr == npos && crMask_)
                firstCr = base + static_cast<size_t>(std::countr_zero(crMask_));
        }
        pos_ = lf < size ? lf + 1 : size;
        size_t end = lf;
        // The usual CR of the line end is not part of the line.
        if (end > begin && data[end - 1] == '\r')
            --end;
        return {std::string_view(data + begin, end - begin), firstCr < end};
    }

    std::string_view data_;
    size_t pos_ = 0;
    size_t blockBase_ = std::numeric_limits<size_t>::max();
    uint64_t lfMask_ = 0;
    uint64_t crMask_ = 0;
};

} // namespace sorabel
