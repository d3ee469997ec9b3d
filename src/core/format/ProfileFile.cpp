#include "core/format/ProfileFile.h"

#include "core/storage/FileIo.h"

#include <QFileInfo>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <optional>

namespace sorabel {

namespace {

constexpr size_t kMaxValue = 2047; // what the 2048-byte buffer of the profile API holds

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

// The text split into lines without their line ends. A line ends at LF, with
// or without CR before it; the empty piece after a final line end is no line.
std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        start = next;
    }
    return lines;
}

enum class Kind { Other, Comment, Section, Key };

struct ParsedLine {
    Kind kind = Kind::Other;
    std::string_view name;  // section or key name, trimmed
    std::string_view value; // key value, trimmed, quotes still on
};

ParsedLine parseLine(std::string_view line) {
    ParsedLine p;
    const std::string_view t = trim(line);
    if (t.empty())
        return p;
    if (t.front() == ';') {
        p.kind = Kind::Comment;
        return p;
    }
    if (t.front() == '[') {
        p.kind = Kind::Section;
        std::string_view inner = t.substr(1);
        const size_t close = inner.find(']');
        if (close != std::string_view::npos)
            inner = inner.substr(0, close);
        p.name = trim(inner);
        return p;
    }
    const size_t eq = t.find('=');
    if (eq == std::string_view::npos)
        return p;
    p.kind = Kind::Key;
    p.name = trim(t.substr(0, eq));
    p.value = trim(t.substr(eq + 1));
    return p;
}

struct Location {
    std::optional<size_t> sectionLine; // header of the first matching section
    std::optional<size_t> keyLine;     // first matching key inside it
    size_t lastKeyLine = 0;            // last key line of the section (or its header)
};

Location locate(const std::vector<std::string_view>& lines, std::string_view section,
                std::string_view key) {
    Location loc;
    const std::string_view wantSection = trim(section);
    const std::string_view wantKey = trim(key);
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string_view line = lines[i];
        // A byte-order mark left by a text editor must not hide the first
        // section. It stays in the text.
        if (i == 0 && line.starts_with("\xEF\xBB\xBF"))
            line.remove_prefix(3);
        const ParsedLine p = parseLine(line);
        if (!loc.sectionLine) {
            if (p.kind == Kind::Section && sameName(p.name, wantSection)) {
                loc.sectionLine = i;
                loc.lastKeyLine = i;
            }
            continue;
        }
        if (p.kind == Kind::Section)
            break; // only the first section of that name counts
        if (p.kind == Kind::Key) {
            loc.lastKeyLine = i;
            if (!loc.keyLine && sameName(p.name, wantKey))
                loc.keyLine = i;
        }
    }
    return loc;
}

std::string_view stripQuotes(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

// Nothing written may break the line structure of the file.
std::string oneLine(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c == '\r' || c == '\n')
            c = ' ';
    return out;
}

// A value that would change on reading (blanks at its ends, or a pair of
// matching quotes around it) is written inside double quotes, which the reader
// strips again.
std::string encodeValue(std::string_view value) {
    std::string v = oneLine(value);
    const bool needsQuotes = !v.empty() && (isBlank(v.front()) || isBlank(v.back()) ||
                                            stripQuotes(v).size() != v.size());
    return needsQuotes ? "\"" + v + "\"" : v;
}

std::optional<int> parseInt(std::string_view s) {
    if (s.empty())
        return std::nullopt;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        uint32_t v = 0;
        const char* end = s.data() + s.size();
        const auto r = std::from_chars(s.data() + 2, end, v, 16);
        if (r.ec != std::errc() || r.ptr != end)
            return std::nullopt;
        return static_cast<int>(v); // 0xFFFFFFFF reads as -1, as a 32-bit register would
    }
    bool negative = false;
    if (s.front() == '+' || s.front() == '-') {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty() || s.front() < '0' || s.front() > '9')
        return std::nullopt;
    int64_t v = 0;
    const char* end = s.data() + s.size();
    const auto r = std::from_chars(s.data(), end, v, 10);
    if (r.ec != std::errc() || r.ptr != end)
        return std::nullopt;
    if (negative)
        v = -v;
    if (v < INT32_MIN || v > INT32_MAX)
        return std::nullopt;
    return static_cast<int>(v);
}

} // namespace

