#include "boxlog.h"
#include "program_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zr::fuzz::runOnReplay(zr::runBoxlog, "f\n", data, size);
    return 0;
}
