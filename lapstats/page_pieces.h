// Pieces that raceboard's and heatboard's pages share: the head of the
// own-driver lap table and of the IDEAL LAPS table, and their column heads.
// A heatboard page without race laps shows slot 0's practice laps in that
// lap table.
#pragma once

#include <string>

namespace zr {

constexpr int kOwnRows = 200;  // the own-driver lap table: row 0 the bests, rows 1 to 199 laps 1 to 199

inline constexpr const char* kVmin = " </td>\n<td align=\"center\"> v min";
inline constexpr const char* kVmax = " </td>\n<td align=\"center\"> v max";

// The opening of the own-driver lap table (its leading breaks, the caption
// with the driver's name, the header row) and of the IDEAL LAPS table.
std::string ownLapTableHead(bool practice, const std::string& driverName);
std::string idealLapsHead();

}  // namespace zr
