#include "gui/about/AboutDialog.h"

#include "gui/GuiTestFixture.h"

#include "core/support/VersionInfo.h"
#include "gui/widgets/Dialogs.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace sorabel;

namespace {
const QString kFileVersion = QStringLiteral("\\StringFileInfo\\041103A4\\FileVersion");

class AboutBoxTest : public GuiTestFixture {
protected:
    void SetUp() override {
        GuiTestFixture::SetUp();
        AboutDialog::setUrlOpener([this](const QUrl& url) { opened.push_back(url); });
    }

    static QLabel* version(AboutDialog& box) {
        return box.findChild<QLabel*>(QStringLiteral("version"));
    }
    static QPushButton* ok(AboutDialog& box) {
        return box.findChild<QPushButton*>(QStringLiteral("okButton"));
    }

    // Shows the box modally as the menu does, runs `inside` once it is up,
    // and reports whether the modal showing ended.
    bool runModal(AboutDialog& box, const std::function<void()>& inside) {
        bool ended = false;
        QTimer::singleShot(0, [&] {
            inside();
            QApplication::processEvents();
            if (box.isVisible())
                box.done(-1); // still open: end it so that the test goes on
            else
                ended = true;
        });
        box.exec();
        return ended;
    }

    std::vector<QUrl> opened;
};
} // namespace

TEST_F(AboutBoxTest, EveryShowingFillsTheVersionFromTheProgramsVersionInformation) {
    AboutDialog box;
    EXPECT_EQ(box.windowTitle(), QStringLiteral("バージョン情報"));
    box.show();
    EXPECT_EQ(version(box)->text(), QStringLiteral("Version 2.0"));
    EXPECT_EQ(box.focusWidget(), ok(box));
    EXPECT_TRUE(ok(box)->isDefault());
    box.hide();
    version(box)->setText(QStringLiteral("stale"));
    box.show();
    EXPECT_EQ(version(box)->text(), QStringLiteral("Version 2.0"));
    EXPECT_TRUE(Dialogs::shownTexts(Dialogs::Kind::Error).empty());
    box.hide();
}

TEST_F(AboutBoxTest, MissingVersionInformationReportsAnAssertionAndStillOpens) {
    AboutDialog box;
    // No version information at all.
    VersionInfo::setTestBlock(QByteArray());
    box.show();
    EXPECT_TRUE(box.isVisible());
    EXPECT_EQ(version(box)->text(), QStringLiteral("version"));
    auto errors = Dialogs::shownTexts(Dialogs::Kind::Error);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], QStringLiteral("Assertion failure (about)"));
    box.hide();

    // Version information without the Japanese string table.
    VersionInfo::setTestBlock(VersionInfo::makeBlock(
        {{QStringLiteral("\\StringFileInfo\\040904B0\\FileVersion"), QStringLiteral("2.0.0.0")}}));
    box.show();
    EXPECT_EQ(version(box)->text(), QStringLiteral("version"));
    errors = Dialogs::shownTexts(Dialogs::Kind::Error);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[1], QStringLiteral("Assertion failure (about)"));
    box.hide();
}

TEST_F(AboutBoxTest, VersionTextLosesItsLastFourCharacters) {
    AboutDialog box;
    VersionInfo::setTestBlock(
        VersionInfo::makeBlock({{kFileVersion, QStringLiteral("10.12.3.45")}}));
    box.show();
    EXPECT_EQ(version(box)->text(), QStringLiteral("Version 10.12."));
    box.hide();
    VersionInfo::setTestBlock(VersionInfo::makeBlock({{kFileVersion, QStringLiteral("1.2")}}));
    box.show();
    EXPECT_EQ(version(box)->text(), QStringLiteral("Version "));
    box.hide();
    VersionInfo::setTestBlock(VersionInfo::makeBlock({{kFileVersion, QString()}}));
    box.show();
    EXPECT_EQ(version(box)->text(), QStringLiteral("Version "));
    EXPECT_TRUE(Dialogs::shownTexts(Dialogs::Kind::Error).empty());
    box.hide();
}

TEST_F(AboutBoxTest, EscapeOkEnterAndTheCloseBoxEndTheBox) {
    AboutDialog box;
    EXPECT_TRUE(runModal(box, [&] { QTest::keyClick(&box, Qt::Key_Escape); }));
    EXPECT_TRUE(runModal(box, [&] {
        ok(box)->setFocus();
        QTest::keyClick(ok(box), Qt::Key_Return);
    }));
    EXPECT_TRUE(runModal(box, [&] { QTest::mouseClick(ok(box), Qt::LeftButton); }));
    EXPECT_TRUE(runModal(box, [&] { box.close(); }));
    EXPECT_TRUE(opened.empty());
}

TEST_F(AboutBoxTest, WebButtonOpensTheAddressShownAndKeepsTheBoxOpen) {
    AboutDialog box;
    box.show();
    QTest::mouseClick(box.findChild<QPushButton*>(QStringLiteral("webPageButton")), Qt::LeftButton);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl(AboutDialog::webAddress()));
    EXPECT_TRUE(box.isVisible());
    // The address shown is not a link.
    QLabel* address = nullptr;
    for (QLabel* l : box.findChildren<QLabel*>())
        if (l->text() == AboutDialog::webAddress())
            address = l;
    ASSERT_NE(address, nullptr);
    QTest::mouseClick(address, Qt::LeftButton);
    EXPECT_EQ(opened.size(), 1u);
    box.hide();
}

TEST_F(AboutBoxTest, IconIsDrawn) {
    const QImage icon = AboutDialog::programIcon().toImage();
    ASSERT_EQ(icon.size(), QSize(32, 32));
    // Painted in the middle, transparent in the corner.
    EXPECT_GT(qAlpha(icon.pixel(14, 16)), 200);
    EXPECT_EQ(qAlpha(icon.pixel(0, 31)), 0);
}
