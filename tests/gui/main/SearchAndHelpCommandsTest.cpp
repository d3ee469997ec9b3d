#include "MainWindowFixture.h"

#include "gui/about/AboutDialog.h"
#include "gui/booklist/BookListWindow.h"
#include "gui/help/HelpViewer.h"
#include "gui/search/SearchWindow.h"
#include "gui/settings/SettingsDialog.h"
#include "gui/widgets/FindDialog.h"

#include <QCheckBox>
#include <QListView>
#include <QPushButton>
#include <QTabWidget>
#include <QTextCursor>
#include <QTimer>

using namespace sorabel;

namespace {
class SearchAndHelpCommandsTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        start();
    }
    // Made the first time the command opens it.
    FindDialog& search() { return reach<FindDialog>(form(), "findDialog"); }
    void find(const QString& text) {
        search().setFindText(text);
        QTest::mouseClick(&reach<QPushButton>(search(), "findNextButton"), Qt::LeftButton);
    }
    int selectionStart() { return impressions()->textCursor().selectionStart(); }
    QString selected() { return impressions()->textCursor().selectedText(); }
};
} // namespace

TEST_F(SearchAndHelpCommandsTest, SearchDialogFindsInTheShownImpressions) {
    entry("「感想」の中を検索(&S)")->trigger();
    ASSERT_TRUE(search().isVisible());
    search().hide();
    QTest::mouseClick(button("findImpressionsButton"), Qt::LeftButton);
    EXPECT_TRUE(search().isVisible());

    setShown(Field::Impressions, QStringLiteral("あいうあい"));
    setShown(Field::Title, QStringLiteral("あい")); // other fields are not searched
    find(QStringLiteral("あい"));
    EXPECT_EQ(selectionStart(), 0);
    EXPECT_EQ(selected(), QStringLiteral("あい"));
    EXPECT_EQ(form().focusWidget(), impressions());
    find(QStringLiteral("あい"));
    EXPECT_EQ(selectionStart(), 3); // after the selection

    // Several lines: positions agree with the control's own.
    setShown(Field::Impressions, QStringLiteral("一行目\r\n二行目の感想"));
    find(QStringLiteral("感想"));
    EXPECT_EQ(selected(), QStringLiteral("感想"));

    // A miss changes nothing and says nothing.
    control(Field::Title)->setFocus();
    find(QStringLiteral("無い"));
    EXPECT_EQ(form().focusWidget(), control(Field::Title));
    EXPECT_TRUE(Dialogs::shownTexts(Dialogs::Kind::Error).empty());
}

TEST_F(SearchAndHelpCommandsTest, HiddenImpressionsReportTheFocusErrorOnlyOnAMatch) {
    arrange(1, 1, [](Catalogue& c) {
        c.flag(Field::Impressions) = "FALSE";
        c.setField(Field::Impressions, 1, sj("あいうあい"));
    });
    form().layOutFields();
    ASSERT_TRUE(impressions()->isHidden());
    form().showImpressionsSearch();
    find(QStringLiteral("う"));
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Error),
              std::vector<QString>{
                  QStringLiteral("無効/非表示ウィンドウにはフォーカスを設定できません.")});
    EXPECT_TRUE(selected().isEmpty());
    find(QStringLiteral("え"));
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Error).size(), 1u);
}

TEST_F(SearchAndHelpCommandsTest, HelpCommandsAskTheViewerForTheRightFileAndContext) {
    QTest::keyClick(control(Field::Title), Qt::Key_F1);
    entry("この画面の説明(&H)")->trigger();
    // The contents commands point the viewer back at the program's own file.
    HelpViewer::setApplicationHelpFile(QStringLiteral("/usr/local/share/sorabel/SORABE.HLP"));
    entry("目次(&C)")->trigger();
    EXPECT_EQ(HelpViewer::applicationHelpFile(), QStringLiteral("sorabe.HLP"));
    HelpViewer::setApplicationHelpFile(QStringLiteral("/usr/local/share/sorabel/SORABE.HLP"));
    QTest::mouseClick(button("helpButton"), Qt::LeftButton);
    EXPECT_EQ(HelpViewer::applicationHelpFile(), QStringLiteral("sorabe.HLP"));

    const auto& r = HelpViewer::requests();
    ASSERT_EQ(r.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(r[i].kind, i < 2 ? HelpViewer::Request::Context : HelpViewer::Request::Finder);
        EXPECT_EQ(r[i].file, QStringLiteral("sorabe.HLP"));
    }
    EXPECT_EQ(r[0].context, 1);
    EXPECT_EQ(r[1].context, 2);
}

TEST_F(SearchAndHelpCommandsTest, AboutCommandShowsTheAboutBoxModally) {
    AboutDialog& box = windows->aboutDialog();
    bool wasModal = false;
    QTimer::singleShot(0, [&] {
        wasModal = box.isVisible() && box.isModal();
        box.accept();
    });
    entry("バージョン情報(&A)")->trigger();
    EXPECT_TRUE(wasModal);
}

