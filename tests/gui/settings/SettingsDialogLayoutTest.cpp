#include "gui/settings/SettingsDialog.h"

#include "core/catalogue/CatalogueSession.h"
#include "gui/GuiTestFixture.h"
#include "gui/Reach.h"
#include "gui/widgets/FontSubstitution.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

using namespace sorabel;

namespace {

class SettingsDialogLayoutTest : public GuiTestFixture {
protected:
    // Measured with the faces the program substitutes, as a user sees it.
    bool substituted = (FontSubstitution::install(), true);
    CatalogueSession session;
    SettingsDialog dialog{session};
    QTabWidget* pages = &reach<QTabWidget>(dialog, "pages");
};

// The widget that Tab moves to from w.
QWidget* nextTabStop(QWidget* w) {
    QWidget* next = w->nextInFocusChain();
    while (next != w && !(next->focusPolicy() & Qt::TabFocus))
        next = next->nextInFocusChain();
    return next;
}

} // namespace

TEST_F(SettingsDialogLayoutTest, PagesShowEverythingWholeAndTabGoesThroughEachCaptionThenItsBox) {
    EXPECT_EQ(pages->currentIndex(), 2) << "the first opening shows the last page";
    dialog.show();
    for (int p = 0; p < 3; ++p) {
        pages->setCurrentIndex(p);
        QWidget* page = pages->widget(p);
        const auto children = page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (QWidget* a : children) {
            EXPECT_TRUE(page->rect().contains(a->geometry())) << p;
            for (QWidget* b : children)
                EXPECT_TRUE(a == b || !a->geometry().intersects(b->geometry())) << p;
        }
        for (const QLabel* label : page->findChildren<QLabel*>())
            EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()))
                << label->text().toStdString();
    }

    // Field order; the three list fields have a box and no caption edit.
    QWidget* w = &reach<QLineEdit>(dialog, "titleCaption");
    for (int i = 0; i < kFieldCount; ++i) {
        const Field f = fieldAt(i);
        const QString key =
            QString::fromLatin1(fieldInfo(f).key.data(), qsizetype(fieldInfo(f).key.size()));
        if (!isCombo(f)) {
            EXPECT_EQ(w, &reach<QLineEdit>(dialog, key + "Caption")) << i;
            w = nextTabStop(w);
        }
        EXPECT_EQ(w, &reach<QCheckBox>(dialog, key + "Shown")) << i;
        w = nextTabStop(w);
    }
}
