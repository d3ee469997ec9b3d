#pragma once

#include <functional>

namespace sorabel {

// The stand-ins tests put in place of the real thing (scripted dialog answers,
// the recorded help requests, a grid width measure, a URL opener, another
// program folder, a writability check, a failing file system, the remembered
// dialog folder) each register, when first set, how to put it back at rest.
// A test's set-up and tear-down call resetAll() and nothing else, so a new
// stand-in can never be left out of them.
class TestHooks {
public:
    // Registers `reset` under `owner` (one reset an owner; a later call for
    // the same owner changes nothing).
    static void onReset(const void* owner, std::function<void()> reset);
    // Runs every registered reset, in the order they were registered.
    static void resetAll();
};

} // namespace sorabel