// Each window's F1 opens its own topic, not the main window's.
TEST_F(SearchAndHelpCommandsTest, F1InEachWindowOpensThatWindowsTopic) {
    arrange(3, 1);
    form().showSearch();
    BookListWindow& list = windows->bookList();
    list.show();
    list.openFindDialog();
    entry("「感想」の中を検索(&S)")->trigger();
    SettingsDialog& settings = windows->settingsDialog();
    settings.show();
    const std::vector<std::pair<QWidget*, int>> cases = {
        {&reach<QLineEdit>(windows->searchWindow(), "queryBox"), 27},
        {&reach<QTabWidget>(settings, "pages"), 8}, // the page shown first: その他の設定
        {&reach<QLineEdit>(reach<FindDialog>(list, "findDialog"), "textBox"), 41},
        {&reach<QLineEdit>(search(), "textBox"), 25},
    };
    std::vector<int> opened;
    for (const auto& [where, context] : cases) {
        where->window()->show();
        where->window()->activateWindow();
        // A window manager may refuse to hand over the focus; the key goes to
        // the control all the same.
        QTest::qWaitForWindowActive(where->window(), 1000);
        where->setFocus();
        HelpViewer::clearRequests();
        QTest::keyClick(where, Qt::Key_F1);
        opened.push_back(HelpViewer::requests().size() == 1 ? HelpViewer::requests()[0].context
                                                            : -1);
    }
    EXPECT_EQ(opened, (std::vector<int>{27, 8, 41, 25}));
}

// The search window follows the session: a change of the records shows in
// its results once the command is over, and a book chosen there becomes the
// main window's record, the shown edits stored first.
TEST_F(SearchAndHelpCommandsTest, TheSearchWindowFollowsTheCatalogue) {
    arrange(3, 1);
    MainWindow& f = form();
    f.showSearch();
    SearchWindow& search = windows->searchWindow();
    ASSERT_TRUE(search.isVisible());
    auto* query = &reach<QLineEdit>(search, "queryBox");
    QLabel* count = &reach<QLabel>(search, "countLabel");
    typeText(query, QStringLiteral("本"));
    EXPECT_EQ(count->text(), QStringLiteral("3冊"));

    Dialogs::setNextAnswer(true);
    f.deleteRecord();
    QApplication::processEvents();
    EXPECT_EQ(count->text(), QStringLiteral("2冊"));

    typeText(edit(Field::Title), QStringLiteral("追記"));
    auto* results = &reach<QListView>(search, "resultView");
    results->setCurrentIndex(results->model()->index(1, 0));
    QTest::keyClick(query, Qt::Key_Return);
    EXPECT_EQ(session.currentIndex(), 2);
    EXPECT_EQ(title(1), QStringLiteral("本2追記"));
}

// The help describes the keys and captions the program really has.
TEST_F(SearchAndHelpCommandsTest, TheHelpNamesTheKeysAndCaptionsTheWindowsHave) {
    QFile file(QDir::cleanPath(QStringLiteral(SORABEL_TEST_DATA "/../../help/sorabe.HLP")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString help = QString::fromUtf8(file.readAll());
    auto topic = [&help](int context) {
        const qsizetype at = help.indexOf(QStringLiteral("data-context=\"%1\"").arg(context));
        return at < 0 ? QString()
                      : help.mid(at, help.indexOf(QStringLiteral("</section>"), at) - at);
    };
    auto key = [](const char* k) {
        return QStringLiteral("<span class=\"key\">%1</span>").arg(QLatin1String(k));
    };

    // The data menu's undo and redo keys, as the menu shows them.
    QAction* undo = entry("元に戻す(&U)");
    QAction* redo = entry("やり直し(&R)");
    EXPECT_EQ(undo->shortcut().toString(), QStringLiteral("Ctrl+Z"));
    QStringList redoKeys;
    for (const QKeySequence& k : redo->shortcuts())
        redoKeys << k.toString();
    EXPECT_TRUE(redoKeys.contains(QStringLiteral("Ctrl+Y")) &&
                redoKeys.contains(QStringLiteral("Ctrl+Shift+Z")))
        << redoKeys.join(QLatin1Char(' ')).toStdString();
    const QString dataMenu = topic(31);
    EXPECT_TRUE(dataMenu.contains(QStringLiteral("直前の操作を取り消します（") + key("Ctrl+Z")));
    EXPECT_TRUE(dataMenu.contains(QStringLiteral("（") + key("Ctrl+Y") +
                                  QStringLiteral(" または ") + key("Ctrl+Shift+Z") +
                                  QStringLiteral("）")));
    EXPECT_TRUE(
        topic(24).contains(QStringLiteral("<tr><td class=\"key\">Ctrl+Z</td><td>どの欄でも</td>")));
    EXPECT_FALSE(topic(24).contains(QStringLiteral("ひらがな")));

    // The search window's check box, by its caption.
    const QString search = topic(27);
    EXPECT_TRUE(search.contains(
        QStringLiteral("「名前や ISBN の中の空白とハイフンを無視」にチェックをつけると")));
    EXPECT_EQ(reach<QCheckBox>(windows->searchWindow(), "looseBox").text(),
              QStringLiteral("名前や ISBN の中の空白とハイフンを無視(&H)"));

    // Esc closes the About box, as its topic says.
    EXPECT_TRUE(topic(80).contains(
        key("Esc") + QStringLiteral(" キー、またはウィンドウの閉じるボタンで閉じます")));
    AboutDialog& box = windows->aboutDialog();
    box.show();
    QTest::keyClick(&box, Qt::Key_Escape);
    EXPECT_FALSE(box.isVisible());

    // The message table no longer calls a delete final.
    EXPECT_TRUE(
        topic(70).contains(QStringLiteral("削除は［データ］－［元に戻す］で取り消せます。")));
}
