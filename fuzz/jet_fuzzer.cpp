// libFuzzer entry point: any input, opened as a database and read in full.
#include <cstddef>
#include <cstdint>

#include "jet_fuzz_body.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zl::schema::jet::exerciseDatabase(data, size);
    return 0;
}
