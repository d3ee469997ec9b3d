#include "gui/settings/SettingsDialog.h"

#include "gui/main/MainWindow.h"
#include "gui/widgets/FontSubstitution.h"

#include <QCheckBox>
#include <QDir>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

using namespace sorabel;

namespace {

void substituteFonts() {
    FontSubstitution::install();
}

// Widgets that lie directly on a page or inside one of its groups, in page coordinates.
QRect onPage(QWidget* w, QWidget* page) {
    return QRect(w->mapTo(page, QPoint(0, 0)), w->size());
}

// The widget that Tab moves to from w.
QWidget* nextTabStop(QWidget* w) {
    QWidget* next = w->nextInFocusChain();
    while (next != w && !(next->focusPolicy() & Qt::TabFocus))
        next = next->nextInFocusChain();
    return next;
}

} // namespace

TEST(TForm4Layout, PagesCellsAndTabOrder) {
    substituteFonts();
    MainWindow main;
    SettingsDialog dialog(&main);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("環境設定"));
    EXPECT_EQ(dialog.size(), QSize(539, 394));
    ASSERT_EQ(dialog.PageControl1->count(), 3);
    EXPECT_EQ(dialog.PageControl1->tabText(0), QStringLiteral("表示する項目"));
    EXPECT_EQ(dialog.PageControl1->tabText(1), QStringLiteral("選択項目の設定"));
    EXPECT_EQ(dialog.PageControl1->tabText(2), QStringLiteral("その他の設定"));
    EXPECT_EQ(dialog.PageControl1->currentIndex(), 2);
    EXPECT_TRUE(dialog.OKBtn->isDefault());
    EXPECT_EQ(dialog.OKBtn->size(), QSize(75, 25));
    EXPECT_EQ(dialog.CancelBtn->text(), QStringLiteral("キャンセル"));

    // Grid cells: the check box at its listed left edge, rows 30 pixels apart.
    const int rows[19] = {1, 1, 2, 2, 2, 2, 3, 3, 4, 4, 4, 5, 5, 6, 7, 7, 7, 8, 9};
    const int lefts[19] = {16,  272, 16,  144, 272, 400, 16,  272, 16, 192,
                           400, 16,  272, 16,  16,  192, 400, 16,  16};
    for (int i = 0; i < 19; ++i) {
        QCheckBox* box = dialog.CheckBox[static_cast<size_t>(i)];
        EXPECT_EQ(box->objectName(), QStringLiteral("CheckBox%1").arg(i + 1));
        EXPECT_EQ(box->x(), lefts[i]) << i + 1;
        EXPECT_EQ(box->y() - dialog.CheckBox1->y(), (rows[i] - 1) * 30) << i + 1;
    }
    EXPECT_EQ(dialog.shomei->width(), 80);
    EXPECT_EQ(dialog.Label8->x(), dialog.CheckBox4->geometry().right() + 3);

    // Nothing on a page overlaps a sibling or leaves the page.
    for (QWidget* page : {dialog.TabSheet1, dialog.TabSheet2, dialog.TabSheet3}) {
        const auto children = page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (QWidget* a : children) {
            EXPECT_TRUE(QRect(0, 0, 525, 295).contains(a->geometry()))
                << a->objectName().toStdString();
            for (QWidget* b : children)
                if (a != b)
                    EXPECT_FALSE(a->geometry().intersects(b->geometry()))
                        << a->objectName().toStdString() << " " << b->objectName().toStdString();
        }
    }

    // Page 3 bounds in page coordinates.
    EXPECT_EQ(onPage(dialog.Button1, dialog.TabSheet3), QRect(39, 127, 145, 25));
    EXPECT_EQ(onPage(dialog.Button5, dialog.TabSheet3), QRect(39, 186, 145, 25));
    EXPECT_EQ(onPage(dialog.UpDown1, dialog.TabSheet3), QRect(247, 127, 16, 49));
    EXPECT_EQ(onPage(dialog.Edit1, dialog.TabSheet3).topLeft(), QPoint(275, 128));
    EXPECT_EQ(onPage(dialog.CaptionSample, dialog.TabSheet3).topLeft(), QPoint(42, 159));
    EXPECT_EQ(onPage(dialog.ContentsSample, dialog.TabSheet3).topLeft(), QPoint(44, 220));
    EXPECT_EQ(onPage(dialog.HelpBtn3, dialog.TabSheet3), QRect(433, 267, 59, 22));

    // Tab order: each caption edit, then its check box, in field-number order.
    const std::vector<QWidget*> expected{
        dialog.shomei,     dialog.CheckBox1,  dialog.hukudai,    dialog.CheckBox2,
        dialog.yomi,       dialog.CheckBox3,  dialog.CheckBox4,  dialog.CheckBox5,
        dialog.CheckBox6,  dialog.sakusha,    dialog.CheckBox7,  dialog.yakusha,
        dialog.CheckBox8,  dialog.shuppansha, dialog.CheckBox9,  dialog.sousho,
        dialog.CheckBox10, dialog.teika,      dialog.CheckBox11, dialog.shohan,
        dialog.CheckBox12, dialog.yondahan,   dialog.CheckBox13, dialog.kansou,
        dialog.CheckBox14, dialog.dokuryou,   dialog.CheckBox15, dialog.kaisi,
        dialog.CheckBox16, dialog.kounyuu,    dialog.CheckBox17, dialog.bikou1,
        dialog.CheckBox18, dialog.bikou2,     dialog.CheckBox19};
    for (size_t i = 0; i + 1 < expected.size(); ++i)
        EXPECT_EQ(nextTabStop(expected[i]), expected[i + 1])
            << expected[i]->objectName().toStdString();
}

// Under a real display (xvfb) this also writes pictures of the three pages
// into SORABEL_SCREENSHOT_DIR.
TEST(TForm4Layout, PagesRenderTheirTexts) {
    substituteFonts();
    MainWindow main;
    SettingsDialog dialog(&main);
    main.catalogue().spacing = 12;
    dialog.show();
    EXPECT_EQ(dialog.Edit2->mapTo(dialog.TabSheet3, QPoint(0, 0)).y(),
              128 + dialog.Edit1->height() + 12);
    const QString dir = qEnvironmentVariable("SORABEL_SCREENSHOT_DIR");
    for (int page = 0; page < 3; ++page) {
        dialog.PageControl1->setCurrentIndex(page);
        QTest::qWait(50);
        const QImage picture = dialog.grab().toImage();
        EXPECT_EQ(picture.size(), QSize(539, 394) * picture.devicePixelRatio());
        if (!dir.isEmpty())
            EXPECT_TRUE(picture.save(
                QDir(dir).filePath(QStringLiteral("settings-page%1.png").arg(page + 1))));
    }
    // Texts drawn fit their controls.
    for (QLabel* label : {dialog.Note1, dialog.Label8, dialog.CaptionSample}) {
        EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()))
            << label->objectName().toStdString();
    }
    dialog.reject();
}
