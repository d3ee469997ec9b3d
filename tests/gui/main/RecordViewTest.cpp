#include "MainWindowFixture.h"

#include "gui/booklist/BookListWindow.h"
#include "gui/widgets/StringGrid.h"

#include <QClipboard>
#include <QInputMethodEvent>
#include <QStyle>
#include <QStyleOptionComboBox>

using namespace sorabel;

TEST_F(MainWindowTest, AFreshWindowShowsOneEmptyRecordAndDisablesWhatNeedsMore) {
    MainWindow& f = start();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("ソラベル"));
    EXPECT_EQ(panel(0), QStringLiteral("1／1"));
    EXPECT_EQ(panel(1), QString());
    for (const FieldInfo& info : fieldTable())
        EXPECT_FALSE(control(info.field)->isHidden()) << info.key;
    for (const char* name :
         {"addButton", "deleteButton", "firstButton", "previousButton", "nextButton", "lastButton"})
        EXPECT_FALSE(button(name)->isEnabled()) << name;
    // The impressions take the height the other rows leave.
    EXPECT_GT(impressions()->height(), 2 * control(Field::Title)->height());
}

TEST_F(MainWindowTest, PagingKeysMoveWithoutCountingAsChanges) {
    start();
    arrange(3, 1);
    QWidget* title = control(Field::Title);
    session.editField(Field::Title, sj("改題")); // typed before paging
    // {control, key, current record after}: combo boxes and impressions page too.
    const std::tuple<QWidget*, Qt::Key, int> steps[] = {
        {title, Qt::Key_PageUp, 1},
        {control(Field::Reading), Qt::Key_PageDown, 2},
        {impressions(), Qt::Key_PageDown, 3},
        {control(Field::Note2), Qt::Key_PageUp, 2},
        {combo(Field::Genre1), Qt::Key_PageDown, 3},
        {title, Qt::Key_PageDown, 3}};
    for (auto [w, key, current] : steps) {
        QTest::keyClick(w, key);
        EXPECT_EQ(session.currentIndex(), current) << w->objectName().toStdString();
    }
    EXPECT_EQ(this->title(1), QStringLiteral("改題"));
    EXPECT_EQ(session.undoText(), QStringLiteral("入力")); // paging adds no step
    EXPECT_EQ(panel(0), QStringLiteral("3／3"));

    // On the last record Page Down adds only while the add button is enabled.
    EXPECT_EQ(session.recordCount(), 3);
    QTest::keyClicks(title, QStringLiteral("x"));
    EXPECT_TRUE(button("addButton")->isEnabled());
    QTest::keyClick(title, Qt::Key_PageDown);
    EXPECT_EQ(session.recordCount(), 4);
    EXPECT_EQ(session.currentIndex(), 4);
    EXPECT_EQ(shown(Field::Genre1), QStringLiteral("ジャンル１"));
    EXPECT_EQ(session.undoText(), QStringLiteral("追加"));
    QTest::keyClick(title, Qt::Key_PageDown); // add disabled again straight after the add
    EXPECT_EQ(session.recordCount(), 4);
}

TEST_F(MainWindowTest, EnterAndArrowsMoveTheFocusInTabOrder) {
    MainWindow& f = start();
    type(Field::Series, QStringLiteral("叢書"));
    setShown(Field::Genre1, QStringLiteral("小説"));
    // {from, key, to}: Enter and Down go on, Up goes back, around the ends.
    using F = Field;
    const std::tuple<F, Qt::Key, F> moves[] = {
        {F::Price, Qt::Key_Return, F::FirstEdition}, {F::FirstEdition, Qt::Key_Up, F::Price},
        {F::Price, Qt::Key_Down, F::FirstEdition},   {F::Publisher, Qt::Key_Return, F::Series},
        {F::Reading, Qt::Key_Return, F::Genre1},     {F::Note2, Qt::Key_Down, F::Title}};
    for (auto [from, key, to] : moves) {
        control(from)->setFocus();
        QTest::keyClick(control(from), key);
        EXPECT_EQ(f.focusWidget(), control(to)) << fieldInfo(from).key;
        // The edits do not select their text when the focus arrives; the combo boxes do.
        if (to == Field::Series) {
            EXPECT_FALSE(edit(to)->hasSelectedText());
        }
        if (to == Field::Genre1) {
            EXPECT_EQ(combo(to)->lineEdit()->selectedText(), QStringLiteral("小説"));
        }
    }
    // Hidden fields are skipped.
    arrange(1, 1, [](Catalogue& c) { c.flag(Field::Subtitle) = "FALSE"; });
    f.layOutFields();
    QTest::keyClick(control(Field::Title), Qt::Key_Return);
    EXPECT_EQ(f.focusWidget(), control(Field::Reading));
    QTest::keyClick(control(Field::Title), Qt::Key_Up);
    EXPECT_EQ(f.focusWidget(), control(Field::Note2));

    // Enter in the impressions is a line break and, like every key there, a change.
    impressions()->setFocus();
    typeText(impressions(), QStringLiteral("あ"));
    QTest::keyClick(impressions(), Qt::Key_Return);
    QTest::keyClick(impressions(), Qt::Key_Backspace);
    EXPECT_EQ(shown(Field::Impressions), QStringLiteral("あ"));
    EXPECT_TRUE(session.isModified());
    EXPECT_EQ(f.focusWidget(), impressions());
}

