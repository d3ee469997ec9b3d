#include "gui/widgets/Dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace sorabel;

TEST(DialogsTest, ErrorTextGetsAFullStopAfterCharactersSortingAfterIt) {
    for (const auto& [text, shown] : std::initializer_list<std::pair<const char*, const char*>>{
             {"ファイルが見つかりません", "ファイルが見つかりません."},
             {"I/O エラー (5)", "I/O エラー (5)"},
             {"done.", "done."},
             {"abc", "abc."},
             {"", ""}})
        EXPECT_EQ(Dialogs::errorText(QString::fromUtf8(text)), QString::fromUtf8(shown)) << text;
}

// Unscripted questions answer No and file and font dialogs cancel, so that a
// test never writes where it did not choose to.
TEST(DialogsTest, ScriptedAnswersAreTakenInOrderThenNoAndCancel) {
    Dialogs::reset();
    Dialogs::setNextAnswer(true);
    Dialogs::setNextFileName(QStringLiteral("/tmp/a.srb"));
    EXPECT_TRUE(Dialogs::question(nullptr, QStringLiteral("一")));
    EXPECT_FALSE(Dialogs::question(nullptr, QStringLiteral("二")));
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Question).back(), QStringLiteral("二"));
    EXPECT_EQ(Dialogs::shown().front().caption, QStringLiteral("ソラベル"));
    EXPECT_EQ(Dialogs::openFile(nullptr, "f", "/d").value_or(""), QStringLiteral("/tmp/a.srb"));
    EXPECT_FALSE(Dialogs::saveFile(nullptr, "f", "/d", "srb").has_value());
    EXPECT_FALSE(Dialogs::chooseFont(nullptr, FontChoice{}).has_value());

    // A guarded command's error becomes the error box, and the program goes on.
    guarded(nullptr, [] { throw std::runtime_error("入力値が数値ではありません"); });
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Error),
              std::vector<QString>{QStringLiteral("入力値が数値ではありません.")});
}

// Every real box, the one at start-up included, is captioned with the
// program's title, whatever Qt's application name is.
TEST(DialogsTest, EveryShownBoxIsCaptionedWithTheProgramsTitle) {
    const std::vector<std::function<void()>> boxes = {
        [] { Dialogs::question(nullptr, QStringLiteral("削除しますか？")); },
        [] { Dialogs::askYesNoCancel(nullptr, QStringLiteral("現在の内容を保存しますか？")); },
        [] { Dialogs::notice(nullptr, QStringLiteral("見つかりません")); },
        [] { Dialogs::error(nullptr, QStringLiteral("ファイルが見つかりません")); },
    };
    QApplication::setApplicationName(QStringLiteral("sorabel"));
    Dialogs::setTestMode(false);
    std::vector<QString> captions;
    for (const auto& show : boxes) {
        QTimer::singleShot(0, [&] {
            QWidget* box = QApplication::activeModalWidget();
            captions.push_back(box ? box->windowTitle() : QStringLiteral("(no box)"));
            if (auto* message = qobject_cast<QMessageBox*>(box))
                message->done(0);
        });
        show();
    }
    Dialogs::setTestMode(true);
    EXPECT_EQ(captions, std::vector<QString>(4, QStringLiteral("ソラベル")));
}
