#pragma once

#include <QStringList>
#include <QTextStream>
#include <cstring>

namespace sorabel {

// `sorabel --lookup-isbn ISBN`: looks the book up with the saved sources and
// prints what would go into each field as "caption: value" lines, for scripts
// and for checking the sources. No window.
class IsbnCommandLine {
public:
    static constexpr const char* kOption = "--lookup-isbn";

    // Decided by the program before anything is loaded: the lookup itself
    // lives in a module of its own.
    static bool wanted(int argc, const char* const* argv) {
        for (int i = 1; i < argc; ++i)
            if (std::strcmp(argv[i], kOption) == 0)
                return true;
        return false;
    }
    // 0 found, 1 not found or the sources failed, 2 a bad ISBN or usage.
    // Needs a running QCoreApplication.
    static int run(const QStringList& args, QTextStream& out, QTextStream& err);
};

} // namespace sorabel
