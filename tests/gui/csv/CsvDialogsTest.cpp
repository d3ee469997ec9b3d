#include "core/storage/FileIo.h"
#include "core/support/HelpFile.h"
#include "core/text/ShiftJis.h"
#include "gui/GuiTestFixture.h"
#include "gui/Reach.h"
#include "gui/csv/CsvExportDialog.h"
#include "gui/csv/CsvImportDialog.h"
#include "gui/help/HelpViewer.h"
#include "gui/widgets/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace sorabel;

namespace {
QString csvFixture(const char* name) {
    return QString(SORABEL_TEST_DATA) + "/csv/" + QString::fromUtf8(name);
}

// On the indicator: a radio button reacts to clicks on its indicator and text only.
void clickRadio(QRadioButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

using CsvDialogsTest = GuiTestFixture;
} // namespace

TEST_F(CsvDialogsTest, ExportWritesTheChosenEncodingAndStaysOpenWhenTheFileIsCancelled) {
    Catalogue catalogue;
    catalogue.setField(Field::Title, 1, sjis::fromUtf8("吾輩は猫である"));
    QTemporaryDir dir;
    const QString path = dir.filePath("out.csv");

    CsvExportDialog dialog(catalogue);
    dialog.show();
    EXPECT_TRUE(reach<QRadioButton>(dialog, "utf8BomButton").isChecked());
    clickRadio(&reach<QRadioButton>(dialog, "shiftJisButton"));

    // The file dialog cancelled: back to the dialog, nothing written.
    QTest::mouseClick(&reach<QPushButton>(dialog, "exportButton"), Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(FileIo::exists(path));

    Dialogs::setNextFileName(path);
    QTest::keyClick(&dialog, Qt::Key_Return); // the export button is the default
    EXPECT_EQ(dialog.writtenPath(), path);
    EXPECT_NE(FileIo::readAll(path).find(sjis::fromUtf8("\r\n吾輩は猫である,")), std::string::npos);

    // A write that fails is shown, and the dialog stays.
    CsvExportDialog again(catalogue);
    again.show();
    Dialogs::setNextFileName(dir.filePath("no/such/folder/out.csv"));
    QTest::mouseClick(&reach<QPushButton>(again, "exportButton"), Qt::LeftButton);
    EXPECT_TRUE(again.isVisible());
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Error).size(), 1u);
}

