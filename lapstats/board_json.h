// The findings of raceboard and heatboard as JSON: per driver the laps and
// bests of practice and race, lap times and places lap by lap, sector times
// and speeds of the fastest race lap, consistency and fastest-lap points, and
// the leader of every race lap. Times are milliseconds with the page's text,
// speeds km/h with the page's text.
#pragma once

#include <functional>

#include "findings_json.h"
#include "lap_measure.h"
#include "lap_stats.h"
#include "lap_tables.h"

namespace zr {

struct BoardFindings {
    const LapTables& tables;
    const FastestLapMeasure& measure;
    const LapHistory& history;
    bool speeds;  // the page shows speed values
    // The driver of a slot: "slot" and "name" first, then what the program adds.
    std::function<Json(int slot)> driver;
    // The driver's place in the race after `lap`, 0 when he has no stamp there.
    std::function<int(int slot, int lap)> placeAfterLap;
};

// {"slot": ..., "name": "First Last"}, the name as UTF-8.
Json boardDriverJson(int slot, const std::string& firstName, const std::string& lastName);

// {"kmh": 254.07, "text": "254.07"} of a speed in 1/100 km/h.
Json speedJson(std::int64_t v);

// Everything the tables hold about one slot.
Json boardDriverFacts(const BoardFindings& f, int slot);

// Every slot that has a name or a lap record, in slot order.
Json boardDriversJson(const BoardFindings& f);

// The leader after each race lap 1 to maxRaceLaps (laps without one left out).
Json lapLeadersJson(const BoardFindings& f);

// Each race lap that lowered the fastest lap: lap, driver, lap time.
Json fastestLapDevelopmentJson(const BoardFindings& f);

// The fields both programs end with: withSpeeds, trackLengthMetres,
// hasRaceTable, raceLaps, drivers, result (given; empty without race table),
// lapLeaders and fastestLapDevelopment.
void addBoardFindings(Json& json, const BoardFindings& f, std::int32_t trackLength, Json result);

}  // namespace zr
