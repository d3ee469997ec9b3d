#include "gui/settings/SettingsDialog.h"

#include "core/catalogue/CatalogueSession.h"
#include "core/format/CatalogueFile.h"
#include "core/format/HandoffFile.h"
#include "core/storage/ProgramFolder.h"
#include "core/text/ShiftJis.h"
#include "gui/GuiTestFixture.h"
#include "gui/Reach.h"
#include "gui/help/HelpViewer.h"
#include "gui/widgets/Dialogs.h"

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace sorabel;

namespace {

class SettingsDialogTest : public GuiTestFixture {
protected:
    void SetUp() override {
        GuiTestFixture::SetUp();
        ProgramFolder::setOverride(folder.path()); // where the hand-off file would go
        // What the main window does with the outcome.
        QObject::connect(&dialog, &SettingsDialog::settingsFinished,
                         [this](const SettingsOutcome& o) {
                             if (o.accepted || !(o.header == session.catalogue().header()))
                                 session.applySettings(o.header);
                             outcomes.push_back(o);
                         });
    }
    template <typename W = QWidget> W* find(const char* name) { return &reach<W>(dialog, name); }
    void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }
    void click(const char* name) { click(find(name)); }
    QRadioButton* option(const char* group, int item) {
        return &reach<QRadioButton>(dialog, QString::fromLatin1(group) + QString::number(item));
    }

    QTemporaryDir folder;
    CatalogueSession session;
    SettingsDialog dialog{session};
    std::vector<SettingsOutcome> outcomes;
};

} // namespace

TEST_F(SettingsDialogTest, SpinArrowsKeepTheSpacingBetweenOneAndFiftyAndOnlyOkHandsItOver) {
    const struct {
        int stored;
        const char* presses; // U closer, D wider
        int shown;
    } cases[] = {{60, "", 60}, {60, "U", 50}, {60, "DDU", 49}, {2, "UU", 1}, {2, "UUD", 2}};
    for (const auto& c : cases) {
        session.setSpacing(c.stored);
        dialog.show();
        for (const char* p = c.presses; *p; ++p)
            click(*p == 'U' ? "spacingUpButton" : "spacingDownButton");
        // What the user sees: the gap between the two preview edits.
        const QRect upper = find("spacingPreview1")->geometry();
        EXPECT_EQ(find("spacingPreview2")->y() - upper.bottom() - 1, c.shown) << c.presses;
        click("cancelButton");
        EXPECT_EQ(session.catalogue().spacing, c.stored);
    }
    dialog.show();
    click("spacingUpButton");
    click("okButton");
    EXPECT_EQ(session.catalogue().spacing, 1);
}

TEST_F(SettingsDialogTest, StartupOptionsHoldEvenOnCancel) {
    SettingsDialogInput input;
    input.settings.startup.restoreSize = false;
    dialog.prepare(input);
    dialog.show();
    EXPECT_TRUE(option("positionOption", 0)->isChecked());
    EXPECT_TRUE(option("sizeOption", 1)->isChecked());
    click(option("positionOption", 1));
    click(option("reopenOption", 1));
    click("cancelButton");
    ASSERT_EQ(outcomes.size(), 1u);
    const SettingsValues& kept = outcomes.back().settings;
    EXPECT_EQ(kept.startup, (StartupOptions{false, false, false}));
    EXPECT_FALSE(outcomes.back().accepted);
    dialog.show();
    EXPECT_TRUE(option("positionOption", 1)->isChecked());
}

TEST_F(SettingsDialogTest, ChosenFontsHoldOnCancelAndTheFontDialogOpensAtTheFontBeingChanged) {
    dialog.show();
    QFont bold(QStringLiteral("IPAPGothic"), 14);
    bold.setBold(true);
    Dialogs::setNextFont(FontChoice{bold, QColor(0x12, 0x34, 0x56)});
    click("captionFontButton");
    Dialogs::setNextFont(FontChoice{QFont(QStringLiteral("IPAGothic"), 11), Qt::blue});
    click("contentsFontButton");
    click("cancelButton");
    EXPECT_EQ(session.catalogue().captionFont, (FontValues{14, "IPAPGothic", 0x563412}));
    EXPECT_EQ(session.catalogue().contentsFont, (FontValues{11, "IPAGothic", 0xFF0000}));
    EXPECT_EQ(outcomes.back().settings.captionFont.style, 1);
    // The kept fonts change the catalogue: one step, saved by Save.
    EXPECT_EQ(session.undoText(), QStringLiteral("環境設定"));

    dialog.show();
    EXPECT_EQ(find<QLabel>("captionSample")->palette().color(QPalette::WindowText),
              QColor(0x12, 0x34, 0x56));
    click("captionFontButton"); // cancelled: changes nothing
    EXPECT_EQ(session.catalogue().captionFont.size, 14);
    const Dialogs::Shown opened = Dialogs::shown().back();
    EXPECT_EQ(opened.text + QLatin1Char(' ') + opened.caption, QStringLiteral("IPAPGothic 14"));
}

