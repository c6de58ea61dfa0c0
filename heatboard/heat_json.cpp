#include "heat_json.h"

#include "board_json.h"
#include "command_line.h"
#include "heat_stats.h"
#include "platform.h"
#include "value_format.h"

namespace zr {

namespace {

// Seconds and milliseconds, as the console shows a grid's start: 12.345s.
std::string startText(std::int32_t ms) {
    std::string thousandths = std::to_string(ms % 1000);
    return std::to_string(ms / 1000) + "." + std::string(3 - thousandths.size(), '0') + thousandths + "s";
}

std::string gridLetter(int slot) { return std::string(1, static_cast<char>('A' + slot / kReplaySlots)); }

// The combined classification as the RESULT table lists it.
Json resultJson(const HeatData& d, const BoardFindings& f) {
    const std::vector<HeatRow> rows = classifyHeat(d);
    Json list = Json::array();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const HeatRow& row = rows[i];
        Json entry = f.driver(row.slot);
        entry["position"] = i + 1;
        entry["laps"] = d.tables.race[row.slot].raceLapCount;
        entry["raceTime"] = timeJson(row.raceTime, raceTimeText(row.raceTime));
        entry["finished"] = row.finished;
        const std::int64_t gap = row.raceTime - finalElapsed(d, rows[0].slot);
        entry["gapToWinner"] = i > 0 && row.finished ? timeJson(gap, gapText(gap)) : Json();
        list.push_back(entry);
    }
    return list;
}

}  // namespace

std::string heatboardJson(const HeatData& d, const std::vector<StartedRun>& grids, const std::string& page,
                          bool withSpeeds) {
    const BoardFindings f{d.tables, d.measure, d.history, withSpeeds,
                          [&](int slot) {
                              Json driver = boardDriverJson(slot, d.drivers[slot].firstName, d.drivers[slot].lastName);
                              driver["grid"] = gridLetter(slot);
                              driver["carSlot"] = slot % kReplaySlots;
                              driver["you"] = d.isUser(slot);
                              return driver;
                          },
                          [&](int slot, int lap) { return placeAtLap(d, slot, lap); }};
    Json json;
    json["program"] = "heatboard";
    json["version"] = kVersion;
    Json gridList = Json::array();
    for (std::size_t g = 0; g < grids.size(); ++g) {
        const std::int32_t start = d.gridStartStamp[g];
        gridList.push_back({{"grid", gridLetter(static_cast<int>(g) * kReplaySlots)},
                            {"name", windows1252ToUtf8(grids[g].paths.replayName)},
                            {"file", windows1252ToUtf8(grids[g].paths.replayPath)},
                            {"start", start < kNoLap ? timeJson(start, startText(start)) : Json()}});
    }
    json["grids"] = gridList;
    json["page"] = windows1252ToUtf8(page);
    json["track"] = windows1252ToUtf8(d.reportTrackName);
    json["mod"] = windows1252ToUtf8(d.modName);
    json["frameRate"] = d.frameRate;
    addBoardFindings(json, f, d.trackLength, d.tables.hasRaceTable ? resultJson(d, f) : Json());
    return jsonText(json);
}

}  // namespace zr
