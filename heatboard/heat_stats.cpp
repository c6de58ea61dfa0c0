#include "heat_stats.h"

#include <algorithm>

namespace zr {

namespace {

constexpr int kRankLines = 10;
constexpr int kLastRankedLap = 127;

bool hasLapRow(std::int64_t lap) { return lap >= 0 && lap < kLapRows; }

}  // namespace

std::int64_t finalElapsed(const HeatData& data, int slot) {
    const int laps = data.tables.race[slot].raceLapCount;
    if (!hasLapRow(laps)) return 0;
    return elapsedAt(data.tables, data.gridOrigins(), slot, laps);
}

std::vector<HeatRow> classifyHeat(const HeatData& data) {
    const LapTables& t = data.tables;
    const std::vector<std::int32_t> origin = data.gridOrigins();
    std::vector<HeatRow> rows;
    const int slots = t.slotCount;
    std::vector<bool> taken(slots, false);

    // Finishers, each with his key. Slot 0 stands for "none" and is never chosen.
    std::vector<std::int64_t> key(slots, 0);
    std::vector<bool> finisher(slots, false);
    for (int s = 1; s < slots; ++s) {
        const RaceLaps& r = t.race[s];
        if (r.raceStamps[0] <= 0 || !hasLapRow(r.raceLapCount)) continue;
        if (r.raceStamps[r.raceLapCount] < data.gridWinnerStamp[s / kReplaySlots]) continue;
        const std::int64_t laps = r.raceLapCount;
        const std::int64_t elapsed = elapsedAt(t, origin, s, r.raceLapCount);
        finisher[s] = true;
        // A finisher with fewer laps is extrapolated with his average lap.
        key[s] = laps > 0 ? (t.maxRaceLaps - laps) * ((elapsed - kFlagLapAllowance) / laps) + elapsed : elapsed;
    }
    while (true) {
        int best = -1;
        for (int s = 1; s < slots; ++s)
            if (finisher[s] && !taken[s] && (best < 0 || key[s] < key[best])) best = s;
        if (best < 0) break;
        taken[best] = true;
        rows.push_back({best, key[best], true});
    }

    // The others, by laps completed and the elapsed time at their last lap.
    for (const ResultRow& row : classifyRace(t, kGridSlots, taken, origin))
        rows.push_back({row.slot, elapsedAt(t, origin, row.slot, row.level), false});
    return rows;
}

int tenthLap(int j, std::int32_t maxRaceLaps) { return j * maxRaceLaps / 10; }

int placeAtLap(const HeatData& data, int slot, int lap) {
    const LapTables& t = data.tables;
    if (!hasLapRow(lap) || t.race[slot].raceStamps[lap] <= 0) return 0;
    const std::vector<std::int32_t> origin = data.gridOrigins();
    const std::int64_t own = elapsedAt(t, origin, slot, lap);
    int place = 0;
    for (int s = 0; s < t.slotCount; ++s)
        if (t.race[s].raceStamps[lap] > 0 && elapsedAt(t, origin, s, lap) <= own) ++place;
    return place;
}

std::vector<LeaderRun> leaderRuns(const LapHistory& history, std::int32_t maxRaceLaps) {
    std::vector<LeaderRun> runs;
    const std::vector<int>& leader = history.lapLeader;
    const int last = std::min<int>(maxRaceLaps, static_cast<int>(leader.size()) - 1);
    int from = 1;
    for (int lap = 1; lap <= last; ++lap) {
        if (lap < last && leader[lap + 1] == leader[lap]) continue;
        runs.push_back({leader[lap], from, lap});
        from = lap + 1;
    }
    return runs;
}

std::string lapRankTable(const HeatData& data, int slot) {
    const LapTables& t = data.tables;
    const int maxLaps = t.maxRaceLaps;
    const int lastLap = std::min(maxLaps, kLapRows - 1);
    std::vector<int> rank(std::max(lastLap, 0) + 1, 0);
    const RaceLaps& own = t.race[slot];
    // Lap 0 holds the first stamp; the ranks stop at the first lap without a time.
    for (int lap = 0; lap <= lastLap && own.raceLapTimes[lap] != 0; ++lap) {
        rank[lap] = 1;
        for (int s = 1; s < t.slotCount; ++s) {
            const std::int32_t time = t.race[s].raceLapTimes[lap];
            if (time > 0 && time < own.raceLapTimes[lap]) ++rank[lap];
        }
    }

    std::string text;
    for (int line = 0; line < kRankLines; ++line) {
        for (int lap = line + 1; lap <= lastLap && lap <= kLastRankedLap; lap += kRankLines) {
            if (lap < 10) text += " ";
            if (lap < 11) text += std::to_string(lap) + " | ";
            text += rank[lap] < 10 ? " " : "";
            text += rank[lap] < 1 ? std::string("-") : std::to_string(rank[lap]);
            text += " ";
        }
        text += " \n";
    }
    const int groups = maxLaps / 10 + 1;
    text += "   ";
    for (int k = 0; k <= groups; ++k) text += "***";
    text += "\n     ";
    for (int k = 1; k <= groups; ++k) text += std::to_string(10 * k) + " ";
    return text + "\n";
}

}  // namespace zr
