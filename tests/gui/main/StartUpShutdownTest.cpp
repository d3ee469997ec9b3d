#include "MainWindowFixture.h"
#include "core/storage/FullDiskFileSystem.h"

#include <QDir>
#include <fstream>
#include <unistd.h>

using namespace sorabel;

namespace {
SettingsValues remembered(const std::string& file) {
    SettingsValues v;
    v.file = file;
    v.left = 40;
    v.top = 30;
    v.width = 800;
    v.height = 640;
    return v;
}
} // namespace

TEST_F(MainWindowTest, FirstStartWithoutSettingsAndExitWritesThem) {
    MainWindow& f = start();
    EXPECT_TRUE(f.startedUp());
    EXPECT_EQ(f.outerBounds(), QRect(174, 121, 711, 611));
    EXPECT_EQ(session.recordCount(), 1);
    EXPECT_EQ(session.catalogue().spacing, 10); // the layout's rule for 0
    EXPECT_TRUE(Dialogs::shown().empty());

    f.close();
    EXPECT_TRUE(Dialogs::shown().empty()); // nothing modified: no question
    const std::string ini = readBytes(SettingsFile::defaultPath());
    for (const char* key : {"Maxmize=0", "Width=711", "Height=611", "Left=174", "Top=121"})
        EXPECT_NE(ini.find(key), std::string::npos) << key;
}

TEST_F(MainWindowTest, StartUpReadsTheRememberedCatalogueWithItsFonts) {
    const QString p = path(QStringLiteral("last.srb"));
    Catalogue c = numbered(4);
    c.captionFont = {12, sj("IPAMincho"), 0x0000FF};
    c.contentsFont = {0, Bytes(), 0x00FF00};
    c.liveCaptions[0] = sj("題名");
    CatalogueFile::write(p, c);
    SettingsValues v = remembered(QFile::encodeName(p).toStdString());
    v.captionFont = {3, 0};
    v.contentsFont = {4, 2};
    SettingsFile::writeAtExit(SettingsFile::defaultPath(), v);

    MainWindow& f = start();
    EXPECT_TRUE(Dialogs::shown().empty());
    EXPECT_EQ(f.outerBounds(), QRect(40, 30, 800, 640));
    EXPECT_EQ(shown(Field::Title), QStringLiteral("本4"));
    EXPECT_EQ(panel(0), QStringLiteral("4／4"));
    EXPECT_EQ(panel(1), p); // the remembered full path
    auto* caption1 = &reach<QLabel>(f, "caption1");
    EXPECT_EQ(caption1->text(), QStringLiteral("題名"));

    // Caption font: size, face and colour from the catalogue, style (3: bold
    // italic) from the settings; how they combine is the font rule's test.
    EXPECT_EQ(caption1->font().family(), QStringLiteral("IPAMincho"));
    EXPECT_TRUE(caption1->font().bold() && caption1->font().italic());
    EXPECT_EQ(caption1->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    // Contents font: size 0 and no name keep the design; the style (4:
    // underline, pitch 2: fixed) only off the choice boxes.
    EXPECT_TRUE(control(Field::Reading)->font().underline());
    EXPECT_FALSE(combo(Field::Genre1)->font().underline());
    EXPECT_EQ(combo(Field::Genre1)->palette().color(QPalette::Text), QColor(0, 255, 0));

    EXPECT_EQ(f.settingsValues().contentsFont, (FontStylePitch{4, 2})); // back as they came
}

TEST_F(MainWindowTest, StartUpOptionsDecidePlacementAndLoading) {
    const QString p = writeCatalogue(QStringLiteral("opt.srb"), 2);
    SettingsValues v = remembered(QFile::encodeName(p).toStdString());
    v.startup.restorePosition = false;     // designed position
    v.startup.reopenLastCatalogue = false; // do not read, yet keep the name
    SettingsFile::writeAtExit(SettingsFile::defaultPath(), v);

    MainWindow& f = start();
    EXPECT_EQ(f.outerBounds(), QRect(174, 121, 800, 640));
    EXPECT_EQ(session.recordCount(), 1);
    EXPECT_EQ(shown(Field::Title), QString());
    // Untitled, so that Save never writes over the file it did not read; the
    // settings file keeps the name for the next run.
    EXPECT_TRUE(session.filePath().isEmpty());
    const SettingsValues back = f.settingsValues(); // the options go back as they came
    EXPECT_EQ(back.file, QFile::encodeName(p).toStdString());
    EXPECT_EQ(back.startup, (StartupOptions{false, true, false}));
}

TEST_F(MainWindowTest, StartUpMaximizedAndRememberedSizeOnly) {
    SettingsValues v = remembered(std::string());
    v.startup.restoreSize = false;
    SettingsFile::writeAtExit(SettingsFile::defaultPath(), v);
    v.maximized = true; // a maximized run's exit keeps the placement above
    SettingsFile::writeAtExit(SettingsFile::defaultPath(), v);
    MainWindow& f = start();
    EXPECT_TRUE(f.windowState() & Qt::WindowMaximized);
    EXPECT_EQ(f.normalGeometry().topLeft(),
              QPoint(40, 30) + (f.geometry().topLeft() - f.frameGeometry().topLeft()));
    f.close();
    const SettingsValues back = SettingsFile::read(SettingsFile::defaultPath(), {}, true);
    EXPECT_TRUE(back.maximized);
    EXPECT_EQ(back.width, 800);
}

TEST_F(MainWindowTest, AMissingCatalogueIsReportedAndTheWindowStillComesUp) {
    const QString gone = path(QStringLiteral("gone.srb"));
    SettingsFile::writeAtExit(SettingsFile::defaultPath(),
                              remembered(QFile::encodeName(gone).toStdString()));
    MainWindow& f = start();
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Error),
              std::vector<QString>{QStringLiteral("ファイルが見つかりません.")});
    EXPECT_EQ(panel(1), QString());
    EXPECT_EQ(f.settingsValues().file, QFile::encodeName(gone).toStdString());
}

