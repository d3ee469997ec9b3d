#include "MainWindowFixture.h"

#include "core/format/HandoffFile.h"

#include <QDialog>
#include <QTimer>

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
    EXPECT_FALSE(f.isMaximized());
    EXPECT_EQ(f.catalogue().recordCount, 1);
    for (const FieldInfo& info : fieldTable())
        EXPECT_EQ(f.catalogue().isShown(info.field), true);
    EXPECT_EQ(f.catalogue().spacing, 10); // the layout's rule for 0
    EXPECT_EQ(f.catalogue().storedCaptions[0], Bytes());
    EXPECT_TRUE(Dialogs::shown().empty());

    f.close();
    EXPECT_TRUE(Dialogs::shown().empty()); // nothing modified: no question
    const std::string ini = readBytes(SettingsFile::defaultPath());
    for (const char* key : {"[Font]", "[Font2]", "[Kioku]", "[File]", "[Rubi]", "[Window]",
                            "Maxmize=0", "Width=711", "Height=611", "Left=174", "Top=121"})
        EXPECT_NE(ini.find(key), std::string::npos) << key;
}

TEST_F(MainWindowTest, StartUpReadsTheRememberedCatalogueWithItsFonts) {
    const QString p = writeCatalogue(QStringLiteral("last.srb"), 4);
    {
        // Give the file a caption font and a contents font.
        Catalogue c;
        CatalogueFile::read(p, c);
        c.captionFont = {12, sj("IPAMincho"), 0x0000FF};
        c.contentsFont = {0, Bytes(), 0x00FF00};
        c.liveCaptions[0] = sj("題名");
        CatalogueFile::write(p, c);
    }
    SettingsValues v = remembered(QFile::encodeName(p).toStdString());
    v.captionFont = {3, 0};
    v.contentsFont = {4, 2};
    SettingsFile::writeAtExit(SettingsFile::defaultPath(), v);

    MainWindow& f = start();
    EXPECT_TRUE(Dialogs::shown().empty());
    EXPECT_EQ(f.outerBounds(), QRect(40, 30, 800, 640));
    EXPECT_EQ(f.catalogue().recordCount, 4);
    EXPECT_EQ(f.catalogue().currentIndex, 4);
    EXPECT_EQ(f.shomei->text(), QStringLiteral("本4"));
    EXPECT_EQ(f.statusPanelText(0), QStringLiteral("4／4"));
    EXPECT_EQ(f.statusPanelText(1), p); // the remembered full path
    EXPECT_EQ(f.Label1->text(), QStringLiteral("題名"));

    // Caption font: size, face and colour from the catalogue, style from the settings.
    EXPECT_EQ(f.Label3->font().pointSize(), 12);
    EXPECT_EQ(f.Label3->font().family(), QStringLiteral("IPAMincho"));
    EXPECT_TRUE(f.Label3->font().bold());
    EXPECT_TRUE(f.Label3->font().italic());
    EXPECT_EQ(f.Label3->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    // Contents font: size 0 and no name keep the design; style only off the combo boxes.
    EXPECT_EQ(f.yomi->font().pixelSize(), 13);
    EXPECT_TRUE(f.yomi->font().underline());
    EXPECT_TRUE(f.yomi->font().fixedPitch());
    EXPECT_FALSE(f.janru1->font().underline());
    EXPECT_EQ(f.janru1->palette().color(QPalette::Text), QColor(0, 255, 0));

    const SettingsValues now = f.settingsValues();
    EXPECT_EQ(now.captionFont, (FontStylePitch{3, 0}));
    EXPECT_EQ(now.contentsFont, (FontStylePitch{4, 2}));
}

TEST_F(MainWindowTest, StartUpOptionsDecidePlacementAndLoading) {
    const QString p = writeCatalogue(QStringLiteral("opt.srb"), 2);
    SettingsValues v = remembered(QFile::encodeName(p).toStdString());
    v.ki1 = 1; // designed position
    v.ki3 = 1; // do not read, yet keep the name
    SettingsFile::writeAtExit(SettingsFile::defaultPath(), v);

    MainWindow& f = start();
    EXPECT_EQ(f.outerBounds(), QRect(174, 121, 800, 640));
    EXPECT_EQ(f.catalogue().recordCount, 1);
    EXPECT_EQ(f.shomei->text(), QString());
    EXPECT_EQ(f.statusPanelText(1), p);
    EXPECT_EQ(f.Ki1, 1);
    EXPECT_EQ(f.Ki3, 1);

    // Save writes the new catalogue over the remembered file, with a backup.
    const std::string before = readBytes(p);
    f.shomei->setText(QStringLiteral("上書き"));
    f.ToolButton5Click();
    EXPECT_EQ(readBytes(p + "bak"), before);
    EXPECT_EQ(CatalogueFile::parse(readBytes(p)).records.size(), 1u);
}

TEST_F(MainWindowTest, StartUpMaximizedAndRememberedSizeOnly) {
    SettingsValues v = remembered(std::string());
    v.ki2 = 1;
    SettingsFile::writeAtExit(SettingsFile::defaultPath(), v);
    {
        // The exit of a maximized run keeps the older placement.
        SettingsValues m = v;
        m.maximized = true;
        m.width = 1;
        SettingsFile::writeAtExit(SettingsFile::defaultPath(), m);
    }
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
    EXPECT_EQ(f.catalogue().recordCount, 1);
    EXPECT_EQ(f.catalogue().fileName, QFile::encodeName(gone).toStdString());
    // The later steps were skipped: the fields keep their designed places.
    EXPECT_EQ(f.shomei->x(), 54);
    EXPECT_EQ(f.shomei->width(), 209);
}

TEST_F(MainWindowTest, ClosingAsksOnceAndAFailedSaveKeepsTheWindowOpen) {
    MainWindow& f = start();
    const QString p = path(QStringLiteral("close.srb"));
    Dialogs::setNextFileName(p);
    f.SaveAs1Click();
    f.shomei->setText(QStringLiteral("閉じる前"));
    f.catalogue().modifiedCount = 1;

    FileIo::failWritesAfter(0, EACCES);
    Dialogs::setNextAnswer(true);
    EXPECT_FALSE(f.close());
    FileIo::failWritesAfter(-1, 0);
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

TEST_F(MainWindowTest, SettingsCommandSavesTakesTheHandoffAndRestoresTheComboTexts) {
    MainWindow& f = start();
    const QString p = writeCatalogue(QStringLiteral("set.srb"), 3);
    Dialogs::setNextFileName(p);
    f.Open1Click();
    f.catalogue().currentIndex = 2;
    f.showCurrentRecord();
    f.setControlText(Field::Genre1, QStringLiteral("論文"));

    // The dialog's OK: one more change and a hand-off file hiding genre 1.
    QDialog dialog;
    QObject::connect(&dialog, &QDialog::finished, [] {});
    f.setSettingsDialog(&dialog);
    HandoffValues h;
    h.flags.fill("TRUE");
    h.flags[index(Field::Genre1)] = "FALSE";
    h.spacing = 25;
    h.captionFont = {9, sj("IPAGothic"), 0};
    QTimer::singleShot(0, &dialog, [&] {
        ++f.catalogue().modifiedCount;
        HandoffFile::write(HandoffFile::defaultPath(), h);
        dialog.accept();
    });
    f.O1->trigger();

    EXPECT_EQ(f.catalogue().startIndex, 2);
    EXPECT_FALSE(FileIo::exists(HandoffFile::defaultPath()));
    EXPECT_TRUE(f.janru1->isHidden());
    EXPECT_EQ(f.catalogue().spacing, 25);
    EXPECT_EQ(f.catalogue().captionFont.size, 9);
    EXPECT_EQ(f.catalogue().modifiedCount, 1); // saved after the dialog, then the hand-off
    // The file saved in between has the stored view but the earlier flags.
    const CatalogueContent saved = CatalogueFile::parse(readBytes(p));
    EXPECT_EQ(saved.records[1][index(Field::Genre1)], sj("論文"));
    EXPECT_EQ(saved.header.flags[index(Field::Genre1)], "TRUE");
    EXPECT_TRUE(FileIo::exists(p + "bak"));
    EXPECT_EQ(f.janru1->currentText(), QStringLiteral("論文"));
    EXPECT_EQ(f.catalogue().currentIndex, 2);
}
