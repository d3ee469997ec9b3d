#pragma once

#include <QString>
#include <string>
#include <string_view>
#include <vector>

namespace sorabel {

// A profile (INI) file with the behaviour of the Win32 profile-string
// functions: section and key names compare case-insensitively, spaces around
// names and values are ignored, the first matching section and key win, one
// pair of matching quotes around a value is stripped on reading, and values are
// read up to 2047 characters. Writing replaces a value in place and keeps every
// other line, comment and blank line; a new key goes right after the last key
// line of its section (comments and blank lines that follow stay below it), a
// new section at the end of the file, set off by a blank line. Written lines
// end CR LF; line breaks in written names and values become spaces, and a value
// that reading would change (blanks at its ends, matching quotes around it) is
// written in double quotes so that it reads back unchanged.
//
// The file is loaded once; writes change the text in memory and flush()
// rewrites the file atomically.
class ProfileFile {
public:
    // A missing file reads as empty. A file that exists but cannot be read
    // (or is larger than FileIo::kMaxSettingsBytes) also reads as empty,
    // readError() says why, and flush() then refuses to overwrite it.
    explicit ProfileFile(QString path);
    static ProfileFile fromText(std::string text); // for tests and fuzzing

    std::string readString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    // Integer rule: a value longer than two characters starting "0x"/"0X" is
    // hexadecimal, otherwise decimal; empty or non-numeric gives the default.
    int readInt(std::string_view section, std::string_view key, int defaultValue) const;
    bool readBool(std::string_view section, std::string_view key, bool defaultValue) const;

    void writeString(std::string_view section, std::string_view key, std::string_view value);
    void writeInt(std::string_view section, std::string_view key, int value);
    void writeBool(std::string_view section, std::string_view key, bool value);
    // Removes the key's line; the section stays.
    void deleteKey(std::string_view section, std::string_view key);

    // Writes the text to the file atomically. Throws IoError with
    // "<full path> に書き込めません" when it cannot.
    void flush();

    const std::string& text() const { return text_; }
    const QString& path() const { return path_; }
    const std::string& readError() const { return readError_; } // empty when read

private:
    QString path_;
    std::string text_;
    std::string readError_; // the file exists but could not be read: flush() refuses
};

} // namespace sorabel
