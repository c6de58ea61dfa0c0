#include "wine_mode.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>

#include "platform.h"
#include "run_dir.h"

namespace zr::test {

namespace {

// Generous: the first start of Wine in a fresh prefix takes long.
const char* const kWineStartTimeout = "300";
const char* const kRunTimeout = "120";

// Skips every test of the run when Wine cannot start a Windows program and
// hand its exit code back. The message carries GoogleTest's skip mark itself,
// which CTest looks for: this GoogleTest counts tests skipped from here as passed.
class WineCheck : public ::testing::Environment {
public:
    void SetUp() override {
        // scripts/test-windows.sh checks once for all test processes.
        std::string failure;
        if (const char* known = std::getenv("ZR_WINE_UNAVAILABLE")) {
            failure = known;
        } else {
            std::string command = std::string("timeout ") + kWineStartTimeout + " wine cmd /c exit 7";
            int status = std::system((command + " > /dev/null 2>&1").c_str());
            int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            if (code != 7) failure = "\"wine cmd /c exit 7\" ended with " + std::to_string(code);
        }
        if (!failure.empty())
            GTEST_SKIP() << "[  SKIPPED ] Wine cannot start (" << failure << "): the Windows programs were not run";
    }
};

[[maybe_unused]] ::testing::Environment* const wineCheck =
    wineBin().empty() ? nullptr : ::testing::AddGlobalTestEnvironment(new WineCheck);

}  // namespace

const std::string& wineBin() {
    static const std::string bin = [] {
        const char* value = std::getenv("ZR_WINE_BIN");
        return std::string(value ? value : "");
    }();
    return bin;
}

std::string wineDrivePath(const std::string& line) {
    if (line.empty() || line[0] != '/') return line;
    return "Z:" + replaceAll(line, "/", "\\");
}

std::string wineCommand(const std::string& exe) {
    std::string program = std::filesystem::path(exe).filename().string();
    return std::string("timeout ") + kRunTimeout + " wine '" + wineBin() + "/" + program + ".exe'";
}

std::string consoleAsOnLinux(const std::string& windowsConsole) {
    std::string text = replaceAll(windowsConsole, "\r\n", "\n");
    // Wine's command processor words the prompt differently and leaves the
    // line open; Windows' own ends it when the key comes.
    text = replaceAll(text, "Press any key to continue... ", "Press any key to continue . . . \n");
    return windows1252ToUtf8(text);
}

}  // namespace zr::test
