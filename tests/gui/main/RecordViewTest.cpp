#include "MainWindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

using namespace sorabel;

namespace {
bool navEnabled(MainWindow& f, QToolButton* b, QAction* a) {
    EXPECT_EQ(b->isEnabled(), a->isEnabled()) << b->objectName().toStdString();
    return b->isEnabled();
}
} // namespace

TEST_F(MainWindowTest, FreshWindowHasTheDesignedCommandsAndControls) {
    MainWindow& f = start();
    EXPECT_EQ(Form1, &f);
    EXPECT_EQ(f.windowTitle(), QStringLiteral("ソラベル"));
    EXPECT_EQ(f.outerBounds(), QRect(174, 121, 711, 611));

    // Tool bar order, tool tips and status tips.
    QStringList names, tips;
    for (QToolButton* b : f.ToolBar1->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly)) {
        if (b->objectName().startsWith(QStringLiteral("ToolButton"))) {
            names << b->objectName();
            tips << b->toolTip() + QLatin1Char('|') + b->statusTip();
        }
    }
    EXPECT_EQ(names.join(QLatin1Char(' ')),
              QStringLiteral("ToolButton9 ToolButton4 ToolButton5 ToolButton18 ToolButton19 "
                             "ToolButton2 ToolButton3 ToolButton10 ToolButton7 ToolButton8 "
                             "ToolButton12 ToolButton20 ToolButton16 ToolButton14 ToolButton17 "
                             "ToolButton21 ToolButton1"));
    EXPECT_EQ(tips[0], QStringLiteral("新規|新規ファイルの作成"));
    EXPECT_EQ(tips[4], QStringLiteral("終了|終了"));
    EXPECT_EQ(tips[11], QStringLiteral("データをコピーして最後尾に追加|コピー"));

    // Menus with their entries in order.
    QStringList menus;
    for (QAction* m : f.menuBar()->actions()) {
        QStringList entries;
        for (QAction* a : m->menu()->actions())
            entries << a->objectName() + QLatin1Char('=') + a->text();
        menus << m->text() + QLatin1Char(':') + entries.join(QLatin1Char(','));
    }
    ASSERT_EQ(menus.size(), 4);
    EXPECT_EQ(menus[0], QStringLiteral("ファイル(&F):New1=新規作成(&N),Open1=開く(&O),"
                                       "Save1=上書き保存(&S),SaveAs1=名前をつけて保存(&A),"
                                       "Exit1=終了(&X)"));
    EXPECT_EQ(menus[1], QStringLiteral("データ(&D):Save2=追加(&A),N3=削除(&D),N8=先頭へ(&T),"
                                       "N9=一つ前へ(&B),N10=次へ(&N),N11=最後尾へ(&E),"
                                       "V1=コピーして最後尾へ追加(&V)"));
    EXPECT_EQ(menus[2], QStringLiteral("ツール(&T):O1=環境設定(&T),N1=表示最適化(&R),"
                                       "N4=一覧表示(&O),S2=「感想」の中を検索(&S)"));
    EXPECT_EQ(menus[3], QStringLiteral("ヘルプ(&H):Contents1=目次(&C),S1=この画面の説明(&H),"
                                       "About1=バージョン情報(&A)"));

    // Fresh start: one empty record, every field shown, add to last disabled.
    EXPECT_EQ(f.catalogue().recordCount, 1);
    EXPECT_EQ(f.catalogue().currentIndex, 1);
    for (const FieldInfo& info : fieldTable()) {
        EXPECT_FALSE(f.control(info.field)->isHidden()) << info.key;
        EXPECT_EQ(f.control(info.field)->objectName().toStdString(), std::string(info.key));
    }
    EXPECT_EQ(f.statusPanelText(0), QStringLiteral("1／1"));
    EXPECT_EQ(f.statusPanelText(1), QString());
    for (QToolButton* b : {f.ToolButton2, f.ToolButton3, f.ToolButton10, f.ToolButton7,
                           f.ToolButton8, f.ToolButton12})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_EQ(f.label(11)->text(), QStringLiteral("感　想"));
    EXPECT_EQ(f.teika->alignment() & Qt::AlignRight, Qt::AlignRight);

    // The fields sit below the tool bar at their designed distance from the client top.
    EXPECT_EQ(f.shomei->y() + MainWindow::kToolBarHeight, 37);
    EXPECT_EQ(f.centralWidget()->mapTo(&f, QPoint(0, 0)).y(),
              f.ToolBar1->mapTo(&f, QPoint(0, 0)).y() + MainWindow::kToolBarHeight);
    // The impressions take the height the other rows leave; the notes follow it.
    EXPECT_GT(f.kansou->height(), 2 * f.shomei->height());
    EXPECT_LT(f.kansou->geometry().bottom(), f.dokuryou->y());
    EXPECT_LT(f.bikou1->geometry().bottom(), f.bikou2->y());
    // The layout works on the outer size and the title's height.
    EXPECT_EQ(f.shomei->x(), f.Label1->x() + f.Label1->width() + 1);
    EXPECT_EQ(f.hukudai->x() + f.hukudai->width(), 711 - 40);
    EXPECT_EQ(f.kansou->x() + f.kansou->width(), 711 - 40);
    EXPECT_EQ(f.kansou->height(), 611 - 50 - 8 * 10 - 11 * f.shomei->height());
    EXPECT_EQ(f.teika->height(), f.shuppansha->height());
    EXPECT_EQ(f.statusPanelWidth(0), 711 / 5);
    EXPECT_EQ(f.statusPanelWidth(1), 711 / 2);
}

