#include "dropwatch.h"
#include "program_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zr::fuzz::runOnReplay(zr::runDropwatch, "f\n", data, size);
    return 0;
}
