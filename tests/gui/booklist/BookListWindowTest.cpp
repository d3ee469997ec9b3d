#include "gui/booklist/BookListWindow.h"

#include "core/catalogue/CatalogueSession.h"
#include "core/text/ShiftJis.h"
#include "gui/GuiTestFixture.h"
#include "gui/Reach.h"
#include "gui/help/HelpViewer.h"
#include "gui/widgets/Dialogs.h"
#include "gui/widgets/FindDialog.h"
#include "gui/widgets/StringGrid.h"

#include <QAbstractItemModelTester>
#include <QAbstractProxyModel>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <optional>

using namespace sorabel;

namespace {

class BookListTest : public GuiTestFixture {
protected:
    void SetUp() override {
        GuiTestFixture::SetUp();
        QObject::connect(&list, &BookListWindow::positionShown,
                         [this](int row, int rows) { positions.emplace_back(row, rows); });
        list.setCellFont(QFont(QStringLiteral("Serif"), 15), 24);
    }

    // Shows the list of records titled as given; the author holds "author<n>"
    // so that whole records can be followed.
    void fill(const QStringList& titles, int current = 1) {
        Catalogue cat;
        cat.resize(int(titles.size()));
        for (int i = 1; i <= int(titles.size()); ++i) {
            cat.setField(Field::Title, i, sjis::encode(titles[i - 1]));
            cat.setField(Field::Author, i, "author" + std::to_string(i));
        }
        session.takeCatalogue(std::move(cat), current);
        list.showList();
    }
    void fillNumbered(int count, int current = 1) {
        QStringList titles;
        for (int i = 1; i <= count; ++i)
            titles << QStringLiteral("title%1").arg(i);
        fill(titles, current);
    }

    StringGrid& grid() { return reach<StringGrid>(list, "grid"); }
    FindDialog& findDialog() { return reach<FindDialog>(list, "findDialog"); }
    // Runs a command by its tool button, menu entry or opening menu.
    void command(const char* name) {
        const QString n = QString::fromLatin1(name);
        if (n.endsWith(u"Button"))
            reach<QToolButton>(list, n).click();
        else if (n.endsWith(u"Action"))
            reach<QAction>(list, n).trigger();
        else
            emit reach<QMenu>(list, n).aboutToShow();
    }
    bool enabled(const char* button, const char* action) {
        const bool b = reach<QToolButton>(list, button).isEnabled();
        EXPECT_EQ(b, reach<QAction>(list, action).isEnabled());
        return b;
    }
    void find(const QString& what) {
        findDialog().setFindText(what);
        reach<QPushButton>(findDialog(), "findNextButton").click();
    }
    QString field(Field f, int r) { return sjis::decode(session.catalogue().field(f, r)); }
    QString title(int r) { return field(Field::Title, r); }
    QStringList column(int col) {
        QStringList out;
        for (int r = 1; r < grid().rowCount(); ++r)
            out << grid().cells(col, r);
        return out;
    }
    QStringList titles() {
        QStringList out;
        for (int r = 1; r <= session.recordCount(); ++r)
            out << title(r);
        return out;
    }
    int questions() { return int(Dialogs::shownTexts(Dialogs::Kind::Question).size()); }
    void clickCell(int col, int row) {
        const QRect cell = grid().visualRect(grid().model()->index(row - 1, col - 1));
        QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, cell.center());
    }

    CatalogueSession session;
    BookListWindow list{session};
    std::vector<std::pair<int, int>> positions;
};

} // namespace

