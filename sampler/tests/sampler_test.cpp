// The sampler's replays read back through the core, and its ground truth
// checked against the frames it wrote. The bundled samples and their ground
// truth are pinned byte for byte as well.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "chain_tables.h"
#include "replay_header.h"
#include "event_stream.h"
#include "replay_file.h"
#include "run_dir.h"
#include "sample_set.h"

namespace zr::sampler {
namespace {

Bytes view(const writer::ByteVec& v) { return Bytes{v.data(), v.size()}; }

struct Made {
    ReplayPlan plan;
    writer::ByteVec bytes;
    SimulationResult sim;
};

// The bundled samples, then a race of a full field of twenty at 60 frames
// per second.
const std::vector<Made>& made() {
    static const std::vector<Made> all = [] {
        std::vector<ReplayPlan> plans = bundledSamples();
        plans.push_back(randomRace("full", 20, 5, 3, 60, false));
        std::vector<Made> made(plans.size());
        for (std::size_t i = 0; i < plans.size(); ++i)
            made[i].bytes = replayBytes(made[i].plan = plans[i], &made[i].sim);
        return made;
    }();
    return all;
}

// Each car's samples of a session, frame by frame from the session's first
// frame (the race-start record, or a qualifying session's first record).
struct CarTrace {
    std::vector<int> frames;
    std::vector<std::int32_t> positions;
    std::vector<bool> refuel;
};
struct SessionTrace {
    std::map<int, CarTrace> cars;
    std::vector<std::int32_t> ownBlock;  // per frame; -1 without the block
    int frames = 0;
};

SessionTrace traceOf(const Made& m) {
    Bytes b = view(m.bytes);
    std::int64_t start = readChainTables(b, driver::secondRecord, false).laps.firstStreamRecord();
    if (m.sim.truth.kind == "race") start = findRaceStartRecord(b, start, true);
    else if (std::int64_t second = start; nextRecord(b, second)) start = second;
    SessionTrace t;
    walkFrames(b, start, kFromFirstBlock, 0, 0, [](int) { return false; },
               [&](const Frame& frame) {
                   for (int i = 0; i < frame.sampleCount; ++i) {
                       CarSample s = frame.sample(i);
                       CarTrace& c = t.cars[s.carSlot];
                       c.frames.push_back(frame.counter);
                       c.positions.push_back(s.samplePosition);
                       c.refuel.push_back((s.sampleFlags & 0x80) != 0);
                   }
                   t.ownBlock.push_back(ownCarPosition(b, frame));
                   t.frames = frame.counter + 1;
               });
    return t;
}

const TruthLaps* lapsOf(const GroundTruth& t, const std::string& session, int slot) {
    for (const TruthLaps& l : t.laps)
        if (l.session == session && l.slot == slot) return &l;
    return nullptr;
}

// The header and driver fields the sampler writes reach every report, which
// the e2e checks compare with the ground truth; the lap records are read back
// here, for the frames to be checked against them, and so is what the ground
// truth says about disconnects, escapes, pit stops and the time contacts cost.
TEST(Sampler, LapStampsAndIncidentsLookInTheFramesAsTheGroundTruthSays) {
    for (const Made& m : made()) {
        SCOPED_TRACE(m.plan.name);
        const GroundTruth& truth = m.sim.truth;
        SessionTrace trace = traceOf(m);
        EXPECT_EQ(trace.frames, truth.raceFrames);
        const bool race = truth.kind == "race";
        const LapTable read = readChainTables(view(m.bytes), driver::secondRecord, false).laps;
        EXPECT_TRUE(!race || read.leaderFinishStamp == truth.leaderFinishMs) << read.leaderFinishStamp;
        for (const auto& [slot, car] : trace.cars) {
            // A crossing goes from the last ten metres of the lap to its first
            // ten (a reset into a stall past the line is none).
            const std::int64_t tenMetres = 10 * kUnitsPerMetre;
            std::vector<int> crossings;
            for (std::size_t i = 1; i < car.positions.size(); ++i)
                if (car.positions[i - 1] > lapUnits(m.plan.track) - tenMetres && car.positions[i] < tenMetres &&
                    car.frames[i] == car.frames[i - 1] + 1)
                    crossings.push_back(car.frames[i]);
            const TruthLaps* laps = lapsOf(truth, truth.kind, slot);
            ASSERT_NE(laps, nullptr);
            for (std::size_t k = 0; k < laps->stamps.size(); ++k) EXPECT_EQ(read.lapStamps[slot][k], laps->stamps[k]);
            // Entry 0 of a race is the start signal; every other entry is a
            // crossing, but the first crossing of a race, from the grid behind
            // the line, opens lap 1: entry k is crossing k.
            ASSERT_GE(crossings.size(), laps->stamps.size()) << "car " << slot;
            for (std::size_t k = race ? 1 : 0; k < laps->stamps.size(); ++k) {
                // The stamp lies inside the frame's step, at most a rounding off.
                int frame = static_cast<int>(static_cast<std::int64_t>(laps->stamps[k]) * m.plan.frameRate / 1000);
                EXPECT_NEAR(frame + 1, crossings[k], 1) << "car " << slot << " entry " << k;
            }
        }
        if (m.plan.ownSlot > 0) {
            const CarTrace& own = trace.cars.at(m.plan.ownSlot);
            for (std::size_t i = 0; i < own.frames.size(); ++i)
                EXPECT_EQ(trace.ownBlock[static_cast<std::size_t>(own.frames[i])], own.positions[i]);
        }
        for (const TruthDisconnect& d : truth.disconnects) {
            const CarTrace& c = trace.cars.at(d.slot);
            EXPECT_EQ(c.frames.back(), d.frame);
            EXPECT_GT(c.positions.back() - c.positions[c.positions.size() - 2], 4000 / m.plan.frameRate);
        }
        for (const TruthEscape& e : truth.escapes) {
            const CarTrace& c = trace.cars.at(e.slot);
            auto at = static_cast<std::size_t>(std::find(c.frames.begin(), c.frames.end(), e.lastSeen) - c.frames.begin());
            ASSERT_LT(at + 1, c.frames.size());
            EXPECT_EQ(c.frames[at + 1], e.back);
            EXPECT_EQ(c.positions[at] != c.positions[at - 1], e.moving);
        }
        for (const TruthPitStop& p : truth.pitStops) {
            const CarTrace& c = trace.cars.at(p.slot);
            auto rest = static_cast<std::size_t>(std::find(c.frames.begin(), c.frames.end(), p.rest) - c.frames.begin());
            int end = p.leave >= 0 ? p.leave : c.frames.back();
            bool refuelled = false;
            for (std::size_t i = rest; i < c.frames.size() && c.frames[i] < end; ++i) {
                EXPECT_EQ(c.positions[i], c.positions[rest]);
                refuelled = refuelled || c.refuel[i];
            }
            EXPECT_EQ(refuelled, p.refuel) << "car " << p.slot;
        }
        for (const TruthContact& c : truth.contacts) {
            std::int64_t ms = static_cast<std::int64_t>(c.frame) * 1000 / m.plan.frameRate;
            for (int slot : {c.hitter, c.victim}) {
                const TruthLaps* laps = lapsOf(truth, "race", slot);
                std::int32_t best = 100000000;
                for (std::size_t k = 2; k < laps->stamps.size(); ++k)
                    best = std::min(best, laps->stamps[k] - laps->stamps[k - 1]);
                std::size_t k = 1;
                while (k < laps->stamps.size() && laps->stamps[k] <= ms) ++k;
                ASSERT_LT(k + 1, laps->stamps.size()) << "a contact in the last lap of car " << slot;
                std::int32_t lost = laps->stamps[k] - laps->stamps[k - 1] - best - (k == 1 ? 4000 : 0);
                // The victim of a costly contact loses time; nobody loses any in a harmless one.
                EXPECT_TRUE(c.costsTime ? slot != c.victim || lost > 5500 : lost < 2500) << "car " << slot << " lost " << lost;
            }
        }
    }
}

TEST(GroundTruth, TextReadsBackAsWritten) {
    GroundTruth back;
    std::string error;
    for (const Made& m : made()) {
        ASSERT_TRUE(parseGroundTruth(formatGroundTruth(m.sim.truth), back, error)) << error;
        EXPECT_EQ(formatGroundTruth(back), formatGroundTruth(m.sim.truth));
    }
    EXPECT_FALSE(parseGroundTruth("replay x\npitstop slot=3 lap=2\n", back, error));
    EXPECT_EQ(error, "line 2: no entry: pitstop slot=3 lap=2");
}

TEST(Sampler, BundledSamplesAreUpToDate) {
    test::RunDir dir;
    for (const ReplayPlan& plan : bundledSamples()) {
        SimulationResult r;
        std::uint64_t bytes = 0;
        std::string error;
        ASSERT_TRUE(writeReplayFiles(plan, dir.path(), r, bytes, error)) << error;
    }
    namespace fs = std::filesystem;
    int compared = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir.path())) {
        if (!entry.is_regular_file()) continue;
        std::string relative = fs::relative(entry.path(), dir.path()).string();
        EXPECT_TRUE(test::readFile(std::string(ZR_SAMPLES_DIR) + "/" + relative) == test::readFile(entry.path().string()))
            << "samples/" << relative << " differs from a fresh one: run `sampler samples samples` and commit it";
        ++compared;
    }
    EXPECT_EQ(compared, 2 * static_cast<int>(bundledSamples().size()) + 1);
    EXPECT_EQ(test::readFile(std::string(ZR_SAMPLES_DIR) + "/timediff.ini"), kSampleTimeDiff);
    EXPECT_EQ(test::readFile(std::string(ZR_SAMPLES_DIR) + "/myname.ini"), kSampleUserName);
}

}  // namespace
}  // namespace zr::sampler
