#include "heatboard.h"
#include "program_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The same replay as grids A and B, then the full page.
    zr::fuzz::runOnReplay(zr::runHeatboard, "f\nf\n0\n0\n", data, size);
    return 0;
}
