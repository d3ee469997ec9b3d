#include "gui/settings/SettingsDialog.h"

#include "gui/main/MainWindow.h"
#include "core/storage/ProgramFolder.h"
#include "core/text/ShiftJis.h"
#include "gui/widgets/Dialogs.h"
#include "gui/help/HelpViewer.h"
#include "core/format/HandoffFile.h"
#include "gui/widgets/DisplayFont.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>
#include <memory>

using namespace sorabel;

namespace {

class TForm4Test : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        ProgramFolder::setOverride(folder.path());
        Dialogs::reset();
        main = std::make_unique<MainWindow>();
        dialog = new SettingsDialog(main.get());
    }
    void TearDown() override {
        delete dialog;
        main.reset();
        ProgramFolder::setOverride(QString());
    }

    Catalogue& cat() { return main->catalogue(); }
    void open() { dialog->show(); }
    void click(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    // Lower edit's top minus the upper edit's bottom.
    int previewGap() const {
        return dialog->Edit2->y() - (dialog->Edit1->y() + dialog->Edit1->height());
    }

    QTemporaryDir folder;
    std::unique_ptr<MainWindow> main;
    SettingsDialog* dialog = nullptr;
};

FontChoice font(const QString& family, int points, bool bold, QColor colour) {
    QFont f(family, points);
    f.setBold(bold);
    return {f, colour};
}

} // namespace

TEST_F(TForm4Test, SpinArrowsKeepTheSpacingBetweenOneAndFifty) {
    cat().spacing = 60; // brought in from a catalogue, out of range
    open();
    EXPECT_EQ(dialog->spacingValue(), 60);
    EXPECT_EQ(previewGap(), 60);
    click(dialog->UpArrow);
    EXPECT_EQ(dialog->spacingValue(), 50);
    EXPECT_EQ(previewGap(), 50);
    click(dialog->CancelBtn);

    open();
    EXPECT_EQ(dialog->spacingValue(), 60) << "Cancel drops the edited spacing";
    click(dialog->DownArrow);
    EXPECT_EQ(dialog->spacingValue(), 50);
    click(dialog->DownArrow);
    EXPECT_EQ(dialog->spacingValue(), 50);
    click(dialog->UpArrow);
    EXPECT_EQ(dialog->spacingValue(), 49);
    EXPECT_EQ(previewGap(), 49);
    click(dialog->CancelBtn);

    cat().spacing = 2;
    open();
    click(dialog->UpArrow);
    EXPECT_EQ(dialog->spacingValue(), 1);
    click(dialog->UpArrow);
    EXPECT_EQ(dialog->spacingValue(), 1);
    EXPECT_EQ(previewGap(), 1);
    click(dialog->DownArrow);
    EXPECT_EQ(dialog->spacingValue(), 2);
    // Nothing reaches the catalogue without OK.
    click(dialog->CancelBtn);
    EXPECT_EQ(cat().spacing, 2);
}

TEST_F(TForm4Test, OptionsAreStoredAtOnceAndSurviveCancel) {
    main->Ki2 = 1;
    open();
    EXPECT_TRUE(dialog->Kioku1->button(0)->isChecked());
    EXPECT_TRUE(dialog->Kioku2->button(1)->isChecked());
    EXPECT_TRUE(dialog->Kioku3->button(0)->isChecked());
    click(dialog->Kioku1->button(1)); // 終了時の位置: 記憶しない
    EXPECT_EQ(main->Ki1, 1);
    click(dialog->Kioku2->button(0));
    EXPECT_EQ(main->Ki2, 0);
    click(dialog->CancelBtn);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(main->Ki1, 1);
    EXPECT_EQ(main->Ki2, 0);
    EXPECT_EQ(main->settingsValues().ki1, 1);

    open();
    EXPECT_TRUE(dialog->Kioku1->button(1)->isChecked());
    EXPECT_TRUE(dialog->Kioku2->button(0)->isChecked());
    EXPECT_EQ(dialog->Kioku1->button(1)->text(), QStringLiteral("記憶しない"));
    EXPECT_EQ(dialog->Kioku3->button(1)->text(), QStringLiteral("読み込まない"));
}

