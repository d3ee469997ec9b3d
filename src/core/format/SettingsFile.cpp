#include "core/format/SettingsFile.h"

#include "core/format/ProfileFile.h"
#include "core/storage/ConfigLocation.h"
#include "core/storage/FileIo.h"

#include <QFile>
#include <QFileInfo>

namespace sorabel {

namespace {

void readFont(const ProfileFile& ini, const char* section, FontStylePitch& font) {
    // Only the low eight bits of the style carry the style set.
    font.style = ini.readInt(section, "Style", font.style) & 0xFF;
    font.pitch = ini.readInt(section, "Pitch", font.pitch);
}

void writeFont(ProfileFile& ini, const char* section, const FontStylePitch& font) {
    ini.writeInt(section, "Style", font.style);
    ini.writeInt(section, "Pitch", font.pitch);
}

// A settings file too large to read is kept beside the fresh one.
void setAsideIfTooLarge(const QString& path) {
    if (ProfileFile(path).readError() != io_messages::kSettingsTooLarge)
        return;
    const QString kept = path + QStringLiteral(".bak");
    QFile::remove(kept);
    if (!QFile::rename(path, kept))
        throw IoError(QFileInfo(path).absoluteFilePath().toStdString() + " に書き込めません");
}

void write(const QString& path, const SettingsValues& v, bool withRubi) {
    setAsideIfTooLarge(path);
    ProfileFile ini(path);
    writeFont(ini, "Font", v.captionFont);
    writeFont(ini, "Font2", v.contentsFont);
    ini.writeInt("Kioku", "Ki1", v.startup.restorePosition ? 0 : 1);
    ini.writeInt("Kioku", "Ki2", v.startup.restoreSize ? 0 : 1);
    ini.writeInt("Kioku", "Ki3", v.startup.reopenLastCatalogue ? 0 : 1);
    // The path goes in as the file system's own bytes; converting it to the
    // Japanese code page would lose names that have no Shift-JIS form.
    ini.writeString("File", "File", v.file);
    if (withRubi)
        ini.writeInt("Rubi", "Rubi", v.rubi);
    if (v.maximized) {
        // The normal placement from before stays for the next restore.
        ini.writeBool("Window", "Maxmize", true);
    } else {
        ini.writeInt("Window", "Top", v.top);
        ini.writeInt("Window", "Left", v.left);
        ini.writeInt("Window", "Width", v.width);
        ini.writeInt("Window", "Height", v.height);
        ini.writeBool("Window", "Maxmize", false);
    }
    for (size_t i = 0; i < SettingsFile::kRecentFiles; ++i) {
        const std::string key = "File" + std::to_string(i + 1);
        if (i < v.recentFiles.size())
            ini.writeString("Recent", key, v.recentFiles[i]);
        else
            ini.deleteKey("Recent", key);
    }
    ini.flush();
}

} // namespace

QString SettingsFile::defaultPath() {
    return ConfigLocation::file(QStringLiteral("SorabeIni.INI"));
}

SettingsValues SettingsFile::read(const QString& path, const SettingsValues& current,
                                  bool readFileName, QString* problem) {
    const ProfileFile ini(path);
    if (!ini.readError().empty()) {
        if (problem) {
            const QString full = QFileInfo(path).absoluteFilePath();
            *problem = QStringLiteral("%1 を読み込めません: %2。")
                           .arg(full, QString::fromStdString(ini.readError()));
            if (ini.readError() == io_messages::kSettingsTooLarge)
                *problem +=
                    QStringLiteral(
                        "終了時に新しい設定ファイルを作り、このファイルは %1.bak として残します。")
                        .arg(QFileInfo(path).fileName());
        }
        return current;
    }
    SettingsValues v = current;
    readFont(ini, "Font", v.captionFont);
    readFont(ini, "Font2", v.contentsFont);
    // An empty or unreadable option keeps the current choice.
    const auto option = [&ini](const char* key, bool current) {
        return ini.readInt("Kioku", key, current ? 0 : 1) == 0;
    };
    v.startup.restorePosition = option("Ki1", v.startup.restorePosition);
    v.startup.restoreSize = option("Ki2", v.startup.restoreSize);
    v.startup.reopenLastCatalogue = option("Ki3", v.startup.reopenLastCatalogue);
    v.rubi = ini.readInt("Rubi", "Rubi", v.rubi);
    if (readFileName)
        v.file = ini.readString("File", "File", v.file);
    v.top = ini.readInt("Window", "Top", v.top);
    v.left = ini.readInt("Window", "Left", v.left);
    v.width = ini.readInt("Window", "Width", v.width);
    v.height = ini.readInt("Window", "Height", v.height);
    v.maximized = ini.readBool("Window", "Maxmize", false);
    v.recentFiles.clear();
    for (size_t i = 0; i < kRecentFiles; ++i) {
        const std::string file = ini.readString("Recent", "File" + std::to_string(i + 1), "");
        if (!file.empty())
            v.recentFiles.push_back(file);
    }
    return v;
}

void SettingsFile::writeAtExit(const QString& path, const SettingsValues& values) {
    write(path, values, true);
}

WindowPlace SettingsFile::readPlace(const QString& path, const char* section) {
    const ProfileFile ini(path);
    WindowPlace place;
    place.left = ini.readInt(section, "Left", 0);
    place.top = ini.readInt(section, "Top", 0);
    place.width = ini.readInt(section, "Width", 0);
    place.height = ini.readInt(section, "Height", 0);
    return place;
}

void SettingsFile::writePlace(const QString& path, const char* section, const WindowPlace& place) {
    setAsideIfTooLarge(path);
    ProfileFile ini(path);
    ini.writeInt(section, "Left", place.left);
    ini.writeInt(section, "Top", place.top);
    ini.writeInt(section, "Width", place.width);
    ini.writeInt(section, "Height", place.height);
    ini.flush();
}

void SettingsFile::writeOnOk(const QString& path, const SettingsValues& values) {
    write(path, values, false);
}

} // namespace sorabel
