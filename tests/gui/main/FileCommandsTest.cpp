#include "MainWindowFixture.h"
#include "core/storage/FullDiskFileSystem.h"

#include <QDir>

using namespace sorabel;

TEST_F(MainWindowTest, SaveAsksForANameReportsFailuresAndAsksBeforeReplacing) {
    MainWindow& f = start();
    // Never saved: Save asks for a name; cancelling writes nothing.
    type(Field::Title, QStringLiteral("一冊目"));
    Dialogs::setNextFileName(std::nullopt);
    entry("上書き保存(&S)")->trigger();
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::SaveFile),
              std::vector<QString>{QStringLiteral("読書録データ(*.srb)")});
    EXPECT_EQ(Dialogs::shown().back().caption, ProgramFolder::path());
    EXPECT_TRUE(session.isModified());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{});

    const QString books = path(QStringLiteral("books.srb"));
    Dialogs::setNextFileName(books);
    button("saveButton")->click();
    EXPECT_FALSE(session.isModified());
    EXPECT_EQ(panel(1), QStringLiteral("books.srb"));

    // The backup and a failed write's harmlessness are the session's and the
    // writer's tests; here the error box, and the changes stay unsaved.
    type(Field::Title, QStringLiteral("三度目"));
    {
        FullDiskFileSystem full(10, ENOSPC);
        f.save();
    }
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Error).back(),
              QStringLiteral("ディスクがいっぱいです."));
    EXPECT_TRUE(session.isModified());

    // Save As over another file asks first, keeps no backup and takes the bare name.
    const QString other = path(QStringLiteral("other.srb"));
    FileIo::writeAtomically(other, "old");
    Dialogs::setNextFileName(other);
    Dialogs::setNextAnswer(true);
    button("saveAsButton")->click();
    EXPECT_TRUE(
        Dialogs::shownTexts(Dialogs::Kind::Question).back().contains(QStringLiteral("other.srb")));
    EXPECT_FALSE(FileIo::exists(other + "bak"));
    EXPECT_EQ(panel(1), QStringLiteral("other.srb"));
    EXPECT_EQ(CatalogueFile::parse(readBytes(other)).records[0][index(Field::Title)], sj("三度目"));
}

// New asks about unsaved changes as Open and Close do: キャンセル keeps them,
// いいえ empties without touching the file, はい saves first.
TEST_F(MainWindowTest, NewAsksAboutUnsavedChangesAndEmptiesEverything) {
    MainWindow& f = start();
    const QString p = writeCatalogue(QStringLiteral("fifty.srb"), 50);
    openFile(p);
    ASSERT_EQ(session.recordCount(), 50);
    const std::string before = readBytes(p);
    combo(Field::Genre1)->setEditText(QStringLiteral("随筆")); // a change by the user
    ASSERT_TRUE(session.isModified());

    Dialogs::setNextAnswer(Dialogs::Answer::Cancel);
    button("newButton")->click();
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Question),
              std::vector<QString>{QStringLiteral("現在の内容を保存しますか？")});
    EXPECT_EQ(panel(0), QStringLiteral("50／50"));
    EXPECT_TRUE(session.isModified());

    Dialogs::setNextAnswer(Dialogs::Answer::No);
    entry("新規作成(&N)")->trigger();
    EXPECT_EQ(readBytes(p), before);
    EXPECT_FALSE(FileIo::exists(p + "bak"));
    EXPECT_EQ(shown(Field::Title), QString());
    EXPECT_EQ(panel(0), QStringLiteral("1／1"));
    EXPECT_EQ(panel(1), QString());

    // The start index of a larger catalogue never points past the new one.
    session.setStartIndex(30);
    f.newCatalogue();
    EXPECT_EQ(session.currentIndex(), 1);

    // はい without a file name asks where to save; cancelling that keeps everything.
    type(Field::Title, QStringLiteral("残す"));
    Dialogs::setNextAnswer(Dialogs::Answer::Yes);
    Dialogs::setNextFileName(std::nullopt);
    entry("新規作成(&N)")->trigger();
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::SaveFile).size(), 1u);
    EXPECT_EQ(shown(Field::Title), QStringLiteral("残す"));
    EXPECT_TRUE(session.isModified());
}

