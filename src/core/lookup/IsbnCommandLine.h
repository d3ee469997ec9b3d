#pragma once

#include <QStringList>
#include <QTextStream>

namespace sorabel {

// `sorabel --lookup-isbn ISBN`: looks the book up with the saved sources and
// prints what would go into each field as "caption: value" lines, for scripts
// and for checking the sources. No window.
class IsbnCommandLine {
public:
    static bool wanted(int argc, const char* const* argv);
    // 0 found, 1 not found or the sources failed, 2 a bad ISBN or usage.
    // Needs a running QCoreApplication.
    static int run(const QStringList& args, QTextStream& out, QTextStream& err);
};

} // namespace sorabel
