#pragma once

#include "core/catalogue/Catalogue.h"
#include "core/catalogue/FieldTable.h"
#include "core/lookup/BookData.h"
#include "core/lookup/Isbn.h"

#include <array>
#include <optional>
#include <vector>

namespace sorabel {

// What a lookup would write into a record: one entry per field a source
// filled, in display order, with the name of the source that gave it.
struct ProposedField {
    Field field;
    QString text;
    QString source;
};

class BookProposal {
public:
    static inline const QString kOpenBd = QStringLiteral("openBD");
    static inline const QString kNdl = QStringLiteral("国立国会図書館");

    // Merges what the two sources said: the publisher's own data (openBD)
    // first for most fields, the library's for the reading and the people,
    // whose roles it names. Empty when neither knows the book.
    static std::vector<ProposedField> merge(const Isbn& isbn, const std::optional<BookData>& openBd,
                                            const std::optional<BookData>& ndl);

    // The text for the ISBN note: "ISBN: 978-4-10-101001-4".
    static QString isbnNote(const Isbn& isbn);

    // The proposal as catalogue text: look-alikes for characters Shift-JIS
    // lacks, "〓" for the rest.
    static Bytes toCatalogueText(const QString& text);
    static std::array<Bytes, kFieldCount> toRecord(const std::vector<ProposedField>& fields);

    // The first record from 1 that already holds this book: the ISBN in one
    // of the notes, or the same title and author. 0 when none.
    static int findDuplicate(const Catalogue& catalogue, const Isbn& isbn,
                             const std::vector<ProposedField>& fields);
};

} // namespace sorabel
