#pragma once

#include "core/support/TestHooks.h"

#include <gtest/gtest.h>

namespace sorabel {

// The base of every window test: each test starts and ends with every test
// hook at rest, whatever order the tests run in.
class GuiTestFixture : public ::testing::Test {
protected:
    void SetUp() override { TestHooks::resetAll(); }
    void TearDown() override { TestHooks::resetAll(); }
};

} // namespace sorabel