// The keyboard focus of an editable combo box is the combo box itself, not
// its line edit: keys and input-method text go there first.
TEST_F(MainWindowTest, ComboBoxesCountChangesAndTakeNewEntriesOnce) {
    start();
    arrange(3, 2);
    auto listSize = [&] { return session.catalogue().list(ChoiceList::Genre1).size(); };
    ASSERT_EQ(listSize(), 5u);
    QComboBox* genre1 = combo(Field::Genre1);
    genre1->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), genre1);

    // Enter on a known entry, on an empty text: nothing joins the list.
    for (const QString& text : {QStringLiteral("小説"), QString()}) {
        setShown(Field::Genre1, text);
        genre1->setFocus();
        QTest::keyClick(genre1, Qt::Key_Return);
        EXPECT_EQ(listSize(), 5u);
        EXPECT_EQ(QApplication::focusWidget(), combo(Field::Genre2));
    }

    // Each typed character counts and enables add and delete; Enter appends
    // the new text once (itself no change) and moves on.
    genre1->setFocus();
    typeText(genre1, QStringLiteral("詩歌"));
    EXPECT_TRUE(button("addButton")->isEnabled());
    EXPECT_TRUE(button("deleteButton")->isEnabled());
    EXPECT_TRUE(session.isModified());
    QTest::keyClick(genre1, Qt::Key_Return);
    QTest::keyClick(genre1, Qt::Key_Return);
    EXPECT_EQ(listSize(), 6u);
    EXPECT_EQ(genre1->itemText(5), QStringLiteral("詩歌"));
    EXPECT_TRUE(session.isModified());

    // Page Up keeps its list meaning (Page Down pages, as in every field).
    QComboBox* genre2 = combo(Field::Genre2);
    genre2->setFocus();
    setShown(Field::Genre2, QStringLiteral("ＳＦ"));
    QTest::keyClick(genre2, Qt::Key_PageUp);
    EXPECT_EQ(session.currentIndex(), 2);
    EXPECT_EQ(genre2->currentText(), QStringLiteral("時代小説"));
    EXPECT_TRUE(session.isModified()); // choosing another entry is a change

    // The program setting a text is none; every edit the user makes in a
    // single-line field is one, deleting included, so no typed title is lost.
    setShown(Field::Format, QStringLiteral("文庫"));
    EXPECT_TRUE(session.isModified());
    QTest::keyClicks(control(Field::Title), QStringLiteral("abc"));
    QTest::keyClick(control(Field::Title), Qt::Key_Backspace);
    EXPECT_TRUE(session.isModified());

    // Text committed by the input method enables add as typing does.
    button("addButton")->setEnabled(false);
    genre2->setFocus();
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("歴史"));
    QApplication::sendEvent(genre2, &commit);
    EXPECT_TRUE(genre2->currentText().endsWith(QStringLiteral("歴史")));
    EXPECT_TRUE(button("addButton")->isEnabled());
}

