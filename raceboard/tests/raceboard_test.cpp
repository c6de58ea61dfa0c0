// raceboard run as a user runs it: scripted console input in a working
// directory; the console, the exit code and the page compared byte for byte
// with the reviewed runs in golden/CASE (ZR_UPDATE_GOLDEN=1 rewrites them).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <utime.h>

#include "board_replays.h"
#include "golden.h"
#include "run_dir.h"

namespace zr {
namespace {

using namespace zr::test;

constexpr time_t kReplayTime = 1764945000;  // Fri Dec 05 14:30:00 2025 UTC

// A server replay whose car slot 5 has no samples in the stream.
ReplaySpec withoutSamplesOfSlot5(ReplaySpec recipe) {
    for (RecordSpec& record : recipe.records) {
        ByteVec& samples = record.blocks.back().data;
        ByteVec kept;
        for (std::size_t i = 0; i + 16 <= samples.size(); i += 16)
            if ((samples[i + 7] >> 2) != 5) kept.insert(kept.end(), samples.begin() + i, samples.begin() + i + 16);
        samples = kept;
    }
    return recipe;
}

struct BoardRun {
    const char* name;  // the golden folder
    std::function<ReplaySpec()> recipe;
    const char* input;
    bool withoutConfig = false;
};

void PrintTo(const BoardRun& run, std::ostream* out) { *out << run.name; }

const BoardRun kRuns[] = {
    {"server_race", serverRaceReplay, "race\n0\n"},
    // A number outside the menu gives the page without speeds.
    {"server_race_no_v", serverRaceReplay, "race\n2\n99\n"},
    {"participant_race", participantRaceReplay, "race\n0\n"},
    // The stamp of the own race lap 3 lies 19 s before the car reaches the
    // line: the lap is shorter than its third quarter mark and shows its
    // number only.
    {"own_lap_with_negative_sector",
     [] { ReplaySpec r = participantRaceReplay(); r.raceLaps[1].entries[3].stamp = 255000; return r; }, "race\n0\n"},
    // A recording slot outside the tables: the page without its own laps.
    {"recording_slot_outside_the_tables",
     [] { ReplaySpec r = participantRaceReplay(); r.localDriverSlot = 1392508928; return r; }, "race\n0\n"},
    // No race table: head, title and footer only, and no dialogue.
    {"practice_only", practiceOnlyReplay, "race\n"},
    // Fewer than three driver records skip the dialogue; the leader and
    // fastest-lap parts stay empty.
    {"two_drivers", [] { ReplaySpec r = serverRaceReplay(); r.drivers.resize(2); return r; }, "race\n"},
    // Slot 0 leads laps 3 to 5 and drives the fastest laps 3 and 5: he is
    // listed in the LEADER, CONSISTENCY and NUMBER OF FASTEST LAPS tables,
    // never on yellow, as no car of a server replay is the own one.
    {"driver_in_slot_zero",
     [] {
         ReplaySpec r = serverRaceReplay();
         r.raceLaps.push_back(lapRecord(0, {1100, 41000, 80500, 119700, 159000, 199000}));
         return r;
     },
     "race\n0\n"},
    // No practice lap off track: section 2 shows no lap list. Without samples
    // of slot 5 the sector 2 list has 4 entries and the on-track list 5, and
    // the section's rows hold the longest list shown.
    {"section_rows",
     [] {
         ReplaySpec r = serverRaceReplay();
         r.practiceLaps[0] = lapRecord(1, {2000, 63000, 121500, 182000});
         return withoutSamplesOfSlot5(r);
     },
     "race\n0\n"},
    {"no_config", serverRaceReplay, "race\n", true},
    {"no_replay", serverRaceReplay, "other\n"},
};

class RaceboardRun : public ::testing::TestWithParam<BoardRun> {};

TEST_P(RaceboardRun, RunsAsTheGoldenFilesSay) {
    ::setenv("TZ", "UTC", 1);
    RunDir dir;
    dir.writeConfig();
    dir.writeReplay("race", buildReplay(GetParam().recipe()));
    struct utimbuf times {kReplayTime, kReplayTime};
    ::utime((dir.replayFolder() + "race.rpy").c_str(), &times);
    if (GetParam().withoutConfig) std::filesystem::remove(dir.path() + "/Zant_Raceboard.ini");
    expectRunAsGolden(RACEBOARD_EXE, dir, GetParam().input,
                      std::string(RACEBOARD_GOLDEN_DIR) + "/" + GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(, RaceboardRun, ::testing::ValuesIn(kRuns),
                         [](const ::testing::TestParamInfo<BoardRun>& info) { return info.param.name; });

TEST(RaceboardRuns, ANameWithFolderPartsGivesThePageInTheWorkingDirectory) {
    RunDir dir;
    dir.writeConfig();
    dir.writeReplay("race", buildReplay(serverRaceReplay()));
    EXPECT_EQ(compareRunsWithFolderParts(RACEBOARD_EXE, dir, [](const std::string& f) { return f + "race\n0\n"; }),
              "");
}

TEST(RaceboardRuns, CutAndDamagedReplaysEndWithAPage) {
    const ByteVec full = buildReplay(serverRaceReplay());
    const ReplayLayout layout = layoutOf(serverRaceReplay());
    for (std::size_t cut : {std::size_t{200}, std::size_t{700}, layout.raceBlock + 30, layout.streamStart + 5,
                            layout.recordOffsets[3000] + 7, full.size() - 5000}) {
        RunDir dir;
        dir.writeConfig();
        dir.writeReplay("cut", ByteVec(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(cut)));
        RunResult r = runProgram(RACEBOARD_EXE, dir, "cut\n0\n");
        EXPECT_EQ(r.exitCode, 0) << cut;
        EXPECT_TRUE(dir.exists("cut.html")) << cut;
    }
}

}  // namespace
}  // namespace zr
