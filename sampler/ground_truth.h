// What really happened in a sample replay, written beside it as text: one
// fact per line, a keyword and then name=value fields. Race frames count from
// the race-start record (frame 0); qualifying frames from the session's first
// record, the event stream's second.
//
//   replay race_server
//   kind race
//   frame_rate 36
//   track eichberg length=820 pit_lane=740,140 stalls=126,12
//   session_length 900
//   own_slot 0
//   race_laps 7
//   leader_finish_ms 168543
//   frames 6863
//   driver slot=1 first=Anna last=Albers
//   laps session=race slot=1 stamps=6000,29463,50818,... flags=0,0,0,...
//   result slot=1 laps=7 status=finished finish_ms=179865 laps_down=0
//   pitstop slot=1 lap=3 entry=2554 rest=2946 leave=3342 exit=3415 repair=0 tyres=0 refuel=1
//   contact frame=1681 hitter=2 victim=3 costs_time=1
//   damage frame=1692 slot=2 what=engine value=9
//   reset frame=3901 slot=4 cause=reset sign=jump in_pits=1
//   disconnect frame=1703 slot=7
//   retirement slot=6 stop=4664 gone=6320 in_pits=1
//   escape slot=1 last_seen=3679 back=4580 in_pit_lane=0 moving=0
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zr::sampler {

struct TruthDriver {
    int slot = 0;
    std::string firstName;
    std::string lastName;
};

struct TruthLaps {
    std::string session;  // practice, race or qualifying
    int slot = 0;
    std::vector<std::int32_t> stamps;  // milliseconds on the session's clock; entry 0 begins lap 1
    std::vector<int> flags;            // per entry: 16 void, 64 off track
};

struct TruthPitStop {
    int slot = 0;
    int lap = 0;        // the lap at whose end the car came in
    int entry = 0;      // frame the car passed the pit lane's start
    int rest = 0;       // frame it came to rest in its stall
    int leave = -1;     // frame it drove off again; -1 when it never did
    int exit = -1;      // frame it passed the pit lane's end; -1 when it never did
    bool repair = false;
    bool tyres = false;
    bool refuel = false;
    bool completed() const { return exit >= 0; }
};

struct TruthContact {
    int frame = 0;      // first frame the two cars touch
    int hitter = 0;
    int victim = 0;
    bool costsTime = false;  // the victim spun or lost a wheel
};

struct TruthDamage {
    int frame = 0;
    int slot = 0;
    std::string what;  // wheel or engine
    int value = 0;     // wheel field, or engine damage level
};

// Damage undone or a car set straight: a reset to the pits (sign damage or
// jump) or a repair in a pit stop (sign damage).
struct TruthReset {
    int frame = 0;
    int slot = 0;
    std::string cause;  // reset or repair
    std::string sign;   // damage (the damage went down) or jump (a sideways jump or turn of a still car)
    bool inPits = false;  // the car stood between the first and the last stall the frame before
};

struct TruthDisconnect {
    int frame = 0;  // the car's last sample
    int slot = 0;
};

struct TruthRetirement {
    int slot = 0;
    int stop = 0;   // frame it stopped for good
    int gone = 0;   // frame it left the session
    bool inPits = false;
};

struct TruthEscape {
    int slot = 0;
    int lastSeen = 0;  // frame of the last sample before the absence
    int back = 0;      // frame of the first sample after it
    bool inPitLane = false;  // it stood inside the pit lane bounds
    bool moving = false;     // it was still driving when it vanished
};

struct TruthResult {
    int slot = 0;
    int laps = 0;
    std::string status;  // finished, retired or disconnected
    std::int32_t finishMs = 0;  // finished: the final stamp
    int lapsDown = 0;           // finished: laps behind the winner
};

struct GroundTruth {
    std::string replay;
    std::string kind;  // race or qualifying
    int frameRate = 36;
    std::string trackFolder;
    int trackMetres = 0;
    int pitLaneStartM = 0;
    int pitLaneEndM = 0;
    int firstStallM = 0;
    int lastStallM = 0;
    int sessionLength = 0;      // seconds, as the header holds it
    int ownSlot = 0;
    int raceLaps = 0;
    std::int32_t leaderFinishMs = 400000000;
    int raceFrames = 0;         // race or qualifying frames recorded

    std::vector<TruthDriver> drivers;
    std::vector<TruthLaps> laps;
    std::vector<TruthPitStop> pitStops;
    std::vector<TruthContact> contacts;
    std::vector<TruthDamage> damage;
    std::vector<TruthReset> resets;
    std::vector<TruthDisconnect> disconnects;
    std::vector<TruthRetirement> retirements;
    std::vector<TruthEscape> escapes;
    std::vector<TruthResult> results;

    const TruthDriver* driver(int slot) const;
};

std::string formatGroundTruth(const GroundTruth& truth);
// False when a line cannot be read; `error` then names it.
bool parseGroundTruth(const std::string& text, GroundTruth& truth, std::string& error);

}  // namespace zr::sampler
