#include "core/catalogue/CatalogueSession.h"
#include "core/format/CatalogueFile.h"
#include "core/storage/FileIo.h"
#include "core/storage/FullDiskFileSystem.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>
#include <string>

using namespace sorabel;

namespace {

// A session of `count` records titled "1", "2", ... showing `current`.
void arrange(CatalogueSession& s, int count, int current) {
    Catalogue c;
    c.resize(count);
    for (int r = 1; r <= count; ++r)
        c.setField(Field::Title, r, std::to_string(r));
    s.takeCatalogue(std::move(c), current);
}

std::string titleOf(const CatalogueSession& s, int record) {
    return record < 1 ? std::string("-") : std::string(s.catalogue().field(Field::Title, record));
}

// Which of the three signals an operation sent.
enum Fired { None = 0, Current = 1, Records = 2, Modified = 4, All = 7 };

struct Spy {
    int fired = None;
    explicit Spy(CatalogueSession& s) {
        QObject::connect(&s, &CatalogueSession::currentRecordChanged, [this] { fired |= Current; });
        QObject::connect(&s, &CatalogueSession::recordsChanged, [this] { fired |= Records; });
        QObject::connect(&s, &CatalogueSession::modifiedChanged, [this] { fired |= Modified; });
    }
};

} // namespace

TEST(CatalogueSession, RecordOperationsKeepTheInvariantsAndAnnounceThem) {
    using S = CatalogueSession;
    using Op = std::function<bool(S&)>;
    const auto done = [](auto f) { return Op([f](S& s) { return std::invoke(f, s), true; }); };
    const auto show = [&](int r) { return done([r](S& s) { s.showRecord(r); }); };
    const auto insertAt = [](int r) { return Op([r](S& s) { return s.insertRecordAt(r); }); };
    const Op sort = done([](S& s) { s.applyOrder({3, 1, 2}); });
    const int M = kMaxRecords;
    const struct {
        const char* name;
        int count, current;
        Op op;
        bool result;
        int countAfter, currentAfter;
        bool modifiedAfter;
        std::string titleShown;
        int fired;
    } cases[] = {
        // Moving edits nothing: it is no change.
        {"first", 5, 3, done(&S::goToFirst), true, 5, 1, false, "1", Current},
        {"previous", 5, 3, done(&S::goToPrevious), true, 5, 2, false, "2", Current},
        {"next", 5, 3, done(&S::goToNext), true, 5, 4, false, "4", Current},
        {"last", 5, 3, done(&S::goToLast), true, 5, 5, false, "5", Current},
        {"previous on the first", 5, 1, done(&S::goToPrevious), true, 5, 1, false, "1", None},
        {"next on the last", 5, 5, done(&S::goToNext), true, 5, 5, false, "5", None},
        {"page to a record", 5, 3, show(4), true, 5, 4, false, "4", Current},
        {"page beyond the end", 5, 3, show(6), true, 5, 3, false, "3", None},
        // A refused add changes nothing.
        {"add", 5, 3, &S::addRecord, true, 6, 6, true, "", All},
        {"add at the limit", M, 3, &S::addRecord, false, M, 3, false, "3", None},
        {"add to none", 0, 0, &S::addRecord, true, 1, 1, true, "", All},
        {"copy to the end", 5, 2, &S::copyRecordToEnd, true, 6, 6, true, "2", All},
        {"copy at the limit", M, 2, &S::copyRecordToEnd, false, M, 2, false, "2", None},
        // Delete shows the record that followed, or the new last one.
        {"delete in the middle", 5, 2, &S::deleteCurrentRecord, true, 4, 2, true, "3", All},
        {"delete the last", 5, 5, &S::deleteCurrentRecord, true, 4, 4, true, "4", All},
        {"delete the only", 1, 1, &S::deleteCurrentRecord, true, 0, 0, true, "-", All},
        {"delete with none", 0, 0, &S::deleteCurrentRecord, false, 0, 0, false, "-", None},
        // The book list's commands.
        {"list delete before", 5, 4, done([](S& s) { s.deleteRecord(2); }), true, 4, 2, true, "3",
         All},
        {"list insert", 5, 4, insertAt(2), true, 6, 2, true, "", All},
        {"list insert at limit", M, 4, insertAt(2), false, M, 4, false, "4", None},
        {"sort keeps the position", 3, 1, sort, true, 3, 1, true, "3", All},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CatalogueSession s;
        arrange(s, c.count, c.current);
        Spy spy(s);
        EXPECT_EQ(c.op(s), c.result);
        EXPECT_EQ(s.recordCount(), c.countAfter);
        EXPECT_EQ(s.currentIndex(), c.currentAfter);
        EXPECT_EQ(s.isModified(), c.modifiedAfter);
        EXPECT_EQ(titleOf(s, s.currentIndex()), c.titleShown);
        EXPECT_EQ(spy.fired, c.fired);
        // The invariant itself.
        EXPECT_TRUE(s.recordCount() == 0
                        ? s.currentIndex() == 0
                        : s.currentIndex() >= 1 && s.currentIndex() <= s.recordCount());
    }
}

