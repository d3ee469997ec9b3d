#include "core/format/RecentlyUsedFile.h"
#include "core/storage/FileIo.h"

#include <gtest/gtest.h>

using namespace sorabel;

namespace {
const QByteArray kOthers = R"(<?xml version="1.0" encoding="UTF-8"?>
<xbel version="1.0"
      xmlns:bookmark="http://www.freedesktop.org/standards/desktop-bookmarks"
      xmlns:mime="http://www.freedesktop.org/standards/shared-mime-info"
>
  <bookmark href="file:///home/reader/memo.txt" added="2026-01-02T03:04:05.000000Z" modified="2026-01-02T03:04:05.000000Z" visited="2026-01-02T03:04:05.000000Z">
    <info>
      <metadata owner="http://freedesktop.org">
        <mime:mime-type type="text/plain"/>
        <bookmark:applications>
          <bookmark:application name="gedit" exec="&apos;gedit %u&apos;" modified="2026-01-02T03:04:05.000000Z" count="3"/>
        </bookmark:applications>
      </metadata>
    </info>
  </bookmark>
</xbel>
)";

RecentlyUsedFile::Use use(const char* when) {
    return {QStringLiteral("/home/reader/本 2026.srb"),
            QStringLiteral("application/x-sorabel-catalogue"), QStringLiteral("sorabel"),
            QStringLiteral("sorabel %u"),
            QDateTime::fromString(QString::fromLatin1(when), Qt::ISODate)};
}

const char* const kOurs =
    R"(<bookmark href="file:///home/reader/%E6%9C%AC%202026.srb" added="2026-12-08T05:00:00Z" modified="%1" visited="%1"><info><metadata owner="http://freedesktop.org"><mime:mime-type type="application/x-sorabel-catalogue"/><bookmark:applications><bookmark:application name="sorabel" exec="'sorabel %u'" modified="%1" count="%2"/></bookmark:applications></metadata></info></bookmark>)";
} // namespace

TEST(RecentlyUsedFileTest, AddsOneBookmarkAndKeepsOtherProgramsBookmarks) {
    const QByteArray once = RecentlyUsedFile::withUse(kOthers, use("2026-12-08T05:00:00Z"));
    const QByteArray twice = RecentlyUsedFile::withUse(once, use("2026-12-08T06:30:00Z"));
    const QString text = QString::fromUtf8(twice);
    // Other programs' entries pass through; ours comes last, once, first added
    // at the first use and counted twice, and no blank lines pile up.
    EXPECT_TRUE(text.contains(QStringLiteral(
        R"(<bookmark:application name="gedit" exec="'gedit %u'" modified="2026-01-02T03:04:05.000000Z" count="3"/>)")))
        << text.toStdString();
    EXPECT_TRUE(text.trimmed().endsWith(
        QStringLiteral("    </info>\n  </bookmark>\n") +
        QString::fromUtf8(kOurs).arg(QStringLiteral("2026-12-08T06:30:00Z"), QStringLiteral("2")) +
        QStringLiteral("\n</xbel>")))
        << text.toStdString();
    EXPECT_EQ(text.count(QStringLiteral("%E6%9C%AC%202026.srb")), 1);

    // No list yet: a new one declaring both prefixes.
    const QString fresh =
        QString::fromUtf8(RecentlyUsedFile::withUse({}, use("2026-12-08T05:00:00Z")));
    EXPECT_TRUE(fresh.contains(QStringLiteral(
        R"(<xbel version="1.0" xmlns:bookmark="http://www.freedesktop.org/standards/desktop-bookmarks" xmlns:mime="http://www.freedesktop.org/standards/shared-mime-info">)")))
        << fresh.toStdString();

    // A damaged list is left alone.
    for (const char* damaged : {"<xbel version=\"1.0\"><bookmark", "<html></html>"}) {
        try {
            RecentlyUsedFile::withUse(damaged, use("2026-12-08T05:00:00Z"));
            ADD_FAILURE() << damaged;
        } catch (const IoError& e) {
            EXPECT_STREQ(e.what(), "recently-used.xbel は最近使ったファイルの一覧として読めません");
        }
    }
}
