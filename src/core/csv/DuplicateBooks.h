#pragma once

#include "core/catalogue/Catalogue.h"

#include <QSet>
#include <QString>
#include <array>

namespace sorabel {

// Tells whether a record looks like a book the catalogue already holds:
// the same title and author (letter width, case, kana and spaces aside), or
// the same ISBN anywhere in its fields (ISBN-10 and ISBN-13 alike).
class DuplicateBooks {
public:
    explicit DuplicateBooks(const Catalogue& catalogue);

    bool contains(const std::array<Bytes, kFieldCount>& record) const;

private:
    static QString titleAndAuthor(const Bytes& title, const Bytes& author);
    static QSet<QString> isbnsIn(const std::array<Bytes, kFieldCount>& record);

    QSet<QString> books_;
    QSet<QString> isbns_;
};

} // namespace sorabel
