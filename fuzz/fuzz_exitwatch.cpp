#include "exitwatch.h"
#include "program_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zr::fuzz::runOnReplay(zr::runExitwatch, "f\n", data, size);
    return 0;
}
