// The number formats and fixed fragments of the lap-statistics pages. Times
// are milliseconds, speeds 1/100 km/h; everything is integer arithmetic.
#pragma once

#include <cstdint>
#include <string>

namespace zr {

std::string raceTimeText(std::int64_t t);   // 83:05.123 (minutes not reduced)
std::string lapTimeText(std::int64_t t);    // 1:23.456
std::string shortTimeText(std::int64_t t);  // 23.456, 1:03.456
std::string gapText(std::int64_t t);        // -0.456, -12.345, -1:02.345 (whole minutes)
std::string secondsText(std::int64_t t);    // 3.456
std::string speed2Text(std::int64_t v);     // 254.07
std::string speed1Text(std::int64_t v);     // 254.0
std::string percent2Text(std::int64_t p);   // hundredths: 1.83
std::string percent1Text(std::int64_t p);   // tenths: 96.5

// A text from the replay (Windows-1252) as UTF-8 with & < > " escaped, so that
// a driver name never becomes markup.
std::string pageText(const std::string& replayText);

// The text with & < > " escaped and every other byte kept, for a page that
// declares no charset.
std::string escapeMarkup(const std::string& text);

// As escapeMarkup, with ' escaped too and control characters other than tab
// and line feed dropped: for the overview page, whose texts also stand in
// attributes and come from file names.
std::string escapeMarkupStrict(const std::string& text);

// The logo image of a car make 0 to 6; empty for any other value.
std::string carLogo(std::int32_t carMake);

// Two lowercase hexadecimal digits of a colour byte.
std::string colourByte(std::int64_t value);

}  // namespace zr