TEST(CatalogueSession, RefusedOrderChangesNothing) {
    CatalogueSession s;
    arrange(s, 3, 2);
    Spy spy(s);
    EXPECT_THROW(s.applyOrder({2, 2, 3}), std::invalid_argument); // the kinds: CatalogueStore
    EXPECT_EQ(s.currentIndex(), 2);
    EXPECT_FALSE(s.isModified());
    EXPECT_FALSE(s.canUndo());
    EXPECT_EQ(titleOf(s, 1) + titleOf(s, 2) + titleOf(s, 3), "123");
    EXPECT_EQ(spy.fired, None);
}

TEST(CatalogueSession, FilesOpenSaveAndFailWithoutHarm) {
    QTemporaryDir dir;
    const QString books = dir.filePath("books.srb");
    CatalogueSession s;
    arrange(s, 4, 2);
    s.saveAs(books);
    EXPECT_EQ(s.filePath(), books);
    EXPECT_EQ(s.displayName(), QStringLiteral("books.srb"));

    // Opening shows the start record, or the last without one.
    CatalogueSession other;
    other.open(books);
    EXPECT_EQ(other.currentIndex(), 4);
    other.setStartIndex(3);
    other.reopen(books);
    EXPECT_EQ(other.currentIndex(), 3);
    EXPECT_EQ(other.displayName(), books);

    // A failed open leaves records, position, history and file alone.
    other.goToFirst();
    other.editField(Field::Note1, "changed");
    Spy spy(other);
    for (const char* bad : {"missing.srb", "damaged.srb"}) {
        SCOPED_TRACE(bad);
        FileIo::writeAtomically(dir.filePath("damaged.srb"), "12\r\n");
        EXPECT_THROW(other.open(dir.filePath(bad)), IoError);
        EXPECT_EQ(other.recordCount(), 4);
        EXPECT_EQ(other.currentIndex(), 1);
        EXPECT_TRUE(other.isModified());
        EXPECT_EQ(other.undoText(), QStringLiteral("入力"));
        EXPECT_EQ(other.filePath(), books);
        EXPECT_EQ(spy.fired, None);
    }

    // Save keeps the previous file as the backup; a failed save changes nothing.
    other.save();
    EXPECT_FALSE(other.isModified());
    EXPECT_TRUE(FileIo::exists(books + "bak"));
    other.editField(Field::Note1, "changed again");
    const std::string onDisk = FileIo::readAll(books);
    {
        FullDiskFileSystem full(0, ENOSPC);
        EXPECT_THROW(other.save(), IoError);
        EXPECT_THROW(other.saveAs(dir.filePath("new.srb")), IoError);
    }
    EXPECT_EQ(FileIo::readAll(books), onDisk);
    EXPECT_TRUE(other.isModified());
    EXPECT_EQ(other.filePath(), books);
    EXPECT_FALSE(FileIo::exists(dir.filePath("new.srb")));
}

// The start reads its catalogue ahead on another thread. What opens is always
// the file as it is then: bytes read before another program wrote it are not
// taken, and a read ahead of another file is not mistaken for it.
TEST(CatalogueSession, ReadAheadNeverGivesAnOlderFile) {
    QTemporaryDir dir;
    const QString books = dir.filePath("books.srb");
    CatalogueSession writer;
    arrange(writer, 3, 1);
    writer.saveAs(books);

    CatalogueSession s;
    s.readAhead(books);
    QThread::msleep(50); // the bytes are read by now
    writer.goToFirst();
    writer.editField(Field::Title, "rewritten");
    writer.save();
    s.open(books);
    EXPECT_EQ(s.catalogue().field(Field::Title, 1), "rewritten");

    s.readAhead(dir.filePath("other.srb")); // missing: the open below reads its own file
    writer.editField(Field::Title, "again");
    writer.save();
    s.open(books);
    EXPECT_EQ(s.catalogue().field(Field::Title, 1), "again");
    EXPECT_THROW(s.open(dir.filePath("other.srb")), IoError);
}