TEST_F(BookListTest, GridHoldsTheVisibleFieldsOfEveryRecord) {
    fillNumbered(3, 1);
    Catalogue cat = session.catalogue();
    cat.storedCaptions[0] = sjis::encode(QStringLiteral("書　名"));
    cat.liveCaptions[1] = sjis::encode(QStringLiteral("副題だよ")); // never read from a file
    cat.flag(Field::Impressions) = "FALSE";
    cat.flag(Field::Note2) = "true";
    cat.list(ChoiceList::Format)[0] = sjis::encode(QStringLiteral("大きさ"));
    cat.setField(Field::Subtitle, 1, "w400");
    cat.setField(Field::Reading, 2, "w100");
    session.takeCatalogue(std::move(cat), 1);
    // Widths come from the seam: "w<n>" is n pixels wide, anything else 7 a character.
    StringGrid::setTextWidthMeasure(
        [](const QString& t) { return t.startsWith('w') ? t.mid(1).toInt() : int(t.size()) * 7; });
    list.showList();
    EXPECT_EQ(grid().colCount(), 18);
    QStringList header;
    for (int c = 0; c < 7; ++c)
        header << grid().cells(c, 0);
    EXPECT_EQ(header, (QStringList{"", "書　名", "", "", "ジャンル１", "ジャンル２", "大きさ"}));
    EXPECT_EQ(column(1), (QStringList{"title1", "title2", "title3"}));
    // Text plus 5, the default 64 for an empty column, never above 300.
    for (auto [col, width] : {std::pair{0, 12}, {2, 300}, {3, 105}, {5, 40}, {8, 64}})
        EXPECT_EQ(grid().colWidths(col), width) << col;
    // The main window's field font; rows one pixel lower than a field at a
    // showing, a field's height after a resize.
    EXPECT_EQ(grid().font().family(), "Serif");
    EXPECT_EQ(grid().defaultRowHeight(), 23);
    list.resize(list.width() + 20, list.height() + 10);
    QApplication::processEvents();
    EXPECT_EQ(grid().defaultRowHeight(), 24);

    // An empty catalogue gives only the header row, and no command has anything to act on.
    fill({});
    positions.clear();
    list.showList();
    EXPECT_EQ(grid().rowCount(), 1);
    EXPECT_EQ(grid().colCount(), 20);
    for (const char* button :
         {"sortAscendingButton", "deleteButton", "lastRowButton", "findDownButton"})
        command(button);
    find(QStringLiteral("a"));
    EXPECT_EQ(questions(), 0);
    EXPECT_EQ(session.recordCount(), 0);
    EXPECT_TRUE(positions.empty());
}

TEST_F(BookListTest, ChoosingARowShowsItsRecordAfterStoringTheEdits) {
    fillNumbered(25, 1);
    EXPECT_TRUE(positions.empty()); // row 1 was current already
    session.editField(Field::Title,
                      sjis::encode(QStringLiteral("edited"))); // typed in the main window
    clickCell(2, 3);
    EXPECT_EQ(session.currentIndex(), 3);
    EXPECT_EQ(title(1), "edited");
    EXPECT_EQ(positions.back(), std::make_pair(3, 25));
    EXPECT_EQ(session.undoText(), QStringLiteral("入力")); // choosing a row is no step

    command("lastRowButton");
    EXPECT_EQ(session.currentIndex(), 25);
    command("firstRowAction");
    EXPECT_EQ(session.currentIndex(), 1);

    // The open list follows the session's current record, without showing it again.
    const size_t shown = positions.size();
    session.showRecord(4);
    list.showList();
    EXPECT_EQ(grid().row(), 4);
    EXPECT_EQ(positions.size(), shown);
}

TEST_F(BookListTest, SortOrdersTheRowsAndAppliesTheOrderWhenAsked) {
    struct Case {
        QStringList titles;
        const char* command;
        bool apply;
        QStringList gridTitles;   // the grid shows the stored edit at once
        QStringList recordTitles; // the edit of record 2 stored before anything moved
        QStringList authors;
    };
    // clang-format off
    const Case cases[] = {
        {{"b", "c", "a"}, "sortAscendingButton", true, {"a", "b", "c!"}, {"a", "b", "c!"},
         {"author3", "author1", "author2"}},
        {{"", "い", "", "う", "あ"}, "sortDescendingAction", true, {"う", "い!", "あ", "", ""},
         {"う", "い!", "あ", "", ""}, {"author4", "author2", "author5", "author3", "author1"}},
        {{"b", "c", "a"}, "sortMenu", false, {"a", "b", "c!"}, {"b", "c!", "a"},
         {"author1", "author2", "author3"}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        fill(c.titles, 2);
        session.editField(
            Field::Title,
            sjis::encode(c.titles[1] + QStringLiteral("!"))); // typed in the main window
        Dialogs::setNextAnswer(c.apply);
        command(c.command);
        EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Question).back(),
                  QStringLiteral("並べ替えの結果を反映させますか？"));
        EXPECT_EQ(column(1), c.gridTitles);
        EXPECT_EQ(titles(), c.recordTitles);
        for (int r = 1; r <= session.recordCount(); ++r)
            EXPECT_EQ(field(Field::Author, r), c.authors[r - 1]);
        EXPECT_EQ(session.undoText(),
                  c.apply ? QStringLiteral("並べ替え") : QStringLiteral("入力"));
        // Row 1 is shown; insert and delete only while rows stand for their records.
        EXPECT_EQ(session.currentIndex(), grid().cells(0, 1).toInt());
        EXPECT_EQ(enabled("insertButton", "insertAction"), c.apply);
        EXPECT_EQ(enabled("deleteButton", "deleteAction"), c.apply);
    }
    // Unapplied, a row shows the record numbered in it; the next showing
    // rebuilds in catalogue order and enables insert and delete again.
    EXPECT_EQ(column(0), (QStringList{"3", "1", "2"}));
    clickCell(1, 3);
    EXPECT_EQ(session.currentIndex(), 2);
    EXPECT_EQ(positions.back(), std::make_pair(3, 3));
    list.showList();
    EXPECT_EQ(column(1), (QStringList{"b", "c!", "a"}));
    EXPECT_TRUE(enabled("insertButton", "insertAction"));
}

