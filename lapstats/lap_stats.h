// The lap statistics of raceboard and heatboard, over lap tables of any slot
// count: rankings, lap history, race classification, positions after a lap,
// consistency, on-track share and the colour scale of the lap tables. All
// values are integers in milliseconds and 1/100 km/h.
#pragma once

#include <cstdint>
#include <vector>

#include "lap_measure.h"
#include "lap_tables.h"

namespace zr {

constexpr std::int32_t kLapFloor = 30000;  // bests of 30 s or less are not listed

// An ordered list of car slots.
struct Ranking {
    std::vector<int> slots;
    int length() const { return static_cast<int>(slots.size()); }
};

enum class Prefer { smallest, largest };

struct RankingRule {
    Prefer prefer;
    bool laterSlotWinsTies;  // an equal value replaces the earlier pick
    bool skipsSlot0;         // slot 0 stands for "none" and is never listed
};

// The selection procedure: at most `maxRows` times, among the slots not yet
// taken that qualify, the best value (ties by slot order) is appended.
Ranking rankSlots(const std::vector<std::int64_t>& value, const std::vector<bool>& qualifies, RankingRule rule,
                  int maxRows);

struct Rankings {
    Ranking fastestPracticeLaps;
    Ranking fastestOnTrackPracticeLaps;
    Ranking fastestRaceLaps;
    Ranking fastestOnTrackRaceLaps;
    Ranking sector[5];  // 1 to 4; the sector lists of server replays
    Ranking maximumSpeed;
    Ranking onTrackLaps;
    Ranking consistency;
    Ranking numberOfFastestLaps;
};

struct RankingOptions {
    bool sectorLists;       // sector and maximum-speed lists (server replays with a race table)
    bool skipsSlot0Always;  // also in the consistency and number-of-fastest-laps lists
    int maxRows;
};

struct LapHistory {
    std::vector<int> lapLeader;  // per race lap; 0 when nobody; entry 0 and the one after the last lap are 0
    std::vector<std::pair<int, int>> fastestLapHistory;  // (slot, lap) for each lap that lowered the fastest lap
    std::vector<std::int32_t> fastestLapCount;           // per slot
};

// The console's marks of the sector lists as they are built: after the
// sector 2 list and after the sector 3 list.
constexpr const char* kSectorListsConsole = "SECTOR 3=\n\nSECTOR 4=\n";

Rankings buildRankings(const LapTables& tables, const FastestLapMeasure& measure, const LapHistory& history,
                       const RankingOptions& options);

// The slot's race stamp at `lap` minus the origin of its clock (heatboard:
// its grid's start), as the classification and the leaders compare it.
// `origin` may be empty: every clock starts at 0.
std::int64_t elapsedAt(const LapTables& tables, const std::vector<std::int32_t>& origin, int slot, int lap);

// Leaders, fastest-lap development and fastest-lap points for race laps 1 to
// `lastLap`.
LapHistory computeLapHistory(const LapTables& tables, int lastLap, const std::vector<std::int32_t>& origin = {});

struct ResultRow {
    int slot;
    int level;  // laps completed at which the row was picked
};

// Classification by lap levels from maxRaceLaps down: at each level the slots
// with that many laps, smallest stamp at that lap first. Slots marked in
// `taken` are left out and the picked ones are marked.
std::vector<ResultRow> classifyRace(const LapTables& tables, int maxRows, std::vector<bool>& taken,
                                    const std::vector<std::int32_t>& origin = {});

std::int32_t finalStamp(const LapTables& tables, const ResultRow& row);

// Gap of a row to the winner: laps behind (negative) when the row's level is
// below maxRaceLaps, else the difference of final stamps.
struct WinnerGap {
    bool lapsBehind;
    std::int32_t value;
};
WinnerGap gapToWinner(const LapTables& tables, const ResultRow& row, const ResultRow& winner);

// Gap to the row before, when that driver completed as many laps as this row's level.
bool gapToPrevious(const LapTables& tables, const ResultRow& row, const ResultRow& previous, std::int32_t& gap);

// `own` for the recording driver's row (a server replay, slot 0, has none).
enum class RowShade { none, own, darkGrey, lightGrey };
RowShade resultShade(const ResultRow& row, std::int32_t maxRaceLaps, std::int32_t localDriverSlot);

// The position columns of the result: C columns for laps c * maxRaceLaps / C.
int positionColumns(std::int32_t maxRaceLaps);
int columnLap(int column, std::int32_t maxRaceLaps);
// The driver's place in the line after `lap`, 0 when he has no stamp there.
int positionAfterLap(const LapTables& tables, int slot, int lap);

struct Consistency {
    bool has = false;  // more than 2 race laps
    std::int32_t average = 0;
    std::int32_t gap = 0;      // average minus the fastest lap
    std::int32_t percent = 0;  // hundredths of a percent above the fastest lap
};
Consistency consistencyOf(const LapTables& tables, int slot);

std::int32_t onTrackPermille(const LapTables& tables, int slot);

// The lap numbers shown as "fl" in the four lap lists.
enum class LapList { practice, onTrackPractice, race, onTrackRace };
std::int32_t listedLapNumber(const LapTables& tables, LapList list, int slot);
std::int32_t listedLapCount(const LapTables& tables, LapList list, int slot);
std::int32_t listedLapTime(const LapTables& tables, LapList list, int slot);
// Whether the listed lap of the fastest practice or race list was off track.
bool listedLapOffTrack(const LapTables& tables, LapList list, int slot);

// A cell colour of the participant's lap tables: green fading to white within
// about 2 % of the best, red from about 3 % slower. `value` is the colour byte.
struct ScaleColour {
    enum Kind { none, green, red } kind = none;
    std::int64_t value = 0;
};
ScaleColour timeScale(std::int64_t t, std::int64_t best);
ScaleColour maxSpeedScale(std::int64_t v, std::int64_t best);
ScaleColour minSpeedScale(std::int64_t v, std::int64_t best);

}  // namespace zr
