#include "race_sim.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "prng.h"
#include "track_model.h"

namespace zr::sampler {

namespace {

// Lateral values (the replay's `lateralValue`): the track's three lanes, the
// ground beside it, the pit lane and the stalls. Two cars whose lateral values
// differ by kLaneGap or more are never close enough to touch.
constexpr int kLaneGap = 6500;
constexpr int kLanes[3] = {0, kLaneGap, -kLaneGap};
constexpr int kBesideTrack = 13000;
constexpr int kPitLane = -16000;
constexpr int kStall = -23000;
constexpr int kGridColumn = 3500;

// Distances along the lap, position units.
constexpr std::int64_t kNear = 70000;       // cars that matter for a lane change
constexpr std::int64_t kFollow = 70000;     // a car ahead in the same lane slows a faster one
constexpr std::int64_t kBlocked = 90000;    // a slower car this close ahead is worth passing
constexpr std::int64_t kHuntRange = 120000; // a hunter lines up behind its victim
constexpr std::int64_t kTouch = 7950;       // a car's length: closer than this the cars touch
constexpr std::int64_t kHit = 6000;
constexpr std::int64_t kPitRoad = 130 * kUnitsPerMetre;  // the pit road before the lane's start

// Speeds and accelerations, position units per second (per second).
constexpr std::int32_t kAccel = 14000;
constexpr std::int32_t kBrake = 40000;
constexpr std::int32_t kSpinBrake = 50000;
constexpr std::int32_t kParkBrake = 16000;
constexpr std::int32_t kRoll = 4000;  // the least speed while a car still drifts sideways
constexpr std::int64_t kPitBrake = 24000;
constexpr std::int64_t kStallBrake = 12000;

enum class Mode { absent, grid, stall, pitOut, racing, pitIn, spin, parked, coolDown };
enum class AfterPark { reset, retire, escape };
enum class InStall { waiting, service, afterReset, escapeWait, back, done };

struct Task {
    Incident incident;
    bool done = false;
    int huntFrame = -1;   // the hunter lined up behind its victim
    int touchFrame = -1;
    int hitFrame = -1;
};

struct Car {
    const CarPlan* plan = nullptr;
    int slot = 0;
    int stall = 0;
    Mode mode = Mode::absent;
    std::int64_t pos = 0;
    std::int64_t stepFrom = 0;  // the position before the last step
    int lat = 0;
    int latTarget = 0;
    int latStep = 180;
    int headingOffset = 0;
    int headingTarget = 0;
    std::int32_t speed = 0;
    std::int32_t want = 0;
    std::int32_t carry = 0;
    int gear = 1;
    bool refuel = false;
    // lap timing
    bool timing = false;
    bool behindStartLine = false;  // on the grid: its first crossing of the line opens lap 1
    int lapsDone = 0;
    int lapFlags = 0;
    int lapPace = 1000;
    bool finished = false;
    int laps = -1;  // index into truth.laps for this session
    // damage
    int wheels = 0;
    int body = 0;
    int engine = 0;
    bool damageChanged = false;
    // the part it plays
    int task = -1;
    int phase = 0;
    int phaseFrame = 0;
    AfterPark afterPark = AfterPark::reset;
    bool spinning = false;
    int side = 1;
    int standFrames = 0;
    int slowUntil = -1;
    int slowPermille = 1000;
    int excursionUntil = -1;
    int excursionLat = 0;
    InStall inStall = InStall::waiting;
    int pitStop = -1;  // index into truth.pitStops while the car is in the pits
    bool pastLaneMark = false;
    int serviceStart = 0;
    int departFrame = -1;
    int returnFrame = -1;  // an escaped car comes back to its stall
    int goneFrame = -1;    // a car retiring in its stall leaves the session
    int escape = -1;       // index into truth.escapes until the car is back
    std::string result = "finished";
};

bool isLane(int lat) { return lat == kLanes[0] || lat == kLanes[1] || lat == kLanes[2]; }

int towards(int value, int target, int step) {
    if (value < target) return std::min(target, value + step);
    return std::max(target, value - step);
}

double lateralTangent(int lat) { return std::tan(lat * 90.0 / 32768.0 * 3.14159265 / 180.0); }

struct Sim {
    const ReplayPlan& plan;
    const TrackModel& track;
    const FrameSink& sink;
    const int rate;
    const std::int64_t lap;
    Prng prng;
    SimulationResult result;
    GroundTruth& truth = result.truth;
    std::vector<Car> cars;
    std::vector<Task> tasks;
    const SessionPlan* session = nullptr;
    SessionKind kind = SessionKind::practice;
    int f = 0;
    int greenFrame = 0;
    int endFrame = 0;
    bool leaderDone = false;
    FrameView view;
    std::int32_t pitSpeed;

    Sim(const ReplayPlan& p, const FrameSink& s)
        : plan(p), track(p.track), sink(s), rate(p.frameRate), lap(lapUnits(p.track)) {
        prng.state = p.seed;
        pitSpeed = static_cast<std::int32_t>(track.pitSpeedKmh * kUnitsPerMetre * 1000 / 3600);
        for (const CarPlan& c : plan.cars) {
            Car car;
            car.plan = &c;
            car.slot = c.slot;
            car.stall = (c.slot + kStalls - 1) % kStalls;
            cars.push_back(car);
        }
    }

