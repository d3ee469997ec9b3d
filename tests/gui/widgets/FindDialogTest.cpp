#include "gui/widgets/FindDialog.h"
#include "gui/Reach.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace sorabel;

TEST(FindDialogTest, FindNextSendsTheTextWhichStaysBetweenOpenings) {
    FindDialog dialog;
    QSignalSpy spy(&dialog, &FindDialog::findNext);
    dialog.execute();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.isModal());
    // Nothing to find yet.
    EXPECT_FALSE(reach<QPushButton>(dialog, "findNextButton").isEnabled());

    reach<QLineEdit>(dialog, "textBox").insert(QStringLiteral("あい")); // typed
    EXPECT_TRUE(reach<QPushButton>(dialog, "findNextButton").isEnabled());
    QTest::mouseClick(&reach<QPushButton>(dialog, "findNextButton"), Qt::LeftButton);
    QTest::keyClick(&reach<QLineEdit>(dialog, "textBox"), Qt::Key_Return); // Enter is find-next too
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(0).toString(), QStringLiteral("あい"));
    EXPECT_TRUE(dialog.isVisible()); // stays open after a step

    QTest::mouseClick(&reach<QPushButton>(dialog, "closeButton"), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    dialog.execute();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.findText(), QStringLiteral("あい"));
    // Opening again while open keeps the one dialog and its text.
    dialog.execute();
    EXPECT_EQ(dialog.findText(), QStringLiteral("あい"));
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(spy.count(), 2);
}
