#include "gui/widgets/FontSubstitution.h"

#include <QFont>
#include <QFontInfo>

#include <gtest/gtest.h>

// The designed faces resolve to the IPA fonts installed with the program.
TEST(FontSubstitution, DesignedFacesResolveToIpaFonts) {
    sorabel::FontSubstitution::install();
    EXPECT_EQ(QFont::substitute(QStringLiteral("ＭＳ ゴシック")).toLower(),
              QStringLiteral("ipagothic"));
    EXPECT_EQ(QFont::substitute(QStringLiteral("ＭＳ Ｐゴシック")).toLower(),
              QStringLiteral("ipapgothic"));
    QFont gothic(QStringLiteral("ＭＳ ゴシック"));
    EXPECT_EQ(QFontInfo(gothic).family(), QStringLiteral("IPAGothic"));
    QFont pgothic(QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(QFontInfo(pgothic).family(), QStringLiteral("IPAPGothic"));
}