TEST_F(MainWindowTest, ClosingAsksOnceAndAFailedSaveKeepsTheWindowOpen) {
    MainWindow& f = start();
    const QString p = path(QStringLiteral("close.srb"));
    Dialogs::setNextFileName(p);
    f.saveAs();
    type(Field::Title, QStringLiteral("閉じる前"));

    {
        FullDiskFileSystem refusing(0, EACCES);
        Dialogs::setNextAnswer(true);
        EXPECT_FALSE(f.close());
    }
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Error).size(), 1u);
    EXPECT_FALSE(FileIo::exists(SettingsFile::defaultPath()));

    // "いいえ" closes without saving; the settings file is written.
    Dialogs::setNextAnswer(false);
    EXPECT_TRUE(f.close());
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Question).size(), 2u);
    EXPECT_EQ(CatalogueFile::parse(readBytes(p)).records[0][0], Bytes());
    EXPECT_TRUE(FileIo::exists(SettingsFile::defaultPath()));
}

TEST_F(MainWindowTest, ASettingsFileThatCannotBeWrittenIsReportedAndTheProgramEnds) {
    MainWindow& f = start();
    // A folder where the settings file should be: it cannot be written.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("SorabeIni.INI")));
    EXPECT_TRUE(f.close());
    ASSERT_EQ(Dialogs::shownTexts(Dialogs::Kind::Error).size(), 1u);
    EXPECT_TRUE(
        Dialogs::shownTexts(Dialogs::Kind::Error)[0].contains(QStringLiteral("に書き込めません")));
}

// What the next start finds in "File=": the catalogue in use as a full path in
// the name's own bytes (a file name need not be UTF-8), and nothing after
// 新規作成, whose catalogue has no file yet.
TEST_F(MainWindowTest, ExitRemembersTheCatalogueInUseAsAFullPathInTheNamesOwnBytes) {
    const QByteArray folder = QFile::encodeName(dir.path());
    const QByteArray odd = folder + "/caf\xe9\xff.srb";
    std::ofstream(odd.constData(), std::ios::binary) << CatalogueFile::serialise(numbered(2));
    writeCatalogue(QStringLiteral("rel.srb"), 3);
    const QByteArray relative =
        QFile::encodeName(QDir::current().relativeFilePath(path(QStringLiteral("rel.srb"))));
    const struct {
        QByteArray remembered;
        bool startNew;
        int records;
        QByteArray written;
    } cases[] = {
        {odd, false, 2, odd},
        {relative, false, 3, folder + "/rel.srb"},
        {relative, true, 1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.remembered.toStdString());
        SettingsFile::writeAtExit(SettingsFile::defaultPath(),
                                  remembered(c.remembered.toStdString()));
        CatalogueSession run;
        ProgramWindows program(run);
        program.mainWindow().show();
        EXPECT_EQ(run.recordCount(), c.startNew ? 3 : c.records);
        if (c.startNew)
            program.mainWindow().newCatalogue();
        EXPECT_EQ(run.recordCount(), c.records);
        program.mainWindow().close();
        const std::string ini = readBytes(SettingsFile::defaultPath());
        EXPECT_NE(ini.find("\r\nFile=" + c.written.toStdString() + "\r\n"), std::string::npos)
            << ini;
    }
    EXPECT_TRUE(Dialogs::shown().empty());
    ::unlink(odd.constData()); // the temporary folder's clean-up cannot name it
}

// A settings file far larger than any real one is not read: said once at
// start-up, and at exit kept beside the fresh one as "SorabeIni.INI.bak".
// Anything up to that size is read as usual.
TEST_F(MainWindowTest, AnOversizedSettingsFileIsReportedOnceAndSetAsideAtExit) {
    const QString ini = SettingsFile::defaultPath();
    const QString catalogue = writeCatalogue(QStringLiteral("big.srb"), 2);
    FileIo::writeAtomically(ini, ";" + std::string(2 * 1024 * 1024, 'x') + "\r\n[File]\r\nFile=" +
                                     QFile::encodeName(catalogue).toStdString() + "\r\n");
    {
        CatalogueSession run;
        ProgramWindows program(run);
        program.mainWindow().show();
        EXPECT_EQ(run.recordCount(), 2);
        program.mainWindow().close();
    }
    EXPECT_TRUE(Dialogs::shown().empty());

    QFile oversized(ini);
    ASSERT_TRUE(oversized.resize(65LL * 1024 * 1024)); // sparse: no disk used
    {
        CatalogueSession run;
        ProgramWindows program(run);
        program.mainWindow().show();
        EXPECT_EQ(run.recordCount(), 1);
        program.mainWindow().close();
    }
    EXPECT_EQ(Dialogs::shown().size(), 1u);
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Notice),
              std::vector<QString>{
                  ini + QStringLiteral(" を読み込めません: ファイルが 64 MB を超えています。"
                                       "終了時に新しい設定ファイルを作り、このファイルは "
                                       "SorabeIni.INI.bak として残します。")});
    EXPECT_EQ(QFileInfo(ini + QStringLiteral(".bak")).size(), 65LL * 1024 * 1024);
    EXPECT_LT(QFileInfo(ini).size(), 1000);
    EXPECT_NE(readBytes(ini).find("Maxmize=0"), std::string::npos);
}
