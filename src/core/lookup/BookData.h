#pragma once

#include <QString>
#include <vector>

namespace sorabel {

// A person named on a book and what they did, in the source's own words
// ("著", "訳", "監訳", "編", ...).
struct Contributor {
    QString name;
    QString role;
    bool operator==(const Contributor&) const = default;
};

// What one bibliographic source says about a book, as Unicode text with
// entities decoded; every part may be missing.
struct BookData {
    enum class Tax { Unknown, Included, Excluded };

    QString title;
    QString subtitle;
    QString reading; // of the title, in katakana or hiragana, as the source gives it
    std::vector<Contributor> contributors;
    QString publisher;
    QString series;
    QString volume;
    int price = 0; // yen; 0 when not given
    Tax tax = Tax::Unknown;
    int year = 0; // of publication; 0 when not given
    int month = 0;
    QString format; // the book's format, e.g. "文庫", when the size tells it
    QString isbn;   // the 13 digits the record is for, when it says

    bool isEmpty() const { return title.isEmpty(); }
};

} // namespace sorabel
