#include "MainWindowFixture.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QFile>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

using namespace sorabel;

// Typing a title and closing asks; キャンセル (or Escape) keeps the window and
// the text; a cancelled save dialog is no permission to end either.
TEST_F(MainWindowTest, TheSaveQuestionHasAWayBack) {
    MainWindow& f = start();
    typeText(edit(Field::Title), QStringLiteral("題"));
    ASSERT_TRUE(session.isModified());

    for (auto answer : {Dialogs::Answer::Cancel, Dialogs::Answer::Yes}) {
        // Yes on an untitled catalogue opens the save dialog, which the script cancels.
        Dialogs::setNextAnswer(answer);
        QCloseEvent close;
        QApplication::sendEvent(&f, &close);
        EXPECT_FALSE(close.isAccepted());
        EXPECT_EQ(shown(Field::Title), QStringLiteral("題"));
        EXPECT_TRUE(session.isModified());
    }
    // Open stops as well, before its dialog.
    Dialogs::setNextAnswer(Dialogs::Answer::Cancel);
    f.openCatalogue();
    EXPECT_TRUE(Dialogs::shownTexts(Dialogs::Kind::OpenFile).empty());

    Dialogs::setNextAnswer(Dialogs::Answer::No);
    QCloseEvent close;
    QApplication::sendEvent(&f, &close);
    EXPECT_TRUE(close.isAccepted());
}

// A field longer than an edit control's usual 32,767 characters is shown and
// saved whole after an edit.
TEST_F(MainWindowTest, LongTextsAreNeverCut) {
    const Bytes longTitle(40003, 'a');
    arrange(1, 1, [&](Catalogue& c) { c.setField(Field::Title, 1, longTitle); });
    start();
    QLineEdit* title = edit(Field::Title);
    title->setFocus();
    title->end(false);
    QTest::keyClick(title, Qt::Key_Backspace);
    EXPECT_EQ(session.catalogue().field(Field::Title, 1), Bytes(40002, 'a'));
}

// A word that would end a choice list in the file never joins the list.
TEST_F(MainWindowTest, AChoiceBoxRefusesAListEndMarker) {
    start();
    QComboBox* genre = combo(Field::Genre1);
    const auto before = session.catalogue().list(ChoiceList::Genre1);
    genre->setFocus();
    setShown(Field::Genre1, QStringLiteral("--《判型ここまで》--"));
    QTest::keyClick(genre, Qt::Key_Return);
    EXPECT_EQ(session.catalogue().list(ChoiceList::Genre1), before);
}

// An unreadable last catalogue leaves the program untitled, so that no save
// can replace it; the settings file goes on naming it.
TEST_F(MainWindowTest, AFailedStartUpReadStartsUntitled) {
    const QString damaged = path(QStringLiteral("damaged.srb"));
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a catalogue\r\n");
    file.close();
    SettingsValues v;
    v.file = QFile::encodeName(damaged).toStdString();
    SettingsFile::writeAtExit(SettingsFile::defaultPath(), v);

    MainWindow& f = start();
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Error).size(), 1u);
    EXPECT_TRUE(session.filePath().isEmpty());
    EXPECT_EQ(f.settingsValues().file, v.file);
    EXPECT_EQ(readBytes(damaged), "not a catalogue\r\n");
}

// A file that ends inside its records is read as far as it goes, with a word
// of how many records were whole.
TEST_F(MainWindowTest, ATruncatedFileIsReadWithAWarning) {
    start();
    std::string bytes = readBytes(writeCatalogue(QStringLiteral("five.srb"), 5));
    bytes.resize(bytes.size() - 40); // into the last record
    const QString cut = path(QStringLiteral("cut.srb"));
    QFile file(cut);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    file.close();
    openFile(cut);
    EXPECT_EQ(session.recordCount(), 5);
    const auto notices = Dialogs::shownTexts(Dialogs::Kind::Notice);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_TRUE(notices.front().contains(QStringLiteral("4冊")));
}

