#pragma once

#include <cstddef>
#include <string_view>

namespace sorabel {

// Finding text in Shift-JIS bytes by whole characters: a match may begin only
// where a character begins, never on the trail byte of a double-byte
// character (so "\" does not match inside ソ, 0x83 0x5C, and "@" not inside
// the ideographic space, 0x81 0x40). Matching is exact: letter case and
// full-width or half-width forms all count.
class ShiftJisSearch {
public:
    static constexpr std::size_t npos = std::string_view::npos;

    // True for the first byte of a double-byte character in code page 932.
    static constexpr bool isLeadByte(unsigned char b) {
        return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    }

    // Byte offset of the first match starting at a character boundary at or
    // after `from` (itself a boundary), or npos. An empty needle matches nowhere.
    static std::size_t find(std::string_view text, std::string_view needle, std::size_t from = 0);
    static bool contains(std::string_view text, std::string_view needle) {
        return find(text, needle) != npos;
    }
};

} // namespace sorabel
