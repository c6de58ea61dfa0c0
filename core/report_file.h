// Report files: a name and the text the program made (line feeds; stored as
// CR LF by `writeReport`).
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace zr {

struct ReportFile {
    std::string name;  // the file name, without a folder
    std::string text;
};

// Writes a report into the working directory; when it cannot be written the
// console says so and the caller ends with exit code 1.
[[nodiscard]] bool saveReport(const ReportFile& report, std::ostream& out);

}  // namespace zr
