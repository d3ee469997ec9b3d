#include "catalogue/CatalogueFile.h"

#include "platform/FileIo.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>

namespace sorabel {

// Written as bytes so that they exist before any other static initialiser runs.
const Bytes kGenre1EndMarker("--\x81\x73\x83\x57\x83\x83\x83\x93\x83\x8b\x82\x50"
                             "\x82\xb1\x82\xb1\x82\xdc\x82\xc5\x81\x74--");
const Bytes kGenre2EndMarker("--\x81\x73\x83\x57\x83\x83\x83\x93\x83\x8b\x82\x51"
                             "\x82\xb1\x82\xb1\x82\xdc\x82\xc5\x81\x74--");
const Bytes kFormatEndMarker("--\x81\x73\x94\xbb\x8c\x5e"
                             "\x82\xb1\x82\xb1\x82\xdc\x82\xc5\x81\x74--");

namespace {

const Bytes& endMarker(size_t list) {
    static const Bytes* const markers[kListCount] = {&kGenre1EndMarker, &kGenre2EndMarker,
                                                     &kFormatEndMarker};
    return *markers[list];
}

[[noreturn]] void damaged() {
    throw IoError(io_messages::kDamaged);
}

// Reads the file's bytes line by line. Past the end every line is empty, which
// is what a file with its last lines missing reads as.
class LineReader {
public:
    explicit LineReader(std::string_view bytes) : data_(bytes) {}

    bool atEnd() const { return pos_ >= data_.size(); }

    // A text line: up to the next LF; CRs are not part of any line (the one
    // before the LF ends it, a lone one is dropped).
    void text(Bytes& out) {
        const std::string_view line = rawLine();
        if (!hasCr(line)) {
            out.assign(line);
            return;
        }
        out.clear();
        out.reserve(line.size());
        for (char c : line)
            if (c != '\r')
                out.push_back(c);
    }

    Bytes text() {
        Bytes out;
        text(out);
        return out;
    }

    // A number line: optional '-', decimal digits, nothing else; a missing
    // line at the end of the file reads as 0.
    int32_t number() {
        if (atEnd())
            return 0;
        std::string_view line = rawLine();
        Bytes stripped;
        if (hasCr(line)) {
            for (char c : line)
                if (c != '\r')
                    stripped.push_back(c);
            line = stripped;
        }
        // from_chars takes an optional '-' and digits only: no blanks, no '+'.
        int32_t value = 0;
        const char* last = line.data() + line.size();
        auto [end, ec] = std::from_chars(line.data(), last, value, 10);
        if (line.empty() || ec != std::errc() || end != last)
            throw IoError(io_messages::kNotANumber);
        return value;
    }

    // Exactly `count` raw bytes; running past the end means a damaged file.
    void bytes(int32_t count, Bytes& out) {
        out.clear();
        if (count <= 0)
            return;
        if (static_cast<size_t>(count) > data_.size() - pos_)
            damaged();
        out.assign(data_.substr(pos_, static_cast<size_t>(count)));
        pos_ += static_cast<size_t>(count);
    }

    void skipRestOfLine() { rawLine(); }

private:
    static bool hasCr(std::string_view line) {
        return !line.empty() && std::memchr(line.data(), '\r', line.size()) != nullptr;
    }

    std::string_view rawLine() {
        if (atEnd())
            return {};
        const char* begin = data_.data() + pos_;
        const size_t left = data_.size() - pos_;
        const char* lf = static_cast<const char*>(std::memchr(begin, '\n', left));
        const size_t len = lf ? static_cast<size_t>(lf - begin) : left;
        pos_ += lf ? len + 1 : len;
        return {begin, len};
    }

    std::string_view data_;
    size_t pos_ = 0;
};

// Builds the file's bytes.
class Writer {
public:
    explicit Writer(size_t estimate) { out_.reserve(estimate); }

    void text(std::string_view value) {
        appendSingleLine(out_, value);
        out_.append("\r\n", 2);
    }

    void number(int32_t value) {
        char buf[16];
        auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
        (void)ec;
        out_.append(buf, static_cast<size_t>(end - buf));
        out_.append("\r\n", 2);
    }

    void impressions(std::string_view value) {
        // The length fits the line: the catalogue never holds 2 GB of text.
        number(static_cast<int32_t>(
            std::min<size_t>(value.size(), std::numeric_limits<int32_t>::max())));
        out_.append(value.substr(0, std::numeric_limits<int32_t>::max()));
        out_.append("\r\n", 2);
    }

    std::string take() { return std::move(out_); }

