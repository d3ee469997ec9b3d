#pragma once

#include <QByteArray>
#include <QString>

namespace sorabel {

// File names are bytes on Linux and need not be valid UTF-8. Each byte that is
// not part of a valid UTF-8 sequence is carried in the text as the lone
// surrogate U+DC80 + (byte - 0x80) and turned back into the very same byte, so
// that every existing name opens and round-trips byte for byte.
class NativeFileName {
public:
    static QString decode(const QByteArray& bytes);
    static QByteArray encode(const QString& name);
};

} // namespace sorabel
