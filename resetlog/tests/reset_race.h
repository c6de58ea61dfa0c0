// Race replays for resetlog's tests, described frame by frame.
#pragma once

#include <string>

#include "analysed_run.h"
#include "resetlog.h"
#include "scripted_frames.h"

namespace zr::test {

// A race of `frames` frames at 10 frames per second. Slots 1 to 4 are named
// (the first driver record, slot 0, is not read by resetlog). Race laps:
//   slot 1: 0, 40 s, 80 s, 120 s   (the leader: finishes at 120 s, frame 1200)
//   slot 2: 0, 45 s, 90 s, 135 s
//   slot 3: 0, 50 s, 100 s, 150 s
//   slot 4: no lap record
FrameRace resetRace(int frames);

SampleSpec car(int slot, int position, int gear, int lateral = 0, int heading = 0);

// Car 1 drives, stops at 108000 in gear 1 from frame 100, jumps sideways by
// 500 at frame 150 and drives on from frame 500; car 2 drives all along.
FrameRace teleportRace(int frames = 600);

// The replay as resetlog analyses it, with stalls from a "track.ini" unless
// both are 0: the findings and the console lines of the walk.
Analysed<ResetFindings> resetsOf(const ByteVec& replay, const StallBounds& stalls = {});
// Those console lines, then the listing.
std::string resetsText(const ByteVec& replay, const StallBounds& stalls = {});

}  // namespace zr::test
