#include "chain_replay.h"

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

bool saveReport(const std::string& name, const std::string& text, std::ostream& out) {
    if (writeReport(name, text)) return true;
    out << "Report file could not be written: " << name << "\n" << std::flush;
    return false;
}

}  // namespace zr
