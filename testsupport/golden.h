// Golden files: what a report or console must hold, kept beside the tests and
// reviewed in the diff like code. They are stored with LF line ends; a report
// written with CR LF is checked to end every line so and compared in LF.
// Run the tests with ZR_UPDATE_GOLDEN=1 to rewrite the files after a
// deliberate change. Each test executable knows its golden folder as
// ZR_GOLDEN_DIR (the tests' folder "golden").
#pragma once

#include <string>

#include "run_dir.h"

namespace zr::test {

enum class LineEnds { lf, crlf };

void expectGolden(const std::string& goldenFile, const std::string& actual, LineEnds written = LineEnds::crlf);

// Runs `exe` in `dir` with `input` and compares the run with the golden
// folder `folder`: "console.txt" holds the console, the configured replay and
// tracks folders written as "<replay folder>/" and "<tracks folder>/", and the
// exit code after it; every other file there is a file the run wrote into the
// working directory, under its name, and the run wrote no other. The files
// the run wrote are removed afterwards.
void expectRunAsGolden(const std::string& exe, RunDir& dir, const std::string& input, const std::string& folder);

}  // namespace zr::test