// Save As onto the open file's own name (here through a symbolic link) is a
// Save: another program's changes are asked about and the backup is kept.
TEST_F(MainWindowTest, SaveAsOntoTheOpenFileIsASave) {
    MainWindow& f = start();
    const QString p = writeCatalogue(QStringLiteral("shared.srb"), 2);
    ASSERT_TRUE(QFile::link(p, path(QStringLiteral("alias.srb"))));
    openFile(p);
    CatalogueFile::write(p, numbered(3)); // another copy saved meanwhile
    const std::string theirs = readBytes(p);
    type(Field::Title, QStringLiteral("こちら"));

    Dialogs::setNextFileName(path(QStringLiteral("alias.srb")));
    f.saveAs();
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Question),
              std::vector<QString>{QStringLiteral("ファイルが他のプログラムによって変更されて"
                                                  "います。上書きしますか？")});
    EXPECT_EQ(readBytes(p), theirs);

    Dialogs::setNextFileName(p);
    Dialogs::setNextAnswer(true);
    f.saveAs();
    EXPECT_EQ(readBytes(p + "bak"), theirs);
    EXPECT_EQ(CatalogueFile::parse(readBytes(p)).records[1][index(Field::Title)], sj("こちら"));
    EXPECT_EQ(panel(1), QStringLiteral("shared.srb"));
}

TEST_F(MainWindowTest, OpenAsksAboutUnsavedChangesAndReadsTheChosenFile) {
    MainWindow& f = start();
    const QString three = writeCatalogue(QStringLiteral("three.srb"), 3);
    const QString mine = path(QStringLiteral("mine.srb"));
    Dialogs::setNextFileName(mine);
    type(Field::Title, QStringLiteral("自分の"));
    f.saveAs();

    // "いいえ" drops the changes; a cancelled dialog changes nothing more.
    type(Field::Title, QStringLiteral("未保存"));
    Dialogs::setNextAnswer(false);
    Dialogs::setNextFileName(std::nullopt);
    button("openButton")->click();
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Question),
              std::vector<QString>{QStringLiteral("現在の内容を保存しますか？")});
    EXPECT_TRUE(session.isModified());
    EXPECT_EQ(shown(Field::Title), QStringLiteral("未保存"));
    EXPECT_EQ(CatalogueFile::parse(readBytes(mine)).records[0][0], sj("自分の"));

    // "はい" saves before the dialog; then the file is read and its last record shown.
    Dialogs::setNextAnswer(true);
    Dialogs::setNextFileName(three);
    entry("開く(&O)")->trigger();
    EXPECT_EQ(CatalogueFile::parse(readBytes(mine)).records[0][0], sj("未保存"));
    EXPECT_EQ(Dialogs::shown().back().caption, ProgramFolder::path());
    EXPECT_EQ(shown(Field::Title), QStringLiteral("本3"));
    EXPECT_EQ(panel(1), QStringLiteral("three.srb"));
    EXPECT_EQ(panel(0), QStringLiteral("3／3"));
    EXPECT_TRUE(button("addButton")->isEnabled());

    // A damaged file: the error box, and the open catalogue stays as it was.
    const QString bad = path(QStringLiteral("bad.srb"));
    FileIo::writeAtomically(bad, "x\r\n");
    openFile(bad);
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Error).size(), 1u);
    EXPECT_EQ(panel(1), QStringLiteral("three.srb"));
    EXPECT_EQ(shown(Field::Title), QStringLiteral("本3"));
}

TEST_F(MainWindowTest, ExitStoresTheViewAndClosesThroughTheShutdownSequence) {
    start();
    const QString p = writeCatalogue(QStringLiteral("exit.srb"), 2);
    openFile(p);
    type(Field::Title, QStringLiteral("終了前"));
    Dialogs::setNextAnswer(true);
    entry("終了(&X)")->trigger();
    EXPECT_FALSE(form().isVisible());
    EXPECT_EQ(CatalogueFile::parse(readBytes(p)).records[1][0], sj("終了前"));
    const SettingsValues v = SettingsFile::read(SettingsFile::defaultPath(), {}, true);
    EXPECT_EQ(v.file, QFile::encodeName(p).toStdString());
}
