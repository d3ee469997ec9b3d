#include "gui/main/MainWindowFixture.h"

#include "core/format/HandoffFile.h"
#include "gui/settings/SettingsDialog.h"

#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QTextCursor>
#include <QTimer>

using namespace sorabel;

namespace {

// The whole settings command: the main window opens the dialog modally, the
// step acts in it, and the main window finishes the cycle when it closes.
class SettingsCycleTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        windows = std::make_unique<ProgramWindows>(session);
        dialog = &windows->settingsDialog();
        logPath = path(QStringLiteral("log.srb"));
        Dialogs::setNextFileName(logPath); // the catalogue has no file yet: save-as asks
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
        form().openSettings(); // returns once the dialog has closed
    }
    template <class T = QLineEdit> T* in(const char* name) { return &reach<T>(*dialog, name); }
    QPlainTextEdit* items(const char* name) { return in<QPlainTextEdit>(name); }
    void click(const char* name) { QTest::mouseClick(in<QAbstractButton>(name), Qt::LeftButton); }
    QLabel* caption(int k) { return &reach<QLabel>(form(), QStringLiteral("caption%1").arg(k)); }

    CatalogueContent saved() const { return CatalogueFile::parse(FileIo::readAll(logPath)); }
    const Catalogue& cat() const { return session.catalogue(); }

    SettingsDialog* dialog = nullptr;
    QString logPath;
};

} // namespace

TEST_F(SettingsCycleTest, OkIsOneUnsavedStepAndTheDialogNeverWritesTheCatalogue) {
    arrange(3, 2);
    combo(Field::Genre2)->setEditText(QStringLiteral("論文")); // typed, not yet saved
    runSettings([this] {
        EXPECT_TRUE(in<QCheckBox>("genre1Shown")->isChecked());
        click("genre1Shown");
        click("okButton");
    });
    EXPECT_EQ(session.currentIndex(), 2);
    EXPECT_EQ(shown(Field::Genre2), QStringLiteral("論文"));
    EXPECT_FALSE(cat().isShown(Field::Genre1));
    EXPECT_TRUE(control(Field::Genre1)->isHidden());
    EXPECT_FALSE(QFile::exists(HandoffFile::defaultPath()));
    // Nothing was saved, nor a file name asked for.
    EXPECT_FALSE(QFile::exists(logPath));
    EXPECT_TRUE(Dialogs::shownTexts(Dialogs::Kind::SaveFile).empty());
    EXPECT_TRUE(session.isModified());
    EXPECT_EQ(entry("元に戻す: 環境設定(&U)")->isEnabled(), true);

    entry("上書き保存(&S)")->trigger();
    EXPECT_EQ(saved().header.flags[static_cast<size_t>(index(Field::Genre1))], "FALSE");
    EXPECT_EQ(saved().records[1][index(Field::Genre2)], sjis::fromUtf8("論文"));
    EXPECT_FALSE(session.isModified());

    // Undo takes the settings back, the field shows again.
    entry("元に戻す: 環境設定(&U)")->trigger();
    EXPECT_TRUE(cat().isShown(Field::Genre1));
    EXPECT_FALSE(control(Field::Genre1)->isHidden());
}

TEST_F(SettingsCycleTest, CancelAndEscapeChangeNothingAndSaveNothing) {
    arrange(3, 1);
    type(Field::Title, QStringLiteral("未保存"));
    for (const bool escape : {false, true}) {
        runSettings([this, escape] {
            if (escape)
                QTest::keyClick(in("titleCaption"), Qt::Key_Escape);
            else
                click("cancelButton");
        });
        EXPECT_FALSE(QFile::exists(logPath));
        EXPECT_TRUE(Dialogs::shownTexts(Dialogs::Kind::SaveFile).empty());
        EXPECT_EQ(session.undoText(), QStringLiteral("入力"));
    }
}