// An export names any file: an existing one is replaced only after はい, and
// the open catalogue and its backup (by any name that leads to them) never.
TEST_F(CsvDialogsTest, ExportAsksBeforeReplacingAndNeverWritesOverTheCatalogue) {
    Catalogue catalogue;
    catalogue.setField(Field::Title, 1, sjis::fromUtf8("吾輩は猫である"));
    QTemporaryDir dir;
    const QString books = dir.filePath("books.srb");
    FileIo::writeAtomically(books, "catalogue\r\n");
    FileIo::writeAtomically(books + "bak", "backup\r\n");
    FileIo::writeAtomically(dir.filePath("old.csv"), "old\r\n");
    ASSERT_TRUE(QFile::link(books, dir.filePath("link.csv")));

    struct Case {
        const char* name;
        Dialogs::Kind kind;
        QString shown;
        std::string before;
    };
    const Case cases[] = {
        {"old.csv", Dialogs::Kind::Question,
         QStringLiteral("old.csv は既に存在します。\n置き換えますか？"), "old\r\n"},
        {"books.srb", Dialogs::Kind::Notice,
         QStringLiteral("books.srb は開いている読書録データです。\n別の名前を指定してください。"),
         "catalogue\r\n"},
        {"books.srbbak", Dialogs::Kind::Notice,
         QStringLiteral("books.srbbak は開いている読書録データのバックアップです。\n"
                        "別の名前を指定してください。"),
         "backup\r\n"},
        {"link.csv", Dialogs::Kind::Notice,
         QStringLiteral("link.csv は開いている読書録データです。\n別の名前を指定してください。"),
         "catalogue\r\n"},
    };
    for (const Case& c : cases) {
        Dialogs::reset();
        CsvExportDialog dialog(catalogue, nullptr, books);
        dialog.show();
        Dialogs::setNextFileName(dir.filePath(c.name)); // no answer scripted: いいえ, as Escape
        QTest::mouseClick(&reach<QPushButton>(dialog, "exportButton"), Qt::LeftButton);
        EXPECT_EQ(Dialogs::shownTexts(c.kind), std::vector<QString>{c.shown}) << c.name;
        EXPECT_EQ(FileIo::readAll(dir.filePath(c.name)), c.before) << c.name;
        EXPECT_TRUE(dialog.isVisible()) << c.name;
    }

    CsvExportDialog dialog(catalogue, nullptr, books);
    dialog.show();
    Dialogs::setNextFileName(dir.filePath("old.csv"));
    Dialogs::setNextAnswer(true);
    QTest::mouseClick(&reach<QPushButton>(dialog, "exportButton"), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(FileIo::readAll(dir.filePath("old.csv")).substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 4);
}

TEST_F(CsvDialogsTest, ImportShowsMappingAndReportAndReturnsTheRecords) {
    Catalogue catalogue; // one record: the import starts at record 2
    CsvImportDialog dialog(catalogue);
    ASSERT_TRUE(dialog.loadFile(csvFixture("unencodable.csv")));
    dialog.show();
    auto& preview = reach<QTableWidget>(dialog, "preview");
    auto* impressions = &reach<QComboBox>(dialog, "mappingBox2");
    auto* summary = &reach<QLabel>(dialog, "summary");
    EXPECT_EQ(reach<QComboBox>(dialog, "encodingBox").currentText(),
              QStringLiteral("UTF-8（BOM なし）"));
    EXPECT_EQ(preview.rowCount(), 4); // the mapping row and three rows
    EXPECT_EQ(preview.item(2, 0)->text(), QStringLiteral("絵文字😀の本"));
    EXPECT_EQ(impressions->currentText(), QStringLiteral("感　想"));
    const QString report = reach<QPlainTextEdit>(dialog, "report").toPlainText();
    EXPECT_TRUE(report.contains(
        QStringLiteral("3 行目（記録 3）「書　名」: 「😀」を「〓」に置き換えました")));
    EXPECT_EQ(summary->text(), QStringLiteral("3 件を記録 2〜4 として最後に追加します。"));

    // The impressions column not taken in, by the keyboard on its combo.
    impressions->setFocus();
    QTest::keyClick(impressions, Qt::Key_Home);
    EXPECT_EQ(impressions->currentText(), QStringLiteral("取り込まない"));
    EXPECT_EQ(dialog.importResult().replaced, 2);

    // Skipping rows with such text instead of replacing it.
    clickRadio(&reach<QRadioButton>(dialog, "skipButton"));
    EXPECT_EQ(summary->text(),
              QStringLiteral("2 件を記録 2〜3 として最後に追加します。1 行は取り込みません。"));

    // Two columns on one field: refused until changed.
    auto* second = &reach<QComboBox>(dialog, "mappingBox1");
    second->setCurrentIndex(reach<QComboBox>(dialog, "mappingBox0").currentIndex());
    EXPECT_FALSE(reach<QPushButton>(dialog, "importButton").isEnabled());
    EXPECT_TRUE(summary->text().contains(QStringLiteral("同じ項目「書　名」")));
    QTest::keyClick(second, Qt::Key_Home);
    ASSERT_TRUE(reach<QPushButton>(dialog, "importButton").isEnabled());

    QTest::mouseClick(&reach<QPushButton>(dialog, "importButton"), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    const auto& records = dialog.importResult().records;
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1][static_cast<size_t>(index(Field::Title))], sjis::fromUtf8("最後の本"));
    EXPECT_TRUE(records[1][static_cast<size_t>(index(Field::Impressions))].empty());
}

TEST_F(CsvDialogsTest, ImportOfABadFileOrAWrongEncodingSaysWhy) {
    Catalogue catalogue;
    CsvImportDialog dialog(catalogue);
    EXPECT_FALSE(dialog.loadFile(csvFixture("nul_byte.csv")));
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Error).size(), 1u);

    ASSERT_TRUE(dialog.loadFile(csvFixture("shift_jis.csv")));
    dialog.show();
    auto* encoding = &reach<QComboBox>(dialog, "encodingBox");
    EXPECT_EQ(encoding->currentText(), QStringLiteral("Shift-JIS"));
    encoding->setFocus();
    QTest::keyClick(encoding, Qt::Key_Home); // UTF-8 with BOM
    EXPECT_FALSE(reach<QPushButton>(dialog, "importButton").isEnabled());
    EXPECT_EQ(reach<QTableWidget>(dialog, "preview").columnCount(), 0);
    EXPECT_TRUE(reach<QLabel>(dialog, "summary").text().contains(u"UTF-8 として読めないバイト"));
    QTest::keyClick(encoding, Qt::Key_End); // back to Shift-JIS
    EXPECT_TRUE(reach<QPushButton>(dialog, "importButton").isEnabled());
}

