#include "gui/widgets/DisplayFont.h"

#include <algorithm>

#include "core/text/ShiftJis.h"

#include <QApplication>
#include <QPalette>
#include <cmath>
#include <stdexcept>

namespace sorabel {

QFont DisplayFont::font(const QFont& base, const FontValues& values, FontStylePitch stylePitch) {
    QFont f = base;
    if (!values.name.empty())
        f.setFamily(sjis::decode(values.name));
    // A size from a damaged or hand-made file stays in the catalogue as it
    // is; shown, it is held to what a screen can draw.
    if (values.size > 0)
        f.setPointSize(std::min(values.size, kMaxShownPoints));
    applyStylePitch(f, stylePitch);
    return f;
}

QColor DisplayFont::colour(int32_t value) {
    const auto bits = static_cast<uint32_t>(value);
    if ((bits & 0xFF000000u) == 0)
        return QColor(static_cast<int>(bits & 0xFF), static_cast<int>((bits >> 8) & 0xFF),
                      static_cast<int>((bits >> 16) & 0xFF));
    const QPalette palette = QApplication::palette();
    if ((bits & 0x80000000u) == 0)
        return palette.color(QPalette::WindowText);
    // The system colours a font is given in practice; the rest read as text.
    switch (bits & 0xFFu) {
    case 5: // window
        return palette.color(QPalette::Base);
    case 13: // highlight
        return palette.color(QPalette::Highlight);
    case 14: // highlighted text
        return palette.color(QPalette::HighlightedText);
    case 15: // button face
        return palette.color(QPalette::Button);
    case 16: // button shadow
        return palette.color(QPalette::Dark);
    case 17: // grey text
        return palette.color(QPalette::Disabled, QPalette::Text);
    case 18: // button text
        return palette.color(QPalette::ButtonText);
    case 23: // tooltip text
        return palette.color(QPalette::ToolTipText);
    case 24: // tooltip background
        return palette.color(QPalette::ToolTipBase);
    default: // window text, menu text, caption text, ...
        return palette.color(QPalette::WindowText);
    }
}

int32_t DisplayFont::colourValue(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    const uint32_t value = static_cast<uint32_t>(rgb.red()) |
                           (static_cast<uint32_t>(rgb.green()) << 8) |
                           (static_cast<uint32_t>(rgb.blue()) << 16);
    return static_cast<int32_t>(value);
}

int DisplayFont::style(const QFont& font) {
    int bits = 0;
    if (font.bold())
        bits |= 1;
    if (font.italic())
        bits |= 2;
    if (font.underline())
        bits |= 4;
    if (font.strikeOut())
        bits |= 8;
    return bits;
}

void DisplayFont::applyStylePitch(QFont& font, FontStylePitch stylePitch) {
    font.setBold((stylePitch.style & 1) != 0);
    font.setItalic((stylePitch.style & 2) != 0);
    font.setUnderline((stylePitch.style & 4) != 0);
    font.setStrikeOut((stylePitch.style & 8) != 0);
    if (stylePitch.pitch == 1)
        font.setFixedPitch(false);
    else if (stylePitch.pitch == 2) {
        font.setFixedPitch(true);
        font.setStyleHint(QFont::Monospace);
    }
}

int DisplayFont::points(const QFont& font) {
    if (font.pointSizeF() > 0)
        return static_cast<int>(std::lround(font.pointSizeF()));
    // Pixel sizes count at 96 pixels to the inch.
    return static_cast<int>(std::lround(font.pixelSize() * 72.0 / 96.0));
}

FontValues DisplayFont::values(const FontChoice& choice) {
    const auto name = sjis::tryEncode(choice.font.family());
    if (!name.ok())
        throw std::runtime_error(QStringLiteral("フォント名「%1」は読書録に保存できません")
                                     .arg(choice.font.family())
                                     .toStdString());
    FontValues v;
    v.size = points(choice.font);
    v.name = name.bytes;
    v.colour = colourValue(choice.colour);
    return v;
}

} // namespace sorabel
