#include "gui/about/AboutDialog.h"
#include "gui/main/MainWindow.h"
#include "core/storage/ProgramFolder.h"
#include "gui/widgets/Dialogs.h"
#include "gui/widgets/FindDialog.h"
#include "gui/help/HelpViewer.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace sorabel;

namespace {
class SearchAndHelpCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ProgramFolder::setOverride(dir.path());
        Dialogs::reset();
        HelpViewer::setTestMode(true);
        HelpViewer::clearRequests();
        form = std::make_unique<MainWindow>();
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    void TearDown() override {
        HelpViewer::setTestMode(false);
        ProgramFolder::setOverride(QString());
    }
    void find(const QString& text) {
        form->FindDialog1->setFindText(text);
        QTest::mouseClick(form->FindDialog1->findNextButton(), Qt::LeftButton);
    }
    int selectionStart() const { return form->kansou->textCursor().selectionStart(); }
    QString selected() const { return form->kansou->textCursor().selectedText(); }

    QTemporaryDir dir;
    std::unique_ptr<MainWindow> form;
};
} // namespace

TEST_F(SearchAndHelpCommandsTest, SearchDialogFindsInTheShownImpressions) {
    form->S2->trigger();
    ASSERT_TRUE(form->FindDialog1->isVisible());
    EXPECT_FALSE(form->FindDialog1->isModal());
    form->FindDialog1->hide();
    QTest::mouseClick(form->ToolButton21, Qt::LeftButton);
    EXPECT_TRUE(form->FindDialog1->isVisible());

    form->setControlText(Field::Impressions, QStringLiteral("あいうあい"));
    form->setControlText(Field::Title, QStringLiteral("あい")); // other fields are not searched
    find(QStringLiteral("あい"));
    EXPECT_EQ(selectionStart(), 0);
    EXPECT_EQ(selected(), QStringLiteral("あい"));
    EXPECT_EQ(form->focusWidget(), form->kansou);
    find(QStringLiteral("あい"));
    EXPECT_EQ(selectionStart(), 3);
    find(QStringLiteral("あい"));
    EXPECT_EQ(selectionStart(), 3);
    EXPECT_EQ(selected(), QStringLiteral("あい"));

    // Several lines: positions agree with the control's own.
    form->setControlText(Field::Impressions, QStringLiteral("一行目\r\n二行目の感想"));
    find(QStringLiteral("感想"));
    EXPECT_EQ(selected(), QStringLiteral("感想"));

    // Letter case counts; a miss changes nothing and says nothing.
    form->setControlText(Field::Impressions, QStringLiteral("Reading"));
    form->shomei->setFocus();
    find(QStringLiteral("reading"));
    EXPECT_TRUE(selected().isEmpty());
    EXPECT_EQ(form->focusWidget(), form->shomei);
    form->setControlText(Field::Impressions, QString());
    find(QStringLiteral("あ"));
    EXPECT_EQ(form->focusWidget(), form->shomei);
    EXPECT_TRUE(Dialogs::shownTexts(Dialogs::Kind::Error).empty());
    // The search text stays in the dialog.
    form->FindDialog1->hide();
    form->S2->trigger();
    EXPECT_EQ(form->FindDialog1->findText(), QStringLiteral("あ"));
}

TEST_F(SearchAndHelpCommandsTest, HiddenImpressionsReportTheFocusErrorOnlyOnAMatch) {
    form->catalogue().flag(Field::Impressions) = "FALSE";
    form->layOutFields();
    ASSERT_TRUE(form->kansou->isHidden());
    form->setControlText(Field::Impressions, QStringLiteral("あいうあい"));
    form->S2->trigger();
    find(QStringLiteral("う"));
    const auto errors = Dialogs::shownTexts(Dialogs::Kind::Error);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], QStringLiteral("無効/非表示ウィンドウにはフォーカスを設定できません."));
    EXPECT_TRUE(selected().isEmpty());
    find(QStringLiteral("え"));
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Error).size(), 1u);
}

TEST_F(SearchAndHelpCommandsTest, HelpCommandsAskTheViewerForTheRightFileAndContext) {
    QTest::keyClick(form->shomei, Qt::Key_F1);
    form->S1->trigger();
    HelpViewer::setApplicationHelpFile(QStringLiteral("/usr/local/share/sorabel/SORABE.HLP"));
    form->Contents1->trigger();
    EXPECT_EQ(HelpViewer::applicationHelpFile(), QStringLiteral("sorabe.HLP"));
    HelpViewer::setApplicationHelpFile(QStringLiteral("/usr/local/share/sorabel/SORABE.HLP"));
    QTest::mouseClick(form->ToolButton1, Qt::LeftButton);
    EXPECT_EQ(HelpViewer::applicationHelpFile(), QStringLiteral("sorabe.HLP"));

    const auto& r = HelpViewer::requests();
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0].kind, HelpViewer::Request::Context);
    EXPECT_EQ(r[0].context, 1);
    EXPECT_EQ(r[0].file, QStringLiteral("sorabe.HLP"));
    EXPECT_EQ(r[1].kind, HelpViewer::Request::Context);
    EXPECT_EQ(r[1].context, 2);
    EXPECT_EQ(r[1].file, QStringLiteral("sorabe.HLP"));
    for (int i : {2, 3}) {
        EXPECT_EQ(r[i].kind, HelpViewer::Request::Finder);
        EXPECT_EQ(r[i].file, QStringLiteral("sorabe.HLP"));
    }
}

TEST_F(SearchAndHelpCommandsTest, AboutCommandShowsTheAboutBoxModally) {
    AboutDialog box(form.get());
    form->setAboutBox(&box);
    bool wasModal = false;
    QString version;
    QTimer::singleShot(0, [&] {
        wasModal = box.isVisible() && box.isModal();
        version = box.Version->text();
        QTest::mouseClick(box.OKButton, Qt::LeftButton);
    });
    form->About1->trigger();
    EXPECT_TRUE(wasModal);
    EXPECT_EQ(version, QStringLiteral("Version 2.0"));
    EXPECT_FALSE(box.isVisible());
}
