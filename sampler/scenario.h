// What a sample replay is made of: the cars, the sessions and the incidents
// that are to happen in them. The simulation plays this out frame by frame.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "track_model.h"

namespace zr::sampler {

struct CarPlan {
    int slot = 0;
    std::string firstName;
    std::string lastName;
    int carMake = 0;  // 0 to 6
    int pace = 1000;  // permille of the reference car's speed
};

enum class Deed {
    pitStop,     // into the pits at the end of `lap`: service, then out again unless `leaves` is false
    contact,     // `slot` runs into `other` from behind, on its lap `lap` or later
    loseWheel,   // wheel field `wheel` comes off; the car stops beside the track and is reset to the pits
    engine,      // the engine damage rises to `level`
    offTrack,    // all wheels off the track for a moment: an off-track lap
    cut,         // a corner cut: the practice lap is void
    spinReset,   // spins, stops beside the track and is reset to the pits
    retire,      // stops beside the track and leaves the session
    disconnect,  // vanishes while driving
    escape,      // stops beside the track and leaves with escape; back in its stall after `awayS`
    pitEscape,   // leaves with escape from its stall; back there after `awayS`
    vanish,      // vanishes while driving; back in its stall after `awayS`
};

// What a contact does to the car that is hit.
enum class Touch { light, spin, wheel };

struct Incident {
    Deed deed = Deed::engine;
    int slot = 0;
    int lap = 1;    // the car's lap (in practice and qualifying lap 1 follows the out-lap)
    int atM = 0;    // where on the lap, metres from the line (not for pit stops)
    // contact
    int other = 0;
    Touch touch = Touch::light;
    // damage
    int wheel = 0;  // wheel field 0 to 3
    int level = 0;  // engine damage, of 63; for a contact the hitter's
    // pit stop: seconds of repair (gear 0) then tyre change (gear 1); refuelling runs alongside
    int repairS = 0;
    int tyresS = 0;
    int refuelS = 0;
    bool leaves = true;    // false: the car stays in its stall and retires there (or waits for the end)
    bool crooked = false;  // stops crooked in front of its stall and is set straight by a reset
    int standS = 3;        // seconds standing before a reset, retirement or escape
    // off track: the driver lifts as the car comes back (3 s at 78 % pace);
    // false: it runs wide at full speed and loses no time
    bool lifts = true;
    int awayS = 0;         // seconds away after an escape
};

enum class SessionKind { practice, race, qualifying };

struct SessionPlan {
    SessionKind kind = SessionKind::practice;
    int seconds = 0;         // practice and qualifying
    int laps = 0;            // race
    std::vector<int> grid{};   // race: the slots from pole position back
    std::vector<Incident> incidents{};
};

struct ReplayPlan {
    std::string name;        // the replay's file name without ".rpy"
    std::uint64_t seed = 1;
    int frameRate = 36;
    TrackModel track;
    std::string modName;
    std::vector<CarPlan> cars;   // in slot order from slot 1; slot 0 is the host's, who has no car
    int ownSlot = 0;             // a participant's replay: the own car; 0 for a server replay
    float sessionLength = 0.0f;  // header: the session's length in seconds
    std::vector<SessionPlan> sessions;  // practice then race, or qualifying alone
};

}  // namespace zr::sampler
