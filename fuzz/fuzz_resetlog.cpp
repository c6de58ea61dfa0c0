#include "program_fuzz.h"
#include "resetlog.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zr::fuzz::runOnReplay(zr::runResetlog, "f\n", data, size);
    return 0;
}
