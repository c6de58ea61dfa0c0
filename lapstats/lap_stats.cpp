#include "lap_stats.h"

#include <algorithm>

namespace zr {

Ranking rankSlots(const std::vector<std::int64_t>& value, const std::vector<bool>& qualifies, RankingRule rule,
                  int maxRows) {
    Ranking ranking;
    const int n = static_cast<int>(value.size());
    std::vector<bool> taken(n, false);
    for (int row = 0; row < maxRows; ++row) {
        int best = -1;
        for (int s = rule.skipsSlot0 ? 1 : 0; s < n; ++s) {
            if (taken[s] || !qualifies[s]) continue;
            if (best < 0) {
                best = s;
                continue;
            }
            bool better = rule.prefer == Prefer::smallest ? value[s] < value[best] : value[s] > value[best];
            if (better || (rule.laterSlotWinsTies && value[s] == value[best])) best = s;
        }
        if (best < 0) break;
        taken[best] = true;
        ranking.slots.push_back(best);
    }
    return ranking;
}

namespace {

// Fills values and qualification per slot from `f(slot, value) -> qualifies`.
template <class F>
Ranking rankBy(int slots, RankingRule rule, int maxRows, F f) {
    std::vector<std::int64_t> value(slots, 0);
    std::vector<bool> qualifies(slots, false);
    for (int s = 0; s < slots; ++s) qualifies[s] = f(s, value[s]);
    return rankSlots(value, qualifies, rule, maxRows);
}

bool isListedLap(std::int64_t time) { return time > kLapFloor && time < kNoLap; }

std::int32_t originOf(const std::vector<std::int32_t>& origin, int slot) {
    return slot < static_cast<int>(origin.size()) ? origin[slot] : 0;
}

// A (time, lap) best of the four lap lists.
const LapBest& listedBest(const LapTables& tables, LapList list, int slot) {
    switch (list) {
        case LapList::practice: return tables.practice[slot].bestPracticeLap;
        case LapList::onTrackPractice: return tables.practice[slot].bestOnTrackPracticeLap;
        case LapList::race: return tables.race[slot].bestRaceLap;
        case LapList::onTrackRace: break;
    }
    return tables.race[slot].bestOnTrackRaceLap;
}

}  // namespace

std::int32_t listedLapTime(const LapTables& tables, LapList list, int slot) {
    return listedBest(tables, list, slot).time;
}

std::int32_t listedLapNumber(const LapTables& tables, LapList list, int slot) {
    return listedBest(tables, list, slot).lap;
}

std::int32_t listedLapCount(const LapTables& tables, LapList list, int slot) {
    bool practice = list == LapList::practice || list == LapList::onTrackPractice;
    return practice ? tables.practice[slot].practiceLapCount : tables.race[slot].raceLapCount;
}

bool listedLapOffTrack(const LapTables& tables, LapList list, int slot) {
    if (list == LapList::practice) return tables.offTrackPractice(slot, listedLapNumber(tables, list, slot));
    if (list == LapList::race) return tables.offTrackRace(slot, listedLapNumber(tables, list, slot));
    return false;
}

Rankings buildRankings(const LapTables& tables, const FastestLapMeasure& measure, const LapHistory& history,
                       const RankingOptions& options) {
    const int n = tables.slotCount;
    const int rows = options.maxRows;
    const RankingRule smallest{Prefer::smallest, false, true};
    const RankingRule largest{Prefer::largest, false, true};
    Rankings r;

    auto lapList = [&](LapList list) {
        return rankBy(n, smallest, rows, [&](int s, std::int64_t& v) {
            v = listedLapTime(tables, list, s);
            return isListedLap(v);
        });
    };
    r.fastestPracticeLaps = lapList(LapList::practice);
    r.fastestOnTrackPracticeLaps = lapList(LapList::onTrackPractice);
    r.fastestRaceLaps = lapList(LapList::race);
    r.fastestOnTrackRaceLaps = lapList(LapList::onTrackRace);

    if (options.sectorLists) {
        for (int k = 1; k <= 4; ++k) {
            r.sector[k] = rankBy(n, smallest, rows, [&](int s, std::int64_t& v) {
                v = sectorTime(measure, tables, s, k);
                // Sector 4 runs from the third mark to the end of the fastest
                // lap: both must exist.
                if (k == 4 && (measure.sectorMarks[s][3] <= 0 || tables.race[s].bestRaceLap.time >= kNoLap))
                    return false;
                return v > 0;
            });
        }
        r.maximumSpeed = rankBy(n, largest, rows, [&](int s, std::int64_t& v) {
            v = measure.lapSpeeds[s].max[0];
            return v > 0;
        });
    }

    r.onTrackLaps = rankBy(n, RankingRule{Prefer::largest, true, true}, rows, [&](int s, std::int64_t& v) {
        v = tables.race[s].onTrackRaceLaps;
        return v > 0;
    });
    r.consistency = rankBy(n, RankingRule{Prefer::smallest, false, options.skipsSlot0Always}, rows,
                           [&](int s, std::int64_t& v) {
                               Consistency c = consistencyOf(tables, s);
                               v = c.gap;
                               return c.has && v < kNoLap;
                           });
    r.numberOfFastestLaps = rankBy(n, RankingRule{Prefer::largest, false, options.skipsSlot0Always}, rows,
                                   [&](int s, std::int64_t& v) {
                                       v = s < static_cast<int>(history.fastestLapCount.size())
                                               ? history.fastestLapCount[s]
                                               : 0;
                                       return v > 0;
                                   });
    return r;
}

std::int64_t elapsedAt(const LapTables& tables, const std::vector<std::int32_t>& origin, int slot, int lap) {
    return static_cast<std::int64_t>(tables.race[slot].raceStamps[lap]) - originOf(origin, slot);
}

LapHistory computeLapHistory(const LapTables& tables, int lastLap, const std::vector<std::int32_t>& origin) {
    const int n = tables.slotCount;
    lastLap = std::min(lastLap, kLapRows - 1);
    LapHistory h;
    h.lapLeader.assign(std::max(lastLap, 0) + 2, 0);
    h.fastestLapCount.assign(n, 0);
    std::int32_t overall = kNoLap;
    for (int lap = 1; lap <= lastLap; ++lap) {
        std::int32_t fastest = kNoLap;
        int candidate = 0;
        int leader = -1;
        for (int s = 0; s < n; ++s) {
            const RaceLaps& r = tables.race[s];
            const std::int32_t t = r.raceLapTimes[lap];
            if (t > 0 && t < fastest) fastest = t;
            if (t > 0 && t < overall) {
                overall = t;
                candidate = s;
            }
            if (r.raceStamps[lap] > 0 &&
                (leader < 0 || elapsedAt(tables, origin, s, lap) < elapsedAt(tables, origin, leader, lap)))
                leader = s;
        }
        if (candidate > 0) h.fastestLapHistory.push_back({candidate, lap});
        h.lapLeader[lap] = std::max(leader, 0);
        for (int s = 0; s < n; ++s)
            if (tables.race[s].raceLapTimes[lap] == fastest) ++h.fastestLapCount[s];
    }
    return h;
}

std::vector<ResultRow> classifyRace(const LapTables& tables, int maxRows, std::vector<bool>& taken,
                                    const std::vector<std::int32_t>& origin) {
    const int n = tables.slotCount;
    taken.resize(n, false);
    std::vector<ResultRow> rows;
    // A level of -1 (a record without entries) has no stamp to compare.
    for (int level = std::min(tables.maxRaceLaps, kLapRows - 1); level >= 0; --level) {
        while (static_cast<int>(rows.size()) < maxRows) {
            int best = -1;
            for (int s = 1; s < n; ++s) {  // slot 0 stands for "none"
                const RaceLaps& r = tables.race[s];
                if (taken[s] || r.raceLapCount != level || r.raceStamps[0] <= 0 || r.raceStamps[level] >= kNoLap)
                    continue;
                if (best < 0 || elapsedAt(tables, origin, s, level) < elapsedAt(tables, origin, best, level))
                    best = s;
            }
            if (best < 0) break;
            taken[best] = true;
            rows.push_back({best, level});
        }
    }
    return rows;
}

std::int32_t finalStamp(const LapTables& tables, const ResultRow& row) {
    return tables.race[row.slot].raceStamps[row.level];
}

WinnerGap gapToWinner(const LapTables& tables, const ResultRow& row, const ResultRow& winner) {
    if (row.level < tables.maxRaceLaps) return {true, row.level - tables.maxRaceLaps};
    return {false, finalStamp(tables, row) - finalStamp(tables, winner)};
}

bool gapToPrevious(const LapTables& tables, const ResultRow& row, const ResultRow& previous, std::int32_t& gap) {
    if (tables.race[previous.slot].raceLapCount != row.level) return false;
    gap = finalStamp(tables, row) - finalStamp(tables, previous);
    return true;
}

RowShade resultShade(const ResultRow& row, std::int32_t maxRaceLaps, std::int32_t localDriverSlot) {
    if (localDriverSlot > 0 && row.slot == localDriverSlot) return RowShade::own;
    const std::int64_t level = static_cast<std::int64_t>(row.level) * 100;
    if (level < static_cast<std::int64_t>(maxRaceLaps) * 80) return RowShade::darkGrey;
    if (level < static_cast<std::int64_t>(maxRaceLaps) * 90) return RowShade::lightGrey;
    return RowShade::none;
}

int positionColumns(std::int32_t maxRaceLaps) {
    if (maxRaceLaps < 1) return 0;
    return maxRaceLaps / ((maxRaceLaps - 1) / 20 + 1);
}

int columnLap(int column, std::int32_t maxRaceLaps) {
    int columns = positionColumns(maxRaceLaps);
    return columns > 0 ? column * maxRaceLaps / columns : 0;
}

int positionAfterLap(const LapTables& tables, int slot, int lap) {
    if (lap < 0 || lap >= kLapRows) return 0;
    const std::int32_t own = tables.race[slot].raceStamps[lap];
    if (own <= 0) return 0;
    int place = 0;
    for (int s = 0; s < tables.slotCount; ++s) {
        const std::int32_t t = tables.race[s].raceStamps[lap];
        if (t > 0 && t <= own) ++place;
    }
    return place;
}

Consistency consistencyOf(const LapTables& tables, int slot) {
    Consistency c;
    const RaceLaps& r = tables.race[slot];
    const int n = r.raceLapCount;
    if (n <= 2 || n >= kLapRows) return c;
    const std::int64_t sum = static_cast<std::int64_t>(r.raceStamps[n]) - r.raceStamps[1];  // laps 2 to n
    const std::int64_t best = r.bestRaceLap.time;
    c.has = true;
    c.average = static_cast<std::int32_t>(sum / (n - 1));
    c.gap = static_cast<std::int32_t>(std::clamp<std::int64_t>(sum / (n - 1) - best, INT32_MIN, INT32_MAX));
    c.percent = truncateToInt(static_cast<double>(sum) / (n - 1) * 10000.0 / static_cast<double>(best) - 10000.0);
    return c;
}

std::int32_t onTrackPermille(const LapTables& tables, int slot) {
    const RaceLaps& r = tables.race[slot];
    if (r.raceLapCount <= 0) return 0;
    return static_cast<std::int32_t>(static_cast<std::int64_t>(r.onTrackRaceLaps) * 1000 / r.raceLapCount);
}

namespace {

// A colour byte outside 0 to 255 (values that were never measured) gives no colour.
ScaleColour colour(ScaleColour::Kind kind, std::int64_t value) {
    if (value < 0 || value > 255) return {};
    return {kind, value};
}

// Speeds compare through 10^7 / (v + 200) and 10^8 / (v + 200); green from
// `greenBase` (the best value's g) and red with `redOffset`.
ScaleColour speedScale(std::int64_t v, std::int64_t w, std::int64_t greenScale, std::int64_t greenShift,
                       std::int64_t redOffset) {
    if (v <= 0 || w <= 0) return {};
    const std::int64_t a = 10000000 / (v + 200), b = 10000000 / (w + 200);
    if (b != 0) {
        const std::int64_t g = a * greenScale / b;
        if (g - greenShift <= 255) return colour(ScaleColour::green, g - greenShift);
    }
    const std::int64_t c = 100000000 / (w + 200), d = 100000000 / (v + 200);
    if (d == 0) return {};
    const std::int64_t r = std::max<std::int64_t>(0, c * 200 / d + redOffset);
    return r <= 255 ? colour(ScaleColour::red, r) : ScaleColour{};
}

}  // namespace

ScaleColour timeScale(std::int64_t t, std::int64_t best) {
    if (t <= 0 || best <= 0) return {};
    const std::int64_t g = t * 8000 / best;
    if (g < 8160) return colour(ScaleColour::green, g - 7905);
    const std::int64_t r = std::max<std::int64_t>(0, best * 1000 / t - 715);
    return r <= 255 ? colour(ScaleColour::red, r) : ScaleColour{};
}

ScaleColour maxSpeedScale(std::int64_t v, std::int64_t best) { return speedScale(v, best, 30000, 29935, 100); }
ScaleColour minSpeedScale(std::int64_t v, std::int64_t best) { return speedScale(v, best, 5000, 4935, 70); }

}  // namespace zr
