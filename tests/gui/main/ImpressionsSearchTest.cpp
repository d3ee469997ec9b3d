#include "gui/main/ImpressionsSearch.h"

#include <gtest/gtest.h>

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
