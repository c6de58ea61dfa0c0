#include "raceboard_json.h"

#include "board_json.h"
#include "platform.h"
#include "value_format.h"

namespace zr {

namespace {

// The classification as the RESULT table lists it.
Json resultJson(const RaceboardData& d, const BoardFindings& f) {
    const LapTables& t = d.tables;
    std::vector<bool> taken;
    const std::vector<ResultRow> rows = classifyRace(t, t.slotCount, taken);
    Json list = Json::array();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ResultRow& row = rows[i];
        Json entry = f.driver(row.slot);
        entry["position"] = i + 1;
        entry["laps"] = t.race[row.slot].raceLapCount;
        entry["raceTime"] = Json();
        entry["lapsBehind"] = 0;
        entry["gapToWinner"] = Json();
        if (i == 0) {
            const std::int64_t time = static_cast<std::int64_t>(finalStamp(t, row)) - t.raceStartStamp;
            entry["raceTime"] = timeJson(time, raceTimeText(time));
        } else {
            const WinnerGap gap = gapToWinner(t, row, rows[0]);
            if (gap.lapsBehind) entry["lapsBehind"] = -gap.value;
            else entry["gapToWinner"] = timeJson(gap.value, gapText(gap.value));
        }
        std::int32_t before = 0;
        entry["gapToPrevious"] =
            i > 0 && gapToPrevious(t, row, rows[i - 1], before) ? timeJson(before, gapText(before)) : Json();
        list.push_back(entry);
    }
    return list;
}

}  // namespace

std::string raceboardJson(const RaceboardData& d, const RunPaths& paths, const std::string& page) {
    const BoardFindings f{
        d.tables, d.measure, d.history, !d.noSpeedMode,
        [&](int slot) { return boardDriverJson(slot, d.drivers.firstName(slot), d.drivers.lastName(slot)); },
        [&](int slot, int lap) { return positionAfterLap(d.tables, slot, lap); }};
    Json json = findingsHead("raceboard", paths, d.header);
    json["page"] = windows1252ToUtf8(page);
    json["mod"] = windows1252ToUtf8(d.header.modName);
    json["date"] = reportDate(d.fileTime);
    addBoardFindings(json, f, d.trackLength, d.tables.hasRaceTable ? resultJson(d, f) : Json());
    return jsonText(json);
}

}  // namespace zr
