#include "MainWindowFixture.h"

#include "gui/about/AboutDialog.h"
#include "gui/booklist/BookListWindow.h"
#include "gui/lookup/IsbnLookupWindow.h"
#include "gui/search/SearchWindow.h"
#include "gui/settings/SettingsDialog.h"
#include "gui/stats/StatisticsWindow.h"
#include "gui/widgets/CompanionPlacement.h"

#include <QAccessible>
#include <QFile>
#include <QPalette>
#include <QStyleFactory>

using namespace sorabel;

namespace {

bool isJapanese(const QString& text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x3040 && u <= 0x30FF) || (u >= 0x4E00 && u <= 0x9FFF) ||
            (u >= 0xFF00 && u <= 0xFFEF))
            return true;
    }
    return false;
}

// What the user can operate: it must be named for a screen reader.
bool isInteractive(QAccessible::Role role) {
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::SpinBox:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::PageTab:
    case QAccessible::MenuItem:
    case QAccessible::List:
    case QAccessible::Table:
        return true;
    default:
        return false;
    }
}

void walk(QAccessibleInterface* node, const QString& window, QStringList& unnamed, int depth = 0) {
    if (!node || !node->isValid() || depth > 40 || node->state().invisible)
        return;
    // "OK" is read as it is written, in Japanese too.
    const QString name = node->text(QAccessible::Name);
    if (isInteractive(node->role()) && !node->state().disabled && !isJapanese(name) &&
        name != QLatin1String("OK")) {
        const QObject* o = node->object();
        unnamed << QStringLiteral("%1: %2 %3 \"%4\"")
                       .arg(window, QString::number(int(node->role())),
                            o ? o->objectName() + u'/' +
                                    QString::fromLatin1(o->metaObject()->className())
                              : QString(),
                            node->text(QAccessible::Name));
    }
    for (int i = 0; i < node->childCount(); ++i)
        walk(node->child(i), window, unnamed, depth + 1);
}

QPalette darkPalette() {
    QPalette p;
    p.setColor(QPalette::Window, QColor(0x35, 0x35, 0x35));
    p.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
    p.setColor(QPalette::Base, QColor(0x2a, 0x2a, 0x2a));
    p.setColor(QPalette::AlternateBase, QColor(0x42, 0x42, 0x42));
    p.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
    p.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
    p.setColor(QPalette::ButtonText, QColor(0xee, 0xee, 0xee));
    return p;
}

double contrast(QRgb a, QRgb b) {
    const auto lum = [](QRgb c) {
        const auto ch = [](int v) {
            const double s = v / 255.0;
            return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * ch(qRed(c)) + 0.7152 * ch(qGreen(c)) + 0.0722 * ch(qBlue(c));
    };
    const double x = lum(a), y = lum(b);
    return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

// The darkest and the lightest pixel of a widget as drawn: its text and its background.
std::pair<QRgb, QRgb> inkAndPaper(QWidget* w) {
    const QImage image = w->grab().toImage();
    QRgb darkest = qRgb(255, 255, 255), lightest = qRgb(0, 0, 0);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            if (qGray(c) < qGray(darkest))
                darkest = c;
            if (qGray(c) > qGray(lightest))
                lightest = c;
        }
    return {darkest, lightest};
}

class DesktopCitizenTest : public MainWindowTest {};

} // namespace

TEST_F(DesktopCitizenTest, EveryControlOfEveryWindowHasAJapaneseName) {
    start();
    form().showBookList();
    form().showSearch();
    form().showStatistics();
    form().addByIsbn();
    const QList<QWidget*> dialogs{&windows->settingsDialog(), &windows->aboutDialog()};
    for (QWidget* w : dialogs)
        w->show();
    QStringList unnamed;
    const QList<QWidget*> all{&form(),
                              &windows->bookList(),
                              &windows->searchWindow(),
                              &windows->statisticsWindow(),
                              &windows->settingsDialog(),
                              &windows->aboutDialog(),
                              &windows->isbnLookupWindow()};
    for (QWidget* w : all) {
        ASSERT_TRUE(w->isVisible()) << w->windowTitle().toStdString();
        walk(QAccessible::queryAccessibleInterface(w), w->windowTitle(), unnamed);
    }
    EXPECT_EQ(unnamed.join(u'\n').toStdString(), "");

    // Fields by their captions, choice boxes by their headings, tool buttons by their text.
    const auto name = [](QObject* o) {
        return QAccessible::queryAccessibleInterface(o)->text(QAccessible::Name).toStdString();
    };
    EXPECT_EQ(name(control(Field::Title)), "書　名");
    EXPECT_EQ(name(control(Field::Genre1)), "ジャンル１");
    EXPECT_EQ(name(button("addButton")), "追加");
    EXPECT_EQ(name(&reach<QLabel>(form(), "statusPanel0")), "表示中の記録／記録数");
}

