#pragma once

#include "gui/widgets/Dialogs.h"

#include <QDialog>
#include <optional>

class QFontDialog;
class QPushButton;

namespace sorabel {

// The font dialog: face, style, size and, like the desktop's font dialogs,
// the colour of the text.
class FontColourDialog : public QDialog {
    Q_OBJECT
public:
    explicit FontColourDialog(QWidget* parent, const FontChoice& initial);
    FontChoice choice() const;

    static std::optional<FontChoice> choose(QWidget* parent, const FontChoice& initial);

private:
    void pickColour();
    void showColour();

    QFontDialog* fonts_;
    QPushButton* colourButton_;
    QColor colour_;
};

} // namespace sorabel
