#include "gui/stats/StatisticsWindow.h"
#include "core/text/ShiftJis.h"
#include "gui/GuiTestFixture.h"
#include "gui/Reach.h"
#include "gui/stats/CountChart.h"
#include "gui/widgets/Dialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace sorabel;

namespace {

class StatisticsWindowTest : public GuiTestFixture {
protected:
    void SetUp() override {
        GuiTestFixture::SetUp();
        // genre 1, date finished, date started, date bought
        const char* books[][4] = {
            {"小説", "2023/5/1", "", ""},       {"小説", "2024/5/2", "", "2024/4/1"},
            {"論文", "R6.5.30", "", ""},        {"小説", "2024/12/24", "", ""},
            {"", "", "2024/12/1", "2024/11/3"}, {"", "そのうち", "", ""},
        };
        int r = 0;
        for (const auto& b : books) {
            ++r;
            set(Field::Title, r, ("本" + std::to_string(r)).c_str());
            set(Field::Genre1, r, b[0]);
            set(Field::DateFinished, r, b[1]);
            set(Field::DateStarted, r, b[2]);
            set(Field::DateBought, r, b[3]);
        }
        catalogue.resize(r);
        window = std::make_unique<StatisticsWindow>(catalogue);
        window->show();
    }
    void set(Field f, int record, const char* utf8) {
        catalogue.setField(f, record, sjis::fromUtf8(utf8));
    }
    std::vector<int> months(std::initializer_list<std::pair<int, int>> monthCounts) {
        std::vector<int> out(12, 0);
        for (auto [m, n] : monthCounts)
            out[size_t(m - 1)] = n;
        return out;
    }
    template <class W> W& part(const char* name) { return reach<W>(*window, name); }
    // A real double click on a table row: press, release, then the double click.
    static void doubleClickRow(QTableView* t, int row) {
        const QPoint p = t->visualRect(t->model()->index(row, 1)).center();
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, p);
        QTest::mouseDClick(t->viewport(), Qt::LeftButton, {}, p);
    }

    Catalogue catalogue;
    std::unique_ptr<StatisticsWindow> window;
};

} // namespace

TEST_F(StatisticsWindowTest, ChartsFollowTheChosenYearTheDateAndTheCatalogue) {
    StatisticsWindow& w = *window;
    // The newest year comes first.
    EXPECT_EQ(w.chosenYear(), 2024);
    EXPECT_EQ(part<CountChart>("monthChart").counts(), months({{5, 2}, {12, 1}}));
    EXPECT_EQ(part<CountChart>("yearChart").counts(), (std::vector<int>{1, 3}));
    EXPECT_TRUE(part<QLabel>("totals").text().startsWith(QStringLiteral("2024年: 3冊")));
    QTableWidget* genres = &part<QTableWidget>("genre1Table");
    EXPECT_EQ(genres->rowCount(), 2);

    QTest::keyClick(&part<QComboBox>("yearBox"), Qt::Key_Down);
    EXPECT_EQ(w.chosenYear(), 2023);
    EXPECT_EQ(part<CountChart>("monthChart").counts(), months({{5, 1}}));
    EXPECT_EQ(genres->rowCount(), 1);
    QTest::keyClick(&part<QComboBox>("scopeBox"), Qt::Key_Down); // the breakdown over all years
    EXPECT_EQ(genres->item(0, 1)->text(), QStringLiteral("3"));

    // Bought instead of finished: only 2024 has purchases.
    QTest::keyClick(&part<QComboBox>("basisBox"), Qt::Key_Down);
    EXPECT_EQ(w.chosenYear(), 2024);
    EXPECT_EQ(part<CountChart>("monthChart").counts(), months({{4, 1}, {11, 1}}));
    QTest::keyClick(&part<QComboBox>("basisBox"), Qt::Key_Up);

    // A stored edit shows at once; a hidden window recounts when shown again.
    set(Field::DateFinished, 6, "2024年12月31日");
    w.catalogueChanged();
    EXPECT_EQ(part<CountChart>("monthChart").counts(), months({{5, 2}, {12, 2}}));
    w.hide();
    set(Field::DateFinished, 2, "");
    w.catalogueChanged();
    EXPECT_EQ(w.statistics().datedCount(DateBasis::Finished), 5);
    w.show();
    EXPECT_EQ(part<CountChart>("monthChart").counts(), months({{5, 1}, {12, 2}}));
}

TEST_F(StatisticsWindowTest, StatusAndUndatedBooksShowTheBookOnDoubleClick) {
    StatisticsWindow& w = *window;
    QSignalSpy chosen(&w, &StatisticsWindow::recordChosen);
    part<QTabWidget>("pages").setCurrentIndex(StatisticsWindow::StatusPage);
    QListWidget* list = &part<QListWidget>("statusList");
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("読了　4冊"));
    EXPECT_EQ(list->item(3)->text(), QStringLiteral("未分類　1冊"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(1)).center()); // 読書中
    auto* status = &part<QTableView>("statusTable");
    ASSERT_EQ(status->model()->rowCount(), 1);
    doubleClickRow(status, 0);
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.takeFirst().at(0).toInt(), 5);

    // A retitled book shows its new title after the recount, in the table and its copy.
    set(Field::Title, 5, "新しい書名");
    w.catalogueChanged();
    EXPECT_EQ(status->model()->index(0, 1).data().toString(), QStringLiteral("新しい書名"));
    EXPECT_EQ(w.pageAsText(),
              QStringLiteral("番号\t書　名\t著作者・編者\t読了日\t読書開始日\t購入日\n"
                             "5\t新しい書名\t\t\t2024/12/1\t2024/11/3\n"));

    part<QTabWidget>("pages").setCurrentIndex(StatisticsWindow::UndatedPage);
    QTableView* undated = &part<QTableView>("undatedTable");
    ASSERT_EQ(undated->model()->rowCount(), 2);
    EXPECT_EQ(undated->model()->index(1, 3).data().toString(), QStringLiteral("読めない日付"));
    doubleClickRow(undated, 1);
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.takeFirst().at(0).toInt(), 6);
}

TEST_F(StatisticsWindowTest, CopiesThePageAsTabSeparatedTextAndSavesItAsPng) {
    QTest::mouseClick(&part<QPushButton>("copyButton"), Qt::LeftButton);
    EXPECT_EQ(QApplication::clipboard()->text(),
              QStringLiteral("月\t冊数\n1月\t0\n2月\t0\n3月\t0\n4月\t0\n5月\t2\n6月\t0\n7月\t0\n"
                             "8月\t0\n9月\t0\n10月\t0\n11月\t0\n12月\t1\n合計\t3\n"));

    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("月別.png"));
    Dialogs::setNextFileName(png);
    QTest::mouseClick(&part<QPushButton>("saveButton"), Qt::LeftButton);
    EXPECT_EQ(QImage(png).size(), part<CountChart>("monthChart").size());

    Dialogs::setNextFileName(dir.filePath(QStringLiteral("no/such/folder/x.png")));
    QTest::mouseClick(&part<QPushButton>("saveButton"), Qt::LeftButton);
    ASSERT_EQ(Dialogs::shownTexts(Dialogs::Kind::Error).size(), 1u);
    EXPECT_TRUE(Dialogs::shownTexts(Dialogs::Kind::Error)[0].startsWith(u"画像を保存できません"));
}
