#pragma once

#include "core/catalogue/FieldTable.h"
#include "core/csv/CsvPreset.h"

#include <QString>
#include <array>
#include <vector>

namespace sorabel {

// Turns one row of an export into the texts of a book's 19 fields, as the
// plan says: what services wrap is cleaned (="…", […], HTML breaks,
// paragraphs and entities), what has no field of its own goes into the
// notes as "名前: 値", and a reading state fills the date the state needs.
class CsvBookBuilder {
public:
    using FieldTexts = std::array<QString, kFieldCount>;

    CsvBookBuilder(const std::vector<QString>& header, const ImportPlan& plan, CsvPresetId preset);

    // The cells as text, one a column; missing cells count as empty.
    FieldTexts build(const std::vector<QString>& cells) const;

    // ="4101234567" → 4101234567 (spreadsheets' way of keeping leading zeros).
    static QString withoutFormula(const QString& cell);
    // <br/>, <p>…</p> become line breaks, other tags go, entities are decoded.
    static QString fromHtml(const QString& cell);
    // A date as 2024/03/05, 2024/03 or 2024 when it can be read; else as it is.
    static QString plainDate(const QString& text);

private:
    int columnNamed(const char* name) const;

    const ImportPlan& plan_;
    CsvPresetId preset_;
    std::vector<QString> keys_; // the header, normalised
};

} // namespace sorabel
