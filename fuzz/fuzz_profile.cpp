// Arbitrary bytes as a profile file: reading and writing must not crash, and a
// value written under a well-formed name must read back unchanged.
#include "core/format/ProfileFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using sorabel::ProfileFile;

namespace {

// Names without the characters that give a line its meaning.
std::string saneName(std::string_view raw, const char* fallback) {
    std::string out;
    for (char c : raw) {
        const bool special = c == '\r' || c == '\n' || c == '=' || c == '[' || c == ']' ||
                             c == ';' || c == ' ' || c == '\t' || c == '\0';
        if (!special)
            out.push_back(c);
    }
    return out.empty() ? fallback : out;
}

std::string saneValue(std::string_view raw) {
    std::string out;
    for (char c : raw)
        if (c != '\r' && c != '\n')
            out.push_back(c);
    return out.substr(0, 2047);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    // The last bytes choose the names and the value; the rest is the file.
    const size_t tail = std::min<size_t>(size, 24);
    const std::string_view control = all.substr(size - tail);
    ProfileFile ini = ProfileFile::fromText(std::string(all.substr(0, size - tail)));

    for (const char* section : {"Font", "Font2", "Kioku", "File", "Rubi", "Window"}) {
        (void)ini.readString(section, "Style", "d");
        (void)ini.readInt(section, "Top", 7);
        (void)ini.readBool(section, "Maxmize", false);
    }

    const std::string section = saneName(control.substr(0, 4), "S");
    const std::string key = saneName(control.substr(std::min<size_t>(4, tail), 4), "k");
    const std::string value = saneValue(control.substr(std::min<size_t>(8, tail)));
    ini.writeString(section, key, value);
    if (ini.readString(section, key, "\x01missing") != value)
        std::abort();
    ini.writeInt(section, "Int", -42);
    if (ini.readInt(section, "Int", 0) != -42)
        std::abort();

    // The text written must read the same after another load.
    const ProfileFile again = ProfileFile::fromText(ini.text());
    if (again.readString(section, key, "\x01missing") !=
        ini.readString(section, key, "\x01missing"))
        std::abort();
    return 0;
}
