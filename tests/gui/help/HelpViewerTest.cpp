#include "gui/help/HelpViewer.h"
#include "core/storage/ProgramFolder.h"
#include "gui/GuiTestFixture.h"
#include "gui/Reach.h"
#include "gui/help/HelpWindow.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace sorabel;

namespace {
class HelpViewerTest : public GuiTestFixture {
protected:
    void SetUp() override {
        GuiTestFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
        ProgramFolder::setOverride(dir.path());
        HelpViewer::setTestMode(false); // these tests open the real window
    }
    void TearDown() override {
        if (HelpViewer::window())
            HelpViewer::window()->close();
        GuiTestFixture::TearDown();
    }
    void installHelp() {
        ASSERT_TRUE(
            QFile::copy(QDir::cleanPath(QStringLiteral(SORABEL_TEST_DATA "/../../help/sorabe.HLP")),
                        dir.filePath("sorabe.HLP")));
    }
    QTemporaryDir dir;
};
} // namespace

TEST_F(HelpViewerTest, BareNameIsFoundInTheProgramFolderWhateverItsCase) {
    EXPECT_EQ(HelpViewer::resolve(QStringLiteral("sorabe.HLP")), dir.filePath("sorabe.HLP"));
    installHelp();
    EXPECT_EQ(HelpViewer::resolve(QStringLiteral("SORABE.HLP")), dir.filePath("sorabe.HLP"));
    EXPECT_EQ(HelpViewer::resolve(dir.filePath("Sorabe.hlp")), dir.filePath("sorabe.HLP"));
    EXPECT_EQ(HelpViewer::resolve(QStringLiteral("/no/such/SORABE.HLP")),
              QStringLiteral("/no/such/SORABE.HLP"));
}

TEST_F(HelpViewerTest, ContextRequestShowsTheTopicAndTheFinderSearches) {
    installHelp();
    HelpViewer::showContext(QStringLiteral("sorabe.HLP"), 1);
    HelpWindow* window = HelpViewer::window();
    ASSERT_NE(window, nullptr);
    auto* contents = &reach<QTreeWidget>(*window, "contents");
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->testAttribute(Qt::WA_QuitOnClose)); // never keeps the program alive
    EXPECT_EQ(window->loadedPath(), dir.filePath("sorabe.HLP"));
    EXPECT_TRUE(window->topicText().startsWith(QStringLiteral("メイン画面")));
    ASSERT_NE(contents->currentItem(), nullptr);
    EXPECT_EQ(contents->currentItem()->text(0), QStringLiteral("メイン画面"));

    // The same window serves the next request, keeps a back list and follows links.
    HelpViewer::showContext(QStringLiteral("sorabe.HLP"), 10);
    EXPECT_EQ(HelpViewer::window(), window);
    window->goBack();
    EXPECT_EQ(window->currentContext(), 1);
    window->goForward();
    EXPECT_EQ(window->currentContext(), 10);
    emit reach<QTextBrowser>(*window, "topicView").anchorClicked(QUrl(QStringLiteral("topic:41")));
    EXPECT_EQ(window->currentContext(), 41);

    HelpViewer::showFinder(QStringLiteral("sorabe.HLP"));
    auto& results = reach<QListWidget>(*window, "searchResults");
    reach<QLineEdit>(*window, "searchBox").setText(QStringLiteral("バックアップ"));
    QTest::keyClick(&reach<QLineEdit>(*window, "searchBox"), Qt::Key_Return);
    ASSERT_GT(results.count(), 0);
    EXPECT_EQ(results.item(0)->text(), QStringLiteral("バックアップファイル"));
    results.setCurrentRow(0);
    EXPECT_EQ(window->currentContext(), 61);
}

TEST_F(HelpViewerTest, MissingTopicAndMissingFileAreReportedInsideTheViewer) {
    installHelp();
    HelpViewer::showContext(QStringLiteral("sorabe.HLP"), 999);
    HelpWindow* window = HelpViewer::window();
    ASSERT_NE(window, nullptr);
    auto* contents = &reach<QTreeWidget>(*window, "contents");
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->currentContext(), 0);
    EXPECT_TRUE(window->topicText().contains(QStringLiteral("コンテキスト番号 999")));
    EXPECT_GT(contents->topLevelItemCount(), 3); // the contents stay usable

    HelpViewer::showContext(QStringLiteral("/no/such/folder/SORABE.HLP"), 1);
    EXPECT_FALSE(window->fileLoaded());
    EXPECT_TRUE(window->topicText().contains(QStringLiteral("/no/such/folder/SORABE.HLP")));
    EXPECT_TRUE(window->topicText().contains(QStringLiteral("見つからない")));
    EXPECT_EQ(contents->topLevelItemCount(), 0);

    // Put in place, the file is read at the next request.
    HelpViewer::showFinder(QStringLiteral("sorabe.HLP"));
    EXPECT_TRUE(window->fileLoaded());
    EXPECT_EQ(reach<QTabWidget>(*window, "finder").currentWidget(), contents);
}
