// raceboard's HTML page: title, result with position history, leaders,
// development of the fastest lap, the statistics table and, for a replay
// recorded by a participant, the own lap tables and ideal laps. The page links
// the shared style sheet "Zant_Raceboards.css" and the logos in images/.
#pragma once

#include <memory>
#include <string>

#include "driver_table.h"
#include "lap_measure.h"
#include "lap_stats.h"
#include "lap_tables.h"
#include "own_laps.h"
#include "replay_header.h"

namespace zr {

// Everything the page is made from.
struct RaceboardData {
    ReplayHeader header;    // reportTrackName upper-cased
    std::string fileTime;   // the replay's time in the ctime layout, month upper-cased
    DriverTable drivers;
    LapTables tables;
    FastestLapMeasure measure;
    std::unique_ptr<OwnSectorTable> own = std::make_unique<OwnSectorTable>();
    LapHistory history;
    Rankings rankings;
    bool noSpeedMode = false;
    std::int64_t streamStart = 0;  // the first event record: the measurements begin there
};

// The title's date: day (two characters, a blank before days below 10),
// ". ", month, " ", year.
std::string reportDate(const std::string& fileTime);

// The report file name: the replay name, "no_v" without sector speeds, ".html".
std::string reportName(const std::string& replayName, bool noSpeedMode);

// The page text (line feeds; stored as CR LF).
std::string raceboardReport(const RaceboardData& data);

}  // namespace zr