// What OK hands over (captions, lists, headings) is the dialog's test; here
// the main window shows it and the save inside the cycle carries it.
TEST_F(SettingsCycleTest, OkAppliesCaptionsAndChoiceLists) {
    runSettings([this] {
        in("titleCaption")->setText(QStringLiteral("題名"));
        items("genre1Items")->setPlainText(QStringLiteral("小説\n\n随筆"));
        click("okButton");
    });
    form().save();
    EXPECT_EQ(caption(1)->text(), QStringLiteral("題名"));
    ASSERT_EQ(combo(Field::Genre1)->count(), 4);
    EXPECT_EQ(combo(Field::Genre1)->itemText(3), QStringLiteral("随筆"));
    EXPECT_EQ(saved().header.captions[0], sjis::fromUtf8("題名"));
    EXPECT_EQ(saved().header.lists[0], cat().list(ChoiceList::Genre1));
}

TEST_F(SettingsCycleTest, SecondOkKeepsTheFontChosenEarlier) {
    QFont chosen(QStringLiteral("IPAPGothic"), 14);
    chosen.setItalic(true);
    runSettings([&] {
        Dialogs::setNextFont(FontChoice{chosen, QColor(0, 0x80, 0)});
        click("captionFontButton");
        click("okButton");
    });
    const FontValues expected{14, "IPAPGothic", 0x008000};
    EXPECT_EQ(cat().captionFont, expected);
    // The main window shows the chosen font as soon as the dialog has closed.
    EXPECT_TRUE(caption(1)->font().italic());

    runSettings([this] { click("okButton"); });
    EXPECT_EQ(cat().captionFont, expected);
    form().save();
    EXPECT_EQ(saved().header.captionFont, expected);
    // The style as the settings file keeps it.
    EXPECT_EQ(SettingsFile::read(SettingsFile::defaultPath(), {}, true).captionFont.style, 2);
}

// A hand-off file another copy of the program left behind is never taken.
TEST_F(SettingsCycleTest, AStaleHandOffFileIsNeverTaken) {
    HandoffValues foreign;
    foreign.flags.fill("FALSE");
    HandoffFile::write(HandoffFile::defaultPath(), foreign);
    runSettings([this] { click("okButton"); });
    EXPECT_TRUE(cat().isShown(Field::Title));
}

TEST_F(SettingsCycleTest, AnUnwritableSettingsFileIsReportedAndTheDialogCloses) {
    // A program folder that does not exist: the settings file cannot be written.
    ProgramFolder::setOverride(QDir(dir.path()).filePath(QStringLiteral("missing")));
    runSettings([this] {
        in("authorCaption")->setText(QStringLiteral("編者"));
        click("okButton");
    });
    EXPECT_FALSE(Dialogs::shownTexts(Dialogs::Kind::Error).empty());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(caption(4)->text(), QStringLiteral("編者")) << "what came before the failure stands";
}

TEST_F(SettingsCycleTest, TypedTextStaysInTheCodePageAndDamagedBytesSurvive) {
    // Bytes that code page 932 does not define, as a damaged file may bring.
    const Bytes damaged = "\xFF\xFD";
    arrange(1, 1, [&](Catalogue& c) { c.list(ChoiceList::Genre2)[2] = damaged; });
    runSettings([&] {
        QPlainTextEdit* genre2 = items("genre2Items");
        genre2->moveCursor(QTextCursor::End);
        const QString texts = genre2->toPlainText();
        typeText(genre2, QStringLiteral("한\n随想"));
        EXPECT_EQ(genre2->toPlainText(), texts + QStringLiteral("\n随想"));
        in("genre1Heading")->end(false);
        typeText(in("genre1Heading"), QStringLiteral("한"));
        EXPECT_EQ(in("genre1Heading")->text(), QStringLiteral("ジャンル１"));
        click("okButton");
    });
    EXPECT_TRUE(Dialogs::shownTexts(Dialogs::Kind::Error).empty());
    const auto& genre2 = cat().list(ChoiceList::Genre2);
    ASSERT_EQ(genre2.size(), 12u);
    EXPECT_EQ(genre2[2], damaged);
    EXPECT_EQ(genre2.back(), sjis::fromUtf8("随想"));
}
