// The replays of raceboard's tests.
#pragma once

#include "lap_replays.h"

namespace zr::test {

constexpr std::int32_t kBoardTrack = 2400000;  // 1.2 km in 0.5 mm units

// A server replay at 36 fps: five drivers in practice and a race of five
// laps with an off-track fastest lap in each session, a driver who retires,
// one who is lapped, names that need escaping and a make without a logo.
ReplaySpec serverRaceReplay();

// A replay recorded by the driver in slot 2 at 60 fps: five practice laps
// (lap 3 void, lap 4 off track) and four race laps against two others.
ReplaySpec participantRaceReplay();

// A server replay with practice laps only.
ReplaySpec practiceOnlyReplay();

}  // namespace zr::test
