#include "core/format/HandoffFile.h"

#include "core/format/CatalogueFile.h"
#include "core/format/LineReader.h"
#include "core/storage/ConfigLocation.h"
#include "core/storage/FileIo.h"

#include <cerrno>
#include <deque>

namespace sorabel {

namespace {

constexpr size_t kLineCount = 6 + kFieldCount + 1;

} // namespace

QString HandoffFile::defaultPath() {
    return ConfigLocation::file(QStringLiteral("itijisettei.qqq"));
}

std::string HandoffFile::serialise(const HandoffValues& values) {
    std::string out;
    auto put = [&out](std::string_view line) {
        out.append(line);
        out.append("\r\n");
    };
    auto putFont = [&](const FontValues& f) {
        put(std::to_string(f.size));
        put(CatalogueFile::singleLine(f.name));
        put(std::to_string(f.colour));
    };
    putFont(values.captionFont);
    putFont(values.contentsFont);
    for (const Bytes& flag : values.flags)
        put(CatalogueFile::singleLine(flag));
    put(std::to_string(values.spacing));
    return out;
}

HandoffValues HandoffFile::parse(std::string_view bytes) {
    // The same lines as the catalogue file's: strict number lines, and lines
    // missing at the end read as empty texts and as 0.
    LineReader in(bytes);
    HandoffValues v;
    for (FontValues* f : {&v.captionFont, &v.contentsFont}) {
        f->size = in.number();
        f->name = Bytes(in.text());
        f->colour = in.number();
    }
    for (Bytes& flag : v.flags)
        flag = Bytes(in.text());
    v.spacing = in.number();
    static_assert(kLineCount == 26);
    return v;
}

void HandoffFile::write(const QString& path, const HandoffValues& values) {
    FileIo::writeAtomically(path, serialise(values));
}

std::optional<HandoffValues> HandoffFile::take(const QString& path) {
    if (!FileIo::exists(path))
        return std::nullopt;
    HandoffValues values = parse(FileIo::readAll(path, FileIo::kMaxSettingsBytes));
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
