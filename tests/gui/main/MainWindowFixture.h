#pragma once

#include "core/format/CatalogueFile.h"
#include "gui/main/MainWindow.h"
#include "core/storage/FileIo.h"
#include "core/storage/ProgramFolder.h"
#include "core/text/ShiftJis.h"
#include "gui/widgets/Dialogs.h"
#include "gui/widgets/FontSubstitution.h"
#include "core/format/SettingsFile.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>
#include <memory>

// A main window in a program folder of its own, so that its settings file
// and hand-off file land in a temporary folder.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        sorabel::FontSubstitution::install();
        sorabel::ProgramFolder::setOverride(dir.path());
        sorabel::Dialogs::reset();
        sorabel::FileIo::failWritesAfter(-1, 0);
    }
    void TearDown() override {
        form.reset();
        sorabel::FileIo::failWritesAfter(-1, 0);
        sorabel::ProgramFolder::setOverride(QString());
    }

    MainWindow& start() {
        form = std::make_unique<MainWindow>();
        form->show();
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        return *form;
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    static sorabel::Bytes sj(const char* utf8) { return sorabel::sjis::fromUtf8(utf8); }

    // A catalogue file of `n` records titled 本1, 本2, ... with the field
    // `shohan` holding the record number.
    QString writeCatalogue(const QString& name, int n) {
        sorabel::Catalogue c;
        c.recordCount = n;
        for (int i = 1; i <= n; ++i) {
            c.setField(sorabel::Field::Title, i, sj(("本" + std::to_string(i)).c_str()));
            c.setField(sorabel::Field::FirstEdition, i, std::to_string(i));
        }
        const QString p = path(name);
        sorabel::CatalogueFile::write(p, c);
        return p;
    }

    // Loads `n` records into the started window and shows record `current`.
    void load(int n, int current) {
        form->loadCatalogue(writeCatalogue(QStringLiteral("load.srb"), n));
        form->catalogue().currentIndex = current;
        form->showCurrentRecord();
    }

    QString title(int record) const {
        return sorabel::sjis::decode(form->catalogue().field(sorabel::Field::Title, record));
    }

    // Types text as key presses carrying characters (QTest knows only ASCII keys).
    static void typeText(QWidget* w, const QString& text) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            QString ch(text[i]);
            if (text[i].isHighSurrogate() && i + 1 < text.size())
                ch += text[++i];
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, ch);
            QApplication::sendEvent(w, &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, ch);
            QApplication::sendEvent(w, &release);
        }
    }

    static std::string readBytes(const QString& p) { return sorabel::FileIo::readAll(p); }

    QTemporaryDir dir;
    std::unique_ptr<MainWindow> form;
};
