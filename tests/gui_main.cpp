#include "gui/help/HelpViewer.h"
#include "gui/widgets/Dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <unistd.h>

#include <gtest/gtest.h>

// Window tests need a QApplication; they run on the offscreen platform unless
// the caller chose another one. Its screen is a desktop's 1920 by 1200 rather
// than the plugin's 800 by 600, so that windows are placed as on a real desktop.
int main(int argc, char** argv) {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform == "offscreen") {
        const QString config =
            QDir::temp().filePath(QStringLiteral("sorabel-test-screen-%1.json").arg(::getpid()));
        QFile file(config);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(R"({"screens": [{"name": "desktop", "x": 0, "y": 0, "width": 1920,
                "height": 1200, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
        file.close();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config));
    }
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QFile::remove(
        QDir::temp().filePath(QStringLiteral("sorabel-test-screen-%1.json").arg(::getpid())));
    // Never show a modal window in a test: dialogs answer from their script,
    // and help requests are recorded instead of opening the help window.
    sorabel::Dialogs::setTestMode(true);
    sorabel::HelpViewer::setTestMode(true);
    return RUN_ALL_TESTS();
}
