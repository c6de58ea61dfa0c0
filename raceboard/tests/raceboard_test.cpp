// raceboard run as a user runs it: scripted console input in a working
// directory, the page compared byte for byte with the reviewed pages in
// golden/ (ZR_UPDATE_GOLDEN=1 rewrites them from the program's output).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <utime.h>

#include "board_replays.h"
#include "golden.h"
#include "run_dir.h"

namespace zr {
namespace {

using namespace zr::test;

constexpr time_t kReplayTime = 1764945000;  // Fri Dec 05 14:30:00 2025 UTC

std::string golden(const std::string& name) { return std::string(RACEBOARD_GOLDEN_DIR) + "/" + name; }

struct Board {
    RunDir dir;
    explicit Board(const ReplaySpec& recipe, const std::string& name = "race") {
        ::setenv("TZ", "UTC", 1);
        dir.writeConfig();
        dir.writeReplay(name, buildReplay(recipe));
        struct utimbuf times {kReplayTime, kReplayTime};
        ::utime((dir.replayFolder() + name + ".rpy").c_str(), &times);
    }
    RunResult run(const std::string& input) { return runProgram(RACEBOARD_EXE, dir, input); }
};

TEST(RaceboardRun, ServerReplayPage) {
    Board board(serverRaceReplay());
    RunResult r = board.run("race\n0\n");
    EXPECT_EQ(r.exitCode, 0) << r.console;
    ASSERT_TRUE(board.dir.exists("race.html"));
    expectGolden(golden("server_race.html"), board.dir.read("race.html"));
    EXPECT_NE(r.console.find("Please put in a name of a replay-file (without .rpy)!\n\n" +
                             board.dir.configuredTracksFolder() + "\n\nSMPLRING\nF1 \xC2\xB4" "67\n\n\n             BESTE RUNDEN TABELLE\n\n"),
              std::string::npos)
        << r.console;
    EXPECT_NE(r.console.find("track length=119986cm\n36fps\n"), std::string::npos) << r.console;
    EXPECT_NE(r.console.find("and max.speed of E.EngelSECTOR 3=\n\nSECTOR 4=\n"), std::string::npos) << r.console;
}

TEST(RaceboardRun, TypingANumberOutsideTheMenuGivesThePageWithoutSpeeds) {
    Board board(serverRaceReplay());
    RunResult r = board.run("race\n2\n99\n");
    EXPECT_EQ(r.exitCode, 0) << r.console;
    EXPECT_FALSE(board.dir.exists("race.html"));
    ASSERT_TRUE(board.dir.exists("raceno_v.html"));
    expectGolden(golden("server_race_no_v.html"), board.dir.read("raceno_v.html"));
    EXPECT_NE(r.console.find("\nBert M\xC3\xBCller & <Co>\n\n"), std::string::npos) << r.console;
}

TEST(RaceboardRun, ParticipantReplayPage) {
    Board board(participantRaceReplay());
    RunResult r = board.run("race\n0\n");
    EXPECT_EQ(r.exitCode, 0) << r.console;
    ASSERT_TRUE(board.dir.exists("race.html"));
    expectGolden(golden("participant_race.html"), board.dir.read("race.html"));
    EXPECT_NE(r.console.find("60fps\n\nWait a moment, please... The tool is searching for sector times\nand max.speed "
                             "of practice\n\nWait a moment, please... The tool is searching for sector times\nand "
                             "max.speed of race\n"),
              std::string::npos)
        << r.console;
}

TEST(RaceboardRun, AnOwnLapWithANegativeSectorShowsItsNumberOnly) {
    // The stamp of the own race lap 3 lies 19 s before the car reaches the
    // line: the lap is shorter than its third quarter mark.
    ReplaySpec recipe = participantRaceReplay();
    recipe.raceLaps[1].entries[3].stamp = 255000;
    Board board(recipe);
    EXPECT_EQ(board.run("race\n0\n").exitCode, 0);
    const std::string page = board.dir.read("race.html");
    const std::string race = page.substr(page.find("RACE LAPS of"));
    EXPECT_NE(race.find("<tr> \r\n<td align=\"center\"> 3 </td> </tr> \r\n"), std::string::npos);
    EXPECT_NE(race.find("<tr> \r\n<td align=\"center\"> 4 </td> <td align=\"right\""), std::string::npos);
    EXPECT_EQ(race.find("-0"), std::string::npos);
}

TEST(RaceboardRun, ReplayWithoutRaceTableHasHeadTitleAndFooterOnly) {
    Board board(practiceOnlyReplay());
    RunResult r = board.run("race\n");  // no dialogue, so no further input
    EXPECT_EQ(r.exitCode, 0) << r.console;
    ASSERT_TRUE(board.dir.exists("race.html"));
    expectGolden(golden("practice_only.html"), board.dir.read("race.html"));
    EXPECT_EQ(r.console.find("BESTE RUNDEN"), std::string::npos);
}

TEST(RaceboardRun, FewerThanThreeDriverRecordsSkipTheDialogue) {
    ReplaySpec recipe = serverRaceReplay();
    recipe.drivers.resize(2);
    Board board(recipe);
    RunResult r = board.run("race\n");
    EXPECT_EQ(r.exitCode, 0) << r.console;
    EXPECT_EQ(r.console.find("BESTE RUNDEN"), std::string::npos);
    std::string page = board.dir.read("race.html");
    // The normal page, with empty leader and fastest-lap parts.
    EXPECT_NE(page.find("<caption align=\"left\"> <b>LEADER</b> </caption> <tr> \r\n</tr> \r\n"), std::string::npos);
    EXPECT_NE(page.find("v min"), std::string::npos);
}

TEST(RaceboardRun, ADriverInSlotZeroOfAServerReplay) {
    // Slot 0 leads laps 3 to 5 and drives the fastest laps 3 and 5: he is
    // listed in the LEADER, CONSISTENCY and NUMBER OF FASTEST LAPS tables, never
    // on yellow, as no car of a server replay is the own one.
    ReplaySpec recipe = serverRaceReplay();
    recipe.raceLaps.push_back(lapRecord(0, {1100, 41000, 80500, 119700, 159000, 199000}));
    Board board(recipe);
    EXPECT_EQ(board.run("race\n0\n").exitCode, 0);
    const std::string page = board.dir.read("race.html");
    // His run closes the LEADER table.
    EXPECT_NE(page.find("<td> \r\n lap 3-5: Race Server </td> \r\n </tr> \r\n </border> </table>"), std::string::npos);
    EXPECT_NE(page.find("<td>\r\nRace Server </td> <td>\r\n0.76 </td>"), std::string::npos);
    EXPECT_NE(page.find("<td align=\"center\">\r\nRace Server </td> <td>\r\n2 </td>"), std::string::npos);
    EXPECT_EQ(page.find("FFFF00"), std::string::npos);
}

TEST(RaceboardRun, SectionRowsHoldTheLongestListShown) {
    // No practice lap off track: section 2 shows no lap list. Slot 5 has no
    // car samples, so the sector 2 list has 4 entries and the on-track list 5.
    ReplaySpec recipe = serverRaceReplay();
    recipe.practiceLaps[0] = lapRecord(1, {2000, 63000, 121500, 182000});
    for (RecordSpec& record : recipe.records) {
        ByteVec& samples = record.blocks.back().data;
        ByteVec kept;
        for (std::size_t i = 0; i + 16 <= samples.size(); i += 16)
            if ((samples[i + 7] >> 2) != 5) kept.insert(kept.end(), samples.begin() + i, samples.begin() + i + 16);
        samples = kept;
    }
    Board board(recipe);
    EXPECT_EQ(board.run("race\n0\n").exitCode, 0);
    const std::string page = board.dir.read("race.html");
    const std::size_t section2 = page.find("ALL PRACTICE LAPS ARE ON TRACK"), section3 = page.find("FASTEST RACE LAPS");
    ASSERT_LT(section2, section3);
    const std::string rows = page.substr(section2, section3 - section2);
    EXPECT_NE(rows.find("<td colspan=\"7\" td rowspan=\"7\"></td>"), std::string::npos);  // 5 rows + 2
    int onTrackEntries = 0;
    for (std::size_t at = rows.find("\n("); at != std::string::npos; at = rows.find("\n(", at + 1)) ++onTrackEntries;
    EXPECT_EQ(onTrackEntries, 5);
    EXPECT_NE(rows.find("Emil Engel"), std::string::npos);
}

TEST(RaceboardRun, StartFailures) {
    {
        Board board(serverRaceReplay());
        std::filesystem::remove(board.dir.path() + "/Zant_Raceboard.ini");
        RunResult r = board.run("race\n");
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.console, "Please put in a name of a replay-file (without .rpy)!\nDatei wrong!!!");
    }
    {
        Board board(serverRaceReplay());
        RunResult r = board.run("other\n");
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.console, "Please put in a name of a replay-file (without .rpy)!\n"
                             "Dateiname or Pfad false!!!Press any key to continue . . . \n");
        EXPECT_FALSE(board.dir.exists("other.html"));
    }
}

TEST(RaceboardRun, ANameWithFolderPartsGivesThePageInTheWorkingDirectory) {
    Board board(serverRaceReplay());
    EXPECT_EQ(
        compareRunsWithFolderParts(RACEBOARD_EXE, board.dir, [](const std::string& f) { return f + "race\n0\n"; }), "");
}

TEST(RaceboardRun, CutAndDamagedReplaysEndWithAPage) {
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

TEST(RaceboardRun, ARecordingSlotOutsideTheTablesGivesAPageWithoutItsLaps) {
    ReplaySpec recipe = participantRaceReplay();
    recipe.localDriverSlot = 1392508928;
    Board board(recipe);
    RunResult r = board.run("race\n0\n");
    EXPECT_EQ(r.exitCode, 0) << r.console;
    std::string page = board.dir.read("race.html");
    EXPECT_NE(page.find("NON SERVER"), std::string::npos);
    EXPECT_NE(page.find("IDEAL LAPS"), std::string::npos);
}
}  // namespace
}  // namespace zr
