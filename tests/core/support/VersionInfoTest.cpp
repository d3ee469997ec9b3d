#include "core/support/VersionInfo.h"

#include "BuildVersion.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace sorabel;

namespace {
const QString kFileVersion = QStringLiteral("\\StringFileInfo\\041103A4\\FileVersion");

std::optional<QString> lookUp(const QString& file, const QString& path) {
    QByteArray buffer(VersionInfo::size(file), '\0');
    if (!VersionInfo::read(file, buffer))
        return std::nullopt;
    return VersionInfo::query(buffer, path);
}
} // namespace

TEST(VersionInfoTest, OwnExecutableCarriesTheJapaneseStringTable) {
    int argc = 1;
    char name[] = "test_core";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();

    const QString version = QString::fromLatin1(SORABEL_VERSION_STRING);
    ASSERT_GT(VersionInfo::size(self), 0);
    EXPECT_EQ(lookUp(self, kFileVersion), version);
    EXPECT_EQ(lookUp(self, QStringLiteral("\\StringFileInfo\\041103A4\\ProductName")),
              QStringLiteral("ソラベル"));
    // Paths are not case-sensitive, but the language and code page must match.
    EXPECT_EQ(lookUp(self, QStringLiteral("\\stringfileinfo\\041103a4\\fileversion")), version);
    EXPECT_EQ(lookUp(self, QStringLiteral("\\StringFileInfo\\040904B0\\FileVersion")),
              std::nullopt);

    // Any other file has no version information, and reading it fails.
    QTemporaryDir dir;
    const QString other = dir.filePath(QStringLiteral("other"));
    EXPECT_EQ(VersionInfo::size(other), 0);
    QByteArray buffer(16, '\0');
    EXPECT_FALSE(VersionInfo::read(other, buffer));

    // A buffer smaller than the block is refused rather than overrun.
    QByteArray small(VersionInfo::size(self) - 1, '\0');
    EXPECT_FALSE(VersionInfo::read(self, small));
}

TEST(VersionInfoTest, QueryWalksTheBlockAndRejectsDamagedOnes) {
    const QByteArray block = VersionInfo::makeBlock(
        {{QStringLiteral("\\A"), QStringLiteral("1")}, {kFileVersion, QStringLiteral("3.1.4.1")}});
    EXPECT_EQ(VersionInfo::query(block, kFileVersion), QStringLiteral("3.1.4.1"));
    EXPECT_EQ(VersionInfo::query(block, QStringLiteral("\\A")), QStringLiteral("1"));
    // A value is never taken for a path.
    EXPECT_EQ(VersionInfo::query(block, QStringLiteral("1")), std::nullopt);
    EXPECT_EQ(VersionInfo::query(QByteArray(), kFileVersion), std::nullopt);
    EXPECT_EQ(VersionInfo::query(QByteArray("garbage"), kFileVersion), std::nullopt);
    // Cut off inside the entry: no value, no read past the end.
    EXPECT_EQ(VersionInfo::query(block.left(block.size() - 5), kFileVersion), std::nullopt);
}