    static void appendSingleLine(std::string& out, std::string_view value) {
        const char* p = value.data();
        const char* end = p + value.size();
        const char* brk = std::find_if(p, end, [](char c) { return c == '\r' || c == '\n'; });
        if (brk == end) {
            out.append(value);
            return;
        }
        out.append(p, brk);
        for (p = brk; p < end; ++p) {
            if (*p == '\r') {
                out.push_back(' ');
                if (p + 1 < end && p[1] == '\n')
                    ++p;
            } else if (*p == '\n') {
                out.push_back(' ');
            } else {
                out.push_back(*p);
            }
        }
    }

private:
    std::string out_;
};

void writeHeader(Writer& w, const CatalogueHeader& h) {
    for (const FontValues* font : {&h.captionFont, &h.contentsFont}) {
        w.number(font->size);
        w.text(font->name);
        w.number(font->colour);
    }
    for (const auto& flag : h.flags)
        w.text(flag);
    for (const auto& caption : h.captions)
        w.text(caption);
    for (size_t l = 0; l < kListCount; ++l) {
        for (const auto& entry : h.lists[l])
            w.text(entry);
        w.text(endMarker(l));
    }
    w.number(h.spacing);
}

size_t headerEstimate(const CatalogueHeader& h) {
    size_t size = 512 + h.captionFont.name.size() + h.contentsFont.name.size();
    for (const auto& caption : h.captions)
        size += caption.size() + 2;
    for (const auto& list : h.lists)
        for (const auto& entry : list)
            size += entry.size() + 2;
    return size;
}

// Record fields through an accessor so that a catalogue is written without
// copying its records first.
template <typename FieldOf>
std::string serialiseWith(const CatalogueHeader& header, int count, FieldOf&& fieldOf) {
    size_t estimate = headerEstimate(header);
    for (int r = 1; r <= count; ++r)
        for (Field f : fileBlockOrder())
            estimate += fieldOf(f, r).size() + 2;
    estimate += static_cast<size_t>(count) * 16;

    Writer w(estimate);
    writeHeader(w, header);
    w.number(count);
    for (int r = 1; r <= count; ++r) {
        for (Field f : fileBlockOrder()) {
            if (f == Field::kansou)
                w.impressions(fieldOf(f, r));
            else
                w.text(fieldOf(f, r));
        }
    }
    return w.take();
}

} // namespace

Bytes CatalogueFile::singleLine(std::string_view value) {
    Bytes out;
    out.reserve(value.size());
    Writer::appendSingleLine(out, value);
    return out;
}

CatalogueContent CatalogueFile::parse(std::string_view bytes) {
    CatalogueContent content;
    CatalogueHeader& h = content.header;
    LineReader in(bytes);

    for (FontValues* font : {&h.captionFont, &h.contentsFont}) {
        font->size = in.number();
        in.text(font->name);
        font->colour = in.number();
    }
    for (auto& flag : h.flags)
        in.text(flag);
    for (auto& caption : h.captions)
        in.text(caption);
    for (size_t l = 0; l < kListCount; ++l) {
        const Bytes& marker = endMarker(l);
        auto& list = h.lists[l];
        for (;;) {
            // Without its end marker the list would never end.
            if (in.atEnd())
                damaged();
            Bytes entry = in.text();
            if (entry == marker)
                break;
            list.push_back(std::move(entry));
        }
    }
    h.spacing = in.number();
    const int32_t count = in.number();
    if (count < 0 || count > kMaxRecords)
        damaged();

    content.records.resize(static_cast<size_t>(count));
    for (auto& record : content.records) {
        for (Field f : fileBlockOrder()) {
            Bytes& value = record[static_cast<size_t>(index(f))];
            if (f != Field::kansou) {
                in.text(value);
                continue;
            }
            const int32_t length = in.number();
            in.bytes(length, value);
            in.skipRestOfLine();
        }
    }
    return content;
}

std::string CatalogueFile::serialise(const Catalogue& catalogue) {
    const int count = std::clamp(catalogue.recordCount, 0, kMaxRecords);
    return serialiseWith(catalogue.header(), count,
                         [&](Field f, int r) -> const Bytes& { return catalogue.field(f, r); });
}

std::string CatalogueFile::serialise(const CatalogueContent& content) {
    const int count = static_cast<int>(std::min<size_t>(content.records.size(), kMaxRecords));
    return serialiseWith(content.header, count, [&](Field f, int r) -> const Bytes& {
        return content.records[static_cast<size_t>(r - 1)][static_cast<size_t>(index(f))];
    });
}

int CatalogueFile::apply(CatalogueContent content, Catalogue& catalogue) {
    if (content.records.size() > static_cast<size_t>(kMaxRecords))
        damaged();
    const int oldCount = catalogue.recordCount;
    const int n = static_cast<int>(content.records.size());
    CatalogueHeader& h = content.header;

    catalogue.captionFont = std::move(h.captionFont);
    catalogue.contentsFont = std::move(h.contentsFont);
    catalogue.flags = std::move(h.flags);
    catalogue.storedCaptions = h.captions;
    catalogue.liveCaptions = std::move(h.captions);
    catalogue.lists = std::move(h.lists);
    catalogue.spacing = h.spacing;

    for (int r = 1; r <= n; ++r) {
        auto& record = content.records[static_cast<size_t>(r - 1)];
        for (const auto& info : fieldTable())
            catalogue.setField(info.field, r,
                               std::move(record[static_cast<size_t>(index(info.field))]));
    }
    for (int r = n + 1; r <= std::min(oldCount, kMaxRecords); ++r)
        catalogue.clearRecord(r);

    catalogue.recordCount = n;
    if (n == 0)
        catalogue.currentIndex = 0;
    else if (catalogue.startIndex != 0)
        catalogue.currentIndex = std::clamp(catalogue.startIndex, 1, n);
    else
        catalogue.currentIndex = n;
    return oldCount;
}

int CatalogueFile::read(const QString& path, Catalogue& catalogue) {
    const std::string bytes = FileIo::readAll(path);
    return apply(parse(bytes), catalogue);
}

void CatalogueFile::write(const QString& path, Catalogue& catalogue) {
    FileIo::writeAtomically(path, serialise(catalogue));
    catalogue.modifiedCount = 0;
}

} // namespace sorabel
