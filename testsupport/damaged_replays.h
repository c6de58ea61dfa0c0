// Damaged copies of a built replay, for tests that the programs end cleanly.
#pragma once

#include <string>
#include <vector>

#include "replay_builder.h"
#include "run_dir.h"

namespace zr::test {

using namespace zr::writer;  // the tests describe their replays in the writer's terms

// The replay cut short in every region: empty, in the header, in the driver
// table, in the lap records, in the first stream record and in the second one;
// and with a first stream record of length 0. None of them has a frame to walk.
std::vector<ByteVec> replaysWithoutFrames(const ByteVec& good, const ReplayLayout& layout);

// The replay torn inside stream record `index`, and with that record's length
// set to 0: both end the walk there.
std::vector<ByteVec> replaysBrokenAtRecord(const ByteVec& good, const ReplayLayout& layout, std::size_t index);

// The replay cut short in every region (header, driver table, lap records,
// event stream, inside event record `midRecord`), and whole with event record
// `zeroRecord`'s length set to 0.
std::vector<ByteVec> damagedCopies(const ReplaySpec& recipe, std::size_t midRecord, std::size_t zeroRecord);

// Run `exe` once per replay, each written as NAME.rpy and NAME typed at the
// prompt; every run must end with exit code 0. Without a report: the console
// shows `consoleText` somewhere and no file `report` is left. With a report:
// `report` holds `reportBytes`. The result describes the runs that did not end
// so, and is empty when all did.
std::string runEachWithoutReport(const std::string& exe, RunDir& dir, const std::string& name,
                                 const std::vector<ByteVec>& replays, const std::string& consoleText,
                                 const std::string& report);
std::string runEachWithReport(const std::string& exe, RunDir& dir, const std::string& name,
                              const std::vector<ByteVec>& replays, const std::string& report,
                              const std::string& reportBytes);

}  // namespace zr::test