    int perFrame(int per36) const { return std::max(1, per36 * 36 / rate); }
    int seconds(int s) const { return s * rate; }

    // Distances along the lap.
    std::int64_t forward(std::int64_t from, std::int64_t to) const { return ((to - from) % lap + lap) % lap; }
    std::int64_t ahead(const Car& a, const Car& b) const { return forward(a.pos, b.pos); }
    std::int64_t apart(const Car& a, const Car& b) const {
        std::int64_t d = ahead(a, b);
        return std::min(d, lap - d);
    }
    bool passed(const Car& c, std::int64_t at) const {
        if (c.stepFrom == c.pos) return false;
        if (c.stepFrom < c.pos) return c.stepFrom < at && at <= c.pos;
        return at > c.stepFrom || at <= c.pos;
    }
    std::int64_t laneStart() const { return track.pitLaneStartM * kUnitsPerMetre; }
    std::int64_t laneEnd() const { return track.pitLaneEndM * kUnitsPerMetre; }
    bool present(const Car& c) const { return c.mode != Mode::absent; }
    int lapNo(const Car& c) const { return c.timing ? c.lapsDone + 1 : 0; }
    Car* bySlot(int slot) {
        for (Car& c : cars)
            if (c.slot == slot) return &c;
        return nullptr;
    }

    std::int32_t cruise(const Car& c) const {
        std::int64_t v = static_cast<std::int64_t>(referenceSpeed(track, c.pos)) * c.lapPace / 1000;
        if (f < c.slowUntil) v = v * c.slowPermille / 1000;
        if (c.mode == Mode::coolDown) v = v * 55 / 100;
        return static_cast<std::int32_t>(v);
    }

    // Whether `c` may move sideways to `target`: no car near it stands or is
    // heading within a lane's width of the way. Cars in its own lane are ahead
    // or behind it, kept apart by following, and stay so as it moves out.
    bool wayFree(const Car& c, int target) const {
        int lo = std::min(c.lat, target), hi = std::max(c.lat, target);
        for (const Car& o : cars) {
            if (&o == &c || !present(o) || apart(c, o) >= kNear) continue;
            if (std::abs(o.lat - c.lat) < kLaneGap && std::abs(o.latTarget - c.lat) < kLaneGap) continue;
            int olo = std::min(o.lat, o.latTarget), ohi = std::max(o.lat, o.latTarget);
            if (std::max(olo - hi, lo - ohi) < kLaneGap) return false;
        }
        return true;
    }

    // No car ahead in `lane` that is slower than `pace`.
    bool laneClear(const Car& c, int lane, std::int32_t pace) const {
        for (const Car& o : cars) {
            if (&o == &c || !present(o)) continue;
            std::int64_t d = ahead(c, o);
            if (d == 0 || d >= kBlocked) continue;
            bool inLane = std::abs(lane - o.lat) < kLaneGap || std::abs(lane - o.latTarget) < kLaneGap;
            if (inLane && o.speed < pace - 1000) return false;
        }
        return true;
    }

    // The lane nearest to the car that it can move into, or its own lateral.
    int freeLaneNear(const Car& c) const {
        int lanes[3] = {kLanes[0], kLanes[1], kLanes[2]};
        std::sort(lanes, lanes + 3, [&](int a, int b) {
            return std::abs(a - c.lat) != std::abs(b - c.lat) ? std::abs(a - c.lat) < std::abs(b - c.lat) : a < b;
        });
        for (int l : lanes)
            if (wayFree(c, l)) return l;
        return c.lat;
    }

    // Racing cars keep to the middle lane and use the others to pass.
    void chooseLane(Car& c) {
        if (f < c.excursionUntil) return;
        if (!isLane(c.latTarget)) {
            c.latTarget = freeLaneNear(c);
            return;
        }
        if (!laneClear(c, c.latTarget, c.want)) {
            for (int l : kLanes)
                if (l != c.latTarget && laneClear(c, l, c.want) && wayFree(c, l)) {
                    c.latTarget = l;
                    return;
                }
            return;
        }
        if (c.latTarget != 0 && laneClear(c, 0, c.want) && wayFree(c, 0)) c.latTarget = 0;
    }

    // A car ahead in the same lane holds a faster one behind it.
    void follow(Car& c, const Car* ignore) {
        const Car* lead = nullptr;
        std::int64_t best = kFollow;
        for (const Car& o : cars) {
            // A car in its stall stands beside the pit lane, not in it.
            if (&o == &c || &o == ignore || !present(o) || o.mode == Mode::stall) continue;
            std::int64_t d = ahead(c, o);
            if (d == 0 || d >= best) continue;
            bool band = std::abs(c.lat - o.lat) < kLaneGap || std::abs(c.latTarget - o.lat) < kLaneGap ||
                        std::abs(c.lat - o.latTarget) < kLaneGap;
            if (band) {
                best = d;
                lead = &o;
            }
        }
        if (!lead) return;
        std::int64_t cap = lead->speed + (best - 24000) * 2;
        c.want = static_cast<std::int32_t>(std::clamp<std::int64_t>(cap, 0, c.want));
        if (best < 14000) c.speed = std::min(c.speed, lead->speed);
    }

