#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace sorabel {

// The version information of a program file, read as a version-resource
// lookup does it: ask for the block's size, read the block into a
// buffer, then look values up in the buffer by path, for example
// "\StringFileInfo\041103A4\FileVersion" (Japanese, code page 932).
//
// Our own executable carries its block in its read-only data, built from the
// project version; other files have none.
class VersionInfo {
public:
    // Size in bytes of the version block of `file`; 0 when it has none.
    static qsizetype size(const QString& file);
    // Fills `buffer` (already sized by size()) with the block of `file`.
    // False when the file has no block or the buffer is too small.
    static bool read(const QString& file, QByteArray& buffer);
    // The value stored under `path` in a block; nothing when the block has no
    // such entry. Paths compare without regard to letter case.
    static std::optional<QString> query(const QByteArray& block, const QString& path);

    // A block in the embedded form, from (path, value) pairs.
    static QByteArray makeBlock(const std::vector<std::pair<QString, QString>>& entries);

    // Test seam: every file then carries `block` (an empty block means no
    // version information at all); nothing restores the embedded one.
    static void setTestBlock(std::optional<QByteArray> block);
};

} // namespace sorabel
