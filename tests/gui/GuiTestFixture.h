#pragma once

#include "core/storage/ProgramFolder.h"
#include "gui/about/AboutDialog.h"
#include "gui/help/HelpViewer.h"
#include "gui/widgets/Dialogs.h"
#include "gui/widgets/StringGrid.h"

#include <gtest/gtest.h>

namespace sorabel {

// The base of every window test: each test starts and ends with every test
// hook at rest, whatever order the tests run in.
class GuiTestFixture : public ::testing::Test {
protected:
    void SetUp() override { resetHooks(); }
    void TearDown() override { resetHooks(); }

    static void resetHooks() {
        Dialogs::setTestMode(true);
        Dialogs::reset();
        HelpViewer::setTestMode(true);
        HelpViewer::clearRequests();
        StringGrid::setTextWidthMeasure({});
        AboutDialog::setUrlOpener({});
        ProgramFolder::setOverride({});
    }
};

} // namespace sorabel