    // ---- truth -------------------------------------------------------------

    void damageTruth(const Car& c, const char* what, int value) {
        truth.damage.push_back({f, c.slot, what, value});
    }
    void addEntry(Car& c, std::int32_t ms) {
        TruthLaps& l = truth.laps[c.laps];
        l.stamps.push_back(ms);
        l.flags.push_back(c.lapFlags);
        c.lapFlags = 0;
        c.lapPace = c.plan->pace + prng.between(-3, 3);
    }

    // ---- sessions ----------------------------------------------------------

    void startSession(const SessionPlan& s) {
        session = &s;
        kind = s.kind;
        leaderDone = false;
        tasks.clear();
        for (const Incident& i : s.incidents) tasks.push_back(Task{i});
        const char* name = kind == SessionKind::race ? "race" : kind == SessionKind::practice ? "practice" : "qualifying";
        int index = 0;
        for (Car& c : cars) {
            Car fresh;
            fresh.plan = c.plan;
            fresh.slot = c.slot;
            fresh.stall = c.stall;
            fresh.lapPace = c.plan->pace;
            fresh.laps = static_cast<int>(truth.laps.size());
            truth.laps.push_back({name, c.slot, {}, {}});
            if (kind == SessionKind::race) {
                fresh.mode = Mode::absent;
            } else {
                fresh.mode = Mode::stall;
                fresh.inStall = InStall::waiting;
                fresh.pos = fresh.stepFrom = stallStop(track, fresh.stall);
                fresh.lat = fresh.latTarget = kStall;
                fresh.departFrame = seconds(2) + index * seconds(3);
            }
            c = fresh;
            ++index;
        }
        if (kind == SessionKind::race) {
            greenFrame = seconds(6);
            int n = static_cast<int>(s.grid.size());
            for (int g = 0; g < n; ++g) {
                Car* c = bySlot(s.grid[g]);
                // The grid stands behind the start/finish line, pole position
                // nearest to it: lap 1 runs from the start to the second crossing.
                c->mode = Mode::grid;
                c->behindStartLine = true;
                c->pos = c->stepFrom = lap - (20 + 8 * g) * kUnitsPerMetre;
                c->lat = c->latTarget = g % 2 ? kGridColumn : -kGridColumn;
            }
            endFrame = seconds(120) + static_cast<int>(referenceLapMs(track) * (s.laps + 2) * 2 * rate / 1000);
        } else {
            endFrame = seconds(s.seconds + (kind == SessionKind::qualifying ? 8 : 0));
        }
    }

    void checkRaceEnd() {
        if (kind != SessionKind::race || !leaderDone) return;
        for (const Car& c : cars)
            if (present(c) && !c.finished) return;
        endFrame = std::min(endFrame, f + seconds(4));
    }

    // ---- incidents ---------------------------------------------------------

    // The side of the track a car leaves it to: the nearer one, unless a car
    // is in the way there.
    int sideFor(const Car& c) const {
        int nearer = c.lat >= 0 ? 1 : -1;
        if (wayFree(c, nearer * kBesideTrack) || !wayFree(c, -nearer * kBesideTrack)) return nearer;
        return -nearer;
    }

    void park(Car& c, AfterPark after, bool spinning, int standS) {
        c.mode = Mode::parked;
        c.phase = 0;
        c.afterPark = after;
        c.spinning = spinning;
        c.side = sideFor(c);
        c.latTarget = c.side * kBesideTrack;
        c.latStep = spinning ? 500 : 250;
        c.standFrames = seconds(standS);
    }

    void vanish(Car& c, bool moving, int awayS) {
        c.mode = Mode::absent;
        truth.escapes.push_back({c.slot, f - 1, -1, inPitLaneBounds(track, c.pos), moving});
        c.escape = static_cast<int>(truth.escapes.size()) - 1;
        c.returnFrame = f + seconds(awayS);
    }

    void enterPits(Car& c, int taskIndex) {
        c.mode = Mode::pitIn;
        c.task = taskIndex;
        c.pastLaneMark = false;
        c.latStep = 250;
        if (kind == SessionKind::race && tasks[taskIndex].incident.deed == Deed::pitStop) {
            const Incident& i = tasks[taskIndex].incident;
            truth.pitStops.push_back({c.slot, lapNo(c), -1, -1, -1, -1, i.repairS > 0, i.tyresS > 0, i.refuelS > 0});
            c.pitStop = static_cast<int>(truth.pitStops.size()) - 1;
        }
    }

