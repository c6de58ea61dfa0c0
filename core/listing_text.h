// Names and counts as the text listings write them.
#pragma once

#include <cstdint>
#include <string>

#include "driver_table.h"
#include "replay_header.h"

namespace zr {

// The progress text of the German listings, printed before the walk.
extern const char* const kGermanProgressText;

// ASCII upper-casing, byte by byte.
std::string upperAscii(std::string text);

// Two blanks, the upper-cased track name and two line ends: the track line
// of the listings' console.
std::string trackNameLine(const ReplayHeader& header);

// First name, one blank, last name.
std::string fullName(const DriverTable& drivers, int slot);

// The first character of the first name, ".", the last name: "J.Smith".
std::string shortName(const DriverTable& drivers, int slot);

// The short name as a listing column: a tab after it, and a second one when
// the last name has fewer than 6 characters.
std::string shortNameColumn(const DriverTable& drivers, int slot);

// The closing ranking of the listings: per car with at least one event, most
// first and the lower slot first on a tie, "  N * J.Smith\n".
std::string countRanking(const std::int32_t (&perCar)[kSlots], const DriverTable& drivers);

}  // namespace zr
