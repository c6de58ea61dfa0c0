// Damaged copies of a replay, for tests that a program ends cleanly on them.
#pragma once

#include <vector>

#include "replay_builder.h"

namespace zr::test {

// The replay cut short in every region (header, driver table, lap records,
// event stream, inside event record `midRecord`), and whole with event record
// `zeroRecord`'s length set to 0.
std::vector<ByteVec> damagedCopies(const ReplaySpec& spec, std::size_t midRecord, std::size_t zeroRecord);

}  // namespace zr::test