    // Plays an incident out; false when it has to wait for a later lap.
    bool act(Car& c, int taskIndex) {
        const Incident& i = tasks[taskIndex].incident;
        c.task = taskIndex;
        switch (i.deed) {
        case Deed::engine:
            c.engine = std::max(c.engine, i.level);
            c.damageChanged = true;
            damageTruth(c, "engine", c.engine);
            break;
        case Deed::offTrack:
        case Deed::cut: {
            // Off the track on a side no car is coming along; else another lap.
            int side = sideFor(c);
            if (!wayFree(c, side * kBesideTrack)) return false;
            c.excursionLat = side * kBesideTrack;
            c.latTarget = c.excursionLat;
            if (i.deed == Deed::cut) {
                c.excursionUntil = f + seconds(1);
                c.lapFlags |= 16;
            } else {
                c.excursionUntil = f + seconds(1) + rate / 4;
                if (i.lifts) {
                    c.slowUntil = f + seconds(3);
                    c.slowPermille = 780;
                }
                c.lapFlags |= 64;
            }
            break;
        }
        case Deed::loseWheel:
            c.wheels |= 3 << (2 * i.wheel);
            c.body += 30;
            c.damageChanged = true;
            damageTruth(c, "wheel", i.wheel);
            park(c, AfterPark::reset, false, i.standS);
            break;
        case Deed::spinReset: park(c, AfterPark::reset, true, i.standS); break;
        case Deed::retire: park(c, AfterPark::retire, false, i.standS); break;
        case Deed::escape: park(c, AfterPark::escape, false, i.standS); break;
        case Deed::disconnect:
            c.mode = Mode::absent;
            c.result = "disconnected";
            truth.disconnects.push_back({f - 1, c.slot});
            break;
        case Deed::vanish: vanish(c, true, i.awayS); break;
        case Deed::pitStop:
        case Deed::pitEscape:
        case Deed::contact: break;
        }
        return true;
    }

    void triggers(Car& c) {
        int n = lapNo(c);
        for (std::size_t t = 0; t < tasks.size(); ++t) {
            Task& task = tasks[t];
            const Incident& i = task.incident;
            if (task.done || i.slot != c.slot || n < i.lap || i.deed == Deed::contact) continue;
            bool pits = i.deed == Deed::pitStop || i.deed == Deed::pitEscape;
            std::int64_t at = pits ? (laneStart() - kPitRoad + lap) % lap : i.atM * kUnitsPerMetre;
            if (!passed(c, at)) continue;
            if (pits) enterPits(c, static_cast<int>(t));
            else if (!act(c, static_cast<int>(t))) continue;
            task.done = true;
            if (c.mode != Mode::racing) return;
        }
    }

    // ---- modes -------------------------------------------------------------

    void depart(Car& c) {
        c.mode = Mode::pitOut;
        c.latTarget = kPitLane;
        c.latStep = 200;
        c.pastLaneMark = false;
        if (c.pitStop >= 0) truth.pitStops[c.pitStop].leave = f;
    }

    void raceScript(Car& c) {
        c.want = cruise(c);
        if (f < c.excursionUntil) c.latTarget = c.excursionLat;
        if (c.mode == Mode::racing && !c.finished) triggers(c);
    }

    void pitInScript(Car& c) {
        const Incident& i = tasks[c.task].incident;
        std::int64_t stop = stallStop(track, c.stall);
        if (!c.pastLaneMark) {
            std::int64_t d = forward(c.pos, laneStart());
            c.want = static_cast<std::int32_t>(std::min<std::int64_t>(
                cruise(c), isqrt(static_cast<std::int64_t>(pitSpeed) * pitSpeed + 2 * kPitBrake * d)));
            if (c.lat != kPitLane && wayFree(c, kPitLane)) c.latTarget = kPitLane;
            return;
        }
        if (c.latTarget != kPitLane && c.latTarget > kPitLane && wayFree(c, kPitLane)) c.latTarget = kPitLane;
        std::int64_t d = forward(c.pos, stop);
        if (d <= std::max<std::int64_t>(200, c.speed / rate)) {
            c.pos = stop;
            c.lat = c.latTarget;
            c.headingOffset = c.headingTarget;
            c.speed = c.want = 0;
            c.carry = 0;
            c.mode = Mode::stall;
            c.inStall = i.deed == Deed::pitEscape ? InStall::escapeWait : InStall::service;
            c.phaseFrame = f;
            c.serviceStart = f + (i.crooked ? seconds(2) + 1 : 0);
            c.gear = 1;
            if (c.pitStop >= 0) truth.pitStops[c.pitStop].rest = f;
            return;
        }
        c.want = static_cast<std::int32_t>(std::min<std::int64_t>(pitSpeed, isqrt(2 * kStallBrake * d)));
        if (d < 12000) {
            c.latTarget = i.crooked ? kStall + 2000 : kStall;
            c.headingTarget = i.crooked ? 40 : 0;
        }
    }

    void pitOutScript(Car& c) {
        if (!c.pastLaneMark) {
            c.want = pitSpeed;
            return;
        }
        c.want = cruise(c);
        if (!isLane(c.latTarget)) c.latTarget = freeLaneNear(c);
        if (isLane(c.latTarget) && c.lat == c.latTarget) {
            c.mode = Mode::racing;
            c.latStep = 180;
        }
    }

