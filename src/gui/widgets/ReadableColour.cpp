#include "gui/widgets/ReadableColour.h"

#include "gui/widgets/DisplayFont.h"

#include <QApplication>
#include <QRegularExpression>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace sorabel {

namespace {
double luminance(const QColor& c) {
    const auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = c.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) +
           0.0722 * channel(rgb.blueF());
}

const QColor kLightBase(Qt::white);
} // namespace

double ReadableColour::contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

void ReadableColour::apply(QWidget* w, int32_t colourValue, QPalette::ColorRole role) {
    // The theme's palette for this kind of widget, not what an earlier call left.
    QPalette pal = QApplication::palette(w);
    const QPalette::ColorRole background =
        role == QPalette::WindowText ? QPalette::Window : QPalette::Base;
    bool lightBase = false;
    if (colourValue != 0) {
        const QColor chosen = DisplayFont::colour(colourValue);
        // Only the text takes the colour: a choice box's arrow is drawn in the
        // button colours and keeps them.
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
            pal.setColor(group, role, chosen);
        if (contrast(chosen, pal.color(QPalette::Active, background)) < kLeastContrast &&
            contrast(chosen, kLightBase) >= contrast(chosen, pal.color(background))) {
            lightBase = true;
            for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
                pal.setColor(group, background, kLightBase);
        }
    }
    // Setting an equal palette would still notify the widget and its children.
    if (w->palette() != pal)
        w->setPalette(pal);
    // A caption draws no background of its own unless it needs the light one.
    if (role == QPalette::WindowText)
        w->setAutoFillBackground(lightBase);
}

QColor ReadableColour::standingOut(const QColor& wanted, const QColor& base, double ratio) {
    QColor c = wanted.toHsl();
    const bool darkBase = luminance(base) < 0.18;
    for (int step = 0; step < 24 && contrast(c, base) < ratio; ++step) {
        const int lightness = c.lightness() + (darkBase ? 12 : -12);
        c.setHsl(c.hslHue(), c.hslSaturation(), std::clamp(lightness, 0, 255));
    }
    return c.toRgb();
}

} // namespace sorabel

namespace sorabel {

bool ReadableColour::isDark(const QPalette& palette) {
    return luminance(palette.color(QPalette::Base)) < luminance(palette.color(QPalette::Text));
}

QString ReadableColour::styleSheetFor(const QString& sheet, const QPalette& palette) {
    static const QRegularExpression colourRule(
        QStringLiteral("(background-color|color)(\\s*:\\s*)(#[0-9a-fA-F]{6})"));
    const QColor base = palette.color(QPalette::Base);
    const bool dark = isDark(palette);
    QString out;
    qsizetype from = 0;
    for (auto it = colourRule.globalMatch(sheet); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += sheet.mid(from, m.capturedStart() - from);
        QColor colour(m.captured(3));
        if (m.captured(1) == QLatin1String("color"))
            colour = standingOut(colour, base, 4.5);
        else if (dark)
            colour = palette.color(QPalette::AlternateBase);
        out += m.captured(1) + m.captured(2) + colour.name();
        from = m.capturedEnd();
    }
    return out + sheet.mid(from);
}

} // namespace sorabel
