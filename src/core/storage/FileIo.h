#pragma once

#include <QString>
#include <stdexcept>
#include <string>
#include <string_view>

namespace sorabel {

class FileSystem;

// An input/output error. what() is the message shown in the error box (UTF-8).
class IoError : public std::runtime_error {
public:
    explicit IoError(const std::string& message) : std::runtime_error(message) {}
};

namespace io_messages {
inline constexpr const char* kFileNotFound = "ファイルが見つかりません";
inline constexpr const char* kInvalidName = "不正なファイル名です";
inline constexpr const char* kTooManyFiles = "オープンしたファイルが多すぎます";
inline constexpr const char* kAccessDenied = "ファイルへのアクセスが拒否されました";
inline constexpr const char* kDiskFull = "ディスクがいっぱいです";
inline constexpr const char* kNotANumber = "入力値が数値ではありません";
inline constexpr const char* kDamaged = "読書録データの形式が正しくありません";
inline constexpr const char* kSettingsTooLarge = "ファイルが 64 MB を超えています";
inline constexpr const char* kFolderMissing = "フォルダーが見つかりません";
inline constexpr const char* kNoBackupPossible =
    "フォルダーに書き込めないため、バックアップを作れません";
inline constexpr const char* kCatalogueTooLarge = "読書録データが大きすぎます（256 MB まで）";
inline constexpr const char* kFileTooLarge = "ファイルが大きすぎます";
// "I/O エラー (%d)" with the system's error code.
std::string other(int code);
} // namespace io_messages

// The message for a system error number (errno) met while reading or writing.
IoError ioErrorFromErrno(int err, bool writing);

// Whole-file access. Paths are converted with the file system's own encoding.
class FileIo {
public:
    // The whole of a regular file. Anything else (a folder, a FIFO, a device)
    // is refused at once, and so is a file larger than `maxBytes`, with
    // `tooLarge` as the message: far larger than any real file of its kind.
    static std::string readAll(const QString& path, qint64 maxBytes = kMaxCatalogueBytes,
                               const char* tooLarge = io_messages::kCatalogueTooLarge);
    static constexpr qint64 kMaxCatalogueBytes = 256LL * 1024 * 1024;
    // Far above any real settings file; one beyond it is set aside, not read.
    static constexpr qint64 kMaxSettingsBytes = 64LL * 1024 * 1024;
    // Replaces the file with the bytes through SafeFileWriter::write: on
    // failure the target is as it was and no temporary file is left.
    static void writeAtomically(const QString& path, std::string_view bytes);

    static bool exists(const QString& path);
    static bool remove(const QString& path);

    // The file system that writes go through: the real one, or the one a
    // test put in between (nullptr puts the real one back).
    static FileSystem& fileSystem();
    static void setFileSystem(FileSystem* fileSystem);
};

} // namespace sorabel