// Save notices that another writer replaced the file and asks first.
TEST_F(MainWindowTest, SaveAsksWhenAnotherProgramChangedTheFile) {
    MainWindow& f = start();
    const QString p = writeCatalogue(QStringLiteral("shared.srb"), 2);
    openFile(p);
    CatalogueFile::write(p, numbered(3)); // the other copy's save
    const std::string theirs = readBytes(p);
    Dialogs::setNextAnswer(false);
    f.save();
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Question).size(), 1u);
    EXPECT_EQ(readBytes(p), theirs);
    // A real box: Enter alone never overwrites their changes.
    Dialogs::setTestMode(false);
    QTimer::singleShot(0,
                       [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return); });
    f.save();
    Dialogs::setTestMode(true);
    EXPECT_EQ(readBytes(p), theirs);
    Dialogs::setNextAnswer(true);
    f.save();
    EXPECT_NE(readBytes(p), theirs);
    f.save(); // our own write is known: no question
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Question).size(), 2u);
}

// Records another program appended past the count line are reported on
// opening, and Save asks before dropping them; a file deleted since it was
// opened is not created again without a question.
TEST_F(MainWindowTest, SaveAsksBeforeDroppingAppendedRecordsOrRecreatingAFile) {
    MainWindow& f = start();
    const QString p = writeCatalogue(QStringLiteral("appended.srb"), 3);
    const std::string five = readBytes(writeCatalogue(QStringLiteral("five.srb"), 5));
    std::string bytes = readBytes(p);
    ASSERT_EQ(five.substr(0, 40), bytes.substr(0, 40));
    bytes += five.substr(bytes.size()); // records 4 and 5 after the count line's 3
    FileIo::writeAtomically(p, bytes);
    openFile(p);
    EXPECT_EQ(session.recordCount(), 3);
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Notice),
              std::vector<QString>{QStringLiteral("ファイルの件数の後ろに2冊分の記録があります。\n"
                                                  "これらは読み込まれていないため、"
                                                  "保存するとなくなります。")});
    type(Field::Title, QStringLiteral("変更"));
    f.save();
    EXPECT_TRUE(Dialogs::shownTexts(Dialogs::Kind::Question).back().contains(u"2冊分"));
    EXPECT_EQ(readBytes(p), bytes);

    ASSERT_TRUE(QFile::remove(p));
    Dialogs::setNextAnswer(true); // drop the appended records
    f.save();
    EXPECT_TRUE(Dialogs::shownTexts(Dialogs::Kind::Question)
                    .back()
                    .startsWith(u"ファイルが見つかりません"));
    EXPECT_FALSE(FileIo::exists(p));
    Dialogs::setNextAnswer(true);
    Dialogs::setNextAnswer(true);
    f.save();
    EXPECT_EQ(CatalogueFile::parse(readBytes(p)).records[2][index(Field::Title)], sj("変更"));
    EXPECT_FALSE(session.isModified());
}

// 元に戻す and やり直し name what they take back; Ctrl+Z reaches the
// catalogue's history from inside a field, typing included, and undoing back
// to what was opened leaves nothing to save.
TEST_F(MainWindowTest, UndoAndRedoReachTheHistoryFromAField) {
    arrange(3, 2);
    MainWindow& f = start();
    QAction* undo = entry("元に戻す(&U)");
    QAction* redo = entry("やり直し(&R)");
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    Dialogs::setNextAnswer(true);
    f.deleteRecord();
    f.copyRecordToEnd();
    EXPECT_EQ(undo->text(), QStringLiteral("元に戻す: コピーして最後尾へ追加(&U)"));

    QLineEdit* title = edit(Field::Title);
    title->setFocus();
    title->end(false);
    QTest::keyClicks(title, QStringLiteral("xy"));
    EXPECT_EQ(title->text(), QStringLiteral("本3xy"));
    EXPECT_EQ(undo->text(), QStringLiteral("元に戻す: 入力(&U)"));

    const auto ctrl = [&](Qt::Key key, Qt::KeyboardModifiers more = {}) {
        QTest::keyClick(QApplication::focusWidget(), key, Qt::ControlModifier | more);
    };
    ctrl(Qt::Key_Z); // the typing, both letters
    EXPECT_EQ(title->text(), QStringLiteral("本3"));
    EXPECT_EQ(session.recordCount(), 3);
    ctrl(Qt::Key_Z); // the copy
    EXPECT_EQ(session.recordCount(), 2);
    ctrl(Qt::Key_Z); // the delete
    EXPECT_EQ(session.recordCount(), 3);
    EXPECT_EQ(title->text(), QStringLiteral("本2"));
    EXPECT_FALSE(session.isModified());
    EXPECT_FALSE(undo->isEnabled());
    ctrl(Qt::Key_Z); // nothing left: the field does not undo on its own either
    EXPECT_EQ(title->text(), QStringLiteral("本2"));

    ctrl(Qt::Key_Y);
    EXPECT_EQ(session.recordCount(), 2);
    ctrl(Qt::Key_Z, Qt::ShiftModifier);
    EXPECT_EQ(session.recordCount(), 3);
    EXPECT_EQ(redo->text(), QStringLiteral("やり直し: 入力(&R)"));
    EXPECT_TRUE(session.isModified());
}

