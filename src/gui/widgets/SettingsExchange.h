#pragma once

#include "core/catalogue/History.h"
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

// What the settings dialog gives back when it closes, by OK or not. OK hands
// over everything; キャンセル and the close box keep only what the dialog
// promises to keep: the fonts chosen and the start-up options clicked.
struct SettingsOutcome {
    bool accepted = false;
    // Captions, lists, fonts, flags and spacing the catalogue takes: on
    // キャンセル the catalogue's own values with only the chosen fonts changed.
    HeaderValues header;
    // The settings file's values with the start-up options and the fonts'
    // style and pitch as the dialog left them.
    SettingsValues settings;
};

} // namespace sorabel
