#pragma once

#include <QStringList>
#include <QTextStream>

namespace sorabel {

// The command-line CSV commands, for scripts and backups; no window:
//   --export-csv CATALOGUE.srb OUT.csv [--encoding utf-8|utf-8-bom|shift-jis]
//   --import-csv IN.csv OUT.srb [--encoding ...]
// The import appends to OUT.srb when it exists and otherwise makes a new
// catalogue with the default captions and lists. Text the catalogue cannot
// hold becomes "〓", each replacement listed on `err`.
class CsvCommandLine {
public:
    // Whether the program's arguments ask for a CSV command.
    static bool wanted(int argc, const char* const* argv);
    // Runs it: 0 on success, 1 with a message on `err` otherwise.
    static int run(const QStringList& args, QTextStream& err);
};

} // namespace sorabel
