#pragma once

#include "core/catalogue/Catalogue.h"
#include "core/csv/CsvError.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace sorabel {

// Which field each column of a CSV file goes to.
class HeaderMapping {
public:
    // One entry a CSV column: its field, or nothing when it is not taken in.
    using Columns = std::vector<std::optional<Field>>;

    // The caption a field goes by in this catalogue: the user's caption, or
    // for the three choice fields the list's heading, or the default caption
    // when that is empty. Code page 932 bytes.
    static Bytes caption(const Catalogue& catalogue, Field f);
    static QString captionText(const Catalogue& catalogue, Field f);

    // The field a column name stands for: this catalogue's captions first,
    // then the default captions, then the names other programs use (タイトル,
    // 著者, Publisher, レビュー, ISBN, ...). Width, letter case and spaces do
    // not matter.
    static std::optional<Field> fieldFor(const QString& name, const Catalogue& catalogue);

    // The mapping for a header row. A field goes to the first column that
    // names it; later columns of the same field are not taken in. A header of
    // 19 columns that mostly names the fields in display order is this
    // program's own export with captions of another catalogue: all its
    // columns then go by position.
    static Columns guess(const std::vector<QString>& header, const Catalogue& catalogue);

    // One line for every column that is not taken in, saying why.
    static QStringList notes(const std::vector<QString>& header, const Columns& columns,
                             const Catalogue& catalogue);

    // An error when no column is taken in or two columns go to one field.
    static std::optional<CsvError> check(const Columns& columns, const Catalogue& catalogue);

    // The form names are compared in: compatibility-folded (full-width
    // letters and digits to ASCII), case-folded, without spaces, "_" or "-".
    static QString normalise(const QString& name);
};

} // namespace sorabel
