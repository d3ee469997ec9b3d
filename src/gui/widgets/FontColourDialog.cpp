#include "gui/widgets/FontColourDialog.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace sorabel {

FontColourDialog::FontColourDialog(QWidget* parent, const FontChoice& initial)
    : QDialog(parent), fonts_(new QFontDialog(initial.font, this)),
      colourButton_(new QPushButton(this)), colour_(initial.colour) {
    setWindowTitle(QStringLiteral("フォント"));
    // The embedded font chooser brings no buttons of its own; this dialog's
    // OK and Cancel end both.
    fonts_->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    fonts_->setWindowFlags(Qt::Widget);
    fonts_->setObjectName(QStringLiteral("fontChooser"));

    // Enter in the chooser's lists ends its own dialog, which would hide it
    // and leave this one empty: it ends this dialog instead, and so does Escape.
    connect(fonts_, &QDialog::finished, this, [this](int result) {
        fonts_->setVisible(true);
        done(result);
    });

    auto* colourRow = new QHBoxLayout;
    // The buddy makes "(&C)" a mnemonic instead of literal text.
    auto* colourLabel = new QLabel(QStringLiteral("色(&C):"), this);
    colourLabel->setObjectName(QStringLiteral("colourLabel"));
    colourLabel->setBuddy(colourButton_);
    colourRow->addWidget(colourLabel);
    colourRow->addWidget(colourButton_);
    colourRow->addStretch();
    connect(colourButton_, &QPushButton::clicked, this, &FontColourDialog::pickColour);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fonts_);
    layout->addLayout(colourRow);
    layout->addWidget(buttons);
    showColour();
}

void FontColourDialog::pickColour() {
    const QColor c = QColorDialog::getColor(colour_, this, QStringLiteral("色の設定"));
    if (c.isValid()) {
        colour_ = c;
        showColour();
    }
}

void FontColourDialog::showColour() {
    QPixmap swatch(32, 14);
    swatch.fill(colour_);
    colourButton_->setIcon(QIcon(swatch));
    colourButton_->setText(colour_.name());
}

FontChoice FontColourDialog::choice() const {
    return {fonts_->currentFont(), colour_};
}

std::optional<FontChoice> FontColourDialog::choose(QWidget* parent, const FontChoice& initial) {
    FontColourDialog dialog(parent, initial);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.choice();
}

} // namespace sorabel
