#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>

namespace {
// Whether the process catches `number` yet (its handlers are set up).
bool catches(qint64 pid, int number) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (number - 1)) & 1;
    return false;
}
} // namespace

// The program, copied into a folder of its own so that it keeps its settings
// there as a portable copy, is told to end by each termination signal.
TEST(Termination, ASignalEndsTheProgramNormallyWithItsSettingsWritten) {
    const QString built = QCoreApplication::applicationDirPath() + QStringLiteral("/../sorabel");
    ASSERT_TRUE(QFile::exists(built)) << built.toStdString();
    for (const int number : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(number);
        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("sorabel"));
        ASSERT_TRUE(QFile::copy(built, program));
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("HOME"), dir.path());
        process.setProcessEnvironment(env);
        process.start(program, {});
        ASSERT_TRUE(process.waitForStarted(10000));
        QElapsedTimer waited;
        waited.start();
        while (!catches(process.processId(), number) && waited.elapsed() < 20000)
            QThread::msleep(20);
        ASSERT_TRUE(catches(process.processId(), number));
        QThread::msleep(300); // well into the event loop
        ::kill(static_cast<pid_t>(process.processId()), number);
        ASSERT_TRUE(process.waitForFinished(20000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
        QFile settings(dir.filePath(QStringLiteral("SorabeIni.INI")));
        ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
        EXPECT_TRUE(settings.readAll().startsWith("[Font]\r\n"));
    }
}
