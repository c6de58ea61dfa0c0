// The closing lines of the driver menus of raceboard and heatboard and the
// reading of the number typed.
#pragma once

#include <iosfwd>

namespace zr {

// The closing lines, then the answer: input that is not a number, or no
// input at all, reads as 0.
int askMenuChoice(std::istream& in, std::ostream& out);

}  // namespace zr
