#include "gui/widgets/ShiftJisValidator.h"

#include "core/text/LookAlikes.h"
#include "core/text/ShiftJis.h"

#include <QLineEdit>

namespace sorabel {

ShiftJisValidator::ShiftJisValidator(QLineEdit* edit, QObject* parent)
    : QValidator(parent), previous_(edit->text()) {
    connect(edit, &QLineEdit::textChanged, this, [this](const QString& t) { previous_ = t; });
}

QString ShiftJisValidator::refusedCharacters(const QString& text, const QString& previous,
                                             bool lineBreaksAllowed) {
    QString refused;
    if (!lineBreaksAllowed &&
        (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'))))
        refused += QLatin1Char('\n');
    const QString bad = sjis::unencodableCharacters(text);
    if (bad.isEmpty())
        return refused;
    // Only characters that the edit adds count: those already there stay editable around.
    for (qsizetype i = 0; i < bad.size(); ++i) {
        QString ch(bad[i]);
        if (bad[i].isHighSurrogate() && i + 1 < bad.size())
            ch += bad[++i];
        if (ch == QStringLiteral("\n") || ch == QStringLiteral("\r"))
            continue;
        if (text.count(ch) > previous.count(ch))
            refused += ch;
    }
    return refused;
}

QValidator::State ShiftJisValidator::validate(QString& input, int& /*pos*/) const {
    if (programmatic && programmatic())
        return Acceptable;
    // Look-alikes that input methods and web pages produce (〜 for ～, − for
    // －, ...) are taken as the characters the catalogue holds.
    input = toCodePageLookAlikes(std::move(input));
    const QString refused = refusedCharacters(input, previous_, /*lineBreaksAllowed=*/false);
    if (refused.isEmpty())
        return Acceptable;
    if (onRefused)
        onRefused(refused);
    return Invalid;
}

} // namespace sorabel
