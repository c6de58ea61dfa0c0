#include "chain_replay.h"

#include <ostream>

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

void showTrackName(std::ostream& out, const ReplayHeader& header) {
    out << "  " << upperAscii(header.trackName) << "\n\n";
}

std::string shortName(const DriverTable& drivers, int slot) {
    return drivers.initial(slot) + "." + drivers.lastName(slot);
}

bool saveReport(const std::string& name, const std::string& text, std::ostream& out) {
    if (writeReport(name, text)) return true;
    out << "Report file could not be written: " << name << "\n" << std::flush;
    return false;
}

}  // namespace zr
