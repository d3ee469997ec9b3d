#include "gui/help/HelpViewer.h"
#include "core/storage/ProgramFolder.h"
#include "gui/GuiTestFixture.h"
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
const QString kShippedHelp =
    QDir::cleanPath(QStringLiteral(SORABEL_TEST_DATA "/../../help/sorabe.HLP"));

class HelpViewerTest : public GuiTestFixture {
protected:
    void SetUp() override {
        GuiTestFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
        ProgramFolder::setOverride(dir.path());
        HelpViewer::setTestMode(false); // these tests open the real window
    }
    void installHelp(const QString& name) {
        ASSERT_TRUE(QFile::copy(kShippedHelp, dir.filePath(name)));
    }
    QTemporaryDir dir;
};
} // namespace

TEST_F(HelpViewerTest, TestModeRecordsRequestsWithoutOpeningAWindow) {
    // A window an earlier test opened stays; it must not come up again.
    if (HelpViewer::window())
        HelpViewer::window()->hide();
    HelpViewer::setTestMode(true);
    HelpViewer::setApplicationHelpFile(QStringLiteral("/usr/local/share/sorabel/SORABE.HLP"));
    EXPECT_EQ(HelpViewer::applicationHelpFile(),
              QStringLiteral("/usr/local/share/sorabel/SORABE.HLP"));
    HelpViewer::showContext(QStringLiteral("sorabe.HLP"), 10);
    HelpViewer::showFinder(QStringLiteral("sorabe.HLP"));
    ASSERT_EQ(HelpViewer::requests().size(), 2u);
    EXPECT_EQ(HelpViewer::requests()[0].kind, HelpViewer::Request::Context);
    EXPECT_EQ(HelpViewer::requests()[0].file, QStringLiteral("sorabe.HLP"));
    EXPECT_EQ(HelpViewer::requests()[0].context, 10);
    EXPECT_EQ(HelpViewer::requests()[1].kind, HelpViewer::Request::Finder);
    EXPECT_TRUE(!HelpViewer::window() || !HelpViewer::window()->isVisible());
    HelpViewer::clearRequests();
    EXPECT_TRUE(HelpViewer::requests().empty());
}

TEST_F(HelpViewerTest, BareNameIsFoundInTheProgramFolderWhateverItsCase) {
    EXPECT_EQ(HelpViewer::resolve(QStringLiteral("sorabe.HLP")), dir.filePath("sorabe.HLP"));
    installHelp(QStringLiteral("sorabe.HLP"));
    EXPECT_EQ(HelpViewer::resolve(QStringLiteral("SORABE.HLP")), dir.filePath("sorabe.HLP"));
    EXPECT_EQ(HelpViewer::resolve(dir.filePath("Sorabe.hlp")), dir.filePath("sorabe.HLP"));
    EXPECT_EQ(HelpViewer::resolve(QStringLiteral("/no/such/SORABE.HLP")),
              QStringLiteral("/no/such/SORABE.HLP"));
}

TEST_F(HelpViewerTest, ContextRequestShowsTheTopicAndSelectsItInTheContents) {
    installHelp(QStringLiteral("sorabe.HLP"));
    HelpViewer::showContext(QStringLiteral("sorabe.HLP"), 1);
    HelpWindow* window = HelpViewer::window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->testAttribute(Qt::WA_QuitOnClose)); // never keeps the program alive
    EXPECT_EQ(window->loadedPath(), dir.filePath("sorabe.HLP"));
    EXPECT_EQ(window->currentContext(), 1);
    EXPECT_TRUE(window->topicText().startsWith(QStringLiteral("メイン画面")));
    ASSERT_NE(window->contents()->currentItem(), nullptr);
    EXPECT_EQ(window->contents()->currentItem()->text(0), QStringLiteral("メイン画面"));

    // The same window serves the next request, and keeps a back list.
    HelpViewer::showContext(QStringLiteral("sorabe.HLP"), 10);
    EXPECT_EQ(HelpViewer::window(), window);
    EXPECT_EQ(window->currentContext(), 10);
    window->goBack();
    EXPECT_EQ(window->currentContext(), 1);
    window->goForward();
    EXPECT_EQ(window->currentContext(), 10);

    // Links inside a topic lead to other topics.
    emit window->topicView()->anchorClicked(QUrl(QStringLiteral("topic:41")));
    EXPECT_EQ(window->currentContext(), 41);
    window->close();
}

TEST_F(HelpViewerTest, MissingTopicAndMissingFileAreReportedInsideTheViewer) {
    installHelp(QStringLiteral("sorabe.HLP"));
    HelpViewer::showContext(QStringLiteral("sorabe.HLP"), 999);
    HelpWindow* window = HelpViewer::window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->currentContext(), 0);
    EXPECT_TRUE(window->topicText().contains(QStringLiteral("コンテキスト番号 999")));
    // The contents stay usable.
    EXPECT_GT(window->contents()->topLevelItemCount(), 3);

    HelpViewer::showContext(QStringLiteral("/no/such/folder/SORABE.HLP"), 1);
    EXPECT_FALSE(window->fileLoaded());
    EXPECT_TRUE(window->topicText().contains(QStringLiteral("/no/such/folder/SORABE.HLP")));
    EXPECT_TRUE(window->topicText().contains(QStringLiteral("見つからない")));
    EXPECT_EQ(window->contents()->topLevelItemCount(), 0);

    // Put in place, the file is read at the next request.
    HelpViewer::showFinder(QStringLiteral("sorabe.HLP"));
    EXPECT_TRUE(window->fileLoaded());
    EXPECT_EQ(window->finder()->currentWidget(), window->contents());
    EXPECT_GT(window->currentContext(), 0);
    window->close();
}

TEST_F(HelpViewerTest, FinderSearchListsMatchingTopics) {
    installHelp(QStringLiteral("sorabe.HLP"));
    HelpViewer::showFinder(QStringLiteral("sorabe.HLP"));
    HelpWindow* window = HelpViewer::window();
    ASSERT_NE(window, nullptr);
    window->searchBox()->setText(QStringLiteral("バックアップ"));
    QTest::keyClick(window->searchBox(), Qt::Key_Return);
    ASSERT_GT(window->results()->count(), 0);
    EXPECT_EQ(window->results()->item(0)->text(), QStringLiteral("バックアップファイル"));
    window->results()->setCurrentRow(0);
    EXPECT_EQ(window->currentContext(), 61);

    window->searchBox()->setText(QStringLiteral("どこにもない語句ｘｙｚ"));
    window->runSearch();
    EXPECT_EQ(window->results()->count(), 0);
    window->close();
}
