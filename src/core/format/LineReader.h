#pragma once

#include "core/catalogue/Catalogue.h"
#include "core/storage/FileIo.h"

#include <charconv>
#include <cstdint>
#include <string_view>

namespace sorabel {

// Reads the lines of a catalogue file (or of the hand-off file, which has the
// same form). Past the end every line is empty, which is what a file with its
// last lines missing reads as.
class LineReader {
public:
    explicit LineReader(std::string_view bytes) : data_(bytes) {}

    bool atEnd() const { return pos_ >= data_.size(); }

    // A text line: up to the next LF, without the CR right before it. A CR
    // anywhere else stays in the line, so that a record nobody touched is
    // written back with exactly its bytes.
    std::string_view text() { return nextLine(); }

    // A number line: optional '-', decimal digits, nothing else; a missing
    // line at the end of the file reads as 0. A stray CR in it is ignored.
    int32_t number() {
        if (atEnd())
            return 0;
        const std::string_view line = nextLine();
        Bytes digits;
        digits.reserve(line.size());
        for (char c : line)
            if (c != '\r')
                digits.push_back(c);
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
    // The line from the read position, without its LF and the CR right before it.
    std::string_view nextLine() {
        if (pos_ >= data_.size())
            return data_.substr(data_.size());
        const size_t begin = pos_;
        size_t lf = data_.find('\n', begin);
        if (lf == std::string_view::npos)
            lf = data_.size();
        pos_ = lf < data_.size() ? lf + 1 : data_.size();
        size_t end = lf;
        if (end > begin && data_[end - 1] == '\r')
            --end;
        return data_.substr(begin, end - begin);
    }

    std::string_view data_;
    size_t pos_ = 0;
};

} // namespace sorabel
