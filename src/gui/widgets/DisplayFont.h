#pragma once

#include "core/catalogue/Catalogue.h"
#include "core/format/SettingsFile.h"
#include "gui/widgets/Dialogs.h"

#include <QColor>
#include <QFont>
#include <cstdint>

namespace sorabel {

// Conversions between the catalogue's font values (points, Shift-JIS face
// name, 0x00BBGGRR or system colour), the settings file's style and pitch,
// and the fonts and colours of the widgets.
class DisplayFont {
public:
    // `base` with the catalogue's face (when not empty), size (when above 0)
    // and the style and pitch applied.
    static QFont font(const QFont& base, const FontValues& values, FontStylePitch stylePitch);
    static constexpr int32_t kMaxShownPoints = 400;

    // A colour value as a colour; a system colour follows the application's palette.
    static QColor colour(int32_t value);
    // An explicit colour as a colour value (red in the lowest byte).
    static int32_t colourValue(const QColor& colour);

    // The style bits of a font (1 bold, 2 italic, 4 underline, 8 strike-out).
    static int style(const QFont& font);
    static void applyStylePitch(QFont& font, FontStylePitch stylePitch);

    // Size in whole points, also for a font sized in pixels.
    static int points(const QFont& font);

    // What the catalogue keeps of a confirmed font choice. Throws
    // std::runtime_error when the face name has no Shift-JIS form.
    static FontValues values(const FontChoice& choice);

    // The colour value of the system's window-text colour.
    static constexpr int32_t kWindowText = static_cast<int32_t>(0x80000008u);
};

} // namespace sorabel
