#include "gui/booklist/BookListWindow.h"
#include "gui/main/MainWindow.h"
#include "core/text/ShiftJis.h"
#include "gui/widgets/Dialogs.h"
#include "gui/widgets/FindDialog.h"
#include "gui/help/HelpViewer.h"
#include "gui/widgets/StringGrid.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

using namespace sorabel;

namespace {

QString text(const Bytes& b) {
    return sjis::decode(b);
}

class ListWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        Dialogs::reset();
        HelpViewer::setTestMode(true);
        HelpViewer::clearRequests();
        form1 = std::make_unique<MainWindow>();
        form3 = std::make_unique<BookListWindow>();
        form1->setListWindow(form3.get());
        cat().flags.fill("TRUE");
    }
    void TearDown() override {
        StringGrid::setTextWidthMeasure({});
        form3.reset();
        form1.reset();
        Dialogs::reset();
    }

    Catalogue& cat() { return form1->catalogue(); }
    StringGrid& grid() { return *form3->StringGrid1; }

    // Records titled as given; the author holds "author<n>" so whole records
    // can be followed.
    void fill(const QStringList& titles, int current = 1) {
        for (int i = 1; i <= kMaxRecords; ++i)
            cat().clearRecord(i);
        int n = 0;
        for (const QString& title : titles) {
            ++n;
            cat().setField(Field::Title, n, sjis::encode(title));
            cat().setField(Field::Author, n, "author" + std::to_string(n));
        }
        cat().recordCount = n;
        cat().currentIndex = n > 0 ? current : 0;
    }
    void fillNumbered(int count, int current = 1) {
        QStringList titles;
        for (int i = 1; i <= count; ++i)
            titles << QStringLiteral("title%1").arg(i);
        fill(titles, current);
    }
    void showList() {
        form3->hide();
        form3->show();
        QApplication::processEvents();
    }
    QString title(int record) { return text(cat().field(Field::Title, record)); }
    QString author(int record) { return text(cat().field(Field::Author, record)); }
    QStringList gridColumn(int col) {
        QStringList out;
        for (int r = 1; r < grid().rowCount(); ++r)
            out << grid().cells(col, r);
        return out;
    }
    bool editCommandsEnabled() {
        return form3->ToolButton10->isEnabled() && form3->A1->isEnabled() &&
               form3->ToolButton11->isEnabled() && form3->Delete1->isEnabled();
    }
    bool editCommandsDisabled() {
        return !form3->ToolButton10->isEnabled() && !form3->A1->isEnabled() &&
               !form3->ToolButton11->isEnabled() && !form3->Delete1->isEnabled();
    }
    void find(const QString& what) {
        form3->FindDialog1->setFindText(what);
        form3->FindDialog1Find();
    }
    int questions() { return int(Dialogs::shownTexts(Dialogs::Kind::Question).size()); }

    std::unique_ptr<MainWindow> form1;
    std::unique_ptr<BookListWindow> form3;
};

} // namespace

TEST_F(ListWindowTest, WindowFrame) {
    EXPECT_EQ(Form3, form3.get());
    EXPECT_EQ(form3->windowTitle(), "一覧表示");
    EXPECT_EQ(form3->font().pixelSize(), 12);
    EXPECT_EQ(form3->N1->title(), "ソート(&S)");
    EXPECT_EQ(form3->Find1->title(), "検索(&L)");
    EXPECT_EQ(form3->S1->text(), "この面の説明(&H)");
    EXPECT_EQ(form3->ToolButton3->toolTip(), "昇順ソート");
    EXPECT_EQ(form3->ToolButton3->statusTip(), "ソートする");
    EXPECT_EQ(form3->ToolButton4->toolTip(), "閉じる");
    EXPECT_EQ(form3->ToolButton13->property("imageIndex").toInt(), 36);
    showList();
    form3->ToolButton4->click();
    EXPECT_FALSE(form3->isVisible());

    // Help: topic 10 of the window's own help file, from the menu and the button.
    form3->S1->trigger();
    form3->ToolButton2->click();
    ASSERT_EQ(HelpViewer::requests().size(), 2u);
    for (const auto& request : HelpViewer::requests()) {
        EXPECT_EQ(request.kind, HelpViewer::Request::Context);
        EXPECT_EQ(request.file, "sorabe.HLP");
        EXPECT_EQ(request.context, 10);
    }
}