    void serviceScript(Car& c) {
        const Incident& i = tasks[c.task].incident;
        if (f < c.serviceStart) {
            if (f + 1 == c.serviceStart) {  // the reset sets the crooked car straight in its stall
                truth.resets.push_back({f, c.slot, "reset", "jump", betweenStalls(track, c.pos)});
                c.lat = c.latTarget = kStall;
                c.headingOffset = c.headingTarget = 0;
            }
            return;
        }
        int s = f - c.serviceStart;
        c.gear = s < seconds(i.repairS) ? 0 : 1;
        if (i.repairS > 0 && s == seconds(i.repairS) && (c.wheels || c.body || c.engine)) {
            c.wheels = c.body = c.engine = 0;
            c.damageChanged = true;
            truth.resets.push_back({f, c.slot, "repair", "damage", betweenStalls(track, c.pos)});
        }
        c.refuel = i.refuelS > 0 && s >= rate / 2 && s < rate / 2 + seconds(i.refuelS);
        int end = seconds(std::max(i.repairS + i.tyresS, i.refuelS + 1) + 1);
        if (s < end) return;
        if (i.leaves) {
            depart(c);
        } else {
            c.inStall = InStall::done;
            c.goneFrame = f + seconds(i.standS);
        }
    }

    void stallScript(Car& c) {
        c.speed = c.want = 0;
        c.refuel = false;
        switch (c.inStall) {
        case InStall::waiting:
            c.gear = 1;
            if (f >= c.departFrame) depart(c);
            break;
        case InStall::service: serviceScript(c); break;
        case InStall::afterReset:
            c.gear = 1;
            if (f >= c.phaseFrame + seconds(4)) depart(c);
            break;
        case InStall::escapeWait:
            c.gear = 1;
            if (f >= c.phaseFrame + seconds(tasks[c.task].incident.standS))
                vanish(c, false, tasks[c.task].incident.awayS);
            break;
        case InStall::back:
            c.gear = 1;
            if (c.task >= 0 && tasks[c.task].incident.leaves && f >= c.phaseFrame + seconds(8)) depart(c);
            break;
        case InStall::done:
            if (f == c.goneFrame && kind == SessionKind::race) {
                truth.retirements.push_back({c.slot, c.phaseFrame, f, true});
                c.result = "retired";
                c.mode = Mode::absent;
            }
            break;
        }
    }

    // Slows down to a stop, rolling on while the car still drifts sideways.
    void coast(Car& c, std::int32_t brake) {
        c.speed = std::max(c.lat == c.latTarget ? 0 : kRoll, c.speed - brake / rate);
        c.want = c.speed;
    }

    void spinScript(Car& c) {
        if (c.phase == 0) {
            coast(c, kSpinBrake);
            c.latTarget = c.side * kBesideTrack;
            c.latStep = 500;
            c.headingOffset += perFrame(10);
            c.headingTarget = c.headingOffset;
            if (c.speed == 0) {
                c.phase = 1;
                c.phaseFrame = f;
                c.gear = 1;
            }
        } else if (c.phase == 1) {
            c.want = 0;
            c.gear = 1;
            if (f >= c.phaseFrame + seconds(5)) {
                c.phase = 2;
                c.headingOffset = ((c.headingOffset % kHeadingTurn) + kHeadingTurn) % kHeadingTurn;
                if (c.headingOffset > kHeadingTurn / 2) c.headingOffset -= kHeadingTurn;
                c.headingTarget = 0;
                c.latStep = 150;
            }
        } else {
            c.want = cruise(c) * 8 / 10;
            if (!isLane(c.latTarget)) c.latTarget = freeLaneNear(c);
            if (isLane(c.latTarget) && c.lat == c.latTarget && c.headingOffset == 0) {
                c.mode = Mode::racing;
                c.latStep = 180;
            }
        }
    }

    bool clearForReset(const Car& c) const {
        for (const Car& o : cars) {
            if (&o == &c || !present(o) || apart(c, o) >= 60000) continue;
            if (std::abs(o.lat) < kLaneGap || std::abs(o.latTarget) < kLaneGap) return false;
        }
        return true;
    }

    void parkScript(Car& c) {
        if (c.phase == 0) {
            coast(c, c.spinning ? kSpinBrake : kParkBrake);
            if (c.spinning) {
                c.headingOffset += perFrame(10);
                c.headingTarget = c.headingOffset;
            } else if (c.afterPark == AfterPark::reset) {
                c.headingTarget = 24 * c.side;
            }
            if (c.speed == 0) {
                c.phase = 1;
                c.phaseFrame = f;
                c.gear = 1;
            }
            return;
        }
        if (c.phase == 1) {
            c.want = 0;
            c.gear = 1;
            if (f < c.phaseFrame + c.standFrames) return;
            switch (c.afterPark) {
            case AfterPark::reset:
                if (!clearForReset(c)) return;
                // The reset first sets the car straight on the track where it
                // stands, then, a frame later, into its stall with the damage undone.
                truth.resets.push_back({f, c.slot, "reset", (c.wheels || c.body || c.engine) ? "damage" : "jump",
                                        betweenStalls(track, c.pos)});
                if (c.wheels || c.body || c.engine) c.damageChanged = true;
                c.wheels = c.body = c.engine = 0;
                c.lat = c.latTarget = 0;
                c.headingOffset = c.headingTarget = 0;
                c.phase = 2;
                return;
            case AfterPark::retire:
                truth.retirements.push_back({c.slot, c.phaseFrame, f, false});
                c.result = "retired";
                c.mode = Mode::absent;
                return;
            case AfterPark::escape: vanish(c, false, tasks[c.task].incident.awayS); return;
            }
        }
        c.pos = c.stepFrom = stallStop(track, c.stall);
        c.lat = c.latTarget = kStall;
        c.speed = c.want = 0;
        c.carry = 0;
        c.mode = Mode::stall;
        c.inStall = InStall::afterReset;
        c.phaseFrame = f;
    }

