#include "contactscan.h"
#include "program_fuzz.h"

// The first byte picks the mode; "300rplyB" also writes the protest script.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::string input = std::to_string(data[0] % 3) + "\nf\n";
    zr::fuzz::runOnReplay(zr::runContactscan, input, data + 1, size - 1);
    return 0;
}
