#include "golden.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "run_dir.h"

namespace zr::test {

void expectGolden(const std::string& goldenFile, const std::string& actual, LineEnds written) {
    std::string lf;
    for (char c : actual)
        if (written == LineEnds::lf || c != '\r') lf += c;
    if (written == LineEnds::crlf) {
        EXPECT_EQ(crlf(lf), actual) << "every line of " << goldenFile << " ends in CR LF";
    }
    const char* update = std::getenv("ZR_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        std::ofstream(goldenFile, std::ios::binary) << lf;
        return;
    }
    EXPECT_EQ(lf, readFile(goldenFile)) << "differs from " << goldenFile << " (ZR_UPDATE_GOLDEN=1 rewrites it)";
}

}  // namespace zr::test
