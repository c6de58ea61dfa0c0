#include "sample_set.h"

#include <algorithm>
#include <string>

#include "prng.h"

namespace zr::sampler {

namespace {

Incident pitStop(int slot, int lap, int repairS, int tyresS, int refuelS) {
    return {.deed = Deed::pitStop, .slot = slot, .lap = lap, .repairS = repairS, .tyresS = tyresS, .refuelS = refuelS};
}

Incident at(Deed deed, int slot, int lap, int atM) { return {.deed = deed, .slot = slot, .lap = lap, .atM = atM}; }

Incident contact(int hitter, int victim, int lap, int atM, Touch touch, int hitterEngine = 0, int wheel = 0) {
    return {.deed = Deed::contact, .slot = hitter, .lap = lap, .atM = atM, .other = victim, .touch = touch,
            .wheel = wheel, .level = hitterEngine};
}

// All wheels off the track at full speed: an off-track lap that can be the
// car's fastest.
Incident runsWide(int slot, int lap, int atM) {
    Incident i = at(Deed::offTrack, slot, lap, atM);
    i.lifts = false;
    return i;
}

Incident engine(int slot, int lap, int atM, int level) {
    return {.deed = Deed::engine, .slot = slot, .lap = lap, .atM = atM, .level = level};
}

SessionPlan practice(int seconds, std::vector<Incident> incidents = {}) {
    return {.kind = SessionKind::practice, .seconds = seconds, .incidents = std::move(incidents)};
}

SessionPlan race(int laps, std::vector<int> grid, std::vector<Incident> incidents) {
    return {.kind = SessionKind::race, .laps = laps, .grid = std::move(grid), .incidents = std::move(incidents)};
}

Incident spinReset(int slot, int lap, int atM) {
    Incident i = at(Deed::spinReset, slot, lap, atM);
    i.standS = 3;
    return i;
}

// The bundled samples are driven on a track of about three kilometres, so
// their laps take about 65 seconds as real ones do; the races are short
// (four or five laps after a practice of one flying lap) to keep the files small.
ReplayPlan racePlan(const std::string& name, std::uint64_t seed, std::vector<CarPlan> cars) {
    ReplayPlan p;
    p.name = name;
    p.seed = seed;
    p.track = mediumTrack();
    p.modName = "GT Cup";
    p.sessionLength = 900.0f;
    p.cars = std::move(cars);
    return p;
}

// A server's race with every kind of pit stop, a contact that costs time and
// one that does not, rising engine damage, resets in and outside the pits, a
// disconnect, a retirement in the pits and a lapped car.
ReplayPlan serverRace() {
    ReplayPlan p = racePlan("race_server", 7101,
                            {{1, "Anna", "Albers", 0, 1000}, {2, "Bernd", "Brinkmann", 1, 997},
                             {3, "Carla", "Conrad", 2, 993}, {4, "Dieter", "D\xF6rr", 3, 990},
                             {5, "Elke", "Ehlers", 4, 986}, {6, "Frank", "Fuchs", 5, 983},
                             {7, "Gisela", "Gerber", 6, 978}});
    p.sessions.push_back(practice(160, {at(Deed::cut, 3, 1, 1510), at(Deed::offTrack, 5, 1, 2270)}));
    Incident crooked = pitStop(4, 3, 0, 16, 8);
    crooked.crooked = true;
    // Car 5 stands long beside the track before its reset and falls a lap behind.
    Incident spun = spinReset(5, 3, 2120);
    spun.standS = 20;
    Incident stays = pitStop(6, 4, 20, 0, 0);
    stays.leaves = false;
    stays.standS = 25;
    p.sessions.push_back(race(5, {1, 3, 2, 5, 4, 6, 7},
                              {contact(2, 3, 2, 1810, Touch::spin, 9), contact(4, 5, 2, 1300, Touch::light),
                               at(Deed::disconnect, 7, 2, 2270), pitStop(1, 2, 0, 0, 9),
                               at(Deed::offTrack, 3, 3, 1130), engine(2, 3, 2270, 17), crooked,
                               pitStop(2, 4, 16, 0, 6), spun, stays,
                               at(Deed::offTrack, 1, 4, 2460), runsWide(4, 5, 1300)}));
    return p;
}

// A participant's race (the own car's block in every frame): a lost wheel
// after a contact and the reset that follows, rising engine damage of the own
// car and pit stops.
ReplayPlan driverRace() {
    ReplayPlan p = racePlan("race_driver", 7202,
                            {{1, "Holger", "Hansen", 2, 1000}, {2, "J\xFCrgen", "Jansen", 0, 996},
                             {3, "Ines", "Imhof", 5, 993}, {4, "Katrin", "K\xE4stner", 1, 990}});
    p.ownSlot = 2;
    p.sessions.push_back(practice(150, {at(Deed::cut, 2, 1, 1440), at(Deed::offTrack, 1, 1, 1130)}));
    p.sessions.push_back(race(4, {2, 3, 4, 1},
                              {engine(2, 1, 1130, 6), pitStop(3, 2, 0, 0, 10),
                               contact(1, 4, 2, 1590, Touch::wheel, 5, 2), engine(2, 2, 2460, 14),
                               pitStop(2, 3, 0, 16, 7), at(Deed::offTrack, 2, 4, 950), runsWide(3, 4, 1600)}));
    return p;
}

// A qualifying session: an escape beside the track (the one the league
// forbids), an escape from the pits and a car that vanished while driving.
ReplayPlan qualifying() {
    ReplayPlan p;
    p.name = "quali";
    p.seed = 7303;
    p.frameRate = 60;
    p.track = mediumTrack();
    p.modName = "GT Cup";
    p.cars = {{1, "Marion", "M\xF6ller", 3, 1000}, {2, "Nils", "Neumann", 6, 995}, {3, "Olaf", "Ostermann", 2, 990},
              {4, "Petra", "Pohl", 0, 985}};
    SessionPlan s;
    s.kind = SessionKind::qualifying;
    s.seconds = 165;
    p.sessionLength = static_cast<float>(s.seconds);
    Incident outside = at(Deed::escape, 1, 1, 1590);
    outside.standS = 2;
    outside.awayS = 15;
    Incident inPits = at(Deed::pitEscape, 2, 1, 0);
    inPits.standS = 4;
    inPits.awayS = 12;
    Incident moving = at(Deed::vanish, 3, 1, 1130);
    moving.awayS = 10;
    Incident stays = pitStop(4, 1, 0, 0, 0);
    stays.leaves = false;
    stays.standS = 999;
    s.incidents = {outside, inPits, moving, stays};
    p.sessions.push_back(s);
    return p;
}

// The three grids of event 300, each a server replay of its own, with a
// retirement beside the track, a disconnect, a contact and a lost wheel.
std::vector<ReplayPlan> eventGrids() {
    ReplayPlan a = racePlan("300rplyA", 7401,
                            {{1, "Ralf", "Riedel", 1, 1000}, {2, "Sabine", "Schulte", 3, 995}, {3, "Thomas", "Thiele", 5, 989}});
    Incident retire = at(Deed::retire, 3, 3, 2120);
    retire.standS = 15;
    a.sessions.push_back(practice(145));
    a.sessions.push_back(race(4, {1, 2, 3}, {pitStop(2, 2, 0, 0, 8), at(Deed::offTrack, 3, 2, 1890), retire}));

    ReplayPlan b = racePlan("300rplyB", 7402,
                            {{1, "Ute", "Ullrich", 4, 998}, {2, "Volker", "Vogt", 2, 994}, {3, "Wiebke", "Weber", 6, 990}});
    b.sessions.push_back(practice(145));
    b.sessions.push_back(race(4, {1, 2, 3}, {at(Deed::disconnect, 3, 2, 1510), pitStop(1, 3, 0, 16, 0)}));

    ReplayPlan c = racePlan("300rplyC", 7403,
                            {{1, "Yvonne", "Yilmaz", 0, 997}, {2, "Zeno", "Zimmer", 1, 992}, {3, "Luca", "D'Angelo", 3, 987}});
    Incident wheel = at(Deed::loseWheel, 3, 3, 1320);
    wheel.wheel = 3;
    c.sessions.push_back(practice(145));
    c.sessions.push_back(race(4, {2, 1, 3}, {contact(1, 2, 2, 1890, Touch::spin, 0), engine(1, 3, 760, 11), wheel}));
    return {a, b, c};
}

}  // namespace

std::vector<ReplayPlan> bundledSamples() {
    std::vector<ReplayPlan> all = {serverRace(), driverRace(), qualifying()};
    for (ReplayPlan& g : eventGrids()) all.push_back(std::move(g));
    return all;
}

ReplayPlan randomRace(const std::string& name, int cars, int laps, std::uint64_t seed, int frameRate,
                      bool longTrack) {
    static const char* const firstNames[] = {"Achim", "Birgit", "Claus", "Doris", "Egon",  "Frauke", "Gerd",
                                             "Hanna", "Ingo",   "Jana",  "Knut",  "Lena",  "Malte",  "Nora",
                                             "Otto",  "Paula",  "Rolf",  "Silke", "Tim",   "Uwe",    "Vera"};
    static const char* const lastNames[] = {"Adler", "Bauer",  "Claassen", "Diehl", "Eggers", "Fischer", "Gr\xFCn",
                                            "Haas",  "Iwersen", "Jung",    "Krause", "Lange",  "Meyer",   "Nolte",
                                            "Otten", "Peters", "Rieck",   "Sommer", "Tietz",  "Unger",   "Voss"};
    cars = std::clamp(cars, 3, 20);
    laps = std::clamp(laps, 3, 490);
    Prng prng{seed};
    ReplayPlan p;
    p.name = name;
    p.seed = seed;
    p.frameRate = frameRate == 60 ? 60 : 36;
    p.track = longTrack ? zr::sampler::longTrack() : shortTrack();
    p.modName = "Open";
    const int lapS = static_cast<int>(referenceLapMs(p.track) / 1000) + 1;
    p.sessionLength = static_cast<float>(lapS * laps * 2);

    // Slots from 1, paces spread over 3 per cent, names from the lists (the
    // steps share no factor with their length, so no two cars are named alike).
    std::vector<int> offsets;
    for (int i = 0; i < cars; ++i) offsets.push_back(prng.between(0, 30));
    std::sort(offsets.begin(), offsets.end());
    for (int i = 0; i < cars; ++i) {
        int fn = (i * 5 + static_cast<int>(seed % 21)) % 21;
        int ln = (i * 8 + static_cast<int>(seed % 17)) % 21;
        p.cars.push_back({1 + i, firstNames[fn], lastNames[ln], i % 7, 1000 - offsets[i]});
    }

    SessionPlan pr = practice(longTrack ? 150 : 70);
    std::vector<int> grid;
    for (const CarPlan& c : p.cars) grid.push_back(c.slot);
    SessionPlan r = race(laps, {}, {});
    auto slotAt = [&](int i) { return p.cars[static_cast<std::size_t>(i)].slot; };
    auto anyLap = [&](int lo, int hi) { return prng.between(std::max(1, lo), std::max(1, std::min(hi, laps - 1))); };
    auto anyPlace = [&] { return prng.between(p.track.pitLaneEndM + 60, p.track.pitLaneStartM - 200); };

    // A faster car starts right behind a slower one and runs into it.
    if (cars >= 5) {
        int victim = prng.between(1, cars - 4);
        std::swap(grid[static_cast<std::size_t>(victim)], grid[static_cast<std::size_t>(victim) + 1]);
        r.incidents.push_back(contact(grid[static_cast<std::size_t>(victim) + 1], grid[static_cast<std::size_t>(victim)],
                                      std::min(2, laps - 1), anyPlace(), Touch::spin, prng.between(3, 12)));
    }
    r.grid = grid;
    // Pit stops every 25 laps or so, refuelling with tyres or a repair now and then.
    for (int i = 0; i < cars; ++i) {
        for (int lap = prng.between(3, std::max(3, std::min(27, laps - 2))); lap < laps - 1; lap += 25) {
            int kind = prng.between(0, 3);
            r.incidents.push_back(pitStop(slotAt(i), lap, kind == 3 ? 16 : 0, kind == 1 || kind == 2 ? 16 : 0,
                                          prng.between(6, 11)));
        }
        for (int k = 0; k < laps / 10; ++k) r.incidents.push_back(at(Deed::offTrack, slotAt(i), anyLap(2, laps), anyPlace()));
    }
    r.incidents.push_back(engine(slotAt(0), anyLap(2, laps / 2), anyPlace(), prng.between(4, 20)));
    // The slowest car drops out on lap 2, the next retires in the second half.
    Incident gone = at(Deed::disconnect, slotAt(cars - 1), std::min(2, laps - 1), anyPlace());
    Incident retire = at(Deed::retire, slotAt(cars - 2), anyLap(laps / 2, laps), anyPlace());
    retire.standS = 10;
    auto afterLeaving = [&](const Incident& i) {
        return (i.slot == gone.slot && i.lap >= gone.lap) || (cars >= 5 && i.slot == retire.slot && i.lap >= retire.lap);
    };
    r.incidents.erase(std::remove_if(r.incidents.begin(), r.incidents.end(), afterLeaving), r.incidents.end());
    r.incidents.push_back(gone);
    if (cars >= 5) {
        r.incidents.push_back(retire);
        r.incidents.push_back(spinReset(slotAt(cars - 3), anyLap(3, laps), anyPlace()));
        Incident wheel = at(Deed::loseWheel, slotAt(1), anyLap(3, laps), anyPlace());
        wheel.wheel = prng.between(0, 3);
        r.incidents.push_back(wheel);
    }
    // Incidents of one car in lap order, so each comes about.
    std::stable_sort(r.incidents.begin(), r.incidents.end(), [](const Incident& a, const Incident& b) {
        return a.slot != b.slot ? a.slot < b.slot : a.lap < b.lap;
    });
    p.sessions = {pr, r};
    return p;
}

ReplayPlan benchmarkRace(int megabytes, int cars, int frameRate) {
    cars = std::clamp(cars, 3, 20);
    frameRate = frameRate == 60 ? 60 : 36;
    // About 16 bytes per car and 20 more per frame.
    TrackModel track = longTrack();
    const std::int64_t bytesPerSecond = (20 + 16 * cars) * frameRate;
    const std::int64_t lapMs = referenceLapMs(track) * 102 / 100;
    auto laps = static_cast<int>(static_cast<std::int64_t>(megabytes) * 1048576 * 1000 / (bytesPerSecond * lapMs));
    // The first benchmark race keeps its old name; others say what they are.
    std::string name = "bench";
    if (cars != 20 || frameRate != 36) name += std::to_string(cars) + "x" + std::to_string(frameRate);
    return randomRace(name, cars, laps, 20240601, frameRate, true);
}

}  // namespace zr::sampler