TEST_F(SettingsDialogTest, OkHandsEverythingOverAndCancelNothing) {
    Catalogue arranged;
    const Bytes damaged = "\x81"; // from a damaged file, not valid Shift-JIS
    arranged.liveCaptions[2] = damaged;
    arranged.list(ChoiceList::Genre1) = {sjis::fromUtf8("分類"), sjis::fromUtf8("小説"), "",
                                         sjis::fromUtf8("随筆"), ""};
    arranged.flag(Field::Reading) = "true"; // anything but "TRUE" hides
    session.takeCatalogue(arranged, 0);
    SettingsDialogInput input;
    input.settings.startup.reopenLastCatalogue = false;
    input.settings.file = "a.srb";
    dialog.prepare(input);

    for (const bool ok : {false, true}) {
        dialog.show();
        EXPECT_FALSE(find<QCheckBox>("readingShown")->isChecked());
        EXPECT_TRUE(find<QCheckBox>("subtitleShown")->isChecked());
        EXPECT_EQ(find<QLineEdit>("authorCaption")->text(), QStringLiteral("著作者・編者"));
        click("subtitleShown");
        find<QLineEdit>("authorCaption")->setText(QStringLiteral("著者"));
        find<QTabWidget>("pages")->setCurrentIndex(1);
        find<QLineEdit>("formatHeading")->setText(QStringLiteral("大きさ"));
        find<QTabWidget>("pages")->setCurrentIndex(0); // page 1 shows the new heading at once
        const auto labels = find<QTabWidget>("pages")->widget(0)->findChildren<QLabel*>();
        EXPECT_TRUE(std::any_of(labels.begin(), labels.end(),
                                [](auto* l) { return l->text() == QStringLiteral("大きさ"); }));
        if (ok)
            click("okButton");
        else
            QTest::keyClick(find("authorCaption"), Qt::Key_Escape); // Escape is キャンセル
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(outcomes.back().accepted, ok);
        EXPECT_EQ(session.isModified(), ok);
        EXPECT_FALSE(QFile::exists(HandoffFile::defaultPath())); // values go over directly
    }
    EXPECT_FALSE(outcomes.back().settings.startup.reopenLastCatalogue);
    EXPECT_EQ(outcomes.back().settings.file, "a.srb");
    const Catalogue& cat = session.catalogue();
    EXPECT_EQ(cat.liveCaptions[3], sjis::fromUtf8("著者"));
    EXPECT_EQ(cat.liveCaptions[2], damaged) << "an untouched caption keeps its bytes";
    EXPECT_EQ(cat.list(ChoiceList::Genre1), arranged.list(ChoiceList::Genre1));
    EXPECT_EQ(cat.heading(ChoiceList::Format), sjis::fromUtf8("大きさ"));
    EXPECT_FALSE(session.catalogue().isShown(Field::Subtitle));
    EXPECT_FALSE(session.catalogue().isShown(Field::Reading));
}

TEST_F(SettingsDialogTest, AnEndMarkerAsListEntryIsRefusedAndTheDialogStaysOpen) {
    for (const Bytes& marker : {kGenre1EndMarker, kGenre2EndMarker, kFormatEndMarker}) {
        for (const bool heading : {false, true}) {
            Dialogs::reset();
            dialog.show();
            const QString text = sjis::decode(marker);
            if (heading)
                find<QLineEdit>("formatHeading")->setText(text);
            else
                find<QPlainTextEdit>("genre2Items")->setPlainText(QStringLiteral("小説\n") + text);
            click("okButton");
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Notice).size(), 1u);
            EXPECT_EQ(find<QTabWidget>("pages")->currentIndex(), 1) << "shown where it was typed";
            dialog.reject();
        }
    }
}

TEST_F(SettingsDialogTest, HelpButtonsAskForTheirPagesTopics) {
    for (int page = 0; page < 3; ++page)
        click(&reach<QPushButton>(*find<QTabWidget>("pages")->widget(page), "helpButton"));
    const auto& requests = HelpViewer::requests();
    ASSERT_EQ(requests.size(), 3u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(requests[i].context == 6 + int(i) && requests[i].file == "sorabe.HLP") << i;
}
