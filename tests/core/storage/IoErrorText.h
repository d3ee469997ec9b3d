#pragma once
#include "core/storage/FileIo.h"

#include <functional>
#include <string>

// The message of the IoError that f throws, or "(no error)".
inline std::string ioErrorText(const std::function<void()>& f) {
    try {
        f();
    } catch (const sorabel::IoError& e) {
        return e.what();
    }
    return "(no error)";
}
