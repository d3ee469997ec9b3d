#include "gui/widgets/FindDialog.h"

#include "core/text/LookAlikes.h"

#include "gui/widgets/HelpKey.h"
#include "gui/widgets/WindowFront.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace sorabel {

FindDialog::FindDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("findDialog"));
    setWindowTitle(QStringLiteral("検索"));
    setModal(false);
    setSizeGripEnabled(false);

    label_ = new QLabel(QStringLiteral("検索する文字列(&N):"));
    text_ = new QLineEdit;
    text_->setObjectName(QStringLiteral("textBox"));
    text_->setMinimumWidth(200);
    label_->setBuddy(text_);
    findNext_ = new QPushButton(QStringLiteral("次を検索(&F)"));
    findNext_->setObjectName(QStringLiteral("findNextButton"));
    findNext_->setDefault(true);
    close_ = new QPushButton(QStringLiteral("閉じる"));
    close_->setObjectName(QStringLiteral("closeButton"));
    close_->setAutoDefault(false);

    auto* layout = new QGridLayout(this);
    layout->addWidget(label_, 0, 0);
    layout->addWidget(text_, 0, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(findNext_);
    buttons->addWidget(close_);
    buttons->addStretch(1);
    layout->addLayout(buttons, 0, 2, 2, 1);
    layout->setRowStretch(1, 1);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(text_, &QLineEdit::textChanged, this, &FindDialog::updateButton);
    connect(findNext_, &QPushButton::clicked, this, [this] {
        if (!text_->text().isEmpty())
            emit findNext(findText());
    });
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
    HelpKey::install(this, [this] { emit helpRequested(); });
    updateButton();
}

QString FindDialog::findText() const {
    // What is found is catalogue text: look-alikes (〜 for ～, ...) count as it.
    return toCodePageLookAlikes(text_->text());
}

void FindDialog::setFindText(const QString& text) {
    text_->setText(text);
}

void FindDialog::updateButton() {
    findNext_->setEnabled(!text_->text().isEmpty());
}

void FindDialog::execute() {
    bringToFront(this);
    text_->setFocus();
    text_->selectAll();
}

} // namespace sorabel
