// racenight: every analysis of a race night in one command, with an overview
// page. See options.cpp for the command line.
#pragma once

#include <iosfwd>

namespace zr::night {

// The whole program; returns the exit code. Lines for the user go to `out`,
// errors to `err`, the progress line straight to standard error (on a
// terminal only).
int runRacenight(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace zr::night
