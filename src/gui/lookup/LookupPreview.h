#pragma once

#include "core/catalogue/Catalogue.h"
#include "core/lookup/BookProposal.h"

#include <QTableWidget>
#include <optional>
#include <vector>

namespace sorabel {

// The table of what a lookup found: one row a field with a check box, the
// text, where it came from, and — when an existing record is to be filled —
// what the record holds now.
class LookupPreview : public QTableWidget {
    Q_OBJECT
public:
    enum Column { FieldColumn, TextColumn, CurrentColumn, SourceColumn };

    explicit LookupPreview(QWidget* parent = nullptr);

    // Shows the fields; `current` is the record they would go into, if any.
    void showFields(const std::vector<ProposedField>& fields, const Catalogue& catalogue,
                    std::optional<int> current);
    void clearFields();
    // The rows whose box is checked.
    std::vector<ProposedField> checkedFields() const;

    // The catalogue's own caption of a field (combo fields: their list heading).
    static QString captionOf(const Catalogue& catalogue, Field f);

private:
    std::vector<ProposedField> fields_;
};

} // namespace sorabel