TEST_F(MainWindowTest, StatusAndNavigationStateFollowTheCurrentRecord) {
    MainWindow& f = start();
    load(12, 3);
    EXPECT_EQ(f.statusPanelText(0), QStringLiteral("3／12"));
    EXPECT_EQ(f.shomei->text(), QStringLiteral("本3"));
    for (auto [b, a] : {std::pair{f.ToolButton10, f.N8},
                        {f.ToolButton7, f.N9},
                        {f.ToolButton8, f.N10},
                        {f.ToolButton12, f.N11}})
        EXPECT_TRUE(navEnabled(f, b, a));

    f.catalogue().currentIndex = 12;
    f.showCurrentRecord();
    EXPECT_EQ(f.statusPanelText(0), QStringLiteral("12／12"));
    EXPECT_TRUE(navEnabled(f, f.ToolButton10, f.N8));
    EXPECT_FALSE(navEnabled(f, f.ToolButton8, f.N10));
    EXPECT_FALSE(navEnabled(f, f.ToolButton12, f.N11));

    load(1, 1);
    for (auto [b, a] : {std::pair{f.ToolButton10, f.N8},
                        {f.ToolButton7, f.N9},
                        {f.ToolButton8, f.N10},
                        {f.ToolButton12, f.N11}})
        EXPECT_FALSE(navEnabled(f, b, a));
}

