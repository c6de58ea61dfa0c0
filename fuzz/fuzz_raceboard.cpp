#include "program_fuzz.h"
#include "raceboard.h"

// The first byte picks the menu answer: the normal page, a driver's chart, or
// the page without speeds.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static const char* const answers[] = {"0\n", "3\n0\n", "99\n"};
    std::string input = std::string("f\n") + answers[data[0] % 3];
    zr::fuzz::runOnReplay(zr::runRaceboard, input, data + 1, size - 1);
    return 0;
}
