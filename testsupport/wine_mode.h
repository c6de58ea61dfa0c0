// The end-to-end tests' Windows mode. With ZR_WINE_BIN naming the folder of
// the Windows build's .exe files (scripts/test-windows.sh sets it), the same
// scenarios run those programs under Wine and compare the same report bytes:
// a configuration line naming a folder is written the Windows way, on the
// drive Z: that Wine maps to the root of the file system, and the console a
// program wrote is turned into what the Linux build shows. Where Wine cannot
// start, every test is skipped with a message saying so.
#pragma once

#include <string>

namespace zr::test {

// The folder of the .exe files; empty when the tests run the Linux build.
const std::string& wineBin();

// "/tmp/x/sim/replay/" as "Z:\tmp\x\sim\replay\"; a line that is not an
// absolute path stays as it is.
std::string wineDrivePath(const std::string& line);

// The shell command that runs the .exe of the program built at `exe`.
std::string wineCommand(const std::string& exe);

// A Windows console as the Linux build shows it: CR LF to line feeds,
// Windows-1252 to UTF-8, and Wine's "PAUSE" prompt as the Windows one.
std::string consoleAsOnLinux(const std::string& windowsConsole);

}  // namespace zr::test
