// Catalogue file reader and writer on arbitrary bytes: parsing never crashes
// or hangs, and whatever parses is written and read back unchanged (single-line
// values with their line breaks turned into spaces, lone CRs kept).
#include "core/format/CatalogueFile.h"
#include "core/storage/FileIo.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

using namespace sorabel;

namespace {

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "round trip failed: %s\n", what);
        std::abort();
    }
}

// What a content reads back as once written.
CatalogueContent normalised(CatalogueContent c) {
    auto one = [](Bytes& b) { b = CatalogueFile::singleLine(b); };
    one(c.header.captionFont.name);
    one(c.header.contentsFont.name);
    for (auto& flag : c.header.flags)
        one(flag);
    for (auto& caption : c.header.captions)
        one(caption);
    for (auto& list : c.header.lists)
        for (auto& entry : list)
            one(entry);
    for (auto& record : c.records)
        for (const auto& info : fieldTable())
            if (info.field != Field::Impressions)
                one(record[static_cast<size_t>(index(info.field))]);
    return c;
}

void roundTrip(const CatalogueContent& content) {
    const std::string bytes = CatalogueFile::serialise(content);
    const CatalogueContent back = CatalogueFile::parse(bytes);
    check(back == normalised(content), "parse(serialise(content))");
    check(CatalogueFile::serialise(back) == bytes, "serialise is stable");

    // Read into a catalogue by the program's own reader and written again:
    // the same bytes.
    static Catalogue catalogue;
    CatalogueFile::readBytes(bytes, catalogue);
    check(catalogue.recordCount() == static_cast<int>(back.records.size()), "record count");
    check(CatalogueFile::serialise(catalogue) == bytes, "serialise(catalogue)");
}

// Content built straight from the bytes, line breaks and all, so that the
// writer's single-line rule is exercised too.
CatalogueContent fromPieces(std::string_view data) {
    auto next = [&]() {
        const size_t cut = data.find('\0');
        Bytes piece(data.substr(0, cut));
        data = cut == std::string_view::npos ? std::string_view() : data.substr(cut + 1);
        return piece;
    };
    auto number = [&]() {
        const Bytes piece = next();
        int32_t v = 0;
        for (unsigned char ch : piece)
            v = static_cast<int32_t>(static_cast<uint32_t>(v) * 31u + ch);
        return v;
    };
    CatalogueContent c;
    c.header.captionFont = {number(), next(), number()};
    c.header.contentsFont = {number(), next(), number()};
    for (auto& flag : c.header.flags)
        flag = next();
    for (auto& caption : c.header.captions)
        caption = next();
    static const Bytes* const markers[] = {&kGenre1EndMarker, &kGenre2EndMarker, &kFormatEndMarker};
    for (size_t l = 0; l < kListCount; ++l) {
        const int entries = static_cast<unsigned char>(next().size()) % 8;
        for (int i = 0; i < entries; ++i) {
            Bytes entry = next();
            // An entry equal to its own end marker ends the list on reading,
            // on purpose; it cannot round-trip.
            if (CatalogueFile::singleLine(entry) != *markers[l])
                c.header.lists[l].push_back(std::move(entry));
        }
    }
    c.header.spacing = number();
    while (!data.empty() && c.records.size() < 50) {
        auto& record = c.records.emplace_back();
        for (auto& value : record)
            value = next();
    }
    return c;
}

std::string snapshot(const Catalogue& c) {
    std::string out = CatalogueFile::serialise(c);
    for (const auto& caption : c.storedCaptions)
        out += caption + '\0';
    return out + std::to_string(c.recordCount());
}

// The reading path proper: the same content as parse(), and on an error the
// catalogue exactly as before.
void readInto(std::string_view bytes) {
    static Catalogue catalogue;
    const std::string before = snapshot(catalogue);
    std::string expected;
    try {
        expected = CatalogueFile::serialise(CatalogueFile::parse(bytes));
    } catch (const IoError&) {
    }
    try {
        CatalogueFile::readBytes(bytes, catalogue);
        check(!expected.empty(), "readBytes accepted what parse refused");
        check(CatalogueFile::serialise(catalogue) == expected, "readBytes content");
        check(catalogue.storedCaptions == catalogue.liveCaptions, "captions");
    } catch (const IoError&) {
        check(expected.empty(), "readBytes refused what parse accepted");
        check(snapshot(catalogue) == before, "catalogue changed by a failed read");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        roundTrip(CatalogueFile::parse(bytes));
    } catch (const IoError&) {
        // Refused as damaged or not a number: fine, as long as it was refused.
    }
    readInto(bytes);
    roundTrip(fromPieces(bytes));
    return 0;
}
