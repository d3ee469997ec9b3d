#include "core/catalogue/RecoveryWriter.h"
#include "core/catalogue/CatalogueSession.h"
#include "core/format/CatalogueFile.h"
#include "core/storage/RecoveryStore.h"
#include "core/support/TestHooks.h"
#include "gui/main/SessionSafety.h"
#include "gui/widgets/Dialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace sorabel;

namespace {
QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

class RecoveryWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestHooks::resetAll();
        Dialogs::reset();
        QDir(dir_.path()).mkdir(QStringLiteral("data"));
        books_ = dir_.filePath(QStringLiteral("data/books.srb"));
        Catalogue c;
        c.resize(1);
        c.setField(Field::Title, 1, "Old");
        original_ = QByteArray::fromStdString(CatalogueFile::serialise(c));
        QFile f(books_);
        f.open(QIODevice::WriteOnly);
        f.write(original_);
        f.close();
        session_.open(books_);
    }
    void TearDown() override { Dialogs::reset(); }

    // The recovery copy on disk once the pending write is done ("(missing)" when none).
    QByteArray onDisk(RecoveryWriter& writer, RecoveryStore& store) {
        QTest::qWait(60);
        writer.waitForDisk();
        return readFile(store.filePath());
    }

    QTemporaryDir dir_;
    QString books_;
    QByteArray original_;
    CatalogueSession session_;
};
} // namespace

// The copy follows the unsaved changes: written after the pause, never in the
// catalogue's folder, gone once the catalogue is saved, back at its saved
// state, or given up.
TEST_F(RecoveryWriterTest, TheCopyIsThereExactlyWhileChangesAreUnsaved) {
    RecoveryStore store(dir_.filePath(QStringLiteral("state")));
    RecoveryWriter writer(session_, store);
    writer.setDelay(20);

    session_.editField(Field::Title, "Typed");
    EXPECT_TRUE(
        onDisk(writer, store)
            .endsWith(QByteArray::fromStdString(CatalogueFile::serialise(session_.catalogue()))));
    EXPECT_TRUE(onDisk(writer, store).contains("Typed"));
    EXPECT_EQ(QDir(dir_.filePath(QStringLiteral("data"))).entryList(QDir::Files | QDir::Hidden),
              QStringList({QStringLiteral("books.srb")}));
    session_.save();
    EXPECT_EQ(onDisk(writer, store), "(missing)");

    session_.endTyping();
    session_.editField(Field::Title, "Again");
    EXPECT_TRUE(onDisk(writer, store).contains("Again"));
    session_.undo();
    EXPECT_EQ(onDisk(writer, store), "(missing)");

    session_.redo();
    EXPECT_TRUE(onDisk(writer, store).contains("Again"));
    writer.discard();
    EXPECT_EQ(onDisk(writer, store), "(missing)");
}

// A copy that is gone: はい brings the changes back as unsaved changes of
// the original, whose Save keeps the old file as the backup; いいえ keeps them
// as recovered-….srb; a damaged copy is refused with a message and kept.
TEST_F(RecoveryWriterTest, LeftoversAreOfferedBackKeptOrSetAside) {
    const QString state = dir_.filePath(QStringLiteral("state"));
    {
        RecoveryStore crashed(state);
        RecoveryWriter writer(session_, crashed);
        session_.editField(Field::Title, "Lost");
        writer.writeNow();
    } // the store goes as a crashed copy's would: its file stays
    session_.newCatalogue();

    Catalogue restoredSide;
    {
        SessionSafety safety(session_, state);
        Dialogs::setNextAnswer(true);
        ASSERT_TRUE(safety.offerRecovery(nullptr));
        EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Question),
                  std::vector<QString>{
                      QStringLiteral("前回、保存されなかった変更があります。復元しますか？")});
        EXPECT_TRUE(session_.isModified());
        EXPECT_EQ(session_.displayName(), QStringLiteral("books.srb"));
        EXPECT_EQ(readFile(books_), original_);
        session_.save();
        EXPECT_TRUE(readFile(books_).contains("Lost"));
        EXPECT_EQ(readFile(books_ + QStringLiteral("bak")), original_);
        safety.writer().waitForDisk();
        EXPECT_EQ(QDir(state).entryList({QStringLiteral("*.srb*")}, QDir::Files), QStringList());

        session_.editField(Field::Title, "Second");
        safety.keepNow();
    }
    {
        SessionSafety safety(session_, state);
        Dialogs::reset();
        Dialogs::setNextAnswer(false);
        EXPECT_FALSE(safety.offerRecovery(nullptr));
        const QStringList kept = QDir(state).entryList({QStringLiteral("recovered-*.srb")});
        ASSERT_EQ(kept.size(), 1);
        EXPECT_TRUE(readFile(QDir(state).filePath(kept.front())).contains("Second"));
        EXPECT_EQ(QDir(state).entryList({QStringLiteral("*.srbrec")}), QStringList());
    }
    {
        QFile damaged(QDir(state).filePath(QStringLiteral("recovery-1-x.srbrec")));
        ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
        damaged.write("SorabelRecovery 1\npath /a.srb\nlength 99\n\nshort");
        damaged.close();
        SessionSafety safety(session_, state);
        Dialogs::reset();
        EXPECT_FALSE(safety.offerRecovery(nullptr));
        EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Question), std::vector<QString>{});
        ASSERT_EQ(Dialogs::shownTexts(Dialogs::Kind::Error).size(), 1u);
        EXPECT_TRUE(Dialogs::shownTexts(Dialogs::Kind::Error)
                        .front()
                        .startsWith(QStringLiteral("復元用のデータが壊れています：")));
        EXPECT_EQ(QDir(state).entryList({QStringLiteral("damaged-*.srbrec")}).size(), 1);
    }
}
