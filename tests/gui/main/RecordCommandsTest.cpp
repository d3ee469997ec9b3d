#include "MainWindowFixture.h"

using namespace sorabel;

// How the commands move and count is the session's rule; here the questions,
// the edits dropped or kept and what the window shows.
TEST_F(MainWindowTest, DeleteAsksDropsTheEditsAndLeavesAnEmptyCatalogueSafe) {
    MainWindow& f = start();
    arrange(2, 1);
    Dialogs::setNextAnswer(false);
    f.deleteRecord();
    EXPECT_EQ(session.recordCount(), 2);
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Question).back(),
              QStringLiteral("この本の記録を削除しますか？"));

    type(Field::Title, QStringLiteral("編集中")); // dropped with the record
    Dialogs::setNextAnswer(true);
    entry("削除(&D)")->trigger();
    EXPECT_EQ(shown(Field::Title), QStringLiteral("本2"));
    EXPECT_EQ(panel(0), QStringLiteral("1／1"));
    EXPECT_FALSE(button("nextButton")->isEnabled());

    Dialogs::setNextAnswer(true);
    f.deleteRecord();
    EXPECT_EQ(panel(0), QStringLiteral("0／0"));
    EXPECT_EQ(shown(Field::Title), QString());
    // No record: the fields take no typing and the status bar says how to begin.
    EXPECT_FALSE(control(Field::Title)->isEnabled());
    EXPECT_FALSE(impressions()->isEnabled());
    EXPECT_EQ(reach<QLabel>(form(), "statusNote").text(),
              QStringLiteral("データ → 追加 で最初の本を登録します"));
    // Nothing to store into, nothing to move to, nothing to delete.
    type(Field::Title, QStringLiteral("宙に浮く"));
    f.goToFirstRecord();
    f.goToLastRecord();
    f.deleteRecord();
    EXPECT_EQ(session.recordCount(), 0);
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Question).size(), 3u);

    // Add starts again at record 1 with the headings in the choice boxes.
    entry("追加(&A)")->trigger();
    EXPECT_EQ(shown(Field::Title), QString());
    EXPECT_EQ(shown(Field::Genre1), QStringLiteral("ジャンル１"));
    EXPECT_EQ(shown(Field::Format), QStringLiteral("判型"));
    EXPECT_EQ(panel(0), QStringLiteral("1／1"));
    EXPECT_TRUE(control(Field::Title)->isEnabled());
    EXPECT_TRUE(reach<QLabel>(form(), "statusNote").text().isEmpty());
}

TEST_F(MainWindowTest, AddKeepsTheEditsAndFocusesTheNewLastRecord) {
    MainWindow& f = start();
    arrange(5, 3);
    type(Field::DateStarted, QStringLiteral("2024年1月"));
    control(Field::DateStarted)->setFocus();
    button("addButton")->setEnabled(true);
    button("addButton")->click();
    EXPECT_EQ(sjis::decode(session.catalogue().field(Field::DateStarted, 3)),
              QStringLiteral("2024年1月"));
    EXPECT_EQ(f.focusWidget(), control(Field::Title));
    EXPECT_FALSE(button("addButton")->isEnabled());
    EXPECT_EQ(panel(0), QStringLiteral("6／6"));
    // The new book holds the headings its boxes show.
    EXPECT_EQ(session.catalogue().field(Field::Genre1, 6), sj("ジャンル１"));

    // At the limit add and copy say so; the edit is still stored.
    arrange(kMaxRecords, 1500);
    type(Field::Title, QStringLiteral("満杯"));
    f.addRecord();
    entry("コピーして最後尾へ追加(&V)")->trigger();
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Notice),
              std::vector<QString>(2, QStringLiteral("記録できるのは２０００冊までです")));
    EXPECT_EQ(session.recordCount(), kMaxRecords);
    EXPECT_EQ(title(1500), QStringLiteral("満杯"));

    // The menu entry adds while the button is disabled; a hidden title takes no focus.
    arrange(2, 1, [](Catalogue& c) { c.flag(Field::Title) = "FALSE"; });
    f.layOutFields();
    control(Field::Reading)->setFocus();
    entry("追加(&A)")->trigger();
    EXPECT_EQ(session.recordCount(), 3);
    EXPECT_EQ(f.focusWidget(), control(Field::Reading));
}

TEST_F(MainWindowTest, CopyToTheEndTakesTheControlsAndKeepsUntouchedBytes) {
    start();
    arrange(5, 2, [](Catalogue& c) { c.setField(Field::Note2, 2, "\xED\x40"); });
    type(Field::Title, QStringLiteral("写し"));
    button("copyButton")->click();
    EXPECT_EQ(title(2), QStringLiteral("写し"));
    for (const FieldInfo& info : fieldTable())
        EXPECT_EQ(session.catalogue().field(info.field, 6),
                  session.catalogue().field(info.field, 2))
            << info.key;
    EXPECT_EQ(session.catalogue().field(Field::Note2, 6), "\xED\x40");
    EXPECT_EQ(shown(Field::Title), QStringLiteral("写し"));
    EXPECT_FALSE(button("lastButton")->isEnabled());
}

TEST_F(MainWindowTest, NavigationCommandsStoreMoveAndFollowTheEnds) {
    start();
    arrange(4, 2);
    type(Field::Title, QStringLiteral("二冊目"));
    const std::pair<std::function<void()>, int> steps[] = {
        {[&] { button("nextButton")->click(); }, 3},
        {[&] { entry("最後尾へ(&E)")->trigger(); }, 4},
        {[&] { entry("一つ前へ(&B)")->trigger(); }, 3},
        {[&] { button("firstButton")->click(); }, 1},
        {[&] { entry("一つ前へ(&B)")->trigger(); }, 1}, // disabled: does nothing
    };
    for (const auto& [step, current] : steps) {
        step();
        EXPECT_EQ(session.currentIndex(), current);
        EXPECT_EQ(entry("次へ(&N)")->isEnabled(), current < 4);
        EXPECT_EQ(button("lastButton")->isEnabled(), current < 4);
        EXPECT_EQ(entry("先頭へ(&T)")->isEnabled(), current > 1);
        EXPECT_EQ(button("previousButton")->isEnabled(), current > 1);
    }
    EXPECT_EQ(title(2), QStringLiteral("二冊目"));
    EXPECT_EQ(shown(Field::Title), QStringLiteral("本1"));
    EXPECT_EQ(panel(0), QStringLiteral("1／4"));
}
