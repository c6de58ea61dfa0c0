#include "chain_tables.h"

namespace zr {

ChainTables readChainTables(Bytes replay, std::int64_t firstDriverRecord, bool stopAtBtpl) {
    ChainTables tables;
    tables.drivers = readDriverTable(replay, firstDriverRecord, stopAtBtpl);
    if (tables.drivers.stopTag == 0) {
        tables.laps.stopOffset = static_cast<std::int64_t>(replay.size);
        return tables;
    }
    const std::int64_t first = locateLapTable(replay, tables.drivers.tagOffset);
    tables.laps = readLapTable(replay, first, tables.drivers.driverRecordCount);
    return tables;
}

}  // namespace zr
