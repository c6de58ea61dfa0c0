#include "chain_replay.h"

#include <algorithm>
#include <ostream>
#include <utility>

#include "platform.h"

namespace zr {

void readChainTables(Bytes replay, const FrontEndProfile& profile, ChainTables& tables) {
    tables.drivers = readDriverTable(replay, profile.firstDriverRecord, profile.driverTableStopsAtBtpl);
    if (tables.drivers.stopTag == 0) {
        // The file ended inside the driver table: no lap records, no stream.
        tables.laps = LapTable();
        tables.laps.stopOffset = static_cast<std::int64_t>(replay.size);
        return;
    }
    std::int64_t first = locateLapTable(replay, tables.drivers.tagOffset);
    tables.laps = readLapTable(replay, first, tables.drivers.driverRecordCount);
}

std::optional<PitLaneRun> startPitLaneRun(const FrontEndProfile& profile, std::istream& in, std::ostream& out,
                                          int& exitCode) {
    StartResult started = startRun(profile, in, out);
    exitCode = started.exitCode;
    if (!started.run) return std::nullopt;
    std::optional<PitLaneRun> r(std::in_place);
    r->run = std::move(*started.run);
    Bytes replay = r->run.replay.bytes();
    r->header = readReplayHeader(replay, profile.frameRateRule);
    r->lane = readPitLaneBounds(trackIniPath(r->run.paths, r->header.trackName), profile.trackTexts, out);
    showTrackName(out, r->header);
    readChainTables(replay, profile, r->tables);
    return r;
}

void showTrackName(std::ostream& out, const ReplayHeader& header) {
    out << "  " << upperAscii(header.trackName) << "\n\n";
}

std::string shortName(const DriverTable& drivers, int slot) {
    return drivers.initial(slot) + "." + drivers.lastName(slot);
}

std::string shortNameColumn(const DriverTable& drivers, int slot) {
    return shortName(drivers, slot) + (drivers.lastName(slot).size() < 6 ? "\t\t" : "\t");
}

std::string countRanking(const std::int32_t (&perCar)[kSlots], const DriverTable& drivers) {
    std::int32_t count[kSlots];
    std::copy(perCar, perCar + kSlots, count);
    std::string text;
    for (;;) {
        int best = -1;
        for (int c = 0; c < kSlots; ++c)
            if (count[c] >= 1 && (best < 0 || count[c] > count[best])) best = c;
        if (best < 0) return text;
        text += "  " + std::to_string(count[best]) + " * " + shortName(drivers, best) + "\n";
        count[best] = 0;
    }
}

bool saveReport(const std::string& name, const std::string& text, std::ostream& out) {
    if (writeReport(name, text)) return true;
    out << "Report file could not be written: " << name << "\n" << std::flush;
    return false;
}

}  // namespace zr
