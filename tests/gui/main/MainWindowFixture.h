#pragma once

#include "gui/GuiTestFixture.h"
#include "gui/Reach.h"

#include "core/catalogue/CatalogueSession.h"
#include "core/format/CatalogueFile.h"
#include "core/format/SettingsFile.h"
#include "core/storage/FileIo.h"
#include "core/storage/ProgramFolder.h"
#include "core/text/ShiftJis.h"
#include "gui/main/MainWindow.h"
#include "gui/main/ProgramWindows.h"
#include "gui/main/RecordEditor.h"
#include "gui/widgets/Dialogs.h"
#include "gui/widgets/FontSubstitution.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <functional>
#include <memory>

// The program's windows around one session, in a program folder of their
// own, so that the settings file and the hand-off file land in a temporary
// folder.
class MainWindowTest : public sorabel::GuiTestFixture {
protected:
    void SetUp() override {
        GuiTestFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
        sorabel::FontSubstitution::install();
        sorabel::ProgramFolder::setOverride(dir.path());
    }
    void TearDown() override {
        windows.reset();
        GuiTestFixture::TearDown();
    }

    sorabel::MainWindow& start() {
        windows = std::make_unique<sorabel::ProgramWindows>(session);
        sorabel::MainWindow& w = windows->mainWindow();
        w.show();
        w.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        return w;
    }
    sorabel::MainWindow& form() { return windows->mainWindow(); }

    // ---- what the user sees and touches
    QWidget* control(sorabel::Field f) {
        const auto key = sorabel::fieldInfo(f).key;
        return &sorabel::reach<QWidget>(
            form(), QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size())));
    }
    QLineEdit* edit(sorabel::Field f) { return qobject_cast<QLineEdit*>(control(f)); }
    QComboBox* combo(sorabel::Field f) { return qobject_cast<QComboBox*>(control(f)); }
    // Types over a one-line field's text as the user would (one key event).
    void type(sorabel::Field f, const QString& text) {
        QLineEdit* e = edit(f);
        e->selectAll();
        if (text.isEmpty())
            QTest::keyClick(e, Qt::Key_Delete);
        else
            QTest::sendKeyEvent(QTest::Click, e, Qt::Key_unknown, text, Qt::NoModifier);
    }
    QPlainTextEdit* impressions() {
        return qobject_cast<QPlainTextEdit*>(control(sorabel::Field::Impressions));
    }
    sorabel::RecordEditor& editor() {
        return sorabel::reach<sorabel::RecordEditor>(form(), "recordEditor");
    }
    // A control's text (the impressions with CR LF); setting it is no user edit.
    QString shown(sorabel::Field f) { return editor().text(f); }
    void setShown(sorabel::Field f, const QString& text) { editor().setText(f, text); }
    QToolButton* button(const char* name) { return &sorabel::reach<QToolButton>(form(), name); }
    // A menu entry by the text the user reads.
    QAction* entry(const char* text) {
        const QString wanted = QString::fromUtf8(text);
        for (QAction* menu : form().menuBar()->actions())
            for (QAction* a : menu->menu()->actions())
                if (a->text() == wanted)
                    return a;
        ADD_FAILURE() << "no menu entry " << text;
        return nullptr;
    }
    QString panel(int i) {
        return sorabel::reach<QLabel>(form(), QStringLiteral("statusPanel%1").arg(i)).text();
    }

    // ---- arranging
    QString path(const QString& name) const { return dir.filePath(name); }
    static sorabel::Bytes sj(const char* utf8) { return sorabel::sjis::fromUtf8(utf8); }

    // `n` records titled 本1, 本2, ... with the first edition holding the record number.
    static sorabel::Catalogue numbered(int n) {
        sorabel::Catalogue c;
        c.resize(n);
        for (int i = 1; i <= n; ++i) {
            c.setField(sorabel::Field::Title, i, sj(("本" + std::to_string(i)).c_str()));
            c.setField(sorabel::Field::FirstEdition, i, std::to_string(i));
        }
        return c;
    }
    QString writeCatalogue(const QString& name, int n) {
        const QString p = path(name);
        sorabel::CatalogueFile::write(p, numbered(n));
        return p;
    }
    // Hands the session `n` numbered records showing `current`, after `adjust`.
    void arrange(int n, int current, const std::function<void(sorabel::Catalogue&)>& adjust = {}) {
        sorabel::Catalogue c = numbered(n);
        if (adjust)
            adjust(c);
        session.takeCatalogue(std::move(c), current);
    }
    void openFile(const QString& p) {
        sorabel::Dialogs::setNextFileName(p);
        form().openCatalogue();
    }

    QString title(int record) const {
        return sorabel::sjis::decode(session.catalogue().field(sorabel::Field::Title, record));
    }

    // Types text as key presses carrying characters (QTest knows only ASCII keys).
    static void typeText(QWidget* w, const QString& text) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            QString ch(text[i]);
            if (text[i].isHighSurrogate() && i + 1 < text.size())
                ch += text[++i];
            const Qt::Key key = ch == QStringLiteral("\n") ? Qt::Key_Return : Qt::Key_unknown;
            for (auto type : {QEvent::KeyPress, QEvent::KeyRelease}) {
                QKeyEvent event(type, key, Qt::NoModifier, ch);
                QApplication::sendEvent(w, &event);
            }
        }
    }

    static std::string readBytes(const QString& p) { return sorabel::FileIo::readAll(p); }

    QTemporaryDir dir;
    // The session outlives the windows that show it.
    sorabel::CatalogueSession session;
    std::unique_ptr<sorabel::ProgramWindows> windows;
};