TEST_F(ListWindowTest, EmptyCatalogueGivesOnlyTheHeaderRow) {
    fill({});
    form1->setStatusPanelText(0, QStringLiteral("unchanged"));
    showList();
    EXPECT_EQ(grid().rowCount(), 1);
    EXPECT_EQ(grid().colCount(), 20);
    EXPECT_EQ(grid().cells(4, 0), "ジャンル１");
    EXPECT_EQ(form1->statusPanelText(0), "unchanged");
    // Nothing to sort, find, delete or jump to.
    form3->ToolButton3Click();
    form3->ToolButton1Click();
    find(QStringLiteral("a"));
    form3->ToolButton11Click();
    form3->ToolButton13Click();
    EXPECT_EQ(questions(), 0);
    EXPECT_EQ(cat().recordCount, 0);
    EXPECT_EQ(form1->statusPanelText(0), "unchanged");
}

TEST_F(ListWindowTest, ColumnsFollowTheFlagsExactly) {
    fillNumbered(3);
    cat().storedCaptions[0] = sjis::encode(QStringLiteral("書　名"));
    cat().storedCaptions[1] = sjis::encode(QStringLiteral("副題だよ"));
    cat().flag(Field::Subtitle) = "true";
    cat().flag(Field::Impressions) = "FALSE";
    cat().flag(Field::Note2) = "";
    cat().list(ChoiceList::Format)[0] = sjis::encode(QStringLiteral("大きさ"));
    showList();
    EXPECT_EQ(grid().colCount(), 17);
    EXPECT_EQ(grid().cells(0, 0), "");
    EXPECT_EQ(grid().cells(1, 0), "書　名");
    EXPECT_EQ(grid().cells(2, 0), ""); // never read from a file: empty
    EXPECT_EQ(grid().cells(3, 0), "ジャンル１");
    EXPECT_EQ(grid().cells(5, 0), "大きさ");
    EXPECT_EQ(gridColumn(0), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(gridColumn(1), (QStringList{"title1", "title2", "title3"}));
    EXPECT_EQ(gridColumn(6), (QStringList{"author1", "author2", "author3"}));
    for (int c = 1; c < grid().colCount(); ++c)
        EXPECT_NE(grid().cells(c, 0), "副題だよ");

    for (auto& flag : cat().flags)
        flag = "FALSE";
    cat().currentIndex = 3;
    showList();
    EXPECT_EQ(grid().colCount(), 1);
    EXPECT_EQ(grid().rowCount(), 4);
    ASSERT_EQ(grid().row(), 3);
    const int key = form3->keyColumn();
    form1->setStatusPanelText(0, QStringLiteral("unchanged"));
    // With no field column the sort does nothing: not even the move to row 1.
    form3->ToolButton5Click();
    form3->ToolButton3Click();
    emit form3->N1->aboutToShow();
    EXPECT_EQ(questions(), 0);
    EXPECT_EQ(grid().row(), 3);
    EXPECT_EQ(cat().currentIndex, 3);
    EXPECT_EQ(form3->keyColumn(), key);
    EXPECT_EQ(form1->statusPanelText(0), "unchanged");
    // The find examines every row, finds nothing, and ends at the last row.
    form3->ToolButton1Click();
    find(QStringLiteral("title"));
    EXPECT_EQ(grid().row(), 3);
    EXPECT_EQ(form3->searchRow(), 3);
    EXPECT_EQ(form1->statusPanelText(0), "unchanged");
}

TEST_F(ListWindowTest, ColumnWidthsAndRowHeights) {
    fillNumbered(2);
    cat().setField(Field::Subtitle, 1, "w400");
    cat().setField(Field::Reading, 2, "w100");
    for (int i = 1; i <= 2; ++i)
        cat().setField(Field::Title, i, {});
    // Widths come from the seam: "w<n>" is n pixels wide, anything else 7 a character.
    StringGrid::setTextWidthMeasure(
        [](const QString& t) { return t.startsWith('w') ? t.mid(1).toInt() : int(t.size()) * 7; });
    cat().list(ChoiceList::Genre1)[0].clear();
    showList();
    EXPECT_EQ(grid().colWidths(0), 12);  // "1", "2": 7 + 5
    EXPECT_EQ(grid().colWidths(1), 64);  // all empty, header included
    EXPECT_EQ(grid().colWidths(2), 300); // 400 cut to 300
    EXPECT_EQ(grid().colWidths(3), 105);
    EXPECT_EQ(grid().colWidths(4), 64); // genre 1 with an empty heading
    EXPECT_EQ(grid().colWidths(5), 40); // "ジャンル２": 35 + 5

    const int h = form1->shomei->height();
    EXPECT_EQ(grid().defaultRowHeight(), h - 1);
    form3->resize(form3->width() + 20, form3->height() + 10);
    QApplication::processEvents();
    EXPECT_EQ(grid().defaultRowHeight(), h);
    showList();
    EXPECT_EQ(grid().defaultRowHeight(), h - 1);
}

TEST_F(ListWindowTest, ShowingOnTheCurrentRowRaisesNoClick) {
    fillNumbered(5, 1);
    form1->setStatusPanelText(0, QStringLiteral("before"));
    showList();
    EXPECT_EQ(form3->keyColumn(), 0);
    EXPECT_EQ(form1->statusPanelText(0), "before");
    grid().setCol(3);
    EXPECT_EQ(form3->keyColumn(), 3);
    form3->hide();
    showList(); // row 1 is current again: no click, the key column stays
    EXPECT_EQ(form3->keyColumn(), 3);
    EXPECT_EQ(form3->savedColumn(), 1);

    // Showing on another record moves the row and shows the record.
    cat().currentIndex = 4;
    showList();
    EXPECT_EQ(grid().row(), 4);
    EXPECT_EQ(form1->statusPanelText(0), "4／5");
    EXPECT_EQ(form1->controlText(Field::Title), "title4");
}

TEST_F(ListWindowTest, ChoosingARowShowsItsRecord) {
    fillNumbered(25, 1);
    cat().setField(Field::Impressions, 3, sjis::encode(QStringLiteral("一行目\r\n二行目")));
    cat().setField(Field::Price, 3, "500");
    showList();
    const int modified = cat().modifiedCount;
    const QRect cell = grid().visualRect(grid().model()->index(2, 1));
    QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(grid().row(), 3);
    EXPECT_EQ(form3->keyColumn(), 2);
    EXPECT_EQ(cat().currentIndex, 3);
    EXPECT_EQ(form1->controlText(Field::Title), "title3");
    EXPECT_EQ(form1->controlText(Field::Price), "500");
    EXPECT_TRUE(form1->controlText(Field::Impressions).contains(QStringLiteral("二行目")));
    EXPECT_EQ(form1->statusPanelText(0), "3／25");
    for (auto* b :
         {form1->ToolButton10, form1->ToolButton7, form1->ToolButton8, form1->ToolButton12})
        EXPECT_TRUE(b->isEnabled());
    for (auto* a : {form1->N8, form1->N9, form1->N10, form1->N11})
        EXPECT_TRUE(a->isEnabled());
    EXPECT_EQ(cat().modifiedCount, modified);

    // The same cell again shows the record again.
    form1->setControlText(Field::Title, QStringLiteral("edited"));
    QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(form1->controlText(Field::Title), "title3");

    form3->ToolButton13Click();
    EXPECT_EQ(cat().currentIndex, 25);
    EXPECT_FALSE(form1->ToolButton8->isEnabled());
    EXPECT_FALSE(form1->N11->isEnabled());
    form3->ToolButton14Click();
    EXPECT_EQ(cat().currentIndex, 1);
    EXPECT_FALSE(form1->ToolButton10->isEnabled());
    EXPECT_FALSE(form1->N9->isEnabled());
}

// A record chosen in the list and then left by the main window keeps the
// exact bytes of every field nobody edited, even bytes no character stands for.
TEST_F(ListWindowTest, ChosenRecordKeepsItsBytesWhenStoredAgain) {
    fillNumbered(3, 1);
    const Bytes unassigned("\x85\x40", 2);
    cat().setField(Field::Note1, 2, unassigned);
    showList();
    const QRect cell = grid().visualRect(grid().model()->index(1, 1));
    QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_EQ(cat().currentIndex, 2);
    form1->ToolButton8Click(); // next: stores the shown record first
    EXPECT_EQ(cat().field(Field::Note1, 2), unassigned);
    EXPECT_EQ(title(2), "title2");
    EXPECT_EQ(cat().currentIndex, 3);
}

TEST_F(ListWindowTest, SortNotAppliedKeepsTheCatalogue) {
    fill({"b", "A", "a", "B"});
    showList();
    Dialogs::setNextAnswer(false);
    form3->ToolButton3Click();
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Question),
              (std::vector<QString>{QStringLiteral("並べ替えの結果を反映させますか？")}));
    const QStringList keys = gridColumn(1);
    EXPECT_EQ(QSet<QString>(keys.begin(), keys.begin() + 2), (QSet<QString>{"A", "a"}));
    EXPECT_EQ(QSet<QString>(keys.begin() + 2, keys.end()), (QSet<QString>{"B", "b"}));
    // Record numbers travel with their rows; the catalogue is untouched.
    for (int r = 1; r <= 4; ++r)
        EXPECT_EQ(title(grid().cells(0, r).toInt()), grid().cells(1, r));
    EXPECT_EQ(title(1), "b");
    EXPECT_EQ(title(4), "B");
    EXPECT_TRUE(editCommandsDisabled());
    // Row 1 is shown; choosing a row shows the record numbered in column 0.
    EXPECT_EQ(cat().currentIndex, grid().cells(0, 1).toInt());
    grid().setRow(3);
    EXPECT_EQ(cat().currentIndex, grid().cells(0, 3).toInt());
    EXPECT_EQ(form1->controlText(Field::Title), grid().cells(1, 3));
    EXPECT_EQ(form1->statusPanelText(0), "3／4");
    // Jumps still work; insert and delete come back with the next showing.
    form3->ToolButton13Click();
    EXPECT_EQ(cat().currentIndex, grid().cells(0, 4).toInt());
    showList();
    EXPECT_TRUE(editCommandsEnabled());
    EXPECT_EQ(gridColumn(1), (QStringList{"b", "A", "a", "B"}));
}

