#include "core/support/VersionInfo.h"

#include "BuildVersion.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstring>

namespace sorabel {

namespace {

// The block starts with this tag; then come path/value pairs, each text ended
// by a NUL byte, and an empty path ends the block. Texts are UTF-8.
constexpr char kTag[] = "VS_VERSION_INFO";

#define SORABEL_STRING_ENTRY(key, value) "\\StringFileInfo\\041103A4\\" key "\0" value "\0"

// Kept in the executable's read-only data, where the about box reads it back.
const char kEmbeddedBlock[] =
    "VS_VERSION_INFO\0"
    "\\VarFileInfo\\Translation\0"
    "041103A4\0" SORABEL_STRING_ENTRY("CompanyName", "ソラベル開発チーム")
        SORABEL_STRING_ENTRY("FileDescription", "ソラベル 読書録")
            SORABEL_STRING_ENTRY("FileVersion", SORABEL_VERSION_STRING)
                SORABEL_STRING_ENTRY("InternalName", "sorabel")
                    SORABEL_STRING_ENTRY("LegalCopyright", "Copyright (C) 2026 ソラベル開発チーム")
                        SORABEL_STRING_ENTRY("OriginalFilename", "sorabel")
                            SORABEL_STRING_ENTRY("ProductName", "ソラベル")
                                SORABEL_STRING_ENTRY("ProductVersion", SORABEL_VERSION_STRING) "\0";

#undef SORABEL_STRING_ENTRY

std::optional<QByteArray>& testBlock() {
    static std::optional<QByteArray> block;
    return block;
}

QByteArray embeddedBlock() {
    // The literal's own closing NUL is not part of the block.
    return QByteArray::fromRawData(kEmbeddedBlock, sizeof(kEmbeddedBlock) - 1);
}

bool isOwnExecutable(const QString& file) {
    if (!QCoreApplication::instance() || file.isEmpty())
        return false;
    const QString own = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
    const QString asked = QFileInfo(file).canonicalFilePath();
    return !own.isEmpty() && own == asked;
}

QByteArray blockOf(const QString& file) {
    if (testBlock())
        return *testBlock();
    if (isOwnExecutable(file))
        return embeddedBlock();
    return {};
}

// Reads one NUL-ended text at `pos`; false when the block ends first.
bool takeText(const QByteArray& block, qsizetype& pos, QByteArray& out) {
    const qsizetype end = block.indexOf('\0', pos);
    if (end < 0)
        return false;
    out = block.mid(pos, end - pos);
    pos = end + 1;
    return true;
}

} // namespace

qsizetype VersionInfo::size(const QString& file) {
    return blockOf(file).size();
}

bool VersionInfo::read(const QString& file, QByteArray& buffer) {
    const QByteArray block = blockOf(file);
    if (block.isEmpty() || buffer.size() < block.size())
        return false;
    std::memcpy(buffer.data(), block.constData(), static_cast<size_t>(block.size()));
    return true;
}

std::optional<QString> VersionInfo::query(const QByteArray& block, const QString& path) {
    qsizetype pos = 0;
    QByteArray text;
    if (!takeText(block, pos, text) || text != kTag)
        return std::nullopt;
    const QByteArray wanted = path.toUtf8().toLower();
    QByteArray value;
    while (takeText(block, pos, text) && !text.isEmpty()) {
        if (!takeText(block, pos, value))
            return std::nullopt;
        if (text.toLower() == wanted)
            return QString::fromUtf8(value);
    }
    return std::nullopt;
}

QByteArray VersionInfo::makeBlock(const std::vector<std::pair<QString, QString>>& entries) {
    QByteArray block(kTag);
    block.append('\0');
    for (const auto& [path, value] : entries) {
        block.append(path.toUtf8()).append('\0');
        block.append(value.toUtf8()).append('\0');
    }
    block.append('\0');
    return block;
}

void VersionInfo::setTestBlock(std::optional<QByteArray> block) {
    testBlock() = std::move(block);
}

} // namespace sorabel