// The session keeps the file's bytes where they lie (mapped) rather than
// copying them. Whatever another program then does to the file, whether or
// not it had the file open for writing already, and whether the file was
// read on the start's own thread (gone by the time anyone writes), the books
// read stay.
TEST(CatalogueSession, BooksReadStayWhenAnotherProgramRewritesTheFile) {
    QTemporaryDir dir;
    const QString books = dir.filePath("books.srb");
    CatalogueSession writer;
    arrange(writer, 300, 1);
    writer.saveAs(books);

    enum Way { Read, OpenForWritingFirst, ReadAhead };
    for (const Way way : {Read, OpenForWritingFirst, ReadAhead}) {
        QFile other(books);
        const bool openForWriting = way == OpenForWritingFirst;
        if (openForWriting)
            ASSERT_TRUE(other.open(QIODevice::ReadWrite));
        CatalogueSession s;
        if (way == ReadAhead)
            s.readAhead(books);
        s.open(books);
        s.endReadAhead();
        if (!openForWriting)
            ASSERT_TRUE(other.open(QIODevice::WriteOnly | QIODevice::Truncate));
        other.resize(0);
        other.write("short");
        other.close();
        EXPECT_EQ(titleOf(s, 1), "1");
        EXPECT_EQ(titleOf(s, 300), "300");
        s.saveAs(dir.filePath("copy.srb"));
        const auto copy = CatalogueFile::parse(FileIo::readAll(dir.filePath("copy.srb")));
        ASSERT_EQ(copy.records.size(), 300u);
        EXPECT_EQ(copy.records[299][index(Field::Title)], "300");
        writer.saveAs(books);
    }
    // Saving in place, the session meets its own lease.
    CatalogueSession s;
    s.open(books);
    s.goToFirst();
    s.editField(Field::Title, "in place");
    s.save(CatalogueSession::WriteMode::InPlace);
    EXPECT_EQ(titleOf(s, 300), "300");
    const auto saved = CatalogueFile::parse(FileIo::readAll(books));
    ASSERT_EQ(saved.records.size(), 300u);
    EXPECT_EQ(saved.records[0][index(Field::Title)], "in place");
    EXPECT_EQ(saved.records[299][index(Field::Title)], "300");
}

TEST(CatalogueSession, NewKeepsCaptionsListsAndFonts) {
    CatalogueSession s;
    Catalogue c;
    c.resize(3);
    c.setField(Field::Title, 3, "x");
    c.liveCaptions[0] = "caption";
    c.list(ChoiceList::Format).push_back("A4");
    c.captionFont = {12, "face", 255};
    s.takeCatalogue(std::move(c), 3);
    QTemporaryDir dir;
    s.saveAs(dir.filePath("old.srb"));
    s.editField(Field::Title, "y");
    Spy spy(s);

    s.newCatalogue();
    EXPECT_EQ(s.recordCount(), 1);
    EXPECT_EQ(s.currentIndex(), 1);
    EXPECT_FALSE(s.isModified());
    EXPECT_FALSE(s.canUndo());
    EXPECT_TRUE(s.filePath().isEmpty());
    EXPECT_TRUE(s.displayName().isEmpty());
    EXPECT_EQ(s.catalogue().field(Field::Title, 3), "");
    EXPECT_EQ(s.catalogue().liveCaptions[0], "caption");
    EXPECT_EQ(s.catalogue().list(ChoiceList::Format).back(), "A4");
    EXPECT_EQ(s.catalogue().captionFont.name, "face");
    EXPECT_EQ(spy.fired, Current | Records | Modified);
}

// Save asks before replacing a file another program wrote: when size or time
// differ the bytes decide, so that a rewrite of the same length is noticed
// and a mere touch of the time is not.
TEST(CatalogueSession, NoticesAFileAnotherProgramWrote) {
    QTemporaryDir dir;
    const QString books = dir.filePath("books.srb");
    CatalogueSession s;
    arrange(s, 3, 1);
    s.saveAs(books);
    const std::string ours = FileIo::readAll(books);
    const QDateTime written = QFileInfo(books).lastModified();
    std::string sameSize = ours;
    sameSize[sameSize.find('2')] = '9'; // the title "2" becomes "9"
    const struct {
        const char* what;
        std::string bytes;
        bool keepTime;
        bool changed;
    } cases[] = {
        {"untouched", ours, true, false},
        {"same bytes, new time", ours, false, false},
        {"other bytes, same size, new time", sameSize, false, true},
        {"shorter", ours.substr(0, ours.size() - 2), true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FileIo::writeAtomically(books, c.bytes);
        QFile file(books);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(c.keepTime ? written : written.addSecs(60),
                                     QFileDevice::FileModificationTime));
        file.close();
        EXPECT_EQ(s.fileChangedOnDisk(), c.changed);
    }
}