// Look-alikes that input methods and web pages produce are taken as the code
// page's own characters wherever text comes in; a character with no such form
// is still refused.
TEST_F(MainWindowTest, LookAlikesAreTakenAsTheCodePagesCharacters) {
    start();
    QLineEdit* title = edit(Field::Title);
    title->setFocus();
    typeText(title, QStringLiteral("A〜B−C¥"));
    EXPECT_EQ(title->text(), QStringLiteral("A～B－C￥"));
    typeText(title, QStringLiteral("♥"));
    EXPECT_EQ(title->text(), QStringLiteral("A～B－C￥"));

    QApplication::clipboard()->setText(QStringLiteral("一〜二—三‖"));
    impressions()->setFocus();
    impressions()->paste();
    EXPECT_EQ(impressions()->toPlainText(), QStringLiteral("一～二―三∥"));
    EXPECT_EQ(session.catalogue().field(Field::Impressions, 1), sj("一～二―三∥"));
    typeText(impressions(), QStringLiteral("£12〜"));
    EXPECT_EQ(impressions()->toPlainText(), QStringLiteral("一～二―三∥￡12～"));
}

// A catalogue file dropped on the window is opened as Open does, the save
// question first; one named on the command line replaces the remembered one.
TEST_F(MainWindowTest, DroppedAndNamedFilesAreOpened) {
    const QString named = writeCatalogue(QStringLiteral("named.srb"), 2);
    SettingsValues v;
    v.file = QFile::encodeName(writeCatalogue(QStringLiteral("last.srb"), 5)).toStdString();
    SettingsFile::writeAtExit(SettingsFile::defaultPath(), v);
    windows = std::make_unique<ProgramWindows>(session);
    MainWindow& f = windows->mainWindow();
    f.setCatalogueToOpen(named);
    f.show();
    EXPECT_EQ(session.filePath(), named);
    EXPECT_EQ(session.recordCount(), 2);

    typeText(edit(Field::Title), QStringLiteral("x"));
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path(QStringLiteral("last.srb")))});
    auto dropOnWindow = [&] {
        QDragEnterEvent enter(QPoint(50, 80), Qt::CopyAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(&f, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(50, 80), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&f, &drop);
    };
    Dialogs::setNextAnswer(Dialogs::Answer::Cancel);
    dropOnWindow();
    EXPECT_EQ(session.recordCount(), 2) << "キャンセル keeps the open catalogue";
    Dialogs::setNextAnswer(Dialogs::Answer::No);
    dropOnWindow();
    EXPECT_EQ(session.recordCount(), 5);
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Question).size(), 2u);

    // On a field too, the question first; text dropped there is typed text.
    typeText(edit(Field::Title), QStringLiteral("y"));
    auto dropOn = [&](QWidget* field, const QMimeData& data) {
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(field, &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(field, &drop);
    };
    QMimeData text;
    text.setText(QStringLiteral("猫"));
    dropOn(impressions()->viewport(), text);
    EXPECT_EQ(impressions()->toPlainText(), QStringLiteral("猫"));
    // A file manager's drag carries the file's name as text as well.
    QMimeData file;
    file.setUrls(mime.urls());
    file.setText(mime.urls().front().toString());
    Dialogs::setNextAnswer(Dialogs::Answer::No);
    dropOn(edit(Field::Author), file);
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Question).size(), 3u);
    EXPECT_EQ(panel(1), QStringLiteral("last.srb"));
    EXPECT_EQ(session.recordCount(), 5);
}