TEST_F(DesktopCitizenTest, RecentFilesAreNumberedInTheFileMenuAndKept) {
    start();
    const QString a = writeCatalogue(QStringLiteral("a&b.srb"), 1);
    const QString b = writeCatalogue(QStringLiteral("b.srb"), 2);
    openFile(a);
    openFile(b);
    openFile(a);
    const auto texts = [this] {
        QStringList out;
        QMenu* file = form().menuBar()->actions().front()->menu();
        emit file->aboutToShow();
        for (QAction* action : file->actions())
            if (action->isVisible() && !action->isSeparator() && action->text().startsWith(u'&'))
                out << action->text() + (action->isEnabled() ? "" : " [off]");
        return out.join(u'\n').toStdString();
    };
    const std::string folder = dir.path().toStdString();
    EXPECT_EQ(texts(), "&1 " + folder + "/a&&b.srb\n&2 " + folder + "/b.srb");

    // A file that has gone shows disabled until it is removed from the list.
    ASSERT_TRUE(QFile::remove(b));
    EXPECT_EQ(texts(),
              "&1 " + folder + "/a&&b.srb\n&2 " + folder + "/b.srb（見つかりません） [off]");
    entry("見つからないファイルを一覧から削除(&M)")->trigger();
    EXPECT_EQ(texts(), "&1 " + folder + "/a&&b.srb");

    form().close();
    const std::string ini = readBytes(path(QStringLiteral("SorabeIni.INI")));
    EXPECT_NE(ini.find("[Recent]\r\nFile1=" + folder + "/a&b.srb\r\n"), std::string::npos) << ini;
    EXPECT_EQ(ini.find("File2="), std::string::npos) << ini;
}

TEST_F(DesktopCitizenTest, DarkThemeKeepsFieldsAndCaptionsReadable) {
    const QPalette before = QApplication::palette();
    QApplication::setPalette(darkPalette());
    arrange(1, 1, [](Catalogue& c) {
        c.setField(Field::Title, 1, sj("■■■■"));
        c.contentsFont.colour = 0x00800000; // navy chosen by the user, hard to read on dark grey
    });
    start();
    form().layOutFields();
    QLabel* caption = &reach<QLabel>(form(), "caption1");
    const auto [captionDark, captionLight] = inkAndPaper(caption);
    const QImage field = control(Field::Title)->grab().toImage();
    const QRgb fieldPaper = inkAndPaper(control(Field::Title)).second;
    int navyPixels = 0;
    for (int y = 0; y < field.height(); ++y)
        for (int x = 0; x < field.width(); ++x)
            if (qBlue(field.pixel(x, y)) > 0x60 && qRed(field.pixel(x, y)) < 0x30 &&
                qGreen(field.pixel(x, y)) < 0x30)
                ++navyPixels;
    QApplication::setPalette(before);

    // The default black caption is drawn in the theme's light text on its dark window.
    EXPECT_LT(qGray(captionDark), 0x60);
    EXPECT_GT(qGray(captionLight), 0xC0);
    EXPECT_GT(contrast(captionDark, captionLight), 4.5);
    // The chosen navy stays navy, on a light base.
    EXPECT_EQ(fieldPaper, qRgb(255, 255, 255));
    EXPECT_GT(navyPixels, 20);
}

TEST_F(DesktopCitizenTest, CompanionWindowsOpenBesideTheMainWindowOnItsScreen) {
    // The right one of two 1920 × 1080 screens; a book list of 546 × 381.
    const QRect right(1920, 0, 1920, 1080);
    const struct {
        QRect main;
        QPoint expected;
    } cases[] = {
        {{2020, 100, 711, 611}, {2739, 100}}, // room on the right
        {{3129, 50, 711, 611}, {2575, 50}},   // against the right edge: to the left
        {{1920, 0, 1920, 1080}, {3294, 0}},   // filling the screen: inside its right edge
        {{2020, 900, 711, 611}, {2739, 699}}, // low down: kept on the screen
    };
    for (const auto& c : cases)
        EXPECT_EQ(CompanionPlacement::beside(c.main, {546, 381}, right), c.expected) << c.main.x();
}
