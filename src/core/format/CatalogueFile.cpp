#include "core/format/CatalogueFile.h"

#include "core/format/LineReader.h"
#include "core/storage/FileIo.h"
#include "core/storage/MappedFile.h"
#include "core/storage/SafeFileWriter.h"

#include <QHashFunctions>
#include <algorithm>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <deque>
#include <limits>
#include <memory>
#include <span>
#include <stdexcept>
#include <utility>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sorabel {

// Spelt out in code page 932 so that they need no conversion at start-up.
const Bytes kGenre1EndMarker("--\x81\x73\x83\x57\x83\x83\x83\x93\x83\x8b\x82\x50"
                             "\x82\xb1\x82\xb1\x82\xdc\x82\xc5\x81\x74--");
const Bytes kGenre2EndMarker("--\x81\x73\x83\x57\x83\x83\x83\x93\x83\x8b\x82\x51"
                             "\x82\xb1\x82\xb1\x82\xdc\x82\xc5\x81\x74--");
const Bytes kFormatEndMarker("--\x81\x73\x94\xbb\x8c\x5e"
                             "\x82\xb1\x82\xb1\x82\xdc\x82\xc5\x81\x74--");

bool isListEndMarker(const Bytes& line) {
    return line == kGenre1EndMarker || line == kGenre2EndMarker || line == kFormatEndMarker;
}

namespace {

const Bytes& endMarker(size_t list) {
    static const Bytes* const markers[kListCount] = {&kGenre1EndMarker, &kGenre2EndMarker,
                                                     &kFormatEndMarker};
    return *markers[list];
}

[[noreturn]] void damaged() {
    throw IoError(io_messages::kDamaged);
}

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

    // One record block. Its room is made in one step and filled through a
    // pointer: for a full catalogue this is 40000 values, where an append
    // each (with its checks) costs more than the copying.
    void record(const std::array<std::string_view, kFieldCount>& block) {
        size_t room = 2 + 11; // the impressions' line end and its length
        for (const std::string_view value : block)
            room += value.size() + 2;
        const std::string_view impressions = block[kFieldCount - 1];
        if (impressions.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
            throw ioErrorFromErrno(EOVERFLOW, true);
        const size_t start = out_.size();
        out_.resize(start + room);
        char* p = out_.data() + start;
        for (size_t i = 0; i + 1 < kFieldCount; ++i)
            p = putSingleLine(p, block[i]);
        p = std::to_chars(p, p + 11, static_cast<int32_t>(impressions.size())).ptr;
        *p++ = '\r';
        *p++ = '\n';
        if (!impressions.empty()) {
            std::memcpy(p, impressions.data(), impressions.size());
            p += impressions.size();
        }
        *p++ = '\r';
        *p++ = '\n';
        out_.resize(static_cast<size_t>(p - out_.data()));
    }

    std::string take() { return std::move(out_); }

    static void appendSingleLine(std::string& out, std::string_view value) {
        const size_t start = out.size();
        out.resize(start + value.size() + 2);
        out.resize(static_cast<size_t>(putSingleLine(out.data() + start, value) - out.data()) - 2);
    }

private:
    // A single-line value and its line end; never longer than value + 2.
    static char* putSingleLine(char* p, std::string_view value) {
        const char* from = value.data();
        const char* end = from + value.size();
        const char* brk = std::find_if(from, end, [](char c) { return c == '\r' || c == '\n'; });
        if (brk != from) {
            std::memcpy(p, from, static_cast<size_t>(brk - from));
            p += brk - from;
        }
        for (from = brk; from < end; ++from) {
            const bool crLf = *from == '\r' && from + 1 < end && from[1] == '\n';
            if (*from == '\n' || crLf) {
                // A line break would end the line early: it becomes a blank.
                *p++ = ' ';
                from += crLf ? 1 : 0;
            } else {
                // A lone CR breaks no line: it is kept as read.
                *p++ = *from;
            }
        }
        *p++ = '\r';
        *p++ = '\n';
        return p;
    }

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
    const auto& order = fileBlockOrder();
    if (order[kFieldCount - 1] != Field::Impressions)
        throw std::logic_error("the impressions close a record block");
    std::vector<std::array<std::string_view, kFieldCount>> blocks(static_cast<size_t>(count));
    size_t estimate = headerEstimate(header) + static_cast<size_t>(count) * 16;
    for (int r = 1; r <= count; ++r) {
        auto& block = blocks[static_cast<size_t>(r - 1)];
        for (size_t i = 0; i < kFieldCount; ++i) {
            block[i] = fieldOf(order[i], r);
            estimate += block[i].size() + 2;
        }
    }

    Writer w(estimate);
    writeHeader(w, header);
    w.number(count);
    for (const auto& block : blocks)
        w.record(block);
    return w.take();
}

// A whole file, its records still pointing into the file's bytes, so that
// nothing is copied before the file is known to be whole.
struct ParsedFile {
    CatalogueHeader header;
    int count = 0;
    int complete = 0;  // records whose every line was in the file
    int pastCount = 0; // record blocks after the last one the count line names