// The book list stays open while the user works in the main window, and its
// rows follow the records.
TEST_F(MainWindowTest, TheBookListStaysOpenAndCurrentWhileTheUserWorks) {
    MainWindow& f = start();
    QWidget& list = windows->bookList();
    auto* grid = &reach<StringGrid>(list, "grid");
    entry("一覧表示(&O)")->trigger();
    const int rows = grid->rowCount();
    entry("追加(&A)")->trigger();
    type(Field::Title, QStringLiteral("新刊"));
    entry("コピーして最後尾へ追加(&V)")->trigger();
    Dialogs::setNextAnswer(false);
    entry("削除(&D)")->trigger();
    QTest::mouseClick(control(Field::Title), Qt::LeftButton);
    QTest::keyClick(control(Field::Author), Qt::Key_Left);
    QTest::mouseClick(f.centralWidget(), Qt::LeftButton, {}, QPoint(700, 5));
    EXPECT_TRUE(list.isVisible());
    EXPECT_EQ(grid->rowCount(), rows + 2);
    EXPECT_EQ(grid->cells(1, rows + 1), QStringLiteral("新刊")); // the copy
    EXPECT_EQ(grid->row(), rows + 1);

    // The list command stores the view, then shows the window.
    f.goToFirstRecord();
    list.hide();
    type(Field::Title, QStringLiteral("一覧前"));
    entry("一覧表示(&O)")->trigger();
    EXPECT_TRUE(list.isVisible());
    EXPECT_EQ(title(1), QStringLiteral("一覧前"));
}

TEST_F(MainWindowTest, StoringKeepsTheBytesOfFieldsNotEdited) {
    MainWindow& f = start();
    // 0xED40 is an NEC-selected IBM extension: it decodes to a character whose
    // own encoding is 0xFA5C, and a stray lead byte does not decode at all.
    const Bytes ibm = "\xED\x40";
    const Bytes broken = "ab\x81";
    arrange(2, 1, [&](Catalogue& c) {
        c.setField(Field::Title, 1, ibm);
        c.setField(Field::Note1, 1, broken);
        c.setField(Field::Impressions, 1, "a\r\nb\nc");
        c.setField(Field::Reading, 1, sj("よみ"));
    });
    ASSERT_EQ(sjis::tryEncode(shown(Field::Title)).bytes, "\xFA\x5C");

    type(Field::Reading, QStringLiteral("よみかた"));
    f.goToNextRecord();
    const Catalogue& c = session.catalogue();
    for (auto [field, bytes] : {std::pair{Field::Title, ibm},
                                {Field::Note1, broken},
                                {Field::Impressions, Bytes("a\r\nb\nc")},
                                {Field::Reading, sj("よみかた")}})
        EXPECT_EQ(c.field(field, 1), bytes) << fieldInfo(field).key;

    // An edited field is stored as shown, with CR LF line breaks in the impressions.
    f.goToPreviousRecord();
    impressions()->setPlainText(QStringLiteral("一\n二"));
    EXPECT_EQ(c.field(Field::Impressions, 1), sj("一\r\n二"));
    EXPECT_EQ(c.field(Field::Title, 1), ibm);

    // Typing beside such characters leaves their bytes alone, and taking the
    // typing back gives the stored bytes again.
    QLineEdit* title = edit(Field::Title);
    title->end(false);
    typeText(title, QStringLiteral("x"));
    EXPECT_EQ(c.field(Field::Title, 1), "\xED\x40x");
    QTest::keyClick(title, Qt::Key_Backspace);
    EXPECT_EQ(c.field(Field::Title, 1), ibm);
    QLineEdit* note = edit(Field::Note1);
    note->home(false);
    typeText(note, QStringLiteral("Z"));
    EXPECT_EQ(c.field(Field::Note1, 1), "Zab\x81");
}