TEST_F(ListWindowTest, AppliedSortRenumbersWholeRecords) {
    fill({"b", "c", "a"});
    showList();
    const int modified = cat().modifiedCount;
    Dialogs::setNextAnswer(true);
    form3->ToolButton3Click();
    // Order 3, 1, 2: old record 3 is the new record 1 with all its fields.
    EXPECT_EQ(title(1), "a");
    EXPECT_EQ(author(1), "author3");
    EXPECT_EQ(title(2), "b");
    EXPECT_EQ(author(2), "author1");
    EXPECT_EQ(title(3), "c");
    EXPECT_EQ(author(3), "author2");
    EXPECT_EQ(gridColumn(0), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(cat().modifiedCount, modified + 1);
    EXPECT_EQ(cat().recordCount, 3);
    EXPECT_EQ(cat().currentIndex, 1);
    EXPECT_EQ(form1->controlText(Field::Title), "a");
    EXPECT_TRUE(editCommandsEnabled());
}

TEST_F(ListWindowTest, DescendingPutsEmptyKeysLast) {
    fill({"", "い", "", "う", "あ"});
    showList();
    Dialogs::setNextAnswer(true);
    form3->ToolButton5Click();
    EXPECT_EQ(form3->reverseFlag(), 1);
    EXPECT_EQ(gridColumn(1), (QStringList{"う", "い", "あ", "", ""}));
    EXPECT_EQ(title(1), "う");
    EXPECT_EQ(author(1), "author4");
    EXPECT_EQ(title(5), "");
}

TEST_F(ListWindowTest, SortOrdersByTheChosenColumnFromTheTopRow) {
    QStringList titles;
    for (int i = 1; i <= 40; ++i)
        titles << QStringLiteral("t%1").arg(100 - i); // descending titles
    fill(titles);
    form3->resize(546, 381);
    showList();
    grid().setTopRow(15);
    ASSERT_EQ(grid().topRow(), 15);
    Dialogs::setNextAnswer(true);
    form3->ToolButton3Click(); // before any choice: column 1
    for (int r = 1; r <= 14; ++r)
        EXPECT_EQ(title(r), QStringLiteral("t%1").arg(100 - r)) << r;
    for (int r = 15; r <= 40; ++r)
        EXPECT_EQ(title(r), QStringLiteral("t%1").arg(60 + r - 15)) << r;
    EXPECT_EQ(author(15), "author40");
    EXPECT_EQ(gridColumn(0).last(), "40");

    // Choosing column 6 (the author) orders by it.
    grid().setTopRow(1);
    grid().setCol(7);
    EXPECT_EQ(form3->keyColumn(), 7);
    Dialogs::setNextAnswer(false);
    form3->ToolButton5Click();
    EXPECT_EQ(grid().cells(7, 1), "author9"); // "author9" is the largest text
    EXPECT_EQ(grid().col(), 7);
}

TEST_F(ListWindowTest, SortMenuSortsWhenItOpens) {
    fill({"b", "a"});
    showList();
    emit form3->N1->aboutToShow();
    EXPECT_EQ(questions(), 1);
    EXPECT_EQ(form3->reverseFlag(), 0);
    form3->G1->trigger();
    EXPECT_EQ(questions(), 2);
    EXPECT_EQ(form3->reverseFlag(), 1);
    EXPECT_EQ(gridColumn(1), (QStringList{"b", "a"}));
}

TEST_F(ListWindowTest, FindDownwardNeverWraps) {
    fill({"a", "x本", "c", "d", "本e", "f", "g", "h", "i"});
    showList();
    form3->ToolButton1->click();
    EXPECT_TRUE(form3->FindDialog1->isVisible());
    // The dialog's own button runs the step.
    form3->FindDialog1->textBox()->setText(QStringLiteral("本"));
    QTest::mouseClick(form3->FindDialog1->findNextButton(), Qt::LeftButton);
    EXPECT_EQ(grid().row(), 2);
    EXPECT_EQ(cat().currentIndex, 2);
    EXPECT_EQ(form1->controlText(Field::Title), "x本");
    EXPECT_EQ(form3->keyColumn(), 1);
    find(QStringLiteral("本"));
    EXPECT_EQ(grid().row(), 5);
    EXPECT_EQ(grid().topRow(), 5);
    EXPECT_EQ(form1->statusPanelText(0), "5／9");
    find(QStringLiteral("本"));
    EXPECT_EQ(grid().row(), 5);
    EXPECT_EQ(form3->searchRow(), 9);
    EXPECT_EQ(cat().currentIndex, 5);
    // A found row takes the keyboard focus away from the find dialog, so the
    // found cell is the focused one.
    form3->D1Click();
    QApplication::setActiveWindow(form3->FindDialog1);
    form3->FindDialog1->textBox()->setFocus();
    ASSERT_FALSE(grid().hasFocus());
    find(QStringLiteral("本"));
    QApplication::processEvents();
    EXPECT_EQ(grid().row(), 2);
    EXPECT_EQ(QApplication::activeWindow(), form3.get());
    EXPECT_TRUE(grid().hasFocus());
    EXPECT_TRUE(grid().isFocusedCell(1, 2));
    EXPECT_TRUE(form3->FindDialog1->isVisible());
    form3->D1Click();
    find(QStringLiteral("本"));
    find(QStringLiteral("本"));
    // Letter case counts; other columns are not searched.
    form3->D1Click();
    find(QStringLiteral("A"));
    find(QStringLiteral("author3"));
    EXPECT_EQ(grid().row(), 5);
    grid().setCol(7);
    form3->D1Click();
    find(QStringLiteral("author3"));
    EXPECT_EQ(grid().row(), 3);
    EXPECT_EQ(grid().col(), 7);
}

TEST_F(ListWindowTest, FindUpwardFromButtonAndMenu) {
    fill({"a", "b", "本", "d", "本", "f"});
    showList();
    grid().setRow(5);
    form3->ToolButton6Click();
    find(QStringLiteral("本"));
    EXPECT_EQ(grid().row(), 5);
    grid().setRow(5);
    form3->U1Click();
    find(QStringLiteral("本"));
    EXPECT_EQ(grid().row(), 3);
    find(QStringLiteral("本"));
    EXPECT_EQ(grid().row(), 3);
    EXPECT_EQ(form3->searchRow(), 1);
    // Opening the menu shows the dialog and keeps the direction.
    form3->FindDialog1->hide();
    emit form3->Find1->aboutToShow();
    EXPECT_TRUE(form3->FindDialog1->isVisible());
    EXPECT_EQ(form3->reverseFlag(), 1);
}

TEST_F(ListWindowTest, FindMatchesWholeCharactersOnly) {
    fill({"abc", "ソ", "書　名", "ソ\\x", "x@"});
    showList();
    form3->ToolButton1Click();
    find(QStringLiteral("ABC"));
    EXPECT_EQ(cat().currentIndex, 1);
    EXPECT_EQ(form3->searchRow(), 5);
    form3->ToolButton1Click();
    find(QStringLiteral("\\"));
    EXPECT_EQ(grid().row(), 4); // not ソ of row 2
    form3->ToolButton1Click();
    find(QStringLiteral("@"));
    EXPECT_EQ(grid().row(), 5); // not the ideographic space of row 3
    // A text the code page cannot hold is found nowhere, but the step still
    // scans to the end of the list, downward or upward.
    form3->ToolButton1Click();
    find(QStringLiteral("😀"));
    EXPECT_EQ(grid().row(), 5);
    EXPECT_EQ(form3->searchRow(), 5);
    form3->U1Click();
    find(QStringLiteral("😀"));
    EXPECT_EQ(form3->searchRow(), 1);
    EXPECT_EQ(grid().row(), 5);
    form3->ToolButton1Click();
    find(QString());
    EXPECT_EQ(grid().row(), 5);
}

TEST_F(ListWindowTest, DeleteFromTheMiddleTheEndAndTheOnlyRecord) {
    fillNumbered(5, 1);
    showList();
    grid().setRow(3);
    const int modified = cat().modifiedCount;
    Dialogs::setNextAnswer(false);
    form3->ToolButton11Click();
    EXPECT_EQ(cat().recordCount, 5);
    EXPECT_EQ(grid().selectionRect(), (StringGrid::Rect{1, 3, 19, 3}));

    Dialogs::setNextAnswer(true);
    form3->Delete1->trigger();
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Question).back(),
              QStringLiteral("この本の記録を削除しますか？"));
    EXPECT_EQ(cat().recordCount, 4);
    EXPECT_EQ(title(3), "title4");
    EXPECT_EQ(title(4), "title5");
    EXPECT_TRUE(cat().field(Field::Author, 5).empty());
    EXPECT_EQ(gridColumn(0), (QStringList{"1", "2", "3", "4"}));
    EXPECT_EQ(gridColumn(1), (QStringList{"title1", "title2", "title4", "title5"}));
    EXPECT_EQ(grid().row(), 3);
    EXPECT_EQ(grid().col(), 1);
    EXPECT_EQ(cat().currentIndex, 3);
    EXPECT_EQ(form1->controlText(Field::Title), "title4");
    EXPECT_EQ(cat().modifiedCount, modified + 1);

    form3->ToolButton13Click();
    Dialogs::setNextAnswer(true);
    form3->ToolButton11Click();
    EXPECT_EQ(cat().recordCount, 3);
    EXPECT_EQ(grid().rowCount(), 4);
    EXPECT_EQ(grid().row(), 3);
    EXPECT_EQ(cat().currentIndex, 3);
    EXPECT_EQ(form1->controlText(Field::Title), "title4");
    EXPECT_TRUE(cat().field(Field::Title, 4).empty());

    fillNumbered(1, 1);
    showList();
    Dialogs::setNextAnswer(true);
    form3->ToolButton11Click();
    EXPECT_EQ(cat().recordCount, 0);
    EXPECT_EQ(cat().currentIndex, 0);
    EXPECT_EQ(grid().rowCount(), 1);
    EXPECT_TRUE(cat().field(Field::Title, 1).empty());
}

