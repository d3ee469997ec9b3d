#include "core/catalogue/Catalogue.h"
#include "core/catalogue/CatalogueSession.h"
#include "core/format/CatalogueFile.h"
#include "gui/main/SessionSafety.h"
#include "gui/widgets/Dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>

using namespace sorabel;

// The built program on a real X display, typed into through xdotool, ended by
// a signal or killed, and started again.
namespace {

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs xdotool; its standard output.
QByteArray xdotool(const QStringList& arguments) {
    QProcess p;
    p.start(QStringLiteral("xdotool"), arguments);
    p.waitForFinished(20000);
    return p.readAllStandardOutput().trimmed();
}

class Program {
public:
    Program(const QString& folder, const QString& catalogue, bool offscreen = false) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (offscreen)
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        else
            env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.insert(QStringLiteral("HOME"), folder);
        env.insert(QStringLiteral("XDG_STATE_HOME"), folder + QStringLiteral("/state"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), folder + QStringLiteral("/config"));
        process_.setProcessEnvironment(env);
        // A copy of its own: it keeps its settings and recovery copies in `folder`.
        const QString program = folder + QStringLiteral("/sorabel");
        if (!QFile::exists(program))
            QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/../sorabel"),
                        program);
        process_.start(program, catalogue.isEmpty() ? QStringList() : QStringList{catalogue});
    }
    ~Program() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    qint64 pid() const { return process_.processId(); }
    // The newest window of the program, activated (the main window, or a question over it).
    void activateNewest() {
        const QByteArray ids = xdotool({QStringLiteral("search"), QStringLiteral("--sync"),
                                        QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                                        QString::number(pid())});
        const QByteArray id = ids.split('\n').last();
        xdotool(
            {QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::fromLatin1(id)});
        QThread::msleep(400);
    }
    int visibleWindows() {
        const QByteArray ids = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                        QStringLiteral("--pid"), QString::number(pid())});
        return ids.isEmpty() ? 0 : static_cast<int>(ids.split('\n').size());
    }
    void keys(const QString& keys) {
        xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("80"), keys});
        QThread::msleep(300);
    }
    void type(const QString& text) {
        xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("60"), text});
    }
    bool waitForWindows(int count) {
        QElapsedTimer t;
        t.start();
        while (visibleWindows() < count && t.elapsed() < 20000)
            QThread::msleep(100);
        QThread::msleep(500);
        return visibleWindows() >= count;
    }
    bool end(int signalNumber) {
        ::kill(static_cast<pid_t>(pid()), signalNumber);
        return process_.waitForFinished(20000);
    }

private:
    QProcess process_;
};

// A catalogue of one book, 旧書名, written as the program writes it.
QByteArray oneBook(const QString& path) {
    Catalogue c;
    c.resize(1);
    c.setField(Field::Title, 1, "OldTitle");
    const std::string bytes = CatalogueFile::serialise(c);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return QByteArray::fromStdString(bytes);
}

} // namespace

TEST(RecoveryProcess, TypedTextComesBackAfterASignalOrAKill) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") ||
        QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        GTEST_SKIP() << "needs an X display and xdotool (scripts/with-window-manager.sh)";
    struct Case {
        int signalNumber;
        int waitMs; // between the typing and the end
        const char* typed;
    };
    for (const Case& c : {Case{SIGTERM, 0, "SignalledWords"}, Case{SIGKILL, 6000, "KilledWords"}}) {
        SCOPED_TRACE(c.typed);
        QTemporaryDir dir;
        ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("data")));
        const QString books = dir.filePath(QStringLiteral("data/books.srb"));
        const QByteArray original = oneBook(books);
        {
            Program first(dir.path(), books);
            ASSERT_TRUE(first.waitForWindows(1));
            first.activateNewest();
            // データ → 追加: a new book, its title field focused.
            first.keys(QStringLiteral("alt+d"));
            first.keys(QStringLiteral("a"));
            first.type(QString::fromLatin1(c.typed));
            QThread::msleep(c.waitMs);
            ASSERT_TRUE(first.end(c.signalNumber));
        }
        EXPECT_EQ(readFile(books), original) << "nothing is saved without the user";
        Program second(dir.path(), QString());
        // The question comes before the main window.
        ASSERT_TRUE(second.waitForWindows(1));
        second.activateNewest();
        second.keys(QStringLiteral("Return")); // はい
        ASSERT_TRUE(second.waitForWindows(1));
        second.activateNewest();
        second.keys(QStringLiteral("ctrl+s"));
        QElapsedTimer t;
        t.start();
        while (!readFile(books).contains(c.typed) && t.elapsed() < 10000)
            QThread::msleep(100);
        const QByteArray saved = readFile(books);
        EXPECT_TRUE(saved.contains(c.typed));
        EXPECT_TRUE(saved.contains("OldTitle"));
        EXPECT_EQ(readFile(books + QStringLiteral("bak")), original);
        EXPECT_TRUE(second.end(SIGTERM));
        // Saved: nothing is offered again.
        EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("*.srbrec")}, QDir::Files),
                  QStringList());
        EXPECT_EQ(QDir(dir.filePath(QStringLiteral("data"))).entryList(QDir::Files),
                  QStringList({QStringLiteral("books.srb"), QStringLiteral("books.srbbak")}));
    }
}

// Two programs on one catalogue: the second hears who has it open and may
// open it read-only; once the first is killed its lock is taken over silently.
TEST(RecoveryProcess, ACatalogueOpenInAnotherRunningCopyIsNoticed) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("data")));
    const QString books = dir.filePath(QStringLiteral("data/books.srb"));
    oneBook(books);
    Program first(dir.path(), books, true);
    const QString lockFile = dir.filePath(QStringLiteral("data/.~lock.books.srb#"));
    QElapsedTimer t;
    t.start();
    while (!readFile(lockFile).contains(QByteArray::number(first.pid())) && t.elapsed() < 20000)
        QThread::msleep(50);
    ASSERT_TRUE(readFile(lockFile).contains(QByteArray::number(first.pid())));

    Dialogs::setTestMode(true);
    Dialogs::reset();
    CatalogueSession session;
    {
        SessionSafety safety(session, dir.filePath(QStringLiteral("state")));
        Dialogs::setNextAnswer(Dialogs::Answer::Yes); // 読み取り専用で開く
        ASSERT_TRUE(safety.claim(nullptr, books));
        session.open(books);
        const auto asked = Dialogs::shownTexts(Dialogs::Kind::Question);
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_TRUE(asked.front().startsWith(
            QStringLiteral("books.srb は他のソラベルで開かれています。\n")));
        EXPECT_TRUE(asked.front().contains(QStringLiteral("プロセス %1）").arg(first.pid())));
        EXPECT_TRUE(session.isReadOnly());
        EXPECT_TRUE(readFile(lockFile).contains(QByteArray::number(first.pid())));

        ASSERT_TRUE(first.end(SIGKILL));
        Dialogs::reset();
        session.newCatalogue();
        ASSERT_TRUE(safety.claim(nullptr, books));
        session.open(books);
        EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Question), std::vector<QString>{});
        EXPECT_FALSE(session.isReadOnly());
        EXPECT_TRUE(
            readFile(lockFile).contains(QByteArray::number(QCoreApplication::applicationPid())));
    }
    EXPECT_FALSE(QFile::exists(lockFile)) << "released when the catalogue is closed";
    Dialogs::reset();
}
