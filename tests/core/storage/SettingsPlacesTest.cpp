#include "core/format/HandoffFile.h"
#include "core/format/SettingsFile.h"
#include "core/storage/ConfigLocation.h"
#include "core/storage/DataLocation.h"
#include "core/storage/DialogFolder.h"
#include "core/storage/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace sorabel;

namespace {
// A temporary tree with a program folder and a configuration folder.
class SettingsPlacesTest : public ::testing::Test {
protected:
    void SetUp() override {
        program = tree.filePath(QStringLiteral("opt/sorabel/bin"));
        config = tree.filePath(QStringLiteral("home/.config"));
        ASSERT_TRUE(QDir().mkpath(program));
        oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
        ProgramFolder::setOverride(program);
    }
    void TearDown() override {
        QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        ProgramFolder::setOverride(QString());
        ConfigLocation::setWritableCheck({});
        qputenv("XDG_CONFIG_HOME", oldConfig);
    }
    QTemporaryDir tree;
    QString program, config;
    QByteArray oldConfig;
};
} // namespace

TEST_F(SettingsPlacesTest, ReadOnlyProgramFolderSendsTheSettingsToTheConfigFolder) {
    ASSERT_TRUE(QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
    // Root may write anywhere: decide by the folder's mode as any user would.
    if (::geteuid() == 0)
        ConfigLocation::setWritableCheck([](const QString& folder) {
            return bool(QFileInfo(folder).permissions() & QFile::WriteOwner);
        });
    else
        ConfigLocation::setWritableCheck(&ConfigLocation::isWritableProgramFolder);

    const QString folder = QDir(config).filePath(QStringLiteral("sorabel"));
    EXPECT_FALSE(ConfigLocation::isPortable());
    EXPECT_EQ(ConfigLocation::folder(), folder);
    EXPECT_FALSE(QFileInfo::exists(folder)) << "asking does not create the folder";
    EXPECT_EQ(SettingsFile::defaultPath(), QDir(folder).filePath(QStringLiteral("SorabeIni.INI")));
    EXPECT_EQ(HandoffFile::defaultPath(), QDir(folder).filePath(QStringLiteral("itijisettei.qqq")));
    EXPECT_TRUE(QFileInfo(folder).isDir()) << "created for the files";

    // Writable again: a portable copy keeps its settings beside itself.
    ASSERT_TRUE(
        QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    EXPECT_TRUE(ConfigLocation::isPortable());
    EXPECT_EQ(SettingsFile::defaultPath(), QDir(program).filePath(QStringLiteral("SorabeIni.INI")));
    EXPECT_EQ(HandoffFile::defaultPath(),
              QDir(program).filePath(QStringLiteral("itijisettei.qqq")));
}

TEST_F(SettingsPlacesTest, SystemProgramFoldersAreNeverPortable) {
    for (const char* folder : {"/usr/bin", "/usr/local/bin", "/usr/local/bin/"})
        EXPECT_FALSE(ConfigLocation::isWritableProgramFolder(QString::fromLatin1(folder)))
            << folder;
    EXPECT_TRUE(ConfigLocation::isWritableProgramFolder(program));
    EXPECT_FALSE(ConfigLocation::isWritableProgramFolder(program + QStringLiteral("/missing")));
}

TEST_F(SettingsPlacesTest, HelpIsFoundBesideTheProgramThenInTheInstalledDataFolder) {
    const QString shared = tree.filePath(QStringLiteral("opt/sorabel/share/sorabel"));
    ProgramFolder::setOverride(tree.filePath(QStringLiteral("opt/sorabel/bin")));
    ASSERT_TRUE(QDir().mkpath(shared));
    // Nowhere: the place beside the program.
    EXPECT_EQ(DataLocation::find(QStringLiteral("sorabe.HLP")),
              QDir(program).filePath(QStringLiteral("sorabe.HLP")));
    QFile(QDir(shared).filePath(QStringLiteral("sorabe.HLP"))).open(QIODevice::WriteOnly);
    EXPECT_EQ(DataLocation::find(QStringLiteral("SORABE.HLP")),
              QDir(shared).filePath(QStringLiteral("sorabe.HLP")));
    QFile(QDir(program).filePath(QStringLiteral("sorabe.HLP"))).open(QIODevice::WriteOnly);
    EXPECT_EQ(DataLocation::find(QStringLiteral("sorabe.HLP")),
              QDir(program).filePath(QStringLiteral("sorabe.HLP")));
}

TEST(DialogFolder, CatalogueFolderThenLastFolderThenHome) {
    const auto exists = [](const QString& folder) { return folder != QStringLiteral("/gone"); };
    struct Case {
        QString catalogue, last;
        bool portable;
        QString expected;
    };
    const Case cases[] = {
        {"/books/2026.srb", "/last", false, "/books"},
        {"/gone/2026.srb", "/last", false, "/last"},
        {"", "/last", true, "/last"},
        {"", "/gone", false, "/home/user"},
        {"", "", false, "/home/user"},
        {"", "", true, "/opt/sorabel"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DialogFolder::choose(
                      {c.catalogue, c.last, "/opt/sorabel", "/home/user", c.portable}, exists),
                  c.expected)
            << c.catalogue.toStdString() << " | " << c.last.toStdString();
}
