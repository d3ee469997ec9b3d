#pragma once

#include <QString>
#include <stdexcept>

namespace sorabel {

// A check inside the program that must hold failed. The text names the unit
// in which it failed, e.g. "Assertion failure (about)".
class AssertionFailure : public std::runtime_error {
public:
    explicit AssertionFailure(const QString& unit)
        : std::runtime_error(QStringLiteral("Assertion failure (%1)").arg(unit).toStdString()) {}
};

} // namespace sorabel
