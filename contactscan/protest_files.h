// The two outputs of the scan: the protest list, a numbered plain-text line
// per incident, and the protest script, a PHP file that enters the incidents
// into the league's protest table.
#pragma once

#include <cstdint>
#include <string>

#include "driver_table.h"
#include "incident_scan.h"

namespace zr {

// The replay name's leading decimal number, read as the C library reads one
// (blanks and a sign allowed), as its digits without leading zeros; empty
// when the name does not start with a number above 0.
std::string raceNumberOf(const std::string& replayName);

// 1 to 5 for a last character "A" to "E", else 0.
int gridNumberOf(const std::string& replayName);

// The wheel a lost-wheel code names: "left front", "right front", "left rear"
// or "right rear".
std::string lostWheelName(std::int32_t incidentCode);

// "Protest_" + the name's last character + ".php".
std::string protestScriptName(const std::string& replayName);

// The text of NAME.txt (line feeds; stored as CR LF).
std::string protestList(const IncidentList& list, const DriverTable& drivers, int frameRate,
                        const std::string& upperTrackName);

// A text placed inside a single-quoted SQL literal that stands in a PHP
// double-quoted string: ' and \ are doubled for SQL, then \, " and $ are
// escaped for PHP. So ' gives '', \ gives four backslashes, " gives \" and
// $ gives \$.
std::string escapeForScript(const std::string& text);

// The text of the protest script for race `raceNumber` in grid `gridNumber`.
std::string protestScript(const IncidentList& list, const DriverTable& drivers, int frameRate,
                          const std::string& raceNumber, int gridNumber);

}  // namespace zr
