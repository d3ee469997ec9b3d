#include "core/support/QtTranslation.h"
#include "core/support/ToolkitSettings.h"
#include "gui/Reach.h"
#include "gui/widgets/FileDialogDates.h"
#include "gui/widgets/FontColourDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontDialog>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace sorabel;

TEST(QtTranslation, QtsOwnButtonsSpeakJapanese) {
    ASSERT_TRUE(QtTranslation::install(*qApp)) << "qt6-translations-l10n is missing";
    QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
    EXPECT_TRUE(QtTranslation::install(*qApp)) << "a second call keeps the one translation";
}

TEST(FileDialogDates, JapaneseDatesWhateverLangSaysAndNoQtProjectConfLeftBehind) {
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path())); // read at the first QSettings
    QtTranslation::install(*qApp);
    const ToolkitSettings toolkitSettings;
    QFile book(config.filePath(QStringLiteral("本.srb")));
    ASSERT_TRUE(book.open(QIODevice::WriteOnly));
    book.setFileTime(QDateTime(QDate(2024, 3, 5), QTime(14, 7)), QFileDevice::FileModificationTime);
    book.close();
    {
        QFileDialog dialog(nullptr, QString(), config.path());
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        FileDialogDates::apply(dialog);
        dialog.show();
        auto* files = &reach<QFileSystemModel>(dialog, "qt_filesystem_model");
        // As the dialog's list shows it, through the dialog's view of the files.
        const auto modified = [&] {
            return dialog.proxyModel()
                ->mapFromSource(files->index(book.fileName(), 3))
                .data()
                .toString();
        };
        ASSERT_TRUE(QTest::qWaitFor([&] { return !modified().isEmpty(); }));
        EXPECT_EQ(modified(), QStringLiteral("2024/03/05 14:07"));
    }
    EXPECT_EQ(QDir(config.path()).entryList(QDir::Files), QStringList{QStringLiteral("本.srb")});
}

TEST(FontColourDialog, EnterAndEscapeInTheChooserEndTheWholeDialog) {
    for (const auto& [key, result] : {std::pair{Qt::Key_Return, QDialog::Accepted},
                                      std::pair{Qt::Key_Escape, QDialog::Rejected}}) {
        FontColourDialog dialog(nullptr, FontChoice{QFont(QStringLiteral("IPAPGothic"), 12)});
        dialog.show();
        auto* chooser = &reach<QFontDialog>(dialog, "fontChooser");
        EXPECT_NE(reach<QLabel>(dialog, "colourLabel").buddy(), nullptr)
            << "\"(&C)\" is shown as a mnemonic";
        auto* families = chooser->findChild<QListView*>(); // Qt's own lists have no names
        ASSERT_NE(families, nullptr);
        QTest::keyClick(families, key);
        EXPECT_FALSE(dialog.isVisible()) << key;
        EXPECT_EQ(dialog.result(), result) << key;
        EXPECT_TRUE(chooser->isVisibleTo(&dialog)) << "the chooser is never emptied";
        EXPECT_EQ(dialog.choice().font.pointSize(), 12);
    }
}
