#include "gui/search/SearchWindow.h"
#include "core/catalogue/Catalogue.h"
#include "core/text/ShiftJis.h"
#include "gui/Reach.h"
#include "gui/search/SearchResultModel.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace sorabel;

namespace {

void set(Catalogue& c, int record, Field f, const char* utf8) {
    c.setField(f, record, sjis::fromUtf8(utf8));
}

Catalogue library() {
    Catalogue c;
    set(c, 1, Field::Title, "吾輩は猫である");
    set(c, 1, Field::Reading, "わがはいはねこである");
    set(c, 1, Field::Author, "夏目漱石");
    set(c, 2, Field::Title, "ノルウェイの森");
    set(c, 2, Field::Author, "村上春樹");
    set(c, 3, Field::Title, "海辺のカフカ");
    set(c, 3, Field::Author, "村上春樹");
    set(c, 3, Field::Impressions, "ナカタさんは猫と話せる。");
    c.resize(3);
    return c;
}

// Typed one key at a time, as an input method hands over committed text.
void type(QWidget* w, const QString& text) {
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

std::vector<int> found(const SearchWindow& w) {
    const auto& results = reach<SearchResultModel>(w, "resultModel");
    std::vector<int> out;
    for (int row = 0; row < results.rowCount(); ++row)
        out.push_back(results.record(row));
    return out;
}

} // namespace

TEST(SearchWindowTest, TypingFindsBooksAndEnterOrDoubleClickChoosesOne) {
    Catalogue c = library();
    SearchWindow w(c);
    QSignalSpy chosen(&w, &SearchWindow::recordChosen);
    // As the main window does: the shown record's edit is stored first.
    QObject::connect(&w, &SearchWindow::recordChosen, [&] {
        set(c, 1, Field::Note1, "ねこの本");
        w.catalogueChanged();
    });
    w.execute();
    ASSERT_TRUE(w.isVisible());
    auto* query = &reach<QLineEdit>(w, "queryBox");
    auto& view = reach<QListView>(w, "resultView");
    const auto& results = reach<SearchResultModel>(w, "resultModel");
    EXPECT_TRUE(found(w).empty());

    type(query, QStringLiteral("猫 村上"));
    EXPECT_EQ(found(w), (std::vector<int>{3}));
    EXPECT_EQ(reach<QLabel>(w, "countLabel").text(), QStringLiteral("1冊"));
    const auto lines = results.lines(0, 5);
    ASSERT_EQ(lines.size(), 2u); // author and impressions
    EXPECT_TRUE(lines[1].text.startsWith(QStringLiteral("感　想：")));

    query->clear();
    type(query, QStringLiteral("の"));
    EXPECT_EQ(found(w), (std::vector<int>{2, 3}));
    QTest::keyClick(query, Qt::Key_Down);
    QTest::keyClick(query, Qt::Key_Return);
    // The stored edit brought record 1 in; the chosen book stays current.
    EXPECT_EQ(found(w), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(results.record(view.currentIndex().row()), 3);
    const QRect first = view.visualRect(results.index(0));
    // A widget's double click is the second click of a pair.
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, first.center());
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, first.center());
    ASSERT_EQ(chosen.count(), 2);
    EXPECT_EQ(chosen.at(0).at(0).toInt(), 3);
    EXPECT_EQ(chosen.at(1).at(0).toInt(), 1);
    EXPECT_TRUE(w.isVisible()); // stays, with its results
    EXPECT_EQ(found(w), (std::vector<int>{1, 2, 3}));

    // One field only.
    auto& fields = reach<QComboBox>(w, "fieldBox");
    fields.setCurrentIndex(fields.findData(index(Field::Impressions)));
    EXPECT_EQ(found(w), (std::vector<int>{}));
    query->selectAll();
    type(query, QStringLiteral("猫"));
    EXPECT_EQ(found(w), (std::vector<int>{3}));

    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_FALSE(w.isVisible());
}

TEST(SearchWindowTest, ResultsFollowEveryChangeOfTheRecords) {
    Catalogue c = library();
    SearchWindow w(c);
    w.execute();
    auto* query = &reach<QLineEdit>(w, "queryBox");
    const auto& results = reach<SearchResultModel>(w, "resultModel");
    type(query, QStringLiteral("村上"));
    ASSERT_EQ(found(w), (std::vector<int>{2, 3}));

    set(c, 1, Field::Note1, "村上さんに借りた"); // an edit stored
    c.flag(Field::Note1) = "FALSE";              // hidden fields are searched
    c.removeRecord(2);
    w.catalogueChanged();
    EXPECT_EQ(found(w), (std::vector<int>{1, 2}));
    // A hidden field says so in its result line.
    EXPECT_TRUE(results.lines(0, 1).at(0).text.contains(QStringLiteral("（非表示）")));

    // A closed window forgets its results until it is shown again.
    w.close();
    set(c, 1, Field::Title, "村上朝日堂");
    w.catalogueChanged();
    EXPECT_EQ(results.rowCount(), 0);
    w.execute();
    EXPECT_EQ(found(w), (std::vector<int>{1, 2}));
    EXPECT_TRUE(results.data(results.index(0)).toString().contains(u"村上朝日堂"));
}
