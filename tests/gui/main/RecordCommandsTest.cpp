#include "MainWindowFixture.h"

#include <QAction>

using namespace sorabel;

namespace {
// Titles い, ろ, は, に in records 1..4.
void kana(MainWindow& f, int n) {
    const char* names[] = {"い", "ろ", "は", "に"};
    Catalogue& c = f.catalogue();
    c.recordCount = n;
    for (int i = 1; i <= n; ++i) {
        c.setField(Field::Title, i, sjis::fromUtf8(names[i - 1]));
        c.setField(Field::FirstEdition, i, sjis::fromUtf8(names[i - 1]));
    }
}
} // namespace

TEST_F(MainWindowTest, DeleteMovesLaterRecordsUpAndEmptiesTheFreedPlace) {
    MainWindow& f = start();
    kana(f, 4);
    f.catalogue().currentIndex = 2;
    f.showCurrentRecord();

    Dialogs::setNextAnswer(false);
    f.ToolButton3Click();
    EXPECT_EQ(f.catalogue().recordCount, 4);
    EXPECT_EQ(f.catalogue().modifiedCount, 0);
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Question).back(),
              QStringLiteral("この本の記録を削除しますか？"));

    f.shomei->setText(QStringLiteral("編集中")); // dropped with the record
    Dialogs::setNextAnswer(true);
    f.N3->trigger();
    EXPECT_EQ(f.catalogue().recordCount, 3);
    EXPECT_EQ(f.catalogue().currentIndex, 2);
    EXPECT_EQ(title(1), QStringLiteral("い"));
    EXPECT_EQ(title(2), QStringLiteral("は"));
    EXPECT_EQ(title(3), QStringLiteral("に"));
    for (const FieldInfo& info : fieldTable())
        EXPECT_TRUE(f.catalogue().field(info.field, 4).empty()) << info.key;
    EXPECT_EQ(f.shomei->text(), QStringLiteral("は"));
    EXPECT_EQ(f.catalogue().modifiedCount, 1);
    EXPECT_TRUE(f.ToolButton2->isEnabled());

    // The last record: the one before it is shown, next and last are disabled.
    f.catalogue().currentIndex = 3;
    f.showCurrentRecord();
    Dialogs::setNextAnswer(true);
    f.ToolButton3Click();
    EXPECT_EQ(f.catalogue().recordCount, 2);
    EXPECT_EQ(f.shomei->text(), QStringLiteral("は"));
    EXPECT_FALSE(f.ToolButton8->isEnabled());
    EXPECT_FALSE(f.N11->isEnabled());
    EXPECT_TRUE(f.catalogue().field(Field::FirstEdition, 3).empty());
}

TEST_F(MainWindowTest, DeletingTheOnlyRecordLeavesAnEmptyCatalogueThatStaysSafe) {
    MainWindow& f = start();
    kana(f, 1);
    f.showCurrentRecord();
    Dialogs::setNextAnswer(true);
    f.ToolButton3Click();
    EXPECT_EQ(f.catalogue().recordCount, 0);
    EXPECT_EQ(f.catalogue().currentIndex, 0);
    EXPECT_EQ(f.statusPanelText(0), QStringLiteral("0／0"));
    EXPECT_EQ(f.shomei->text(), QString());
    EXPECT_FALSE(f.ToolButton8->isEnabled());

    // Nothing to store into, nothing to move to, nothing to delete.
    f.shomei->setText(QStringLiteral("宙に浮く"));
    f.storeShownRecord();
    f.ToolButton10Click();
    f.ToolButton7Click();
    f.N11Click();
    EXPECT_EQ(f.catalogue().currentIndex, 0);
    EXPECT_EQ(f.catalogue().recordCount, 0);
    const size_t questions = Dialogs::shownTexts(Dialogs::Kind::Question).size();
    f.ToolButton3Click();
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Question).size(), questions);

    // Add starts again at record 1 with the headings in the combo boxes.
    f.Save2->trigger();
    EXPECT_EQ(f.catalogue().recordCount, 1);
    EXPECT_EQ(f.catalogue().currentIndex, 1);
    EXPECT_EQ(f.shomei->text(), QString());
    EXPECT_EQ(f.janru1->currentText(), QStringLiteral("ジャンル１"));
    EXPECT_EQ(f.janru2->currentText(), QStringLiteral("ジャンル２"));
    EXPECT_EQ(f.hangata->currentText(), QStringLiteral("判型"));
    EXPECT_EQ(f.statusPanelText(0), QStringLiteral("1／1"));
}

