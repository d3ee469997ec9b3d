#include "gui/settings/SettingsDialog.h"

#include "core/format/CatalogueFile.h"
#include "gui/main/MainWindow.h"
#include "core/storage/FileIo.h"
#include "core/storage/ProgramFolder.h"
#include "core/text/ShiftJis.h"
#include "gui/widgets/Dialogs.h"
#include "core/format/HandoffFile.h"
#include "core/format/SettingsFile.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTimer>

#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace sorabel;

namespace {

// The whole settings command: the main window opens the dialog modally, the
// step acts in it, and the main window finishes the cycle when it closes.
class TForm4CycleTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        ProgramFolder::setOverride(folder.path());
        Dialogs::reset();
        main = std::make_unique<MainWindow>();
        dialog = new SettingsDialog(main.get());
        main->setSettingsDialog(dialog);
        logPath = QDir(folder.path()).filePath(QStringLiteral("log.srb"));
    }
    void TearDown() override {
        main->setSettingsDialog(nullptr);
        delete dialog;
        main.reset();
        ProgramFolder::setOverride(QString());
    }

    void runSettings(const std::function<void()>& inside) {
        QTimer::singleShot(0, dialog, inside);
        // Never leave a test hanging on a dialog that a failed step left open.
        QTimer::singleShot(5000, dialog, [this] {
            if (dialog->isVisible()) {
                ADD_FAILURE() << "the dialog stayed open";
                dialog->reject();
            }
        });
        main->O1Click();
    }
    void click(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton); }

    CatalogueContent saved() const {
        const auto bytes = FileIo::readAll(logPath);
        return CatalogueFile::parse(bytes);
    }

    Catalogue& cat() { return main->catalogue(); }

    QTemporaryDir folder;
    std::unique_ptr<MainWindow> main;
    SettingsDialog* dialog = nullptr;
    QString logPath;
};

// Types text as the keyboard (or an input method's commit) delivers it.
void type(QWidget* w, const QString& text) {
    for (const QChar c : text) {
        const Qt::Key key = c == QLatin1Char('\n') ? Qt::Key_Return : Qt::Key_unknown;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &release);
    }
}

} // namespace

TEST_F(TForm4CycleTest, UntickedGenreIsHiddenAfterCloseAndSavedHiddenOnlyNextTime) {
    cat().currentIndex = 1;
    Dialogs::setNextFileName(logPath); // the catalogue has no file yet: save-as asks
    runSettings([this] {
        EXPECT_TRUE(dialog->CheckBox4->isChecked());
        click(dialog->CheckBox4);
        click(dialog->OKBtn);
    });
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(cat().startIndex, 1);
    EXPECT_EQ(cat().flag(Field::Genre1), "FALSE");
    EXPECT_TRUE(main->janru1->isHidden());
    EXPECT_FALSE(main->janru2->isHidden());
    EXPECT_FALSE(QFile::exists(HandoffFile::defaultPath())) << "the hand-off file was taken";

    // The save inside the cycle ran before the hand-off file was read.
    ASSERT_TRUE(QFile::exists(logPath));
    EXPECT_EQ(saved().header.flags[static_cast<size_t>(index(Field::Genre1))], "TRUE");
    EXPECT_GT(cat().modifiedCount, 0);

    main->Save1->trigger();
    EXPECT_EQ(saved().header.flags[static_cast<size_t>(index(Field::Genre1))], "FALSE");
    EXPECT_EQ(cat().modifiedCount, 0);
}

TEST_F(TForm4CycleTest, OkWithoutChangesCountsOneAndSavesAtOnce) {
    Dialogs::setNextFileName(logPath);
    ASSERT_EQ(cat().modifiedCount, 0);
    // Enter in a caption edit presses the default button, OK.
    runSettings([this] { QTest::keyClick(dialog->shomei, Qt::Key_Return); });
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(QFile::exists(logPath));
    // Saved (0), then the hand-off file counted one more.
    EXPECT_EQ(cat().modifiedCount, 1);
    EXPECT_TRUE(Dialogs::shownTexts(Dialogs::Kind::Error).empty());

    // The settings file was recorded with the options.
    const SettingsValues stored =
        SettingsFile::read(SettingsFile::defaultPath(), SettingsValues{}, true);
    EXPECT_EQ(stored.ki1, 0);
    EXPECT_EQ(stored.captionFont, main->settingsValues().captionFont);

    // Cancel leaves the catalogue as it was: nothing to save, no hand-off file.
    const auto before = FileIo::readAll(logPath);
    cat().modifiedCount = 0;
    runSettings([this] { click(dialog->CancelBtn); });
    EXPECT_EQ(cat().modifiedCount, 0);
    EXPECT_EQ(FileIo::readAll(logPath), before);
}