    void comeBack(Car& c) {
        c.mode = Mode::stall;
        c.inStall = InStall::back;
        c.phaseFrame = f;
        c.pos = c.stepFrom = stallStop(track, c.stall);
        c.lat = c.latTarget = kStall;
        c.headingOffset = c.headingTarget = 0;
        c.speed = c.want = 0;
        c.gear = 1;
        if (c.escape >= 0) truth.escapes[c.escape].back = f;
        c.escape = -1;
    }

    void script(Car& c) {
        switch (c.mode) {
        case Mode::absent:
            if (f == c.returnFrame && c.escape >= 0) comeBack(c);
            break;
        case Mode::grid:
            c.want = 0;
            c.gear = f >= greenFrame - rate ? 2 : 1;
            break;
        case Mode::stall: stallScript(c); break;
        case Mode::pitOut: pitOutScript(c); break;
        case Mode::pitIn: pitInScript(c); break;
        case Mode::spin: spinScript(c); break;
        case Mode::parked: parkScript(c); break;
        case Mode::racing:
        case Mode::coolDown: raceScript(c); break;
        }
    }

    // ---- hunting -----------------------------------------------------------

    // The contact this car is to cause, while it and its victim race.
    Task* huntOf(const Car& c) {
        for (Task& t : tasks) {
            const Incident& i = t.incident;
            if (i.deed != Deed::contact || t.done || i.slot != c.slot) continue;
            const Car* v = bySlot(i.other);
            return c.mode == Mode::racing && v && v->mode == Mode::racing ? &t : nullptr;
        }
        return nullptr;
    }

    bool inner(std::int64_t p) const { return p > 20 * kUnitsPerMetre && p < lap - 20 * kUnitsPerMetre; }

    // Whether the hunter may close in: the victim has reached the planned
    // place, and the two are clear of the line (contacts are judged by
    // positions that restart there).
    bool closingIn(const Task& t, const Car& v) const {
        const Incident& i = t.incident;
        return lapNo(v) > i.lap || (lapNo(v) == i.lap && v.pos >= i.atM * kUnitsPerMetre && inner(v.pos));
    }

    // The hunter lines up behind its victim, stays there and, once the victim
    // reaches the planned place, closes in. Returns the victim while in range.
    const Car* hunt(Car& c) {
        Task* task = huntOf(c);
        if (!task) return nullptr;
        Task& t = *task;
        const Car* v = bySlot(t.incident.other);
        std::int64_t d = ahead(c, *v);
        if (d >= kHuntRange) {
            c.want = c.want * 106 / 100;
            return nullptr;
        }
        if (t.huntFrame < 0) t.huntFrame = f;
        c.latTarget = v->lat;
        c.latStep = 300;
        bool lined = std::abs(c.lat - v->lat) < 1000;
        std::int64_t cap = lined && closingIn(t, *v) ? v->speed + 8000 : v->speed + (d - 30000) * 2;
        c.want = static_cast<std::int32_t>(std::clamp<std::int64_t>(cap, 0, c.want * 110 / 100));
        return v;
    }

    void hit(Task& t, Car& h, Car& v) {
        const Incident& i = t.incident;
        t.done = true;
        t.hitFrame = f;
        truth.contacts.push_back({t.touchFrame >= 0 ? t.touchFrame : f, h.slot, v.slot, i.touch != Touch::light});
        h.slowUntil = f + seconds(i.touch == Touch::light ? 3 : 2);
        h.slowPermille = i.touch == Touch::light ? 880 : 900;
        h.latStep = 180;
        if (i.level > h.engine) {
            h.engine = i.level;
            h.damageChanged = true;
            damageTruth(h, "engine", h.engine);
        }
        if (i.touch == Touch::spin) {
            v.mode = Mode::spin;
            v.phase = 0;
            v.side = sideFor(v);
            v.body += 25;
            v.damageChanged = true;
        } else if (i.touch == Touch::wheel) {
            v.wheels |= 3 << (2 * i.wheel);
            v.body += 30;
            v.damageChanged = true;
            damageTruth(v, "wheel", i.wheel);
            park(v, AfterPark::reset, false, 3);
        }
    }

    // ---- the frame ---------------------------------------------------------

