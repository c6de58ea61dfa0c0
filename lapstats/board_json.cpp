#include "board_json.h"

#include "platform.h"
#include "value_format.h"

namespace zr {

namespace {

// A best lap; null when the slot has no record or no lap counted.
Json bestJson(const LapBest& best, bool offTrack) {
    if (best.time <= 0 || best.time >= kNoLap) return Json();
    return {{"lap", best.lap}, {"time", timeJson(best.time, lapTimeText(best.time))}, {"offTrack", offTrack}};
}

Json practiceJson(const LapTables& t, int slot) {
    const PracticeLaps& p = t.practice[slot];
    return {{"laps", p.practiceLapCount},
            {"fastestLap", bestJson(p.bestPracticeLap, t.offTrackPractice(slot, p.bestPracticeLap.lap))},
            {"fastestOnTrackLap", bestJson(p.bestOnTrackPracticeLap, false)}};
}

Json raceJson(const BoardFindings& f, int slot) {
    const LapTables& t = f.tables;
    const RaceLaps& r = t.race[slot];
    Json laps = Json::array();
    for (int lap = 1; lap <= r.raceLapCount && lap < kLapRows; ++lap) {
        const int place = f.placeAfterLap(slot, lap);
        laps.push_back({{"lap", lap},
                        {"time", timeJson(r.raceLapTimes[lap], lapTimeText(r.raceLapTimes[lap]))},
                        {"offTrack", t.offTrackRace(slot, lap)},
                        {"place", place > 0 ? Json(place) : Json()}});
    }
    const Consistency c = consistencyOf(t, slot);
    Json consistency;
    if (c.has)
        consistency = {{"averageLap", timeJson(c.average, lapTimeText(c.average))},
                       {"aboveFastest", timeJson(c.gap, secondsText(c.gap))},
                       {"percent", static_cast<double>(c.percent) / 100.0}};
    return {{"laps", r.raceLapCount},
            {"onTrackLaps", r.onTrackRaceLaps},
            {"fastestLap", bestJson(r.bestRaceLap, t.offTrackRace(slot, r.bestRaceLap.lap))},
            {"fastestOnTrackLap", bestJson(r.bestOnTrackRaceLap, false)},
            {"consistency", consistency},
            {"fastestLapPoints", slot < static_cast<int>(f.history.fastestLapCount.size())
                                     ? f.history.fastestLapCount[slot]
                                     : 0},
            {"lapTimes", laps}};
}

// The sectors of the fastest race lap, where they were measured; speeds
// unless the page leaves them out.
Json fastestLapSectorsJson(const BoardFindings& f, int slot) {
    const auto& marks = f.measure.sectorMarks[slot];
    const LapSpeeds& v = f.measure.lapSpeeds[slot];
    if (marks[3] <= 0 || f.tables.race[slot].bestRaceLap.time >= kNoLap) return Json();
    Json sectors = Json::array();
    for (int k = 1; k < kLapPoints; ++k) {
        const std::int32_t time = sectorTime(f.measure, f.tables, slot, k);
        Json sector = {{"sector", k}, {"time", timeJson(time, shortTimeText(time))}};
        if (f.speeds) {
            sector["minSpeed"] = speedJson(v.min[k]);
            sector["maxSpeed"] = speedJson(v.max[k]);
        }
        sectors.push_back(sector);
    }
    Json lap = {{"sectors", sectors}};
    if (f.speeds) {
        lap["minSpeed"] = speedJson(v.min[0]);
        lap["maxSpeed"] = speedJson(v.max[0]);
    }
    return lap;
}

}  // namespace

Json boardDriverJson(int slot, const std::string& firstName, const std::string& lastName) {
    return {{"slot", slot}, {"name", windows1252ToUtf8(firstName + " " + lastName)}};
}

Json speedJson(std::int64_t v) { return {{"kmh", static_cast<double>(v) / 100.0}, {"text", speed2Text(v)}}; }

Json boardDriverFacts(const BoardFindings& f, int slot) {
    Json driver = f.driver(slot);
    driver["practice"] = practiceJson(f.tables, slot);
    driver["race"] = raceJson(f, slot);
    driver["fastestRaceLapMeasured"] = fastestLapSectorsJson(f, slot);
    return driver;
}

Json boardDriversJson(const BoardFindings& f) {
    Json list = Json::array();
    for (int slot = 0; slot < f.tables.slotCount; ++slot) {
        const Json driver = f.driver(slot);
        const bool named = driver["name"] != " ";
        const bool hasRecord = f.tables.practice[slot].bestPracticeLap.time != 0 ||
                               f.tables.race[slot].bestRaceLap.time != 0 || f.tables.race[slot].raceLapCount > 0;
        if (named || hasRecord) list.push_back(boardDriverFacts(f, slot));
    }
    return list;
}

Json lapLeadersJson(const BoardFindings& f) {
    Json list = Json::array();
    const std::vector<int>& leader = f.history.lapLeader;
    for (int lap = 1; lap <= f.tables.maxRaceLaps && lap < static_cast<int>(leader.size()); ++lap) {
        if (leader[lap] == 0) continue;
        Json entry = f.driver(leader[lap]);
        entry["lap"] = lap;
        list.push_back(entry);
    }
    return list;
}

Json fastestLapDevelopmentJson(const BoardFindings& f) {
    Json list = Json::array();
    for (const auto& [slot, lap] : f.history.fastestLapHistory) {
        const std::int32_t time = f.tables.race[slot].raceLapTimes[lap];
        Json entry = f.driver(slot);
        entry["lap"] = lap;
        entry["time"] = timeJson(time, lapTimeText(time));
        list.push_back(entry);
    }
    return list;
}

void addBoardFindings(Json& json, const BoardFindings& f, std::int32_t trackLength, Json result) {
    json["withSpeeds"] = f.speeds;
    json["trackLengthMetres"] = positionMetres(trackLength);
    json["hasRaceTable"] = f.tables.hasRaceTable;
    json["raceLaps"] = f.tables.maxRaceLaps;
    json["drivers"] = boardDriversJson(f);
    json["result"] = f.tables.hasRaceTable ? std::move(result) : Json::array();
    json["lapLeaders"] = lapLeadersJson(f);
    json["fastestLapDevelopment"] = fastestLapDevelopmentJson(f);
}

}  // namespace zr
