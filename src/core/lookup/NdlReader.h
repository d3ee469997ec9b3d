#pragma once

#include "core/lookup/BookData.h"

#include <QByteArray>
#include <optional>

namespace sorabel {

// Reads the National Diet Library's search answers: the SRU searchRetrieve
// response carrying dcndl RDF records (packed as XML or as escaped text),
// and the OpenSearch RSS feed. When several records answer one ISBN the
// fullest one for that ISBN is taken.
class NdlReader {
public:
    // Nothing when no record answers. Throws LookupError when the bytes are
    // not XML or the service reports an error.
    static std::optional<BookData> read(const QByteArray& xml, const QString& isbn13 = {});
};

} // namespace sorabel
