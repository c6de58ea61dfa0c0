// Writes the small bundled sample: a race replay with a pit lane, a
// disconnect, a car that runs to the finish, a repair in the pits and a
// reset to the pits, and its track.ini.
//   make_sample FOLDER   (FOLDER gets replay/ and tracks/)
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "replay_builder.h"

using namespace zr::test;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sample FOLDER\n");
        return 2;
    }
    std::filesystem::path root = argv[1];
    ReplaySpec spec;
    spec.trackName = "smplring";
    spec.reportTrackName = "SmplRing";
    spec.sessionLength = 600.0f;
    spec.drivers = {{"Race", "Server", 0, 0}, {"Anna", "Arnold", 1, 1}, {"Bert", "Brandt", 2, 2},
                    {"Carl", "Cramer", 3, 3}};
    spec.practiceLaps = {lapRecord(1, {0, 62000}), lapRecord(2, {0, 63500}), lapRecord(3, {0, 61000})};
    spec.hasRaceBlock = true;
    // Laps of 20 s on a 1 km ring: 100000 position units per second at 36 fps.
    spec.raceLaps = {lapRecord(1, {0, 20000, 40000, 60000, 80000, 100000, 120000, 140000, 160000}),
                     lapRecord(2, {0, 20500, 41000, 61500, 82000, 102500, 123000, 143500, 164000}),
                     lapRecord(3, {0, 21000, 42000})};
    spec.records.push_back(sessionRecord(0));
    spec.records.push_back(sessionRecord(1));
    const int lapUnits = 2000000;
    for (int f = 1; f <= 36 * 170; ++f) {
        std::vector<SampleSpec> samples;
        samples.push_back({1, (f * 2778) % lapUnits, 0, 0, 0, 3});
        // Car 2 stops in gear 1 at 28 s, is set aside by a reset at 29 s and drives on at 30 s.
        bool standing = f >= 1000 && f < 1080;
        int driven = f < 1000 ? f : standing ? 1000 : f - 80;
        std::int16_t aside = f >= 1044 ? 420 : 0;
        samples.push_back({2, (driven * 2710) % lapUnits, 0, aside, f >= 1044 ? 40 : 0, standing ? 1 : 3});
        if (f < 36 * 50) samples.push_back({3, (f * 2650) % lapUnits, 0, 0, 0, 3});  // disconnects at 50 s
        // Car 1's damage state every half second: a wheel lost and engine
        // damage from 41.5 s, both repaired at 61.5 s between the stalls.
        std::vector<Block> damage;
        bool damaged = f >= 1494 && f < 2214;
        if (f % 18 == 0) damage.push_back(damageBlock(1, damaged ? 0x03 : 0, damaged ? 12 : 0));
        spec.records.push_back(frameRecord(samples, 2, damage));
    }
    ByteVec bytes = buildReplay(spec);
    std::filesystem::create_directories(root / "replay");
    std::filesystem::create_directories(root / "tracks" / "smplring");
    std::ofstream(root / "replay" / "sample_race.rpy", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    std::ofstream(root / "tracks" / "smplring" / "track.ini", std::ios::binary)
        << trackIniText(1850.0, 120.0, 100.0, 40.0);
    std::ofstream(root / "timediff.ini", std::ios::binary) << "0 120\r\n";
    return 0;
}
