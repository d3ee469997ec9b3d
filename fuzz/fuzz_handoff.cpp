// Arbitrary bytes as a settings hand-off file: parsing either fails with an
// input/output error or gives values that survive writing and reading again.
#include "core/format/HandoffFile.h"
#include "core/storage/FileIo.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace sorabel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    HandoffValues values;
    try {
        values = HandoffFile::parse(bytes);
    } catch (const IoError&) {
        return 0;
    }
    const std::string once = HandoffFile::serialise(values);
    const HandoffValues back = HandoffFile::parse(once);
    if (back != values || HandoffFile::serialise(back) != once)
        std::abort();
    return 0;
}
