#include "core/support/CommandLine.h"
#include "core/support/WindowPlacement.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace sorabel;
using Action = CommandLine::Action;

TEST(CommandLine, OptionsAndTheFileToOpen) {
    struct Case {
        QStringList arguments;
        Action action;
        QString outputStart;
        QString file;
    };
    const QString cwd = QDir::currentPath();
    const Case cases[] = {
        {{}, Action::Run, "", ""},
        {{"books.srb"}, Action::Run, "", cwd + "/books.srb"},
        {{"/data/a b.srb"}, Action::Run, "", "/data/a b.srb"},
        {{"--", "-odd.srb"}, Action::Run, "", cwd + "/-odd.srb"},
        {{"--help"}, Action::ShowHelp, "使い方: sorabel [オプション] [ファイル.srb]\n", ""},
        {{"-h", "books.srb"}, Action::ShowHelp, "使い方:", ""},
        {{"--version"}, Action::ShowVersion, "ソラベル 2.", ""},
        {{"-v"}, Action::ShowVersion, "ソラベル 2.", ""},
        {{"--bogus"}, Action::Fail, "不明なオプションです: --bogus\n", ""},
        {{"-x"}, Action::Fail, "不明なオプションです: -x\n", ""},
        {{"a.srb", "b.srb"}, Action::Fail, "開けるファイルは一つだけです。\n", ""},
        {{"-bogus"}, Action::Fail, "不明なオプションです: -bogus\n", ""},
        // The toolkit's own options are left to it, with their values.
        {{"-platform", "offscreen", "a.srb"}, Action::Run, "", cwd + "/a.srb"},
        {{"--style=fusion", "-reverse", "a.srb"}, Action::Run, "", cwd + "/a.srb"},
    };
    for (const Case& c : cases) {
        const CommandLine line = CommandLine::parse(QStringList{"/usr/bin/sorabel"} + c.arguments);
        const std::string where = c.arguments.join(' ').toStdString();
        EXPECT_EQ(line.action, c.action) << where;
        EXPECT_EQ(line.output.left(c.outputStart.size()), c.outputStart) << where;
        EXPECT_EQ(line.fileToOpen, c.file) << where;
    }
}

TEST(WindowPlacement, MovedAndShrunkOntoTheNearestScreen) {
    const QRect small(0, 0, 1280, 1024), wide(1280, 0, 1920, 1080);
    struct Case {
        QPoint topLeft;
        QSize size;
        QList<QRect> screens;
        QRect expected;
    };
    const Case cases[] = {
        {{174, 121}, {711, 611}, {small}, {174, 121, 711, 611}},         // fits
        {{0, 0}, {2147483647, 2147483647}, {small}, {0, 0, 1280, 1024}}, // a broken size
        {{2147483647, 5}, {711, 611}, {small}, {569, 5, 711, 611}},      // far right
        {{-500, -40}, {711, 611}, {small}, {0, 0, 711, 611}},
        {{3000, 100}, {711, 611}, {small}, {569, 100, 711, 611}},        // second screen gone
        {{3000, 100}, {711, 611}, {small, wide}, {2489, 100, 711, 611}}, // right edge of the wide
        {{1000, 200}, {711, 611}, {small, wide}, {1280, 200, 711, 611}}, // more on the wide one
        {{1000, 200}, {200, 611}, {small, wide}, {1000, 200, 200, 611}}, // all on the small one
        {{1300, 1500}, {3000, 2000}, {small, wide}, {1280, 0, 1920, 1080}},
        {{-100, 2000}, {711, 611}, {wide, small}, {0, 413, 711, 611}}, // closest, not first
        {{10, 10}, {0, -5}, {small}, {10, 10, 1, 1}},
        {{10, 10}, {99999, 500}, {}, {10, 10, 32767, 500}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WindowPlacement::fit(c.topLeft, c.size, c.screens), c.expected)
            << c.topLeft.x() << "," << c.topLeft.y() << " " << c.size.width() << "x"
            << c.size.height();
}