TEST_F(MainWindowTest, PagingKeysMoveWithoutCountingAsChanges) {
    MainWindow& f = start();
    load(3, 1);
    f.catalogue().modifiedCount = 0;
    f.ToolButton2->setEnabled(false); // as straight after an add

    QTest::keyClick(f.shomei, Qt::Key_PageUp);
    EXPECT_EQ(f.catalogue().currentIndex, 1);

    f.shomei->setText(QStringLiteral("改題"));
    QTest::keyClick(f.yomi, Qt::Key_PageDown);
    EXPECT_EQ(f.catalogue().currentIndex, 2);
    EXPECT_EQ(title(1), QStringLiteral("改題")); // stored before leaving
    EXPECT_EQ(f.shomei->text(), QStringLiteral("本2"));
    QTest::keyClick(f.kansou, Qt::Key_PageDown); // combo boxes and impressions page down too
    QTest::keyClick(f.janru1->lineEdit(), Qt::Key_PageDown);
    EXPECT_EQ(f.catalogue().currentIndex, 3);
    EXPECT_EQ(f.catalogue().recordCount, 3);
    EXPECT_EQ(f.janru1->currentText(), QString());

    QTest::keyClick(f.bikou2, Qt::Key_PageUp);
    EXPECT_EQ(f.catalogue().currentIndex, 2);
    EXPECT_EQ(f.catalogue().modifiedCount, 0);
    EXPECT_EQ(f.statusPanelText(0), QStringLiteral("2／3"));

    // On the last record Page Down adds only while the add button is enabled.
    QTest::keyClick(f.shomei, Qt::Key_PageDown);
    QTest::keyClick(f.shomei, Qt::Key_PageDown);
    EXPECT_EQ(f.catalogue().recordCount, 3);
    EXPECT_EQ(f.catalogue().currentIndex, 3);
    QTest::keyClicks(f.shomei, QStringLiteral("x"));
    EXPECT_TRUE(f.ToolButton2->isEnabled());
    QTest::keyClick(f.shomei, Qt::Key_PageDown);
    EXPECT_EQ(f.catalogue().recordCount, 4);
    EXPECT_EQ(f.catalogue().currentIndex, 4);
    EXPECT_EQ(f.janru1->currentText(), QStringLiteral("ジャンル１"));
    EXPECT_EQ(f.catalogue().modifiedCount, 1);   // the add counts, the paging does not
    QTest::keyClick(f.shomei, Qt::Key_PageDown); // add disabled again straight after the add
    EXPECT_EQ(f.catalogue().recordCount, 4);
}

TEST_F(MainWindowTest, EnterAndArrowsMoveTheFocusInTabOrder) {
    MainWindow& f = start();
    f.teika->setFocus();
    f.teika->setText(QStringLiteral("1200"));
    QTest::keyClick(f.teika, Qt::Key_Return);
    EXPECT_EQ(f.teika->text(), QStringLiteral("1200"));
    EXPECT_EQ(f.focusWidget(), f.shohan);
    QTest::keyClick(f.shohan, Qt::Key_Up);
    EXPECT_EQ(f.focusWidget(), f.teika);
    QTest::keyClick(f.teika, Qt::Key_Down);
    EXPECT_EQ(f.focusWidget(), f.shohan);

    // The edits do not select their text when the focus arrives; the combo boxes do.
    f.sousho->setText(QStringLiteral("叢書"));
    f.shuppansha->setFocus();
    QTest::keyClick(f.shuppansha, Qt::Key_Return);
    EXPECT_EQ(f.focusWidget(), f.sousho);
    EXPECT_FALSE(f.sousho->hasSelectedText());
    f.setControlText(Field::Genre1, QStringLiteral("小説"));
    f.yomi->setFocus();
    QTest::keyClick(f.yomi, Qt::Key_Return);
    EXPECT_EQ(f.janru1->lineEdit()->selectedText(), QStringLiteral("小説"));

    // Wraps around, skipping hidden fields.
    f.bikou2->setFocus();
    QTest::keyClick(f.bikou2, Qt::Key_Down);
    EXPECT_EQ(f.focusWidget(), f.shomei);
    f.catalogue().flag(Field::Subtitle) = "FALSE";
    f.layOutFields();
    QTest::keyClick(f.shomei, Qt::Key_Return);
    EXPECT_EQ(f.focusWidget(), f.yomi);
    QTest::keyClick(f.shomei, Qt::Key_Up);
    EXPECT_EQ(f.focusWidget(), f.bikou2);

    // Enter in the impressions is a line break and a change.
    f.catalogue().modifiedCount = 0;
    f.kansou->setFocus();
    typeText(f.kansou, QStringLiteral("あ"));
    QTest::keyClick(f.kansou, Qt::Key_Return);
    typeText(f.kansou, QStringLiteral("い"));
    QTest::keyClick(f.kansou, Qt::Key_Backspace);
    EXPECT_EQ(f.controlText(Field::Impressions), QStringLiteral("あ\r\n"));
    EXPECT_EQ(f.catalogue().modifiedCount, 4);
    EXPECT_EQ(f.focusWidget(), f.kansou);
    EXPECT_TRUE(f.ToolButton2->isEnabled());
    EXPECT_TRUE(f.ToolButton3->isEnabled());
}