ProfileFile::ProfileFile(QString path) : path_(std::move(path)) {
    if (!FileIo::exists(path_))
        return;
    try {
        text_ = FileIo::readAll(path_, FileIo::kMaxSettingsBytes, io_messages::kSettingsTooLarge);
    } catch (const IoError& e) {
        // Reads give the defaults, but a file we could not read is never
        // overwritten with only the keys written in this run.
        readError_ = e.what();
    }
}

ProfileFile ProfileFile::fromText(std::string text) {
    ProfileFile f{QString()};
    f.text_ = std::move(text);
    return f;
}

std::string ProfileFile::readString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue) const {
    const auto lines = splitLines(text_);
    const Location loc = locate(lines, section, key);
    std::string_view value = defaultValue;
    if (loc.keyLine)
        value = stripQuotes(parseLine(lines[*loc.keyLine]).value);
    return std::string(value.substr(0, kMaxValue));
}

int ProfileFile::readInt(std::string_view section, std::string_view key, int defaultValue) const {
    return parseInt(readString(section, key, "")).value_or(defaultValue);
}

bool ProfileFile::readBool(std::string_view section, std::string_view key,
                           bool defaultValue) const {
    return readInt(section, key, defaultValue ? 1 : 0) != 0;
}

void ProfileFile::writeString(std::string_view section, std::string_view key,
                              std::string_view value) {
    const auto lines = splitLines(text_);
    const Location loc = locate(lines, section, key);
    const std::string encoded = encodeValue(value);

    std::string out;
    out.reserve(text_.size() + key.size() + encoded.size() + section.size() + 16);
    auto put = [&out](std::string_view line) {
        out.append(line);
        out.append("\r\n");
    };
    const std::string newKeyLine = oneLine(trim(key)) + "=" + encoded;

    for (size_t i = 0; i < lines.size(); ++i) {
        if (loc.keyLine && i == *loc.keyLine) {
            // Keep the name as the file spells it.
            put(std::string(parseLine(lines[i]).name) + "=" + encoded);
            continue;
        }
        put(lines[i]);
        if (loc.sectionLine && !loc.keyLine && i == loc.lastKeyLine)
            put(newKeyLine);
    }
    if (!loc.sectionLine) {
        // A new section goes at the end, set off from what comes before by a
        // blank line.
        if (!lines.empty() && !trim(lines.back()).empty())
            out.append("\r\n");
        std::string header = "[";
        header += oneLine(trim(section));
        header += ']';
        put(header);
        put(newKeyLine);
    }
    text_ = std::move(out);
}

void ProfileFile::deleteKey(std::string_view section, std::string_view key) {
    const auto lines = splitLines(text_);
    const Location loc = locate(lines, section, key);
    if (!loc.keyLine)
        return;
    std::string out;
    out.reserve(text_.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i == *loc.keyLine)
            continue;
        out.append(lines[i]);
        out.append("\r\n");
    }
    text_ = std::move(out);
}

void ProfileFile::writeInt(std::string_view section, std::string_view key, int value) {
    writeString(section, key, std::to_string(value));
}

void ProfileFile::writeBool(std::string_view section, std::string_view key, bool value) {
    writeString(section, key, value ? "1" : "0");
}

void ProfileFile::flush() {
    const QString full = QFileInfo(path_).absoluteFilePath();
    const std::string message = full.toStdString() + " に書き込めません";
    if (path_.isEmpty() || !readError_.empty())
        throw IoError(message);
    try {
        FileIo::writeAtomically(full, text_);
    } catch (const IoError&) {
        throw IoError(message);
    }
}

} // namespace sorabel