TEST_F(ListWindowTest, InsertMakesAnEmptyRecordAtTheRow) {
    fillNumbered(3, 1);
    cat().setField(Field::Genre1, 1, sjis::encode(QStringLiteral("小説")));
    showList();
    grid().setCol(4);
    grid().setRow(1);
    const int modified = cat().modifiedCount;
    Dialogs::setNextAnswer(true);
    form3->A1->trigger();
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Question).back(),
              QStringLiteral("ここに挿入しますか？"));
    EXPECT_EQ(cat().recordCount, 4);
    EXPECT_TRUE(title(1).isEmpty());
    EXPECT_TRUE(cat().field(Field::Genre1, 1).empty());
    EXPECT_EQ(title(2), "title1");
    EXPECT_EQ(text(cat().field(Field::Genre1, 2)), "小説");
    EXPECT_EQ(title(4), "title3");
    EXPECT_EQ(gridColumn(0), (QStringList{"1", "2", "3", "4"}));
    EXPECT_EQ(gridColumn(1), (QStringList{"", "title1", "title2", "title3"}));
    EXPECT_EQ(grid().col(), 1);
    EXPECT_EQ(cat().currentIndex, 1);
    EXPECT_EQ(form1->controlText(Field::Title), "");
    EXPECT_EQ(form1->controlText(Field::Genre1), "");
    EXPECT_EQ(form1->statusPanelText(0), "1／4");
    EXPECT_EQ(cat().modifiedCount, modified + 1);

    // Answering no changes nothing.
    Dialogs::setNextAnswer(false);
    form3->ToolButton10Click();
    EXPECT_EQ(cat().recordCount, 4);
}

