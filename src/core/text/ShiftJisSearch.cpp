#include "core/text/ShiftJisSearch.h"

#include <cstring>

namespace sorabel {

std::size_t ShiftJisSearch::find(std::string_view text, std::string_view needle, std::size_t from) {
    if (needle.empty() || needle.size() > text.size())
        return npos;
    const std::size_t last = text.size() - needle.size();
    for (std::size_t i = from; i <= last;) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b == static_cast<unsigned char>(needle[0]) &&
            std::memcmp(text.data() + i, needle.data(), needle.size()) == 0)
            return i;
        // A lead byte at the very end of the text has no trail byte: step one.
        i += (isLeadByte(b) && i + 1 < text.size()) ? 2 : 1;
    }
    return npos;
}

} // namespace sorabel