TEST_F(BookListTest, SortUsesTheChosenColumnAndKeepsRowsAboveTheTopRow) {
    QStringList names;
    for (int i = 1; i <= 40; ++i)
        names << QStringLiteral("t%1").arg(100 - i); // descending titles
    fill(names);
    grid().setTopRow(15);
    ASSERT_EQ(grid().topRow(), 15);
    Dialogs::setNextAnswer(true);
    command("sortAscendingButton"); // before any choice: column 1
    for (int r = 1; r <= 40; ++r)
        EXPECT_EQ(title(r), QStringLiteral("t%1").arg(r < 15 ? 100 - r : 60 + r - 15)) << r;
    EXPECT_EQ(field(Field::Author, 15), "author40");

    grid().setTopRow(1);
    grid().setCol(7); // the author column
    Dialogs::setNextAnswer(false);
    command("sortDescendingButton");
    EXPECT_EQ(grid().cells(7, 1), "author9"); // the largest text
    EXPECT_EQ(grid().col(), 7);
}

TEST_F(BookListTest, FindStepsThroughTheKeyColumnWithoutWrapping) {
    struct Case {
        QStringList titles;
        int row, col;
        const char* command;
        QString text;
        std::vector<int> rows; // the current row after each step
    };
    const Case cases[] = {
        {{"a", "x本", "c", "d", "本e", "f"}, 1, 1, "findDownButton", "本", {2, 5, 5}},
        {{"a", "b", "本", "d", "本", "f"}, 5, 1, "findUpButton", "本", {5, 3, 3}},
        {{"author3", "b", "c"}, 2, 7, "findDownAction", "author3", {3}},
        // Byte matching is the Shift-JIS search's test; here that the list
        // uses it (not the second byte of ソ) and a text it cannot hold.
        {{"a", "ソ", "ソ\\x"}, 1, 1, "findDownButton", "\\", {3}},
        {{"a", "ソ"}, 2, 1, "findDownButton", "😀", {2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString() + " " + c.command);
        fill(c.titles);
        grid().setRow(c.row);
        grid().setCol(c.col);
        command(c.command);
        EXPECT_TRUE(findDialog().isVisible());
        for (int expected : c.rows) {
            find(c.text);
            EXPECT_EQ(grid().row(), expected);
            EXPECT_EQ(session.currentIndex(), expected);
            EXPECT_EQ(grid().col(), c.col);
        }
    }

    // A found row takes the keyboard focus away from the find dialog.
    fill({"本a", "b", "本c", "d"});
    command("findDownAction");
    QApplication::setActiveWindow(&findDialog());
    reach<QLineEdit>(findDialog(), "textBox").setFocus();
    find(QStringLiteral("本"));
    // A window manager activates the list a moment later.
    EXPECT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == &list; }, 3000));
    EXPECT_TRUE(grid().isFocusedCell(1, 1));
}

TEST_F(BookListTest, DeleteAndInsertGoThroughTheSession) {
    fillNumbered(5, 1);
    grid().setRow(3);
    Dialogs::setNextAnswer(false);
    command("deleteButton");
    EXPECT_EQ(session.recordCount(), 5);
    EXPECT_EQ(grid().selectionRect(), (StringGrid::Rect{1, 3, 19, 3}));

    Dialogs::setNextAnswer(true);
    command("deleteAction");
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Question)[0], "この本の記録を削除しますか？");
    EXPECT_EQ(titles(), (QStringList{"title1", "title2", "title4", "title5"}));
    EXPECT_EQ(column(1), titles());
    EXPECT_EQ(session.currentIndex(), 3);
    EXPECT_EQ(positions.back(), std::make_pair(3, 4));
    EXPECT_EQ(session.undoText(), QStringLiteral("削除"));

    // Insert at row 1: the edit shown in the main window is stored first.
    clickCell(4, 1);
    session.editField(Field::Title,
                      sjis::encode(QStringLiteral("edited"))); // typed in the main window
    Dialogs::setNextAnswer(true);
    command("insertAction");
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Question).back(), "ここに挿入しますか？");
    EXPECT_EQ(titles(), (QStringList{"", "edited", "title2", "title4", "title5"}));
    EXPECT_EQ(column(0), (QStringList{"1", "2", "3", "4", "5"}));
    EXPECT_EQ(grid().col(), 1);
    EXPECT_EQ(positions.back(), std::make_pair(1, 5));
    EXPECT_EQ(session.undoText(), QStringLiteral("挿入"));

    // The only record, an empty catalogue, the limit.
    fillNumbered(1);
    for (const char* name : {"deleteButton", "insertButton"}) {
        Dialogs::setNextAnswer(true);
        command(name);
        EXPECT_EQ(grid().rowCount(), session.recordCount() + 1) << name;
    }
    EXPECT_EQ(session.recordCount(), 1);
    EXPECT_EQ(positions.back(), std::make_pair(1, 1));

    fillNumbered(kMaxRecords);
    Dialogs::setNextAnswer(true);
    command("insertButton");
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Notice),
              (std::vector<QString>{QStringLiteral("記録できるのは２０００冊までです")}));
}

