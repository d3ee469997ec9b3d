#include "core/support/QtTranslation.h"
#include "gui/widgets/FontColourDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace sorabel;

TEST(QtTranslation, QtsOwnButtonsSpeakJapanese) {
    ASSERT_TRUE(QtTranslation::install(*qApp)) << "qt6-translations-l10n is missing";
    QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
    EXPECT_TRUE(QtTranslation::install(*qApp)) << "a second call keeps the one translation";
}

TEST(FontColourDialog, EnterAndEscapeInTheChooserEndTheWholeDialog) {
    for (const auto& [key, result] : {std::pair{Qt::Key_Return, QDialog::Accepted},
                                      std::pair{Qt::Key_Escape, QDialog::Rejected}}) {
        FontColourDialog dialog(nullptr, FontChoice{QFont(QStringLiteral("IPAPGothic"), 12)});
        dialog.show();
        auto* chooser = dialog.findChild<QFontDialog*>();
        auto* label = dialog.findChild<QLabel*>();
        ASSERT_TRUE(chooser && label);
        EXPECT_NE(label->buddy(), nullptr) << "\"(&C)\" is shown as a mnemonic";
        auto* families = chooser->findChild<QListView*>();
        ASSERT_NE(families, nullptr);
        QTest::keyClick(families, key);
        EXPECT_FALSE(dialog.isVisible()) << key;
        EXPECT_EQ(dialog.result(), result) << key;
        EXPECT_TRUE(chooser->isVisibleTo(&dialog)) << "the chooser is never emptied";
        EXPECT_EQ(dialog.choice().font.pointSize(), 12);
    }
}
