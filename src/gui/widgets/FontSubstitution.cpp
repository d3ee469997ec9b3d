#include "gui/widgets/FontSubstitution.h"

#include <QFont>
#include <QString>

namespace sorabel {

void FontSubstitution::install() {
    QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"));
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
}

} // namespace sorabel