TEST_F(TForm4CycleTest, OkAppliesCaptionsAndChoiceLists) {
    Dialogs::setNextFileName(logPath);
    runSettings([this] {
        dialog->sakusha->clear(); // an emptied caption
        dialog->shomei->setText(QStringLiteral("題名"));
        dialog->memo1->setPlainText(QStringLiteral("小説\n\n随筆\n紀行\n論文"));
        dialog->me2->setText(QStringLiteral("分類"));
        dialog->me3->clear();
        dialog->memo3->clear();
        click(dialog->OKBtn);
    });
    EXPECT_EQ(main->label(4)->text(), QString());
    EXPECT_EQ(cat().liveCaptions[3], "");
    EXPECT_EQ(main->label(1)->text(), QStringLiteral("題名"));
    EXPECT_EQ(cat().liveCaptions[0], sjis::fromUtf8("題名"));

    const std::vector<Bytes> genre1{
        sjis::fromUtf8("ジャンル１"), sjis::fromUtf8("小説"), "",
        sjis::fromUtf8("随筆"),       sjis::fromUtf8("紀行"), sjis::fromUtf8("論文")};
    EXPECT_EQ(cat().list(ChoiceList::Genre1), genre1);
    ASSERT_EQ(main->janru1->count(), 6);
    EXPECT_EQ(main->janru1->itemText(2), QString());
    EXPECT_EQ(main->janru1->itemText(3), QStringLiteral("随筆"));
    EXPECT_EQ(cat().list(ChoiceList::Genre2).front(), sjis::fromUtf8("分類"));
    // The heading stays even when empty.
    EXPECT_EQ(cat().list(ChoiceList::Format), std::vector<Bytes>{""});

    // The saved file carries the new captions and lists already.
    const CatalogueContent file = saved();
    EXPECT_EQ(file.header.captions[3], "");
    EXPECT_EQ(file.header.lists[0], genre1);

    // The next opening shows what OK stored.
    runSettings([this] {
        EXPECT_EQ(dialog->sakusha->text(), QString());
        EXPECT_EQ(dialog->memo1->toPlainText(), QStringLiteral("小説\n\n随筆\n紀行\n論文"));
        EXPECT_EQ(dialog->Label9->text(), QStringLiteral("分類"));
        click(dialog->CancelBtn);
    });
}

TEST_F(TForm4CycleTest, SecondOkKeepsTheFontChosenEarlier) {
    Dialogs::setNextFileName(logPath);
    QFont chosen(QStringLiteral("IPAPGothic"), 14);
    chosen.setItalic(true);
    runSettings([&] {
        Dialogs::setNextFont(FontChoice{chosen, QColor(0, 0x80, 0)});
        click(dialog->Button1);
        click(dialog->OKBtn);
    });
    const FontValues expected{14, "IPAPGothic", 0x008000};
    EXPECT_EQ(cat().captionFont, expected);
    // The main window shows the chosen font as soon as the dialog has closed.
    EXPECT_EQ(main->label(1)->font().family(), QStringLiteral("IPAPGothic"));
    EXPECT_TRUE(main->label(1)->font().italic());

    runSettings([this] { click(dialog->OKBtn); });
    EXPECT_EQ(cat().captionFont, expected);
    EXPECT_EQ(saved().header.captionFont, expected);
    // Style and pitch as the exit recording will write them.
    EXPECT_EQ(main->settingsValues().captionFont.style, 2);
    const SettingsValues stored =
        SettingsFile::read(SettingsFile::defaultPath(), SettingsValues{}, true);
    EXPECT_EQ(stored.captionFont.style, 2);
}

TEST_F(TForm4CycleTest, FailedHandOffStillClosesTheDialog) {
    // A program folder that does not exist: neither file can be written.
    ProgramFolder::setOverride(QDir(folder.path()).filePath(QStringLiteral("missing")));
    dialog->show();
    const QString caption = main->label(4)->text();
    dialog->sakusha->setText(QStringLiteral("編者"));
    click(dialog->OKBtn);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Error).size(), 1u);
    EXPECT_EQ(cat().modifiedCount, 1);
    EXPECT_EQ(main->label(4)->text(), caption) << "nothing after the failed step is applied";
}

TEST_F(TForm4CycleTest, TypedTextStaysInTheCodePageAndDamagedBytesSurvive) {
    // Bytes that code page 932 does not define, as a damaged file may bring.
    const Bytes damaged = "\xFF\xFD";
    cat().list(ChoiceList::Genre2)[2] = damaged;
    cat().liveCaptions[4] = damaged;
    main->label(5)->setText(sjis::decode(damaged));
    dialog->show();

    dialog->memo2->moveCursor(QTextCursor::End);
    const QString items = dialog->memo2->toPlainText();
    type(dialog->memo2, QStringLiteral("한"));
    EXPECT_EQ(dialog->memo2->toPlainText(), items);
    type(dialog->memo2, QStringLiteral("\n随想"));
    EXPECT_EQ(dialog->memo2->toPlainText(), items + QStringLiteral("\n随想"));
    dialog->me1->end(false);
    type(dialog->me1, QStringLiteral("한"));
    EXPECT_EQ(dialog->me1->text(), QStringLiteral("ジャンル１"));
    type(dialog->bikou1, QStringLiteral("欄"));
    EXPECT_EQ(dialog->bikou1->text(), QStringLiteral("備考１欄"));

    click(dialog->OKBtn);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(Dialogs::shownTexts(Dialogs::Kind::Error).empty());
    const auto& genre2 = cat().list(ChoiceList::Genre2);
    ASSERT_EQ(genre2.size(), 12u);
    EXPECT_EQ(genre2[2], damaged);
    EXPECT_EQ(genre2.back(), sjis::fromUtf8("随想"));
    EXPECT_EQ(cat().liveCaptions[4], damaged);
    EXPECT_EQ(cat().liveCaptions[14], sjis::fromUtf8("備考１欄"));
    EXPECT_EQ(main->label(15)->text(), QStringLiteral("備考１欄"));
}
