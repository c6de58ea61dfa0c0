#include "damaged_replays.h"

namespace zr::test {

std::vector<ByteVec> damagedCopies(const ReplaySpec& spec, std::size_t midRecord, std::size_t zeroRecord) {
    ByteVec good = buildReplay(spec);
    ReplayLayout layout = layoutOf(spec);
    std::vector<ByteVec> damaged;
    for (std::size_t cut : {std::size_t{0}, std::size_t{100}, std::size_t{400}, layout.driverTableEnd + 2,
                            layout.lapRecordsEnd - 3, layout.streamStart + 5, layout.recordOffsets[midRecord] + 7})
        damaged.emplace_back(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
    ByteVec zeroLength = good;
    setLe(zeroLength, layout.recordOffsets[zeroRecord], 0, 2);
    damaged.push_back(zeroLength);
    return damaged;
}

}  // namespace zr::test
