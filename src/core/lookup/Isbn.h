#pragma once

#include <QString>
#include <stdexcept>
#include <string>

namespace sorabel {

// Why a typed ISBN was refused; what() is the message the user sees (UTF-8).
class IsbnError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    QString message() const { return QString::fromUtf8(what()); }
};

// A checked ISBN, always held in its 13-digit form.
class Isbn {
public:
    // Takes ISBN-10 or ISBN-13 as people and scanners type it: hyphens and
    // spaces anywhere, full-width digits, an "ISBN" label in front, "x" for
    // the check digit ten. Throws IsbnError naming what is wrong, a wrong
    // check digit with the one it should be.
    static Isbn parse(const QString& typed);

    Isbn() = default; // empty; only a parsed Isbn is valid

    // "9784101010014"
    const QString& digits() const { return digits_; }
    // "978-4-10-101001-4" by the ranges of its registration group; the bare
    // 13 digits when the group's ranges are not known here.
    QString hyphenated() const;
    // The 10-digit form for 978 numbers ("4101010014"); empty for 979.
    QString isbn10() const;

    bool operator==(const Isbn&) const = default;

private:
    explicit Isbn(QString digits) : digits_(std::move(digits)) {}
    QString digits_;
};

} // namespace sorabel