    ParsedFile() = default;
    ParsedFile(const ParsedFile&) = delete;
    ParsedFile& operator=(const ParsedFile&) = delete;
    ~ParsedFile() {
        if (fields_)
            std::allocator<std::string_view>().deallocate(fields_, capacity_);
    }

    // Room for `records` records, left unwritten: every slot is written once
    // by the parser, so clearing the 600 KB of a full catalogue first is waste.
    void reserve(int records) {
        capacity_ = static_cast<size_t>(records) * kFieldCount;
        if (capacity_ > 0)
            fields_ = std::allocator<std::string_view>().allocate(capacity_);
    }

    // Record r (from 0), in display order.
    std::string_view* record(int r) { return fields_ + static_cast<size_t>(r) * kFieldCount; }
    std::span<const std::string_view, kFieldCount> record(int r) const {
        return std::span<const std::string_view, kFieldCount>(
            fields_ + static_cast<size_t>(r) * kFieldCount, kFieldCount);
    }

private:
    std::string_view* fields_ = nullptr;
    size_t capacity_ = 0;
};

// Record blocks that follow the last counted record (another program appended
// them without raising the count): they are not read, but the user is told.
// A block cut short counts when it holds any text; blank lines do not.
int countBlocksLeft(LineReader& in) {
    int blocks = 0;
    while (!in.atEnd()) {
        bool anyText = false;
        try {
            for (size_t i = 0; i + 1 < kFieldCount; ++i)
                anyText = !in.text().empty() || anyText;
            if (in.atEnd())
                return blocks + (anyText ? 1 : 0);
            const int32_t length = in.number();
            anyText = anyText || length > 0;
            in.bytes(length);
            in.skipRestOfLine();
        } catch (const IoError&) {
            return blocks + (anyText ? 1 : 0);
        }
        ++blocks;
    }
    return blocks;
}

void parseFile(std::string_view bytes, ParsedFile& out) {
    // A file without the three end markers is no catalogue: said at once,
    // before a list of millions of lines is gathered.
    for (size_t l = 0; l < kListCount; ++l)
        if (bytes.find(endMarker(l)) == std::string_view::npos)
            damaged();
    CatalogueHeader& h = out.header;
    LineReader in(bytes);
    auto text = [&](Bytes& value) { value.assign(in.text()); };

    for (FontValues* font : {&h.captionFont, &h.contentsFont}) {
        font->size = in.number();
        text(font->name);
        font->colour = in.number();
    }
    for (auto& flag : h.flags)
        text(flag);
    for (auto& caption : h.captions)
        text(caption);
    for (size_t l = 0; l < kListCount; ++l) {
        const Bytes& marker = endMarker(l);
        auto& list = h.lists[l];
        for (;;) {
            // Without its end marker the list would never end.
            if (in.atEnd())
                damaged();
            const std::string_view entry = in.text();
            if (entry == marker)
                break;
            list.emplace_back(entry);
        }
    }
    h.spacing = in.number();
    const int32_t count = in.number();
    if (count < 0 || count > kMaxRecords)
        damaged();

    out.count = count;
    out.reserve(count);
    // Display-order places of the block's lines.
    std::array<size_t, kFieldCount> place{};
    for (size_t i = 0; i < kFieldCount; ++i)
        place[i] = static_cast<size_t>(index(fileBlockOrder()[i]));
    const size_t impressions = static_cast<size_t>(index(Field::Impressions));
    out.complete = count;
    for (int r = 0; r < count; ++r) {
        std::string_view* record = out.record(r);
        for (size_t i = 0; i < kFieldCount; ++i) {
            // A file that ends early still gives its records, empty from there on.
            if (in.atEnd() && out.complete == count)
                out.complete = r;
            if (place[i] != impressions) {
                record[place[i]] = in.text();
                continue;
            }
            record[place[i]] = in.bytes(in.number());
            in.skipRestOfLine();
        }
    }
    out.pastCount = countBlocksLeft(in);
}

// Header values, then the record count and the current index; the records
// themselves are the caller's.
void takeHeader(CatalogueHeader&& h, Catalogue& catalogue) {
    catalogue.captionFont = std::move(h.captionFont);
    catalogue.contentsFont = std::move(h.contentsFont);
    catalogue.flags = std::move(h.flags);
    catalogue.storedCaptions = h.captions;
    catalogue.liveCaptions = std::move(h.captions);
    catalogue.lists = std::move(h.lists);
    catalogue.spacing = h.spacing;
}

} // namespace

