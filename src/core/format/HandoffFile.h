#pragma once

#include "core/catalogue/Catalogue.h"

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace sorabel {

// What the settings dialog hands to the main window: the two fonts, the 19
// visibility flags and the field spacing.
struct HandoffValues {
    FontValues captionFont;
    FontValues contentsFont;
    std::array<Bytes, kFieldCount> flags;
    int32_t spacing = 0;
    bool operator==(const HandoffValues&) const = default;
};

// The settings hand-off file "itijisettei.qqq": 26 CR LF lines, the first 25
// in the form of the catalogue file's first 25 lines, then the spacing.
class HandoffFile {
public:
    // "itijisettei.qqq" in the settings folder (ConfigLocation), a fixed
    // place, never the current folder.
    static QString defaultPath();

    static std::string serialise(const HandoffValues& values);
    // Throws IoError ("入力値が数値ではありません" for a bad number line).
    static HandoffValues parse(std::string_view bytes);

    // Writes the file atomically; throws IoError.
    static void write(const QString& path, const HandoffValues& values);

    // Nothing when no file exists. Otherwise reads it, deletes it and returns
    // the values; when reading fails the file stays and IoError is thrown.
    static std::optional<HandoffValues> take(const QString& path);

    // Puts the values into the catalogue (fonts, flags, spacing).
    static void apply(const HandoffValues& values, Catalogue& catalogue);
};

} // namespace sorabel
