#include <QApplication>
#include "gui/widgets/Dialogs.h"

#include <gtest/gtest.h>

// Window tests need a QApplication; they run on the offscreen platform unless
// the caller chose another one.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    // Never show a modal window in a test: dialogs answer from their script.
    sorabel::Dialogs::setTestMode(true);
    return RUN_ALL_TESTS();
}
