#pragma once

#include <QStringList>
#include <QTextStream>

namespace sorabel {

// The command-line CSV commands, for scripts and backups; no window:
//   --export-csv CATALOGUE.srb OUT.csv [--encoding utf-8|utf-8-bom|shift-jis]
//   --import-csv IN.csv OUT.srb [--encoding ...] [--preset NAME] [--no-header]
//                [--map 'COLUMN=FIELD,…'] [--allow-duplicates] [--dry-run]
// The import appends to OUT.srb when it exists (keeping the old file as
// OUT.srbbak, as Save does) and otherwise makes a new catalogue with the
// default captions and lists. Rows that look like books already there are
// left out unless --allow-duplicates is given. Text the catalogue cannot hold
// becomes "〓", each replacement listed on `err`. --dry-run prints where each
// column would go and the report on `out`, and writes nothing.
class CsvCommandLine {
public:
    // Whether the program's arguments ask for a CSV command.
    static bool wanted(int argc, const char* const* argv);
    // Runs it: 0 on success, 1 with a message on `err` otherwise.
    static int run(const QStringList& args, QTextStream& out, QTextStream& err);
    static int run(const QStringList& args, QTextStream& err) { return run(args, err, err); }
};

} // namespace sorabel
