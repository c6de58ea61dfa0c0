// One check per program: it reads the program's report of a sample replay
// and compares it with the replay's ground truth. Each returns the
// differences, one per line, or nothing when the report lists every incident
// the program is there to find and nothing else. A program that writes no
// report when it finds nothing is checked with an empty report.
#pragma once

#include <string>

#include "ground_truth.h"

namespace zr::sampler {

using ReportCheck = std::string(const GroundTruth& truth, const std::string& report);

// dropwatch, "NAME_Disco.txt": every disconnect before the last 100 seconds
// of the race, with the clock of the car's last sample.
std::string checkDiscoReport(const GroundTruth& truth, const std::string& report);

// boxlog, "NAME_PS.txt": every pit stop with its work and time in the pit
// lane, or as not completed; the count per car.
std::string checkPitStopReport(const GroundTruth& truth, const std::string& report);

// resetlog, "NAME_SR.txt": every reset and repair, whether the car stood in
// the pits, the warning for the resets seen only in a jump; the count per car.
std::string checkResetReport(const GroundTruth& truth, const std::string& report);

// exitwatch, "NAME_ESCinQ.txt": every car's first escape that was made
// standing outside the pit lane, with both session clocks.
std::string checkEscapeReport(const GroundTruth& truth, const std::string& report);

// contactscan in mode 1, "NAME.txt": every contact that cost time, every lost
// wheel, every rise of engine damage; no contact that cost nothing.
std::string checkProtestList(const GroundTruth& truth, const std::string& report);

}  // namespace zr::sampler