    void move(Car& c) {
        if (c.mode == Mode::absent || c.mode == Mode::stall || c.mode == Mode::grid) {
            c.stepFrom = c.pos;
            return;
        }
        if (c.speed < c.want) c.speed = std::min(c.want, c.speed + kAccel / rate);
        else c.speed = std::max(c.want, c.speed - kBrake / rate);
        std::int64_t total = static_cast<std::int64_t>(c.speed) + c.carry;
        std::int64_t step = total / rate;
        c.carry = static_cast<std::int32_t>(total % rate);
        c.stepFrom = c.pos;
        c.pos += step;
        if (c.pos >= lap) {
            c.pos -= lap;
            std::int64_t ms = ((f - 1) * step + (lap - c.stepFrom)) * 1000 / (step * rate);
            lineCrossed(c, static_cast<std::int32_t>(ms));
        }
        c.lat = towards(c.lat, c.latTarget, perFrame(c.latStep));
        c.headingOffset = towards(c.headingOffset, c.headingTarget, perFrame(12));
        if (c.speed > 0) c.gear = 2 + std::min(5, c.speed / 24000);
    }

    void lineCrossed(Car& c, std::int32_t ms) {
        if (kind != SessionKind::race) {
            if (f >= seconds(session->seconds)) return;
            if (!c.timing) {
                c.timing = true;
                c.lapFlags = 0;
            } else {
                ++c.lapsDone;
            }
            addEntry(c, ms);
            return;
        }
        if (c.behindStartLine) {
            c.behindStartLine = false;
            return;
        }
        if (!c.timing || c.finished) return;
        ++c.lapsDone;
        addEntry(c, ms);
        if (!leaderDone && c.lapsDone == session->laps) {
            leaderDone = true;
            truth.leaderFinishMs = ms;
            c.finished = true;
        } else if (leaderDone) {
            c.finished = true;
        }
        if (c.finished && c.mode == Mode::racing) c.mode = Mode::coolDown;
    }

    void afterMove(Car& c) {
        if (c.mode == Mode::pitIn && !c.pastLaneMark && passed(c, laneStart())) {
            c.pastLaneMark = true;
            if (c.pitStop >= 0) truth.pitStops[c.pitStop].entry = f;
        }
        if (c.mode == Mode::pitOut && !c.pastLaneMark && passed(c, laneEnd())) {
            c.pastLaneMark = true;
            if (c.pitStop >= 0) truth.pitStops[c.pitStop].exit = f;
            c.pitStop = -1;
        }
    }

    void traffic() {
        for (Car& c : cars) {
            const Car* victim = nullptr;
            if (c.mode == Mode::racing) {
                victim = hunt(c);
                if (!victim) chooseLane(c);
            } else if (c.mode == Mode::coolDown) {
                chooseLane(c);
            }
            if (c.mode == Mode::racing || c.mode == Mode::coolDown || c.mode == Mode::pitIn ||
                c.mode == Mode::pitOut || (c.mode == Mode::spin && c.phase == 2))
                follow(c, victim);
        }
    }

    void contacts() {
        for (Task& t : tasks) {
            const Incident& i = t.incident;
            if (i.deed != Deed::contact || t.done || t.huntFrame < 0) continue;
            Car* h = bySlot(i.slot);
            Car* v = bySlot(i.other);
            if (h->mode != Mode::racing || v->mode != Mode::racing) continue;
            bool lined = std::abs(h->lat - v->lat) < 1000;
            if (t.touchFrame < 0 && lined && std::llabs(h->pos - v->pos) < kTouch) t.touchFrame = f;
            if (lined && closingIn(t, *v) && ahead(*h, *v) <= kHit && inner(h->pos)) hit(t, *h, *v);
        }
    }

    bool plannedPair(int a, int b) const {
        for (const Task& t : tasks) {
            const Incident& i = t.incident;
            if (i.deed != Deed::contact || t.huntFrame < 0) continue;
            if (t.hitFrame >= 0 && f >= t.hitFrame + seconds(6)) continue;
            if ((i.slot == a && i.other == b) || (i.slot == b && i.other == a)) return true;
        }
        return false;
    }

    // Counts pairs of cars that came as close as a contact needs, outside the
    // planned contacts: the cars' lengthwise gap against a car's length and
    // their lateral values as tangents against a car's width, both widened
    // where the cars stand at an angle, as contacts are judged from the replay,
    // with a margin.
    void verify() {
        for (std::size_t a = 0; a < cars.size(); ++a) {
            for (std::size_t b = a + 1; b < cars.size(); ++b) {
                const Car& x = cars[a];
                const Car& y = cars[b];
                if (!present(x) || !present(y)) continue;
                std::int64_t gap = std::min<std::int64_t>(std::llabs(x.pos - y.pos), apart(x, y));
                if (gap >= kTouch + 3000) continue;
                int hx = (trackHeading(track, x.pos) + x.headingOffset) & (kHeadingTurn - 1);
                int hy = (trackHeading(track, y.pos) + y.headingOffset) & (kHeadingTurn - 1);
                int turn = std::abs(hx - hy);
                if (turn > kHeadingTurn / 2) turn = kHeadingTurn - turn;  // 0 to 256
                const double degree = 3.14159265 / 180.0;
                double side = (turn <= 128 ? turn : 256 - turn) * 90.0 / 128.0;
                double cross = turn > 128 ? (turn - 128) * 90.0 / 128.0 : 0.0;
                if (gap >= kTouch + 500 + 2500 * std::sin(cross * degree)) continue;
                if (std::abs(lateralTangent(x.lat) - lateralTangent(y.lat)) >= 0.186 + 0.12 * std::sin(side * degree))
                    continue;
                if (plannedPair(x.slot, y.slot)) continue;
                ++result.nearMisses;
                if (result.nearMisses <= 5)
                    result.nearMissText += plan.name + ": frame " + std::to_string(f) + " cars " +
                                           std::to_string(x.slot) + " and " + std::to_string(y.slot) + "\n";
            }
        }
    }

