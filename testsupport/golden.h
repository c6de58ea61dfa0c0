// Golden files: what a report or console must hold, kept beside the tests and
// reviewed in the diff like code. They are stored with LF line ends; a report
// written with CR LF is checked to end every line so and compared in LF.
// Run the tests with ZR_UPDATE_GOLDEN=1 to rewrite the files after a
// deliberate change.
#pragma once

#include <string>

namespace zr::test {

enum class LineEnds { lf, crlf };

void expectGolden(const std::string& goldenFile, const std::string& actual, LineEnds written = LineEnds::crlf);

}  // namespace zr::test
