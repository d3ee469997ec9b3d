#include "MainWindowFixture.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>

using namespace sorabel;

TEST_F(MainWindowTest, SaveKeepsOneBackupAndNeverLosesTheOldContent) {
    MainWindow& f = start();
    // Never saved: Save asks for a name; cancelling writes nothing.
    f.shomei->setText(QStringLiteral("一冊目"));
    f.catalogue().modifiedCount = 1;
    Dialogs::setNextFileName(std::nullopt);
    f.Save1->trigger();
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::SaveFile),
              std::vector<QString>{QStringLiteral("読書録データ(*.srb)")});
    EXPECT_EQ(Dialogs::shown().back().caption, ProgramFolder::path());
    EXPECT_EQ(f.catalogue().modifiedCount, 1);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{});

    const QString books = path(QStringLiteral("books.srb"));
    Dialogs::setNextFileName(books);
    f.ToolButton5->click();
    EXPECT_EQ(f.catalogue().modifiedCount, 0);
    EXPECT_EQ(f.statusPanelText(1), QStringLiteral("books.srb"));
    const std::string first = readBytes(books);
    EXPECT_FALSE(FileIo::exists(books + "bak"));

    QFile::setPermissions(books, QFile::ReadOwner | QFile::WriteOwner);
    f.shomei->setText(QStringLiteral("二度目"));
    f.ToolButton5Click();
    EXPECT_EQ(QFile::permissions(books),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    const std::string second = readBytes(books);
    EXPECT_EQ(readBytes(books + "bak"), first);
    f.shomei->setText(QStringLiteral("三度目"));
    f.ToolButton5Click();
    EXPECT_EQ(readBytes(books + "bak"), second);
    EXPECT_NE(readBytes(books).find(sj("三度目")), std::string::npos);

    // A failed write leaves file and backup as they were and the changes unsaved.
    f.shomei->setText(QStringLiteral("四度目"));
    f.catalogue().modifiedCount = 3;
    const std::string third = readBytes(books);
    FileIo::failWritesAfter(10, ENOSPC);
    f.ToolButton5Click();
    FileIo::failWritesAfter(-1, 0);
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Error).back(),
              QStringLiteral("ディスクがいっぱいです."));
    EXPECT_EQ(readBytes(books), third);
    EXPECT_EQ(readBytes(books + "bak"), second);
    EXPECT_EQ(f.catalogue().modifiedCount, 3);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              (QStringList{QStringLiteral("books.srb"), QStringLiteral("books.srbbak")}));
}

TEST_F(MainWindowTest, SaveAsReplacesWithoutBackupAndKeepsTheBareName) {
    MainWindow& f = start();
    const QString other = path(QStringLiteral("other.srb"));
    FileIo::writeAtomically(other, "old");
    f.shomei->setText(QStringLiteral("別名"));
    f.catalogue().modifiedCount = 2;
    Dialogs::setNextFileName(other);
    f.ToolButton18->click();
    EXPECT_EQ(f.catalogue().modifiedCount, 0);
    EXPECT_FALSE(FileIo::exists(other + "bak"));
    EXPECT_EQ(f.catalogue().fileName, "other.srb");
    EXPECT_EQ(f.catalogue().filePath, QFile::encodeName(other).toStdString());
    const CatalogueContent back = CatalogueFile::parse(readBytes(other));
    ASSERT_EQ(back.records.size(), 1u);
    EXPECT_EQ(back.records[0][index(Field::Title)], sj("別名"));

    // Cancelled: nothing written, nothing changed.
    f.catalogue().modifiedCount = 1;
    Dialogs::setNextFileName(std::nullopt);
    f.SaveAs1Click();
    EXPECT_EQ(f.catalogue().modifiedCount, 1);
    EXPECT_EQ(f.catalogue().fileName, "other.srb");
}

TEST_F(MainWindowTest, NewSavesUnsavedChangesWithoutAskingAndEmptiesEverything) {
    MainWindow& f = start();
    const QString p = writeCatalogue(QStringLiteral("fifty.srb"), 50);
    Dialogs::setNextFileName(p);
    f.Open1->trigger();
    ASSERT_EQ(f.catalogue().recordCount, 50);
    f.catalogue().flag(Field::Impressions) = "FALSE";
    f.catalogue().spacing = 14;
    f.setControlText(Field::Genre1, QStringLiteral("随筆"));
    f.janru1Change(); // a change by the user
    f.ToolButton9->click();
    EXPECT_TRUE(Dialogs::shownTexts(Dialogs::Kind::Question).empty());
    EXPECT_TRUE(FileIo::exists(p + "bak"));
    EXPECT_EQ(CatalogueFile::parse(readBytes(p)).records[49][index(Field::Genre1)], sj("随筆"));

    EXPECT_EQ(f.catalogue().recordCount, 1);
    EXPECT_EQ(f.catalogue().currentIndex, 1);
    EXPECT_EQ(f.catalogue().modifiedCount, 0);
    EXPECT_EQ(f.Rubi, 1);
    EXPECT_TRUE(f.catalogue().fileName.empty());
    EXPECT_TRUE(f.catalogue().filePath.empty());
    for (int i = 1; i <= 50; ++i)
        for (const FieldInfo& info : fieldTable())
            ASSERT_TRUE(f.catalogue().field(info.field, i).empty()) << i << info.key;
    EXPECT_EQ(f.catalogue().flag(Field::Impressions), "FALSE");
    EXPECT_EQ(f.catalogue().spacing, 14);
    EXPECT_EQ(f.statusPanelText(0), QStringLiteral("1／1"));
    EXPECT_EQ(f.statusPanelText(1), QString());

    // The start index of a larger catalogue never points past the new one.
    f.catalogue().startIndex = 30;
    f.New1Click();
    EXPECT_EQ(f.catalogue().currentIndex, 1);

    // Without a file name New asks where to save; cancelling drops the changes.
    f.shomei->setText(QStringLiteral("捨てる"));
    f.catalogue().modifiedCount = 1;
    Dialogs::setNextFileName(std::nullopt);
    f.New1Click();
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::SaveFile).size(), 1u);
    EXPECT_EQ(f.shomei->text(), QString());
}

