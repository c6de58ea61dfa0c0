// racenight's one door into the seven programs' analyses: what runs on one
// opened replay, and heatboard's page over the grids of an event. Every call
// into a program's library is made in analyses.cpp; the rest of racenight
// sees only the plain records below and the report files.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "front_end.h"
#include "report_file.h"

namespace zr {

struct HeatData;

namespace night {

// What the dialogues would have asked for, given once for the whole night.
struct AnalysisSettings {
    std::string tracksDir;        // with a final separator; empty: "tracks" beside each replay's folder
    TimeDiffSettings timeDiff;    // exitwatch's session cut and absence limit
    std::optional<std::string> myName;  // heatboard's user, "First Last"; none: no yellow rows
};

// One driver's race (or, without a race table, his practice) lap by lap.
struct DriverSeries {
    std::string name;  // as stored (Windows-1252)
    int carMake = -1;
    std::vector<int> positions;          // after laps 1, 2, ...; 0 where he has no stamp
    std::vector<std::int32_t> lapTimes;  // ms of laps 1, 2, ...; 0 for a void lap
};

// Counts of one analysis; absent where it did not run on the replay.
using Count = std::optional<int>;

struct ReplayFacts {
    std::string track;  // as stored
    std::string mod;
    std::string date;   // the file time as the page titles show it: " 7. DEC 2026"
    bool raceTable = false;
    bool serverReplay = false;
    int cars = 0;
    int laps = 0;             // race laps of the leader; 0 without a race table
    std::string winner;       // as stored; empty without a race table
    std::string fastestDriver;
    std::int32_t fastestLapMs = 0;  // 0: none
    Count contacts, lostWheels, engineDamages, pitStops, resets, escapes, disconnects;
    std::vector<DriverSeries> drivers;  // in the order of the result (or of the fastest laps)
};

// Everything one replay gave: its facts, the reports to write (in the order
// the programs would write them), and warnings about findings that are
// weaker than they look.
struct AnalysedReplay {
    ReplayFacts facts;
    std::vector<ReportFile> reports;
    std::vector<std::string> warnings;
    std::string error;  // an analysis that could not run at all
};

// Called before each analysis with its program's name.
using AnalysisStep = std::function<void(const char* program)>;

// The paths the programs would work with for the replay at `path`, named
// `name`: the tracks folder from the settings or beside the replay's folder.
RunPaths replayPaths(const std::string& path, const std::string& name, const AnalysisSettings& settings);

// Why the replay cannot be analysed at all (too short for its header and
// driver table, no lap records, no event record); empty when it can.
std::string replayDamage(const Replay& replay);

// Whether the event stream is whole; false when the file ends inside an
// event record, as a recording cut short does.
bool streamIsWhole(const Replay& replay);

// Every analysis the replay calls for: raceboard's normal page; with a race
// table contactscan (mode 1, with the protest script where the name carries
// race number and grid), boxlog, resetlog and dropwatch; without one exitwatch.
// `run` holds the open replay and its paths (see replayPaths); nothing goes
// to the console.
AnalysedReplay analyseReplay(StartedRun& run, const AnalysisSettings& settings, const AnalysisStep& step);

// The race number and grid (1 to 5 for A to E, else 0) that contactscan reads
// from a replay name.
std::string raceNumberOfName(const std::string& name);
int gridOfName(const std::string& name);

// heatboard over the grids of one event, fed grid by grid in order A to E.
struct EventHeat {
    explicit EventHeat(const AnalysisSettings& settings);
    ~EventHeat();
    EventHeat(const EventHeat&) = delete;
    EventHeat& operator=(const EventHeat&) = delete;

    // Reads a grid's replay; false (and no grid taken) for a replay recorded
    // by a participant, which heatboard refuses.
    bool addGrid(const Replay& replay, const std::string& name);
    // The page after the last grid; none when no grid was taken.
    std::optional<ReportFile> page();

private:
    std::unique_ptr<HeatData> data_;
    std::string meFirst_, meSecond_;  // the user's first name and the rest
    std::string baseName_;
};

}  // namespace night
}  // namespace zr