TEST_F(MainWindowTest, EnterInAComboBoxAppendsANewEntryOnce) {
    MainWindow& f = start();
    auto listSize = [&] { return f.catalogue().list(ChoiceList::Genre1).size(); };
    ASSERT_EQ(listSize(), 5u);
    QLineEdit* edit = f.janru1->lineEdit();

    f.setControlText(Field::Genre1, QStringLiteral("小説"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(listSize(), 5u);
    EXPECT_EQ(f.focusWidget(), f.janru2);

    f.setControlText(Field::Genre1, QStringLiteral("小説 "));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(listSize(), 6u);
    EXPECT_EQ(f.catalogue().list(ChoiceList::Genre1).back(), sj("小説 "));

    f.setControlText(Field::Genre1, QString());
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(listSize(), 6u);

    f.catalogue().modifiedCount = 0;
    f.setControlText(Field::Genre1, QString());
    typeText(edit, QStringLiteral("詩歌"));
    EXPECT_EQ(f.catalogue().modifiedCount, 2); // each change of the text counts
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(listSize(), 7u);
    EXPECT_EQ(f.janru1->count(), 7);
    EXPECT_EQ(f.janru1->itemText(6), QStringLiteral("詩歌"));
    EXPECT_EQ(f.janru1->currentText(), QStringLiteral("詩歌"));
    EXPECT_EQ(f.catalogue().modifiedCount, 2); // appending itself is no change

    // Choosing another entry of a list is a change; the program setting a text is not.
    f.setControlText(Field::Format, QStringLiteral("文庫"));
    EXPECT_EQ(f.catalogue().modifiedCount, 2);
    QTest::keyClick(f.hangata->lineEdit(), Qt::Key_Down);
    EXPECT_EQ(f.hangata->currentText(), QStringLiteral("新書"));
    EXPECT_EQ(f.catalogue().modifiedCount, 3);

    // Typing in a single-line field never counts.
    QTest::keyClicks(f.shomei, QStringLiteral("abc"));
    QTest::keyClick(f.shomei, Qt::Key_Backspace);
    EXPECT_EQ(f.catalogue().modifiedCount, 3);
}

// The keyboard focus of an editable combo box is the combo box itself, not
// its line edit: keys and input-method text go there first.
TEST_F(MainWindowTest, ComboBoxKeysWorkThroughTheFocusedComboBox) {
    MainWindow& f = start();
    load(3, 1);
    f.ToolButton2->setEnabled(false);
    f.ToolButton3->setEnabled(false);
    f.janru1->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), f.janru1);

    // A typed character enables add and delete and counts as a change.
    f.catalogue().modifiedCount = 0;
    f.setControlText(Field::Genre1, QString());
    typeText(QApplication::focusWidget(), QStringLiteral("詩"));
    EXPECT_EQ(f.janru1->currentText(), QStringLiteral("詩"));
    EXPECT_TRUE(f.ToolButton2->isEnabled());
    EXPECT_TRUE(f.ToolButton3->isEnabled());
    EXPECT_EQ(f.catalogue().modifiedCount, 1);

    // Enter appends the new text once and moves on to the next field.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(f.catalogue().list(ChoiceList::Genre1).size(), 6u);
    EXPECT_EQ(f.catalogue().list(ChoiceList::Genre1).back(), sj("詩"));
    EXPECT_EQ(QApplication::focusWidget(), f.janru2);

    // Page Down shows the next record; Page Up keeps its list meaning.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
    EXPECT_EQ(f.catalogue().currentIndex, 2);
    EXPECT_EQ(f.shomei->text(), QStringLiteral("本2"));
    EXPECT_EQ(f.catalogue().field(Field::Genre1, 1), sj("詩"));
    f.setControlText(Field::Genre2, QStringLiteral("ＳＦ"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp);
    EXPECT_EQ(f.catalogue().currentIndex, 2);
    EXPECT_EQ(f.janru2->currentText(), QStringLiteral("時代小説"));

    // Text committed by the input method enables add and delete as typing does.
    f.ToolButton2->setEnabled(false);
    f.ToolButton3->setEnabled(false);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("歴史"));
    QApplication::sendEvent(QApplication::focusWidget(), &commit);
    EXPECT_TRUE(f.janru2->currentText().endsWith(QStringLiteral("歴史")));
    EXPECT_TRUE(f.ToolButton2->isEnabled());
    EXPECT_TRUE(f.ToolButton3->isEnabled());
}

