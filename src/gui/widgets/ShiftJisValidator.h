#pragma once

#include <QValidator>
#include <functional>

class QLineEdit;

namespace sorabel {

// Keeps a single-line field to what the catalogue file can hold: no line
// break and no character that code page 932 lacks. Characters of that kind
// already in the field (shown from a damaged file) do not block other edits.
class ShiftJisValidator : public QValidator {
    Q_OBJECT

public:
    // `edit` is the field whose text a new one is compared with.
    ShiftJisValidator(QLineEdit* edit, QObject* parent);

    // While this answers true (the program itself is setting the text) every text passes.
    std::function<bool()> programmatic;

    State validate(QString& input, int& pos) const override;

    // Told the refused characters ("\n" for a line break) whenever input is refused.
    std::function<void(const QString&)> onRefused;

    // The characters of `added` that a field may not take, or empty.
    static QString refusedCharacters(const QString& text, const QString& previous,
                                     bool lineBreaksAllowed);

private:
    // The text before the change being validated: the edit already holds the new one.
    QString previous_;
};

} // namespace sorabel