TEST_F(MainWindowTest, FieldsRefuseWhatTheFileCannotHold) {
    MainWindow& f = start();
    QLineEdit* title = edit(Field::Title);
    title->setFocus();
    typeText(title, QStringLiteral("本한"));
    EXPECT_EQ(title->text(), QStringLiteral("本"));
    QLabel* statusNote = &reach<QLabel>(f, "statusNote");
    EXPECT_TRUE(statusNote->text().contains(QStringLiteral("한")));

    statusNote->clear();
    setShown(Field::Genre1, QString());
    QLineEdit* genre1 = combo(Field::Genre1)->lineEdit();
    typeText(genre1, QStringLiteral("①"));
    EXPECT_EQ(shown(Field::Genre1), QStringLiteral("①")); // in code page 932
    EXPECT_TRUE(statusNote->text().isEmpty());
    typeText(genre1, QStringLiteral("€"));
    EXPECT_EQ(shown(Field::Genre1), QStringLiteral("①"));
    EXPECT_FALSE(statusNote->text().isEmpty());

    // Hovering over a tool button shows its long hint beside the panels.
    QStatusTipEvent tip(QStringLiteral("データ追加"));
    QApplication::sendEvent(&f, &tip);
    EXPECT_EQ(statusNote->text(), QStringLiteral("データ追加"));
    EXPECT_EQ(panel(0), QStringLiteral("1／1")); // the note hides neither panel
    EXPECT_TRUE(reach<QLabel>(f, "statusPanel0").isVisible());

    // A paste into a single-line field with a line break is refused whole.
    QApplication::clipboard()->setText(QStringLiteral("上\n下"));
    edit(Field::DateBought)->paste();
    EXPECT_EQ(edit(Field::DateBought)->text(), QString());
    // A program text loses its line breaks.
    setShown(Field::Price, QStringLiteral("1,000\r\n円"));
    EXPECT_EQ(edit(Field::Price)->text(), QStringLiteral("1,000 円"));

    // The impressions refuse typed and pasted characters alike.
    typeText(impressions(), QStringLiteral("感한"));
    EXPECT_EQ(impressions()->toPlainText(), QStringLiteral("感"));
    EXPECT_EQ(session.catalogue().field(Field::Impressions, session.currentIndex()), sj("感"));
    QApplication::clipboard()->setText(QStringLiteral("貼り付け한"));
    impressions()->paste();
    EXPECT_EQ(impressions()->toPlainText(), QStringLiteral("感"));

    // Characters already there (from a damaged file) do not block other edits.
    setShown(Field::Author, QStringLiteral("\uFFFD"));
    typeText(edit(Field::Author), QStringLiteral("著"));
    EXPECT_EQ(edit(Field::Author)->text(), QStringLiteral("\uFFFD著"));

    // Japanese typed through the input method passes the same check.
    QLineEdit* note = edit(Field::Note1);
    note->setFocus();
    for (const QString& text : {QStringLiteral("한"), QStringLiteral("読書")}) {
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(note, &commit);
    }
    EXPECT_EQ(note->text(), QStringLiteral("読書"));
}

// A lone CR in a single-line field, written by another tool, breaks no line:
// the record nobody touched keeps it at the next save.
TEST_F(MainWindowTest, ALoneCrInAnUntouchedRecordSurvivesTheNextSave) {
    std::string bytes = CatalogueFile::serialise(numbered(2));
    const std::string title = sj("本1") + "\r\n";
    bytes.replace(bytes.find(title), title.size(), sj("本") + "\r1\r\n");
    const QString p = path(QStringLiteral("cr.srb"));
    FileIo::writeAtomically(p, bytes);
    MainWindow& f = start();
    openFile(p);
    f.goToFirstRecord();
    f.goToLastRecord();
    typeText(edit(Field::Title), QStringLiteral("改"));
    f.save();
    const std::string saved = readBytes(p);
    EXPECT_NE(saved.find(sj("本") + "\r1\r\n"), std::string::npos);
    EXPECT_NE(saved.find(sj("本2改") + "\r\n"), std::string::npos);
}

TEST_F(MainWindowTest, ChoiceBoxesTakeTheContentsColourInTheirTextOnly) {
    start();
    arrange(1, 1, [](Catalogue& c) {
        c.contentsFont.colour = 0x0000FF; // red
        c.setField(Field::Genre1, 1, sj("■■■■"));
    });
    editor().applyFonts({0, 0}, {0, 0});
    QComboBox* box = combo(Field::Genre1);
    box->resize(160, box->sizeHint().height());
    const QImage image = box->grab().toImage();
    QStyleOptionComboBox option;
    option.initFrom(box);
    option.editable = true;
    const QRect arrow =
        box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, box);
    auto redPixels = [&image](const QRect& area) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) {
                const QColor c = image.pixelColor(x, y);
                // Red, or red blended into the grey of the button.
                n += c.red() - c.green() > 40 && c.red() - c.blue() > 40;
            }
        return n;
    };
    ASSERT_FALSE(arrow.isEmpty());
    EXPECT_GT(redPixels(box->lineEdit()->geometry()), 20);
    EXPECT_EQ(redPixels(arrow), 0);
}