// Menu commands come without a click on the window; those that add, remove or
// replace records hide the list all the same, so that its rows never stand
// for records they no longer show.
TEST_F(MainWindowTest, RecordChangingMenuCommandsHideTheListWindow) {
    MainWindow& f = start();
    QWidget list;
    f.setListWindow(&list);
    auto check = [&](const char* what, QAction* entry) {
        list.show();
        entry->trigger();
        EXPECT_FALSE(list.isVisible()) << what;
    };
    check("add", f.Save2);
    check("copy to the end", f.V1);
    Dialogs::setNextAnswer(false);
    check("delete, even when declined", f.N3);
    check("open, even when cancelled", f.Open1);
    Dialogs::setNextFileName(std::nullopt); // the Save As that New runs on unsaved changes
    check("new", f.New1);

    // Moving between records leaves it open.
    f.ToolButton2Click();
    list.show();
    f.N8->trigger();
    EXPECT_TRUE(list.isVisible());
}

TEST_F(MainWindowTest, ClicksAndKeysHideTheListWindow) {
    MainWindow& f = start();
    QWidget list;
    f.setListWindow(&list);
    auto reshow = [&] {
        list.show();
        ASSERT_TRUE(list.isVisible());
    };

    reshow();
    QTest::mouseClick(f.kansou->viewport(), Qt::LeftButton);
    EXPECT_TRUE(list.isVisible()); // a click in the impressions leaves it
    QTest::keyClicks(f.kansou, QStringLiteral("a"));
    EXPECT_TRUE(list.isVisible());
    QTest::mouseClick(f.shomei, Qt::LeftButton);
    EXPECT_FALSE(list.isVisible());

    reshow();
    QTest::mouseClick(f.centralWidget(), Qt::LeftButton, {}, QPoint(700, 5));
    EXPECT_FALSE(list.isVisible());

    reshow();
    QTest::keyClick(f.sakusha, Qt::Key_Left);
    EXPECT_FALSE(list.isVisible());

    reshow();
    f.setControlText(Field::Genre2, QStringLiteral("ＳＦ"));
    EXPECT_TRUE(list.isVisible());
    QTest::keyClicks(f.janru2->lineEdit(), QStringLiteral("x"));
    EXPECT_FALSE(list.isVisible());

    // The list command stores the view, then shows the window anew.
    f.shomei->setText(QStringLiteral("一覧前"));
    f.N4->trigger();
    EXPECT_TRUE(list.isVisible());
    EXPECT_EQ(title(1), QStringLiteral("一覧前"));
}

TEST_F(MainWindowTest, HaneiKeepsTheBytesOfFieldsNotEdited) {
    MainWindow& f = start();
    // 0xED40 is an NEC-selected IBM extension: it decodes to a character whose
    // own encoding is 0xFA5C, and a stray lead byte does not decode at all.
    const Bytes ibm = "\xED\x40";
    const Bytes broken = "ab\x81";
    Catalogue& c = f.catalogue();
    c.recordCount = 2;
    c.setField(Field::Title, 1, ibm);
    c.setField(Field::Note1, 1, broken);
    c.setField(Field::Impressions, 1, "a\r\nb\nc");
    c.setField(Field::Reading, 1, sj("よみ"));
    f.showCurrentRecord();
    ASSERT_EQ(sjis::tryEncode(f.shomei->text()).bytes, "\xFA\x5C");

    f.yomi->setText(QStringLiteral("よみかた"));
    f.ToolButton8Click();
    EXPECT_EQ(c.field(Field::Title, 1), ibm);
    EXPECT_EQ(c.field(Field::Note1, 1), broken);
    EXPECT_EQ(c.field(Field::Impressions, 1), "a\r\nb\nc");
    EXPECT_EQ(c.field(Field::Reading, 1), sj("よみかた"));

    // An edited field is stored as shown, with CR LF line breaks in the impressions.
    f.ToolButton7Click();
    f.kansou->setPlainText(QStringLiteral("一\n二"));
    f.storeShownRecord();
    EXPECT_EQ(c.field(Field::Impressions, 1), sj("一\r\n二"));
    EXPECT_EQ(c.field(Field::Title, 1), ibm);
}

