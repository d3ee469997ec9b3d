#include "core/support/TestHooks.h"

#include <utility>
#include <vector>

namespace sorabel {

namespace {
struct Registered {
    const void* owner;
    std::function<void()> reset;
};

std::vector<Registered>& registry() {
    static std::vector<Registered> resets;
    return resets;
}
} // namespace

void TestHooks::onReset(const void* owner, std::function<void()> reset) {
    for (const Registered& r : registry())
        if (r.owner == owner)
            return;
    registry().push_back({owner, std::move(reset)});
}

void TestHooks::resetAll() {
    for (const Registered& r : registry())
        r.reset();
}

} // namespace sorabel
