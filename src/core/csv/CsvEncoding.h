#pragma once

#include "core/csv/CsvError.h"

#include <QString>
#include <optional>
#include <string_view>

namespace sorabel {

// The encodings a CSV file is written and read in.
enum class CsvEncoding { Utf8Bom, Utf8, ShiftJis };

namespace csv_encoding {

inline constexpr std::string_view kBom = "\xEF\xBB\xBF";

// The name shown in the dialogs, e.g. "UTF-8（BOM 付き）".
QString displayName(CsvEncoding encoding);
// The name used on the command line: "utf-8-bom", "utf-8", "shift-jis".
QString optionName(CsvEncoding encoding);
std::optional<CsvEncoding> fromOptionName(const QString& name);

// A byte-order mark means UTF-8 with it; otherwise valid UTF-8 (plain ASCII
// included) is UTF-8 and valid Shift-JIS is Shift-JIS. Nothing when neither.
std::optional<CsvEncoding> detect(std::string_view bytes);

// Where the bytes stop being valid in the encoding, as an error naming the
// line; nothing when they are valid. The byte-order mark is not checked.
std::optional<CsvError> check(std::string_view bytes, CsvEncoding encoding);

// The bytes after a UTF-8 byte-order mark, or all of them.
std::string_view withoutBom(std::string_view bytes);

// Offset of the first byte that is not valid UTF-8 / code page 932 structure,
// or npos.
size_t invalidUtf8At(std::string_view bytes);
size_t invalidShiftJisAt(std::string_view bytes);

// 1-based line of a byte offset.
int lineAt(std::string_view bytes, size_t offset);

} // namespace csv_encoding
} // namespace sorabel
