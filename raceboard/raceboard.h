// raceboard: lap statistics of one replay as an HTML page.
//
// The findings come in two steps, so that the dialogue's driver menu can sit
// between reading the tables and the slow measurements; a run without the
// dialogue takes both at once. The console lines of the analysis go to a
// sink: the console in the dialogue, a string or nowhere elsewhere.
#pragma once

#include <iosfwd>
#include <optional>

#include "console_sink.h"
#include "front_end.h"
#include "html_report.h"

namespace zr {

struct RaceboardSettings {
    bool noSpeedMode = false;  // the page without sector speeds
};

// What the console shows when the replay's file time cannot be read; the run
// then ends with exit code 1.
extern const char* const kNoFileTimeText;

// The first step: the replay's file time, its header, driver and lap tables,
// and, when the driver menu is offered, the lap history it shows. The console
// gets the tracks folder, the track and the mod name. Nothing when the file
// time cannot be read.
std::optional<RaceboardData> readRaceboardTables(const StartedRun& run, ConsoleSink& console);

// The dialogue offers the driver menu for a race table of more than 2 drivers.
bool offersDriverMenu(const RaceboardData& data);

// The second step: track length, the sector and speed measurements, the own
// table's bests, then the rankings, with their console lines.
void measureAndRank(Bytes replay, RaceboardData& data, ConsoleSink& console);

// Both steps without the dialogue: the normal page, as if 0 had been typed in
// the menu, unless the settings ask for the page without sector speeds.
std::optional<RaceboardData> raceboardFindings(const StartedRun& run, const RaceboardSettings& settings,
                                               ConsoleSink& console);

// The whole program: console dialogue, analysis, page; returns the exit code.
int runRaceboard(std::istream& in, std::ostream& out);

}  // namespace zr
