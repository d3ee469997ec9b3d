#include "gui/main/ImpressionsSearch.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace sorabel;
using ImpressionsSearch::findNext;

TEST(ImpressionsSearchTest, FindNextStartsAfterTheSelectionAndNeverWraps) {
    const QString text = QStringLiteral("あいうあい");
    const QString needle = QStringLiteral("あい");
    EXPECT_EQ(findNext(text, needle, 0, 0), 0);
    EXPECT_EQ(findNext(text, needle, 0, 2), 3);
    EXPECT_EQ(findNext(text, needle, 3, 2), std::nullopt);
    // A bare caret does not count: the search starts at the beginning.
    EXPECT_EQ(findNext(text, needle, 3, 0), 0);
    EXPECT_EQ(findNext(text, needle, 1, 1), 3);
    EXPECT_EQ(findNext(QStringLiteral("Book"), QStringLiteral("book"), 0, 0), std::nullopt);
    EXPECT_EQ(findNext(QStringLiteral("ＡＢ"), QStringLiteral("AB"), 0, 0), std::nullopt);
    EXPECT_EQ(findNext(QString(), needle, 0, 0), std::nullopt);
    EXPECT_EQ(findNext(text, QString(), 0, 0), std::nullopt);
    EXPECT_EQ(findNext(text, needle, 4, 5), std::nullopt); // selection past the end
    EXPECT_EQ(findNext(QStringLiteral("一行目\n二行目"), QStringLiteral("二"), 0, 0), 4);
}

namespace {
class ImpressionsControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&window);
        other = new QPlainTextEdit;
        kansou = new QPlainTextEdit;
        layout->addWidget(other);
        layout->addWidget(kansou);
        window.show();
        other->setFocus();
    }
    QString selected() const { return kansou->textCursor().selectedText(); }
    int selectionStart() const { return kansou->textCursor().selectionStart(); }

    QWidget window;
    QPlainTextEdit* other;
    QPlainTextEdit* kansou;
};
} // namespace

TEST_F(ImpressionsControlTest, ThreeStepsSelectFirstThenSecondThenKeepTheSecond) {
    kansou->setPlainText(QStringLiteral("あいうあい"));
    const QString needle = QStringLiteral("あい");
    ImpressionsSearch::findInControl(kansou, needle);
    EXPECT_EQ(selectionStart(), 0);
    EXPECT_EQ(selected(), needle);
    EXPECT_EQ(window.focusWidget(), kansou);
    ImpressionsSearch::findInControl(kansou, needle);
    EXPECT_EQ(selectionStart(), 3);
    ImpressionsSearch::findInControl(kansou, needle);
    EXPECT_EQ(selectionStart(), 3);
    EXPECT_EQ(selected(), needle);

    // Caret after う with nothing selected: the first あい again.
    QTextCursor caret = kansou->textCursor();
    caret.setPosition(3);
    kansou->setTextCursor(caret);
    ImpressionsSearch::findInControl(kansou, needle);
    EXPECT_EQ(selectionStart(), 0);
}

TEST_F(ImpressionsControlTest, NoMatchChangesNothing) {
    kansou->setPlainText(QStringLiteral("Reading notes"));
    ImpressionsSearch::findInControl(kansou, QStringLiteral("reading"));
    EXPECT_TRUE(selected().isEmpty());
    EXPECT_EQ(window.focusWidget(), other);

    kansou->clear();
    ImpressionsSearch::findInControl(kansou, QStringLiteral("あ"));
    EXPECT_EQ(window.focusWidget(), other);
}

TEST_F(ImpressionsControlTest, HiddenImpressionsRefuseTheFocusOnlyWhenThereIsAMatch) {
    kansou->setPlainText(QStringLiteral("あいうあい"));
    kansou->hide();
    try {
        ImpressionsSearch::findInControl(kansou, QStringLiteral("う"));
        FAIL() << "a match in hidden impressions must be refused";
    } catch (const std::exception& e) {
        EXPECT_EQ(QString::fromUtf8(e.what()),
                  QStringLiteral("無効/非表示ウィンドウにはフォーカスを設定できません"));
    }
    EXPECT_TRUE(selected().isEmpty());
    EXPECT_NO_THROW(ImpressionsSearch::findInControl(kansou, QStringLiteral("え")));
    EXPECT_TRUE(selected().isEmpty());
}
