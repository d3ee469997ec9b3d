#include "MainWindowFixture.h"

#include "gui/booklist/BookListWindow.h"
#include "gui/widgets/StringGrid.h"

#include <QHeaderView>

using namespace sorabel;

// The list as the program shows it beside the main window: its rows as high
// as the title field after the start-up layout, its columns as wide as their
// texts in the list's own 12-pixel font.
TEST_F(MainWindowTest, BookListRowsAndColumnsMeasureWhatTheUserSees) {
    const QString p = path(QStringLiteral("big.srb"));
    Catalogue c = numbered(3);
    c.contentsFont = {20, Bytes(), 0};
    CatalogueFile::write(p, c);
    SettingsValues v;
    v.file = QFile::encodeName(p).toStdString();
    v.left = 40;
    v.top = 30;
    v.width = 800;
    v.height = 640;
    SettingsFile::writeAtExit(SettingsFile::defaultPath(), v);

    start();
    ASSERT_EQ(session.recordCount(), 3);
    ASSERT_EQ(edit(Field::Title)->height(), 37);
    button("bookListButton")->click();
    BookListWindow& list = windows->bookList();
    ASSERT_TRUE(list.isVisible());
    auto* grid = &reach<StringGrid>(list, "grid");
    EXPECT_EQ(grid->verticalHeader()->defaultSectionSize(), 36); // a showing: one pixel less
    list.resize(list.width() + 10, list.height());
    QApplication::processEvents();
    EXPECT_EQ(grid->verticalHeader()->defaultSectionSize(), 37);

    EXPECT_EQ(grid->cells(2, 0), QStringLiteral("副　題"));
    EXPECT_EQ(grid->colWidths(2), 41);
    EXPECT_EQ(grid->horizontalHeader()->sectionSize(1), 41);
}