TEST_F(MainWindowTest, FieldsRefuseWhatTheFileCannotHold) {
    MainWindow& f = start();
    f.shomei->setFocus();
    typeText(f.shomei, QStringLiteral("本한"));
    EXPECT_EQ(f.shomei->text(), QStringLiteral("本"));
    EXPECT_TRUE(f.statusBar()->currentMessage().contains(QStringLiteral("한")));

    f.statusBar()->clearMessage();
    f.setControlText(Field::Genre1, QString());
    typeText(f.janru1->lineEdit(), QStringLiteral("①"));
    EXPECT_EQ(f.janru1->currentText(), QStringLiteral("①")); // in code page 932
    EXPECT_TRUE(f.statusBar()->currentMessage().isEmpty());
    typeText(f.janru1->lineEdit(), QStringLiteral("€"));
    EXPECT_EQ(f.janru1->currentText(), QStringLiteral("①"));
    EXPECT_FALSE(f.statusBar()->currentMessage().isEmpty());

    // A paste into a single-line field with a line break is refused whole.
    f.bikou1->clear();
    f.bikou1->insert(QStringLiteral("一行目\n二行目"));
    EXPECT_EQ(f.bikou1->text(), QString());
    // A program text loses its line breaks.
    f.setControlText(Field::Price, QStringLiteral("1,000\r\n円"));
    EXPECT_EQ(f.teika->text(), QStringLiteral("1,000 円"));

    // The impressions refuse typed and pasted characters alike, and do not count them.
    f.catalogue().modifiedCount = 0;
    typeText(f.kansou, QStringLiteral("感한"));
    EXPECT_EQ(f.kansou->toPlainText(), QStringLiteral("感"));
    EXPECT_EQ(f.catalogue().modifiedCount, 1);
    f.kansou->insertPlainText(QStringLiteral("x"));
    QApplication::clipboard()->setText(QStringLiteral("貼り付け한"));
    f.kansou->paste();
    EXPECT_EQ(f.kansou->toPlainText(), QStringLiteral("感x"));
    QApplication::clipboard()->setText(QStringLiteral("続き"));
    f.kansou->paste();
    EXPECT_EQ(f.kansou->toPlainText(), QStringLiteral("感x続き"));
    // A line break pasted into a single-line field is refused.
    QApplication::clipboard()->setText(QStringLiteral("上\n下"));
    f.kounyuu->paste();
    EXPECT_EQ(f.kounyuu->text(), QString());

    // Characters already there (from a damaged file) do not block other edits.
    f.setControlText(Field::Author, QStringLiteral("\uFFFD"));
    typeText(f.sakusha, QStringLiteral("著"));
    EXPECT_EQ(f.sakusha->text(), QStringLiteral("\uFFFD著"));
}

// Japanese is typed through the input method: its committed text passes the
// same check as keys typed one by one.
TEST_F(MainWindowTest, InputMethodTextIsRefusedLikeTypedText) {
    MainWindow& f = start();
    f.bikou1->setFocus();
    typeText(f.bikou1, QStringLiteral("a"));
    QInputMethodEvent refused;
    refused.setCommitString(QStringLiteral("한"));
    QApplication::sendEvent(f.bikou1, &refused);
    EXPECT_EQ(f.bikou1->text(), QStringLiteral("a"));
    QInputMethodEvent accepted;
    accepted.setCommitString(QStringLiteral("読書"));
    QApplication::sendEvent(f.bikou1, &accepted);
    EXPECT_EQ(f.bikou1->text(), QStringLiteral("a読書"));
}
