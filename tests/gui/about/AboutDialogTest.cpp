#include "gui/about/AboutDialog.h"

#include "gui/GuiTestFixture.h"
#include "gui/Reach.h"

#include "gui/widgets/Dialogs.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
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
        const QString text = reach<QLabel>(box, "version").text();
        box.hide();
        return text;
    }
    QPushButton* ok() { return &reach<QPushButton>(box, "okButton"); }

    AboutDialog box;
    std::vector<QUrl> opened;
};
} // namespace

TEST_F(AboutBoxTest, EveryShowingShowsTheApplicationsVersionWithoutReleaseAndBuild) {
    const QString before = QCoreApplication::applicationVersion();
    for (const auto& [version, shown] : std::initializer_list<std::pair<const char*, const char*>>{
             {"2.0.0.0", "Version 2.0"}, {"10.12.3.45", "Version 10.12"}, {"3", "Version 3"}}) {
        QCoreApplication::setApplicationVersion(QString::fromLatin1(version));
        EXPECT_EQ(versionShown(), QString::fromLatin1(shown));
    }
    QCoreApplication::setApplicationVersion(before);
    box.show();
    EXPECT_EQ(box.focusWidget(), ok());
    EXPECT_TRUE(ok()->isDefault());
}

// Escape and the close box end any dialog; OK is this box's own wiring.
TEST_F(AboutBoxTest, OkEndsTheBox) {
    box.show();
    QTest::mouseClick(ok(), Qt::LeftButton);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);
}

TEST_F(AboutBoxTest, WebButtonOpensTheAddressShownAndKeepsTheBoxOpen) {
    box.show();
    QTest::mouseClick(&reach<QPushButton>(box, "webPageButton"), Qt::LeftButton);
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
