#pragma once

#include <QString>
#include <stdexcept>

namespace sorabel {

// A source answered with something that cannot be read; what() is the
// Japanese message the user sees (UTF-8).
class LookupError : public std::runtime_error {
public:
    explicit LookupError(const QString& message)
        : std::runtime_error(message.toUtf8().toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};

} // namespace sorabel