    void emit(int frameNumber, bool startFlag) {
        if (!sink) return;
        view.session = kind;
        view.frame = frameNumber;
        view.sessionState = frameNumber < 0 || frameNumber % rate == 0;
        std::int32_t ms = frameNumber < 0 ? 0 : static_cast<std::int32_t>(static_cast<std::int64_t>(frameNumber) * 1000 / rate);
        view.sessionClock = (ms / 10) * 256 + (startFlag ? 1 : 0);
        view.samples.clear();
        view.damage.clear();
        view.hasOwnCar = false;
        for (const Car& c : cars) {
            if (!present(c)) continue;
            writer::SampleSpec s;
            s.slot = c.slot;
            s.position = static_cast<std::int32_t>(c.pos);
            s.flags = c.refuel ? 0x80 : 0;
            s.lateral = static_cast<std::int16_t>(c.lat);
            s.heading = ((trackHeading(track, c.pos) + c.headingOffset) % kHeadingTurn + kHeadingTurn) % kHeadingTurn;
            s.gear = c.gear;
            view.samples.push_back(s);
            if (c.damageChanged)
                view.damage.push_back({c.slot, static_cast<std::uint8_t>(c.wheels), static_cast<std::uint8_t>(std::min(c.body, 255)),
                                       static_cast<std::uint8_t>(c.engine)});
            if (c.slot == plan.ownSlot && plan.ownSlot > 0) {
                view.hasOwnCar = true;
                view.ownPosition = s.position;
            }
        }
        if (view.samples.empty()) view.damage.clear();  // damage needs a sample area after it
        sink(view);
    }

    void runSession(const SessionPlan& s) {
        startSession(s);
        if (kind == SessionKind::qualifying) emit(-1, false);
        for (f = 0; f < endFrame; ++f) {
            if (kind == SessionKind::race && f == greenFrame)
                for (Car& c : cars)
                    if (c.mode == Mode::grid) {
                        c.mode = Mode::racing;
                        c.timing = true;
                        c.lapFlags = 0;
                        addEntry(c, static_cast<std::int32_t>(static_cast<std::int64_t>(greenFrame) * 1000 / rate));
                    }
            for (Car& c : cars) script(c);
            traffic();
            for (Car& c : cars) {
                move(c);
                afterMove(c);
            }
            contacts();
            verify();
            emit(f, kind != SessionKind::practice);
            for (Car& c : cars) c.damageChanged = false;
            checkRaceEnd();
        }
        if (kind != SessionKind::practice) truth.raceFrames = endFrame;
        static const char* const deeds[] = {"pit stop", "contact",    "lost wheel", "engine damage",
                                            "off track", "cut",       "spin and reset", "retirement",
                                            "disconnect", "escape",   "escape from the pits", "vanishing"};
        for (const Task& t : tasks) {
            const Incident& i = t.incident;
            if (t.done) continue;
            std::string what = deeds[static_cast<int>(i.deed)];
            if (i.deed == Deed::contact) what += " with car " + std::to_string(i.other);
            result.unplayed.push_back(what + " of car " + std::to_string(i.slot) + " on lap " + std::to_string(i.lap));
        }
        if (kind == SessionKind::race) raceResults();
    }

    void raceResults() {
        for (const Car& c : cars) {
            const TruthLaps& l = truth.laps[c.laps];
            TruthResult r;
            r.slot = c.slot;
            r.laps = std::max(0, static_cast<int>(l.stamps.size()) - 1);
            r.status = c.finished ? "finished" : c.result == "finished" ? "running" : c.result;
            r.finishMs = l.stamps.empty() ? 0 : l.stamps.back();
            r.lapsDown = c.finished ? session->laps - r.laps : 0;
            truth.results.push_back(r);
        }
    }

    void run() {
        truth.replay = plan.name;
        truth.frameRate = rate;
        truth.trackFolder = track.folder;
        truth.trackMetres = track.lengthM;
        truth.pitLaneStartM = track.pitLaneStartM;
        truth.pitLaneEndM = track.pitLaneEndM;
        truth.firstStallM = track.firstStallM;
        truth.lastStallM = stallMetres(track, kStalls - 1);
        truth.sessionLength = static_cast<int>(plan.sessionLength);
        truth.ownSlot = plan.ownSlot;
        truth.kind = "qualifying";
        for (const CarPlan& c : plan.cars) truth.drivers.push_back({c.slot, c.firstName, c.lastName});
        for (const SessionPlan& s : plan.sessions) {
            if (s.kind == SessionKind::race) {
                truth.kind = "race";
                truth.raceLaps = s.laps;
            }
            runSession(s);
        }
    }
};

}  // namespace

SimulationResult simulate(const ReplayPlan& plan, const FrameSink& sink) {
    Sim sim(plan, sink);
    sim.run();
    return sim.result;
}

}  // namespace zr::sampler
