#include "settings/HandoffFile.h"

#include "platform/FileIo.h"
#include "platform/ProgramFolder.h"

#include <cerrno>
#include <charconv>
#include <vector>

namespace sorabel {

namespace {

constexpr size_t kLineCount = 6 + kFieldCount + 1;

// Lines as the catalogue reader sees them: a line ends at LF; a CR before the
// LF belongs to the line end and any other CR is dropped.
std::vector<std::string> splitLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::string line;
    bool open = false;
    for (char c : bytes) {
        if (c == '\n') {
            lines.push_back(std::move(line));
            line.clear();
            open = false;
        } else {
            open = true;
            if (c != '\r')
                line.push_back(c);
        }
    }
    if (open)
        lines.push_back(std::move(line));
    return lines;
}

// A number line holds an optional '-' and decimal digits, nothing else, as in
// the catalogue file; anything else is not a number.
int32_t parseNumber(std::string_view s) {
    int32_t v = 0;
    const char* end = s.data() + s.size();
    const auto r = std::from_chars(s.data(), end, v, 10);
    if (s.empty() || r.ec != std::errc() || r.ptr != end)
        throw IoError(io_messages::kNotANumber);
    return v;
}

std::string oneLine(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c == '\r' || c == '\n')
            c = ' ';
    return out;
}

} // namespace

QString HandoffFile::defaultPath() {
    return ProgramFolder::file(QStringLiteral("itijisettei.qqq"));
}

std::string HandoffFile::serialise(const HandoffValues& values) {
    std::string out;
    auto put = [&out](std::string_view line) {
        out.append(line);
        out.append("\r\n");
    };
    auto putFont = [&](const FontValues& f) {
        put(std::to_string(f.size));
        put(oneLine(f.name));
        put(std::to_string(f.colour));
    };
    putFont(values.captionFont);
    putFont(values.contentsFont);
    for (const Bytes& flag : values.flags)
        put(oneLine(flag));
    put(std::to_string(values.spacing));
    return out;
}

HandoffValues HandoffFile::parse(std::string_view bytes) {
    const std::vector<std::string> lines = splitLines(bytes);
    size_t next = 0;
    // Lines missing at the end read as empty texts and as 0.
    auto text = [&]() -> std::string {
        return next < lines.size() ? lines[next++] : (++next, std::string());
    };
    auto number = [&]() -> int32_t {
        return next < lines.size() ? parseNumber(lines[next++]) : (++next, 0);
    };
    HandoffValues v;
    for (FontValues* f : {&v.captionFont, &v.contentsFont}) {
        f->size = number();
        f->name = text();
        f->colour = number();
    }
    for (Bytes& flag : v.flags)
        flag = text();
    v.spacing = number();
    static_assert(kLineCount == 26);
    return v;
}

void HandoffFile::write(const QString& path, const HandoffValues& values) {
    FileIo::writeAtomically(path, serialise(values));
}

std::optional<HandoffValues> HandoffFile::take(const QString& path) {
    if (!FileIo::exists(path))
        return std::nullopt;
    HandoffValues values = parse(FileIo::readAll(path));
    // Deleting is part of taking: a file left behind would be applied again
    // after the next dialog, even one that was cancelled.
    if (!FileIo::remove(path)) {
        const int err = errno;
        if (FileIo::exists(path))
            throw ioErrorFromErrno(err, true);
    }
    return values;
}

void HandoffFile::apply(const HandoffValues& values, Catalogue& catalogue) {
    catalogue.captionFont = values.captionFont;
    catalogue.contentsFont = values.contentsFont;
    catalogue.flags = values.flags;
    catalogue.spacing = values.spacing;
}

} // namespace sorabel
