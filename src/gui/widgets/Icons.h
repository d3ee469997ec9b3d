#pragma once

#include <QIcon>

namespace sorabel {

// The program's pictures: SVG files in a resource, crisp at any scale.
class Icons {
public:
    // The icon `name` (the file icons/<name>.svg), e.g. "save".
    static QIcon get(const char* name);
};

} // namespace sorabel
