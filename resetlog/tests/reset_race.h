// Race replays for resetlog's tests, described frame by frame.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "analysed_run.h"
#include "replay_builder.h"
#include "resetlog.h"

namespace zr::test {

using namespace zr::writer;  // the tests describe their replays in the writer's terms

// A race at 10 frames per second. The race-start record is frame 1 and
// frame G is the G-th record of the walk. Slots 1 to 4 are named (the first
// driver record, slot 0, is not read by resetlog). Race laps:
//   slot 1: 0, 40 s, 80 s, 120 s   (the leader: finishes at 120 s, frame 1200)
//   slot 2: 0, 45 s, 90 s, 135 s
//   slot 3: 0, 50 s, 100 s, 150 s
//   slot 4: no lap record
struct ResetRace {
    explicit ResetRace(int frames);

    ReplaySpec recipe;  // header, drivers and laps; build() adds the records
    bool idleFirstRecord = true;  // a first stream record before the race starts

    // The car's sample in frames `from` to `to`, moving `speed` per frame.
    void put(int from, int to, SampleSpec sample, int speed = 0);
    void drop(int frame, int slot);  // no sample of the car in that frame
    void addBlock(int frame, const Block& block);

    ByteVec build() const;

private:
    int frames_;
    std::vector<std::map<int, SampleSpec>> samples_;  // by frame, then slot
    std::vector<std::vector<Block>> blocks_;
    RecordSpec record(int frame) const;
    ReplaySpec withRecords() const;
};

SampleSpec car(int slot, int position, int gear, int lateral = 0, int heading = 0);

// Car 1 drives, stops at 108000 in gear 1 from frame 100, jumps sideways by
// 500 at frame 150 and drives on from frame 500; car 2 drives all along.
ResetRace teleportRace(int frames = 600);

// The replay as resetlog analyses it, with stalls from a "track.ini" unless
// both are 0: the findings and the console lines of the walk.
Analysed<ResetFindings> resetsOf(const ByteVec& replay, const StallBounds& stalls = {});
// Those console lines, then the listing.
std::string resetsText(const ByteVec& replay, const StallBounds& stalls = {});

}  // namespace zr::test