TEST_F(MainWindowTest, OpenAsksAboutUnsavedChangesAndReadsTheChosenFile) {
    MainWindow& f = start();
    const QString three = writeCatalogue(QStringLiteral("three.srb"), 3);
    const QString mine = path(QStringLiteral("mine.srb"));
    Dialogs::setNextFileName(mine);
    f.shomei->setText(QStringLiteral("自分の"));
    f.SaveAs1Click();

    // "いいえ" drops the changes; a cancelled dialog changes nothing more.
    f.shomei->setText(QStringLiteral("未保存"));
    f.catalogue().modifiedCount = 1;
    Dialogs::setNextAnswer(false);
    Dialogs::setNextFileName(std::nullopt);
    f.ToolButton4Click();
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Question),
              std::vector<QString>{QStringLiteral("現在の内容を保存しますか？")});
    EXPECT_EQ(f.catalogue().modifiedCount, 1);
    EXPECT_EQ(f.shomei->text(), QStringLiteral("未保存"));
    EXPECT_EQ(CatalogueFile::parse(readBytes(mine)).records[0][0], sj("自分の"));

    // "はい" saves before the dialog; then the file is read and its last record shown.
    Dialogs::setNextAnswer(true);
    Dialogs::setNextFileName(three);
    f.Open1->trigger();
    EXPECT_EQ(CatalogueFile::parse(readBytes(mine)).records[0][0], sj("未保存"));
    EXPECT_EQ(Dialogs::shown().back().kind, Dialogs::Kind::OpenFile);
    EXPECT_EQ(Dialogs::shown().back().caption, ProgramFolder::path());
    EXPECT_EQ(f.catalogue().recordCount, 3);
    EXPECT_EQ(f.catalogue().currentIndex, 3);
    EXPECT_EQ(f.shomei->text(), QStringLiteral("本3"));
    EXPECT_EQ(f.statusPanelText(1), QStringLiteral("three.srb"));
    EXPECT_EQ(f.statusPanelText(0), QStringLiteral("3／3"));
    EXPECT_EQ(f.catalogue().modifiedCount, 0);
    EXPECT_TRUE(f.ToolButton2->isEnabled());

    // A damaged file: the error box, and the open catalogue stays as it was.
    const QString bad = path(QStringLiteral("bad.srb"));
    FileIo::writeAtomically(bad, "x\r\n");
    f.catalogue().modifiedCount = 2;
    Dialogs::setNextAnswer(false);
    Dialogs::setNextFileName(bad);
    f.ToolButton4Click();
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Error).size(), 1u);
    EXPECT_EQ(f.catalogue().fileName, "three.srb");
    EXPECT_EQ(f.catalogue().modifiedCount, 2);
    EXPECT_EQ(f.catalogue().recordCount, 3);
}

TEST_F(MainWindowTest, ExitStoresTheViewAndClosesThroughTheShutdownSequence) {
    MainWindow& f = start();
    const QString p = writeCatalogue(QStringLiteral("exit.srb"), 2);
    Dialogs::setNextFileName(p);
    f.Open1Click();
    f.shomei->setText(QStringLiteral("終了前"));
    f.catalogue().modifiedCount = 1;
    Dialogs::setNextAnswer(true);
    f.Exit1->trigger();
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Question).size(), 1u);
    EXPECT_EQ(CatalogueFile::parse(readBytes(p)).records[1][0], sj("終了前"));
    // The save after the question already shows the full path that the settings file keeps.
    EXPECT_EQ(f.statusPanelText(1), p);
    EXPECT_EQ(f.catalogue().fileName, QFile::encodeName(p).toStdString());
    const SettingsValues v = SettingsFile::read(SettingsFile::defaultPath(), {}, true);
    EXPECT_EQ(v.file, QFile::encodeName(p).toStdString());
}

TEST_F(MainWindowTest, SavingALinkedCatalogueUpdatesTheLinkedFileAndKeepsTheLink) {
    MainWindow& f = start();
    QDir(dir.path()).mkdir(QStringLiteral("shared"));
    const QString real = writeCatalogue(QStringLiteral("shared/books.srb"), 2);
    const QString link = path(QStringLiteral("books.srb"));
    ASSERT_TRUE(QFile::link(real, link));
    const std::string before = readBytes(real);

    Dialogs::setNextFileName(link);
    f.Open1->trigger();
    f.shomei->setText(QStringLiteral("書き換え"));
    f.catalogue().modifiedCount = 1;
    f.ToolButton5Click();
    EXPECT_TRUE(Dialogs::shownTexts(Dialogs::Kind::Error).empty());
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), real) << "the link stays a link";
    EXPECT_NE(readBytes(real).find(sj("書き換え")), std::string::npos);
    // The backup lies beside the file that was replaced.
    EXPECT_EQ(readBytes(real + "bak"), before);
    EXPECT_FALSE(QFileInfo::exists(link + "bak"));
}
