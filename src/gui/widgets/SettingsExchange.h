#pragma once

#include "core/format/SettingsFile.h"

#include <QFont>

namespace sorabel {

// What the main window gives the settings dialog each time it opens it: the
// values of the settings file and the fonts its captions and fields show now
// (the dialog's samples start from them).
struct SettingsDialogInput {
    SettingsValues settings;
    QFont captionFont;
    QFont contentsFont;
};

} // namespace sorabel