TEST_F(ListWindowTest, InsertRefusedAtTheLimitAndOnAnEmptyCatalogue) {
    fillNumbered(kMaxRecords, 1);
    showList();
    const int modified = cat().modifiedCount;
    Dialogs::setNextAnswer(true);
    form3->ToolButton10Click();
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Notice),
              (std::vector<QString>{QStringLiteral("記録できるのは２０００冊までです")}));
    EXPECT_EQ(cat().recordCount, kMaxRecords);
    EXPECT_EQ(grid().rowCount(), kMaxRecords + 1);
    EXPECT_EQ(title(1), "title1");
    EXPECT_EQ(title(kMaxRecords), "title2000");
    EXPECT_EQ(cat().modifiedCount, modified);

    fill({});
    showList();
    Dialogs::setNextAnswer(true);
    form3->ToolButton10Click();
    EXPECT_EQ(cat().recordCount, 1);
    EXPECT_EQ(cat().currentIndex, 1);
    EXPECT_EQ(grid().rowCount(), 2);
    EXPECT_EQ(gridColumn(0), (QStringList{"1"}));
    EXPECT_EQ(form1->statusPanelText(0), "1／1");
}

// The main window's menus change the catalogue without hiding the list. A
// grid left behind by such a change must not be sorted into the catalogue,
// nor used to delete or insert: the list is rebuilt and nothing else happens.
TEST_F(ListWindowTest, GridLeftBehindByTheMainWindowIsRebuiltNotUsed) {
    fillNumbered(6, 1);
    form1->showCurrentRecord();
    showList();
    // The main window hides the list when it deletes; a grid can still fall
    // behind the catalogue when the records change without that (here: the
    // store changed directly), and then it must not be used.
    cat().removeRecordAt(1, 6);
    cat().recordCount = 5;
    ASSERT_TRUE(form3->isVisible());
    const int asked = questions();

    Dialogs::setNextAnswer(true);
    form3->ToolButton5Click();
    EXPECT_EQ(questions(), asked);
    EXPECT_EQ(grid().rowCount(), 6);
    EXPECT_EQ(gridColumn(0), (QStringList{"1", "2", "3", "4", "5"}));
    EXPECT_EQ(gridColumn(1), (QStringList{"title2", "title3", "title4", "title5", "title6"}));
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(title(i), QStringLiteral("title%1").arg(i + 1));
        EXPECT_EQ(author(i), QStringLiteral("author%1").arg(i + 1));
    }
    EXPECT_TRUE(cat().field(Field::Title, 6).empty());
    EXPECT_TRUE(cat().field(Field::Author, 6).empty());
    // The rebuilt grid sorts as usual.
    Dialogs::setNextAnswer(true);
    form3->ToolButton5Click();
    EXPECT_EQ(questions(), asked + 1);
    EXPECT_EQ(title(1), "title6");
    EXPECT_EQ(title(5), "title2");

    // The main window adds a record: delete and insert in the old grid would
    // act on rows that no longer match the records.
    int count = 5;
    for (auto command : {&BookListWindow::ToolButton11Click, &BookListWindow::ToolButton10Click}) {
        cat().recordCount = ++count; // a record appended behind the list's back
        const int modified = cat().modifiedCount;
        Dialogs::setNextAnswer(true);
        (form3.get()->*command)();
        EXPECT_EQ(questions(), asked + 1);
        EXPECT_EQ(cat().recordCount, count);
        EXPECT_EQ(grid().rowCount(), count + 1);
        EXPECT_EQ(gridColumn(0).last(), QString::number(count));
        EXPECT_EQ(cat().modifiedCount, modified);
    }
    EXPECT_EQ(title(1), "title6");
}

