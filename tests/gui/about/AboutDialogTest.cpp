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
class AboutBoxTest : public GuiTestFixture {
protected:
    void SetUp() override {
        GuiTestFixture::SetUp();
        AboutDialog::setUrlOpener([this](const QUrl& url) { opened.push_back(url); });
    }
    QString versionShown() {
        box.show();
        const QString text = box.findChild<QLabel*>(QStringLiteral("version"))->text();
        box.hide();
        return text;
    }
    QPushButton* ok() { return box.findChild<QPushButton*>(QStringLiteral("okButton")); }

    // Shows the box modally as the menu does, runs `inside` once it is up,
    // and reports whether the modal showing ended.
    bool runModal(const std::function<void()>& inside) {
        bool ended = false;
        QTimer::singleShot(0, [&] {
            inside();
            QApplication::processEvents();
            ended = !box.isVisible();
            if (!ended)
                box.done(-1);
        });
        box.exec();
        return ended;
    }

    AboutDialog box;
    std::vector<QUrl> opened;
};
} // namespace

TEST_F(AboutBoxTest, EveryShowingFillsTheVersionFromTheProgramsVersionInformation) {
    const QString fileVersion = QStringLiteral("\\StringFileInfo\\041103A4\\FileVersion");
    const struct {
        std::optional<QByteArray> block;
        QString shown;
        size_t errors; // "Assertion failure (about)" when the version cannot be read
    } cases[] = {
        {std::nullopt, "Version 2.0", 0}, // the program's own
        {VersionInfo::makeBlock({{fileVersion, "10.12.3.45"}}), "Version 10.12.", 0},
        {VersionInfo::makeBlock({{fileVersion, "1.2"}}), "Version ", 0},
        {VersionInfo::makeBlock({{fileVersion, QString()}}), "Version ", 0},
        {QByteArray(), "version", 1},
        {VersionInfo::makeBlock({{"\\StringFileInfo\\040904B0\\FileVersion", "2.0.0.0"}}),
         "version", 2},
    };
    for (const auto& c : cases) {
        VersionInfo::setTestBlock(c.block);
        EXPECT_EQ(versionShown(), c.shown);
        EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Error),
                  std::vector<QString>(c.errors, QStringLiteral("Assertion failure (about)")));
    }
    box.show();
    EXPECT_EQ(box.focusWidget(), ok());
    EXPECT_TRUE(ok()->isDefault());
}

TEST_F(AboutBoxTest, EscapeOkEnterAndTheCloseBoxEndTheBox) {
    EXPECT_TRUE(runModal([&] { QTest::keyClick(&box, Qt::Key_Escape); }));
    EXPECT_TRUE(runModal([&] {
        ok()->setFocus();
        QTest::keyClick(ok(), Qt::Key_Return);
    }));
    EXPECT_TRUE(runModal([&] { QTest::mouseClick(ok(), Qt::LeftButton); }));
    EXPECT_TRUE(runModal([&] { box.close(); }));
    EXPECT_TRUE(opened.empty());
}

TEST_F(AboutBoxTest, WebButtonOpensTheAddressShownAndKeepsTheBoxOpen) {
    box.show();
    QTest::mouseClick(box.findChild<QPushButton*>(QStringLiteral("webPageButton")), Qt::LeftButton);
    EXPECT_EQ(opened, std::vector<QUrl>{QUrl(AboutDialog::webAddress())});
    EXPECT_TRUE(box.isVisible());
    // The address shown is not a link.
    int shown = 0;
    for (QLabel* l : box.findChildren<QLabel*>())
        if (l->text() == AboutDialog::webAddress() && ++shown)
            QTest::mouseClick(l, Qt::LeftButton);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(opened.size(), 1u);
}
