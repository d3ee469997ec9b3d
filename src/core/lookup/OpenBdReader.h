#pragma once

#include "core/lookup/BookData.h"

#include <QByteArray>
#include <optional>

namespace sorabel {

// Reads openBD's answer to /v1/get?isbn=…: a JSON array with one entry per
// asked ISBN, null when openBD does not know the book, otherwise an object
// with a short "summary" and the publisher's ONIX record.
class OpenBdReader {
public:
    // The book for `isbn13` (any entry when empty); nothing when the answer
    // holds none. Throws LookupError when the bytes are not such an answer.
    static std::optional<BookData> read(const QByteArray& json, const QString& isbn13 = {});
};

} // namespace sorabel