TEST_F(MainWindowTest, AddKeepsTheEditsAndShowsANewLastRecord) {
    MainWindow& f = start();
    load(5, 3);
    f.catalogue().modifiedCount = 0;
    f.kaisi->setText(QStringLiteral("2024年1月"));
    f.kaisi->setFocus();
    f.ToolButton2Click();
    EXPECT_EQ(f.catalogue().recordCount, 6);
    EXPECT_EQ(f.catalogue().currentIndex, 6);
    EXPECT_EQ(sjis::decode(f.catalogue().field(Field::DateStarted, 3)), QStringLiteral("2024年1月"));
    EXPECT_EQ(f.focusWidget(), f.shomei);
    EXPECT_FALSE(f.ToolButton2->isEnabled());
    EXPECT_EQ(f.catalogue().modifiedCount, 1);
    EXPECT_EQ(f.statusPanelText(0), QStringLiteral("6／6"));
    // The headings reach the record at the next store.
    EXPECT_TRUE(f.catalogue().field(Field::Genre1, 6).empty());
    f.ToolButton10Click();
    EXPECT_EQ(f.catalogue().field(Field::Genre1, 6), sj("ジャンル１"));

    // The menu entry adds while the button is disabled; a hidden title takes no focus.
    f.catalogue().flag(Field::Title) = "FALSE";
    f.layOutFields();
    f.yomi->setFocus();
    f.Save2->trigger();
    EXPECT_EQ(f.catalogue().recordCount, 7);
    EXPECT_EQ(f.focusWidget(), f.yomi);
    EXPECT_TRUE(Dialogs::shownTexts(Dialogs::Kind::Error).empty());
}

TEST_F(MainWindowTest, AddAndCopyStopAtTwoThousandRecords) {
    MainWindow& f = start();
    load(kMaxRecords, 1500);
    f.catalogue().modifiedCount = 0;
    f.shomei->setText(QStringLiteral("満杯"));
    f.ToolButton2Click();
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Notice),
              std::vector<QString>{QStringLiteral("記録できるのは２０００冊までです")});
    EXPECT_EQ(f.catalogue().recordCount, kMaxRecords);
    EXPECT_EQ(f.catalogue().currentIndex, 1500);
    EXPECT_EQ(title(1500), QStringLiteral("満杯"));
    EXPECT_EQ(f.catalogue().modifiedCount, 1);

    f.V1->trigger();
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Notice).size(), 2u);
    EXPECT_EQ(f.catalogue().recordCount, kMaxRecords);
    EXPECT_EQ(f.catalogue().currentIndex, 1500);
}

TEST_F(MainWindowTest, CopyToTheEndTakesTheControlsAndCountsTwice) {
    MainWindow& f = start();
    load(5, 2);
    f.catalogue().setField(Field::Note2, 2, "\xED\x40"); // kept byte for byte
    f.showCurrentRecord();
    f.catalogue().modifiedCount = 0;
    f.shomei->setText(QStringLiteral("写し"));
    f.ToolButton20Click();
    EXPECT_EQ(f.catalogue().recordCount, 6);
    EXPECT_EQ(f.catalogue().currentIndex, 6);
    EXPECT_EQ(title(2), QStringLiteral("写し"));
    for (const FieldInfo& info : fieldTable())
        EXPECT_EQ(f.catalogue().field(info.field, 6), f.catalogue().field(info.field, 2))
            << info.key;
    EXPECT_EQ(f.catalogue().field(Field::Note2, 6), "\xED\x40");
    EXPECT_EQ(f.shomei->text(), QStringLiteral("写し"));
    EXPECT_FALSE(f.ToolButton8->isEnabled());
    EXPECT_FALSE(f.ToolButton12->isEnabled());
    EXPECT_EQ(f.catalogue().modifiedCount, 2);
}

TEST_F(MainWindowTest, NavigationCommandsStoreMoveAndCount) {
    MainWindow& f = start();
    load(4, 2);
    f.catalogue().modifiedCount = 0;
    f.shomei->setText(QStringLiteral("二冊目"));
    f.ToolButton8->click();
    EXPECT_EQ(f.catalogue().currentIndex, 3);
    EXPECT_EQ(title(2), QStringLiteral("二冊目"));
    f.N11->trigger();
    EXPECT_EQ(f.catalogue().currentIndex, 4);
    EXPECT_FALSE(f.N10->isEnabled());
    f.N9->trigger();
    EXPECT_EQ(f.catalogue().currentIndex, 3);
    f.ToolButton10->click();
    EXPECT_EQ(f.catalogue().currentIndex, 1);
    EXPECT_FALSE(f.N8->isEnabled());
    EXPECT_FALSE(f.ToolButton7->isEnabled());
    EXPECT_EQ(f.catalogue().modifiedCount, 4);
    EXPECT_EQ(f.shomei->text(), QStringLiteral("本1"));
    // Disabled entries do nothing from the menu.
    f.N9->trigger();
    EXPECT_EQ(f.catalogue().currentIndex, 1);
    EXPECT_EQ(f.catalogue().modifiedCount, 4);
}
