#include "list_window/ListFindDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace sorabel {

ListFindDialog::ListFindDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("検索"));
    setModal(false);
    auto* label = new QLabel(QStringLiteral("検索する文字列(&N):"), this);
    text_ = new QLineEdit(this);
    label->setBuddy(text_);
    findNext_ = new QPushButton(QStringLiteral("次を検索(&F)"), this);
    close_ = new QPushButton(QStringLiteral("キャンセル"), this);
    findNext_->setDefault(true);
    findNext_->setEnabled(false);

    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(text_, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(findNext_);
    buttons->addWidget(close_);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    left->addLayout(row);
    left->addStretch();
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    connect(text_, &QLineEdit::textChanged, this,
            [this](const QString& text) { findNext_->setEnabled(!text.isEmpty()); });
    connect(findNext_, &QPushButton::clicked, this, &ListFindDialog::find);
    connect(close_, &QPushButton::clicked, this, &QDialog::hide);
}

QString ListFindDialog::findText() const {
    return text_->text();
}

void ListFindDialog::setFindText(const QString& text) {
    text_->setText(text);
}

void ListFindDialog::execute() {
    show();
    raise();
    activateWindow();
    text_->setFocus();
}

} // namespace sorabel
