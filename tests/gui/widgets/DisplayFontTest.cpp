#include "gui/widgets/DisplayFont.h"

#include <QApplication>
#include <QPalette>

#include <gtest/gtest.h>
#include <stdexcept>

using namespace sorabel;

TEST(DisplayFont, ColourValuesAndSizes) {
    // A system colour (written as a negative number) follows the palette.
    EXPECT_EQ(DisplayFont::colour(DisplayFont::kWindowText),
              QApplication::palette().color(QPalette::WindowText));
    EXPECT_EQ(DisplayFont::colour(static_cast<int32_t>(0x80000005u)),
              QApplication::palette().color(QPalette::Base));

    QFont pixels;
    pixels.setPixelSize(16);
    EXPECT_EQ(DisplayFont::points(pixels), 12);
    EXPECT_EQ(DisplayFont::points(QFont(QStringLiteral("IPAGothic"), 9)), 9);

    // Empty name and size 0 keep the base font's face and size.
    QFont base(QStringLiteral("IPAGothic"));
    base.setPixelSize(13);
    const QFont kept = DisplayFont::font(base, FontValues{}, FontStylePitch{3, 0});
    EXPECT_EQ(kept.family(), QStringLiteral("IPAGothic"));
    EXPECT_EQ(kept.pixelSize(), 13);
    EXPECT_TRUE(kept.bold());
    EXPECT_TRUE(kept.italic());
    EXPECT_FALSE(kept.underline());
    const QFont given = DisplayFont::font(base, FontValues{11, "IPAPGothic", 0}, {8, 2});
    EXPECT_EQ(given.family(), QStringLiteral("IPAPGothic"));
    EXPECT_EQ(given.pointSize(), 11);
    EXPECT_TRUE(given.strikeOut());
    EXPECT_TRUE(given.fixedPitch());
    EXPECT_EQ(DisplayFont::style(given), 8);
}

TEST(DisplayFont, ChoiceIsKeptAsTheCatalogueKeepsIt) {
    QFont f(QStringLiteral("ＭＳ Ｐゴシック"), 10);
    const FontValues v = DisplayFont::values({f, QColor(255, 0, 0)});
    EXPECT_EQ(v.size, 10);
    EXPECT_EQ(v.name, "\x82\x6c\x82\x72\x20\x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e");
    EXPECT_EQ(v.colour, 0x0000FF);
    // A face name that code page 932 cannot hold is refused, not garbled.
    EXPECT_THROW(DisplayFont::values({QFont(QStringLiteral("나눔고딕"), 10), Qt::black}),
                 std::runtime_error);
}