TEST_F(ListWindowTest, FocusedCellIsPaintedNavy) {
    fillNumbered(3, 2);
    showList();
    QApplication::setActiveWindow(form3.get());
    grid().setFocus();
    QApplication::processEvents();
    if (!grid().hasFocus())
        GTEST_SKIP() << "no keyboard focus on this platform";
    const QImage image = grid().viewport()->grab().toImage();
    const QRect cell = grid().visualRect(grid().model()->index(1, 0));
    EXPECT_EQ(image.pixelColor(cell.bottomRight() - QPoint(2, 2)), QColor(0, 0, 128));
    const QRect other = grid().visualRect(grid().model()->index(0, 1));
    EXPECT_NE(image.pixelColor(other.bottomRight() - QPoint(2, 2)), QColor(0, 0, 128));
}

TEST_F(ListWindowTest, DescendingSortTurnsTheFindUpward) {
    fill({"本a", "b", "本c", "d"});
    showList();
    form3->ToolButton1Click();
    find(QStringLiteral("本"));
    EXPECT_EQ(grid().row(), 1);
    find(QStringLiteral("本"));
    EXPECT_EQ(grid().row(), 3);
    grid().setTopRow(1); // the found row was scrolled to the top
    Dialogs::setNextAnswer(false);
    form3->ToolButton5Click();
    EXPECT_EQ(gridColumn(1), (QStringList{"本c", "本a", "d", "b"}));
    // The search row stayed at 3 and the step now runs upward: row 2 holds 本a.
    find(QStringLiteral("本"));
    EXPECT_EQ(grid().row(), 2);
    EXPECT_EQ(cat().currentIndex, 1);
    EXPECT_EQ(form3->searchRow(), 2);
}

TEST_F(ListWindowTest, ListCommandStoresTheRecordAndRebuilds) {
    fillNumbered(3, 2);
    form1->showCurrentRecord();
    form1->N4Click();
    ASSERT_TRUE(form3->isVisible());
    EXPECT_EQ(grid().rowCount(), 4);
    // An edit in the main window reaches the open list at the next list command.
    form1->shomei->setText(QStringLiteral("書き直した題"));
    form1->N4Click();
    EXPECT_TRUE(form3->isVisible());
    EXPECT_EQ(grid().cells(1, 2), "書き直した題");
    EXPECT_EQ(title(2), "書き直した題");
    EXPECT_EQ(grid().row(), 2);
}
