#include "gui/widgets/FontSubstitution.h"

namespace sorabel {

namespace {
const QString kGothic = QStringLiteral("ＭＳ ゴシック");
const QString kProportionalGothic = QStringLiteral("ＭＳ Ｐゴシック");
const QString kGothicStandIn = QStringLiteral("IPAGothic");
const QString kProportionalGothicStandIn = QStringLiteral("IPAPGothic");
} // namespace

void FontSubstitution::install() {
    QFont::insertSubstitution(kGothic, kGothicStandIn);
    QFont::insertSubstitution(kProportionalGothic, kProportionalGothicStandIn);
}

QFont FontSubstitution::designFont(const QString& family, int pixels) {
    QFont font(family == kGothic               ? kGothicStandIn
               : family == kProportionalGothic ? kProportionalGothicStandIn
                                               : family);
    font.setPixelSize(pixels);
    return font;
}

} // namespace sorabel
