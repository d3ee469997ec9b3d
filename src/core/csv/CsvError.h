#pragma once

#include <QString>

namespace sorabel {

// Why a CSV file cannot be read: the message shown to the user, which names
// the line when there is one (line 0: the file as a whole).
struct CsvError {
    int line = 0;
    QString message;
};

} // namespace sorabel
