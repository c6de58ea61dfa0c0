// What the listing programs read before they walk the event stream: the
// driver table and the lap records after it.
#pragma once

#include <cstdint>

#include "byte_reader.h"
#include "driver_table.h"
#include "lap_table.h"

namespace zr {

struct ChainTables {
    DriverTable drivers;
    LapTable laps;
};

// The driver table from `firstDriverRecord` (see driver_table.h for the stop
// tags) and the lap records after it. A file that ends inside the driver
// table has no lap records and no stream.
ChainTables readChainTables(Bytes replay, std::int64_t firstDriverRecord, bool stopAtBtpl);

}  // namespace zr
