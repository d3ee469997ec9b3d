#include "gui/widgets/Dialogs.h"

#include <gtest/gtest.h>
#include <stdexcept>

using namespace sorabel;

class DialogsTest : public ::testing::Test {
protected:
    void SetUp() override { Dialogs::reset(); }
};

TEST_F(DialogsTest, ErrorTextGetsAFullStopAfterCharactersSortingAfterIt) {
    EXPECT_EQ(Dialogs::errorText(QStringLiteral("ファイルが見つかりません")),
              QStringLiteral("ファイルが見つかりません."));
    EXPECT_EQ(Dialogs::errorText(QStringLiteral("I/O エラー (5)")),
              QStringLiteral("I/O エラー (5)"));
    EXPECT_EQ(Dialogs::errorText(QStringLiteral("done.")), QStringLiteral("done."));
    EXPECT_EQ(Dialogs::errorText(QStringLiteral("abc")), QStringLiteral("abc."));
    EXPECT_EQ(Dialogs::errorText(QString()), QString());
}

TEST_F(DialogsTest, ScriptedAnswersAreTakenInOrderThenNo) {
    Dialogs::setNextAnswer(true);
    Dialogs::setNextAnswer(false);
    EXPECT_TRUE(Dialogs::question(nullptr, QStringLiteral("一")));
    EXPECT_FALSE(Dialogs::question(nullptr, QStringLiteral("二")));
    EXPECT_FALSE(Dialogs::question(nullptr, QStringLiteral("三")));
    const auto texts = Dialogs::shownTexts(Dialogs::Kind::Question);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[2], QStringLiteral("三"));
    EXPECT_EQ(Dialogs::shown().front().caption, Dialogs::applicationTitle());
}

TEST_F(DialogsTest, FileDialogsCancelWhenNothingIsScripted) {
    Dialogs::setNextFileName(QStringLiteral("/tmp/a.srb"));
    EXPECT_EQ(Dialogs::openFile(nullptr, "f", "/d").value_or(""), QStringLiteral("/tmp/a.srb"));
    EXPECT_FALSE(Dialogs::saveFile(nullptr, "f", "/d", "srb").has_value());
    EXPECT_FALSE(Dialogs::chooseFont(nullptr, FontChoice{}).has_value());
}

TEST_F(DialogsTest, GuardTurnsAnErrorIntoTheErrorBox) {
    bool after = false;
    guarded(nullptr, [] { throw std::runtime_error("入力値が数値ではありません"); });
    guarded(nullptr, [&] { after = true; });
    EXPECT_TRUE(after);
    const auto errors = Dialogs::shownTexts(Dialogs::Kind::Error);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], QStringLiteral("入力値が数値ではありません."));
}
