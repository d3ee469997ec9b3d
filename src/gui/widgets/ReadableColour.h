#pragma once

#include <QColor>
#include <QPalette>
#include <QString>
#include <cstdint>

class QWidget;

namespace sorabel {

// Text colours that stay readable on light and dark desktop themes.
class ReadableColour {
public:
    // Contrast ratio of two colours (1 to 21) by their relative luminance.
    static double contrast(const QColor& a, const QColor& b);
    static constexpr double kLeastContrast = 3.0;

    // Gives `w` the catalogue's colour value for text in `role` (WindowText
    // for a caption, Text for a field), starting from the theme's palette:
    // 0 (black, the default) is the theme's own text colour; a colour the user
    // chose is kept, and when it is hard to read on the theme's background
    // the widget gets a light background instead.
    static void apply(QWidget* w, int32_t colourValue, QPalette::ColorRole role);

    // A colour for marks on the palette's base (chart bars, highlights) that
    // keeps `wanted`'s hue but is lightened or darkened until it stands out.
    static QColor standingOut(const QColor& wanted, const QColor& base,
                              double ratio = kLeastContrast);

    // A style sheet's "#rrggbb" colours made readable on the palette: text
    // colours stand out from the base, backgrounds on a dark theme become
    // the palette's alternate base.
    static QString styleSheetFor(const QString& sheet, const QPalette& palette);

    // Whether the palette is a dark theme's (light text on a dark base).
    static bool isDark(const QPalette& palette);
};

} // namespace sorabel