Bytes CatalogueFile::singleLine(std::string_view value) {
    Bytes out;
    out.reserve(value.size());
    Writer::appendSingleLine(out, value);
    return out;
}

CatalogueContent CatalogueFile::parse(std::string_view bytes) {
    ParsedFile parsed;
    parseFile(bytes, parsed);
    CatalogueContent content;
    content.header = std::move(parsed.header);
    content.records.resize(static_cast<size_t>(parsed.count));
    for (int r = 0; r < parsed.count; ++r) {
        const auto record = std::as_const(parsed).record(r);
        std::copy(record.begin(), record.end(), content.records[static_cast<size_t>(r)].begin());
    }
    return content;
}

std::string CatalogueFile::serialise(const Catalogue& catalogue) {
    const int count = catalogue.recordCount();
    return serialiseWith(catalogue.header(), count,
                         [&](Field f, int r) { return catalogue.field(f, r); });
}

std::string CatalogueFile::serialise(const CatalogueContent& content) {
    const int count = static_cast<int>(std::min<size_t>(content.records.size(), kMaxRecords));
    return serialiseWith(content.header, count, [&](Field f, int r) -> std::string_view {
        return content.records[static_cast<size_t>(r - 1)][static_cast<size_t>(index(f))];
    });
}

int CatalogueFile::read(const QString& path, Catalogue& catalogue) {
    auto bytes = std::make_shared<const std::string>(FileIo::readAll(path));
    return readBytes(bytes, *bytes, catalogue);
}

int CatalogueFile::readBytes(std::string_view bytes, Catalogue& catalogue, int* completeRecords,
                             int* recordsPastCount) {
    auto copy = std::make_shared<const std::string>(bytes);
    return readBytes(copy, *copy, catalogue, completeRecords, recordsPastCount);
}

int CatalogueFile::readBytes(std::shared_ptr<const void> owner, std::string_view bytes,
                             Catalogue& catalogue, int* completeRecords, int* recordsPastCount) {
    ParsedFile parsed;
    parseFile(bytes, parsed);

    // The whole file is read: only now does the catalogue change. The records
    // refer to the texts in the file's bytes, which the catalogue keeps.
    const int oldCount = catalogue.recordCount();
    takeHeader(std::move(parsed.header), catalogue);
    catalogue.resize(std::max(oldCount, parsed.count));
    catalogue.keepSource(std::move(owner), bytes);
    for (int r = 0; r < parsed.count; ++r)
        catalogue.assignRecord(r + 1, std::as_const(parsed).record(r));
    catalogue.resize(parsed.count);
    if (completeRecords)
        *completeRecords = parsed.complete;
    if (recordsPastCount)
        *recordsPastCount = parsed.pastCount;
    return oldCount;
}

CatalogueFile::KeptRead CatalogueFile::readKept(const QString& path, Catalogue& catalogue) {
    KeptRead read;
    // Parses and fingerprints in one pass, while the pages are at hand.
    const auto take = [&](std::shared_ptr<const void> owner, std::string_view bytes) {
        read.oldCount =
            readBytes(std::move(owner), bytes, catalogue, &read.complete, &read.pastCount);
        read.size = static_cast<qint64>(bytes.size());
        read.hash = hashOf(bytes);
    };
    if (auto mapped = MappedFile::open(path, FileIo::kMaxCatalogueBytes)) {
        take(mapped, mapped->bytes());
        mapped->letGo();
    } else {
        auto bytes = std::make_shared<const std::string>(FileIo::readAll(path));
        take(bytes, *bytes);
    }
    return read;
}

QByteArray CatalogueFile::hashOf(std::string_view bytes) {
    // No adversary is involved, so a fast hash serves (SHA-256 of a full
    // catalogue took a fifth of the start-up).
    constexpr size_t kSeed = 0x50ba3e1;
    return QByteArray::number(static_cast<qulonglong>(qHashBits(bytes.data(), bytes.size(), kSeed)),
                              16);
}

void CatalogueFile::write(const QString& path, const Catalogue& catalogue) {
    SafeFileWriter().write(path, serialise(catalogue));
}

} // namespace sorabel