// The main window changes the records while the list stays open: the rows
// follow at once, a view order gives way to the catalogue's, and the model
// keeps its promises to the view through every kind of change.
TEST_F(BookListTest, OpenListFollowsTheSession) {
    static int modelWarnings = 0;
    modelWarnings = 0;
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& msg) {
            if (type == QtWarningMsg && msg.contains(QLatin1String("FAIL!")))
                ++modelWarnings;
        });
    fillNumbered(6);
    QAbstractItemModelTester proxyTester(grid().model(),
                                         QAbstractItemModelTester::FailureReportingMode::Warning);
    QAbstractItemModelTester modelTester(
        qobject_cast<QAbstractProxyModel*>(grid().model())->sourceModel(),
        QAbstractItemModelTester::FailureReportingMode::Warning);
    Dialogs::setNextAnswer(false);
    command("sortDescendingButton"); // a view order: title6 on top
    ASSERT_FALSE(enabled("insertButton", "insertAction"));

    session.addRecord();
    EXPECT_EQ(column(1),
              (QStringList{"title1", "title2", "title3", "title4", "title5", "title6", ""}));
    EXPECT_TRUE(enabled("insertButton", "insertAction"));
    session.editField(Field::Title, sjis::encode(QStringLiteral("新しい本")));
    EXPECT_EQ(grid().cells(1, 7), "新しい本");
    EXPECT_EQ(grid().cells(0, 7), "7");
    session.goTo(2);
    EXPECT_EQ(grid().row(), 2);
    session.deleteCurrentRecord();
    EXPECT_EQ(column(1),
              (QStringList{"title1", "title3", "title4", "title5", "title6", "新しい本"}));
    session.undo();
    EXPECT_EQ(column(1).mid(0, 3), (QStringList{"title1", "title2", "title3"}));
    Dialogs::setNextAnswer(true);
    command("sortDescendingButton");
    EXPECT_EQ(column(1).first(), "新しい本");
    session.undo();
    EXPECT_EQ(column(1).first(), "title1");
    session.appendRecords(std::vector<std::array<Bytes, kFieldCount>>(2));
    EXPECT_EQ(grid().rowCount(), 10);
    session.newCatalogue(); // one empty record
    EXPECT_EQ(column(1), QStringList{QString()});
    EXPECT_TRUE(list.isVisible());
    qInstallMessageHandler(previous);
    EXPECT_EQ(modelWarnings, 0);
}

TEST_F(BookListTest, CloseHelpAndAbout) {
    fillNumbered(3);
    int abouts = 0;
    QObject::connect(&list, &BookListWindow::aboutRequested, [&] { ++abouts; });
    for (const char* name : {"aboutAction", "helpAction", "helpButton"})
        command(name);
    EXPECT_EQ(abouts, 1);
    ASSERT_EQ(HelpViewer::requests().size(), 2u);
    for (const auto& r : HelpViewer::requests())
        EXPECT_TRUE(r.kind == r.Context && r.file == "sorabe.HLP" && r.context == 10);

    // The find dialog stays through a showing and closes with the list; a
    // find on the hidden list does nothing.
    list.showList();
    command("findMenu");
    list.showList();
    EXPECT_TRUE(findDialog().isVisible());
    for (const char* close : {"closeButton", "closeAction"}) {
        list.showList();
        command("findDownButton");
        command(close);
        EXPECT_FALSE(list.isVisible());
        EXPECT_FALSE(findDialog().isVisible());
    }
    find(QStringLiteral("title2"));
    EXPECT_EQ(session.currentIndex(), 1);

    // Escape and Ctrl+W close the list as well.
    for (const QKeySequence& keys :
         {QKeySequence(Qt::Key_Escape), QKeySequence(QKeySequence::Close)}) {
        list.showList();
        QApplication::setActiveWindow(&list);
        grid().setFocus();
        QTest::keySequence(&grid(), keys);
        EXPECT_FALSE(list.isVisible()) << keys.toString().toStdString();
    }
}

TEST_F(BookListTest, FocusedCellIsPaintedNavy) {
    fillNumbered(3, 2);
    QApplication::setActiveWindow(&list);
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