TEST_F(TForm4Test, ChosenFontGoesIntoTheCatalogueAtOnceAndCancelKeepsIt) {
    cat().captionFont = {10, "IPAGothic", 0};
    cat().contentsFont = {9, "IPAPGothic", DisplayFont::kWindowText};
    open();
    EXPECT_EQ(dialog->captionFontValues(), cat().captionFont);

    // A cancelled font dialog changes neither sample nor catalogue.
    const QFont before = dialog->CaptionSample->font();
    Dialogs::setNextFont(std::nullopt);
    click(dialog->Button1);
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Font).size(), 1u);
    EXPECT_EQ(dialog->CaptionSample->font(), before);
    EXPECT_EQ(cat().captionFont, (FontValues{10, "IPAGothic", 0}));

    Dialogs::setNextFont(font(QStringLiteral("IPAPGothic"), 14, true, QColor(0x12, 0x34, 0x56)));
    click(dialog->Button1);
    EXPECT_EQ(cat().captionFont, (FontValues{14, "IPAPGothic", 0x563412}));
    EXPECT_EQ(dialog->CaptionSample->font().family(), QStringLiteral("IPAPGothic"));
    EXPECT_TRUE(dialog->CaptionSample->font().bold());
    EXPECT_EQ(dialog->CaptionSample->palette().color(QPalette::WindowText),
              QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(main->settingsValues().captionFont.style, 1);
    // The contents font is untouched.
    EXPECT_EQ(cat().contentsFont.size, 9);

    Dialogs::setNextFont(font(QStringLiteral("IPAGothic"), 11, false, Qt::blue));
    click(dialog->Button5);
    EXPECT_EQ(cat().contentsFont, (FontValues{11, "IPAGothic", 0xFF0000}));
    EXPECT_EQ(dialog->Edit1->font().family(), QStringLiteral("IPAGothic"));
    EXPECT_EQ(dialog->Edit2->font().pointSize(), 11);
    EXPECT_EQ(dialog->ContentsSample->font().pointSize(), 11);

    click(dialog->CancelBtn);
    EXPECT_EQ(cat().captionFont, (FontValues{14, "IPAPGothic", 0x563412}));
    EXPECT_EQ(cat().contentsFont, (FontValues{11, "IPAGothic", 0xFF0000}));
    EXPECT_EQ(cat().modifiedCount, 0);

    // The next opening shows the catalogue's fonts, not the start-up ones.
    open();
    EXPECT_EQ(dialog->CaptionSample->font().pointSize(), 14);
    EXPECT_EQ(dialog->captionFontValues(), cat().captionFont);
    // The font dialog starts from the font chosen last.
    Dialogs::setNextFont(std::nullopt);
    click(dialog->Button1);
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Font).back(), QStringLiteral("IPAGothic"));
}

TEST_F(TForm4Test, CancelDropsTicksCaptionsAndLists) {
    cat().flag(Field::Subtitle) = "FALSE";
    cat().flag(Field::Reading) = "true"; // anything but "TRUE" hides
    open();
    EXPECT_FALSE(dialog->CheckBox2->isChecked());
    EXPECT_FALSE(dialog->CheckBox3->isChecked());
    EXPECT_TRUE(dialog->CheckBox1->isChecked());
    click(dialog->CheckBox2);
    EXPECT_TRUE(dialog->CheckBox2->isChecked());
    dialog->sakusha->setText(QStringLiteral("著者"));
    dialog->me1->setText(QStringLiteral("分類"));
    click(dialog->CancelBtn);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(cat().flag(Field::Subtitle), "FALSE");

    open();
    EXPECT_FALSE(dialog->CheckBox2->isChecked());
    click(dialog->CheckBox2);
    QTest::keyClick(dialog->sakusha, Qt::Key_Escape); // Escape is Cancel
    EXPECT_FALSE(dialog->isVisible());

    open();
    EXPECT_FALSE(dialog->CheckBox2->isChecked());
    EXPECT_EQ(dialog->sakusha->text(), main->label(4)->text());
    EXPECT_EQ(dialog->me1->text(), QStringLiteral("ジャンル１"));
    EXPECT_EQ(dialog->Label8->text(), QStringLiteral("ジャンル１"));
    EXPECT_EQ(cat().modifiedCount, 0);
    EXPECT_FALSE(QFile::exists(HandoffFile::defaultPath()));
}

TEST_F(TForm4Test, FillingShowsListsCaptionsAndHeadings) {
    cat().list(ChoiceList::Genre1) = {sjis::fromUtf8("分類"), sjis::fromUtf8("小説"), "",
                                      sjis::fromUtf8("随筆"), ""};
    cat().list(ChoiceList::Format) = {sjis::fromUtf8("判型")};
    main->label(1)->setText(QStringLiteral("題名"));
    open();
    EXPECT_EQ(dialog->me1->text(), QStringLiteral("分類"));
    EXPECT_EQ(dialog->memo1->toPlainText(), QStringLiteral("小説\n\n随筆\n\n"));
    EXPECT_EQ(dialog->memo3->toPlainText(), QString());
    EXPECT_EQ(dialog->shomei->text(), QStringLiteral("題名"));
    EXPECT_EQ(dialog->Label8->text(), QStringLiteral("分類"));

    // A heading edited on page 2 shows on page 1 as soon as it is shown.
    dialog->PageControl1->setCurrentIndex(1);
    dialog->me2->setText(QStringLiteral("副分類"));
    dialog->PageControl1->setCurrentIndex(0);
    EXPECT_EQ(dialog->Label9->text(), QStringLiteral("副分類"));
}

TEST_F(TForm4Test, HelpButtonsAskForTheirPagesTopics) {
    HelpViewer::setTestMode(true);
    HelpViewer::clearRequests();
    open();
    click(dialog->HelpBtn1);
    click(dialog->HelpBtn2);
    click(dialog->HelpBtn3);
    const auto& requests = HelpViewer::requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].context, 6);
    EXPECT_EQ(requests[1].context, 7);
    EXPECT_EQ(requests[2].context, 8);
    EXPECT_EQ(requests[0].file, QStringLiteral("sorabe.HLP"));
    EXPECT_EQ(requests[0].kind, HelpViewer::Request::Context);
}