TEST_F(CsvDialogsTest, HelpButtonsOpenTheExportAndImportTopics) {
    const Catalogue catalogue;
    CsvExportDialog exportDialog(catalogue);
    CsvImportDialog importDialog(catalogue);
    exportDialog.show();
    exportDialog.activateWindow(); // shortcuts need the active window
    ASSERT_TRUE(QTest::qWaitForWindowActive(&exportDialog));
    QTest::keyClick(&exportDialog, Qt::Key_F1);
    // A button's shortcut clicks it a moment later.
    ASSERT_TRUE(QTest::qWaitFor([] { return HelpViewer::requests().size() == 1; }));
    importDialog.show();
    QTest::mouseClick(&reach<QPushButton>(importDialog, "helpButton"), Qt::LeftButton);
    const auto& requests = HelpViewer::requests();
    ASSERT_EQ(requests.size(), 2u);
    const HelpFile help =
        HelpFile::load(QDir::cleanPath(QString(SORABEL_TEST_DATA) + "/../../help/sorabe.HLP"));
    const char* mentions[] = {"--export-csv", "--import-csv"};
    for (size_t i = 0; i < 2; ++i) {
        const HelpFile::Topic* topic = help.topic(requests[i].context);
        ASSERT_NE(topic, nullptr) << requests[i].context;
        EXPECT_TRUE(topic->text.contains(QString::fromUtf8(mentions[i])));
    }
}

// A service's export: its kind is chosen, columns without a field of their
// own go to the notes, and choosing a kind without a header makes the first
// row a book.
TEST_F(CsvDialogsTest, ImportKnowsAServicesExportAndAFileWithoutHeader) {
    QTemporaryDir dir;
    const QString path = dir.filePath("export.csv");
    FileIo::writeAtomically(
        path, "Book Id,Title,Author,Author l-f,Additional Authors,ISBN,ISBN13,My Rating,Average "
              "Rating,Publisher,Binding,Number of Pages,Year Published,Original Publication "
              "Year,Date Read,Date Added,Bookshelves,Bookshelves with positions,Exclusive "
              "Shelf,My Review,Spoiler,Private Notes,Read Count,Owned Copies\r\n"
              "7,夜の図書館,山田花子,,,=\"4101234567\",,0,,,,,,,,2024/02/01,,,to-read,,,,0,0\r\n");
    Catalogue catalogue;
    catalogue.resize(0);
    CsvImportDialog dialog(catalogue);
    ASSERT_TRUE(dialog.loadFile(path));
    EXPECT_EQ(reach<QComboBox>(dialog, "presetBox").currentText(), QStringLiteral("Goodreads"));
    auto* summary = &reach<QLabel>(dialog, "summary");
    EXPECT_EQ(reach<QComboBox>(dialog, "mappingBox5").currentText(),
              QStringLiteral("備考に「ISBN: 値」"));
    EXPECT_EQ(summary->text(), QStringLiteral("1 件を記録 1〜1 として最後に追加します。"));
    const Record& book = dialog.importResult().records.at(0);
    EXPECT_EQ(sjis::decode(book[static_cast<size_t>(index(Field::Note2))]),
              QStringLiteral("ISBN: 4101234567"));
    EXPECT_EQ(sjis::decode(book[static_cast<size_t>(index(Field::DateBought))]),
              QStringLiteral("2024/02/01")); // to-read: a book bought, not yet read

    // The first row as data: the columns have no names, so none is chosen yet.
    reach<QCheckBox>(dialog, "firstRowIsDataBox").click();
    EXPECT_EQ(summary->text(),
              QStringLiteral("取り込む列がありません。見出しが項目名に当たりません"));
    EXPECT_EQ(reach<QTableWidget>(dialog, "preview").horizontalHeaderItem(0)->text(),
              QStringLiteral("1 列目"));
}
