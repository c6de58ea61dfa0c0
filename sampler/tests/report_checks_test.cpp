// The report checks on hand-written reports: each accepts a report that
// lists the ground truth and names what a wrong one misses or adds.
#include <gtest/gtest.h>

#include "report_checks.h"
#include "run_dir.h"

namespace zr::sampler {
namespace {

using test::crlf;

// A race at 36 frames per second whose winner finished at 200 s.
GroundTruth race() {
    GroundTruth t;
    t.kind = "race";
    t.frameRate = 36;
    t.trackFolder = "eichberg";
    t.leaderFinishMs = 200000;
    t.drivers = {{1, "Anna", "Albers"}, {2, "Bernd", "Brinkmann"}, {3, "Carl", "Cramer"}};
    return t;
}

bool mentions(const std::string& problems, const std::string& what) { return problems.find(what) != std::string::npos; }

// The report `text` (line feeds) with its first `from` replaced by `to`, as stored.
std::string edited(std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return crlf(text);
}

TEST(ReportChecks, DiscoReportListsDisconnectsBeforeTheLast100Seconds) {
    GroundTruth t = race();
    t.disconnects = {{1800, 3}, {3700, 1}};  // 50 s; 102 s lies in the last 100 s
    EXPECT_EQ(checkDiscoReport(t, crlf("DISCOS OR FREEZES:\n\n 0:50\t Carl Cramer\n\n\n\n\n")), "");
    EXPECT_NE(checkDiscoReport(t, crlf("DISCOS OR FREEZES:\n\nNo discos or freezes found.\n\n\n\n")), "");
    t.disconnects.clear();
    EXPECT_EQ(checkDiscoReport(t, crlf("DISCOS OR FREEZES:\n\nNo discos or freezes found.\n\n\n\n")), "");
}

TEST(ReportChecks, PitStopReportNeedsEveryStopWithItsWorkAndTime) {
    GroundTruth t = race();
    // Entry at 60 s, at rest at 70 s, out at 85 s: 25.0 s in the pit lane.
    t.pitStops = {{1, 3, 2160, 2520, 2880, 3060, false, true, true}, {3, 5, 4000, 4300, -1, -1, true, false, false}};
    const std::string good =
        "  PITSTOP LISTING\n\n"
        "   1:10\t 24.8s\tA.Albers\tTire change/Refuel\n"
        "   1:59\t --.-\tC.Cramer\tPitstop not completed\n"
        "\n\n  1 * A.Albers\n  1 * C.Cramer\n";
    EXPECT_EQ(checkPitStopReport(t, crlf(good)), "");

    EXPECT_TRUE(mentions(checkPitStopReport(t, edited(good, "Tire change/", "")), "expected \"250 Tire change/Refuel\""));
    EXPECT_NE(checkPitStopReport(t, edited(good, "24.8", "26.1")), "");
    EXPECT_TRUE(mentions(checkPitStopReport(t, edited(good, "completed\n", "completed\n   2:30\t 20.0s\tB.Brinkmann\tRefuel\n")),
                         "not in the ground truth"));
    EXPECT_TRUE(mentions(checkPitStopReport(t, ""), "no report"));
}

TEST(ReportChecks, ResetReportNeedsTheVerdictAndTheWarning) {
    GroundTruth t = race();
    t.resets = {{3600, 2, "repair", "damage", true}, {5400, 3, "reset", "jump", false}};
    const std::string good =
        "  SHIFT R-LISTE\n\n"
        "  1\t   1:40\t B.Brinkmann   (in pits)\n"
        "  2\t   2:30\t C.Cramer   (not in pits) ATTENTION: unsure if ShiftR correct\n"
        "\n\n  \xDC" "BERSICHT\n\n  1 * B.Brinkmann\n  1 * C.Cramer\n";
    EXPECT_EQ(checkResetReport(t, crlf(good)), "");
    EXPECT_TRUE(mentions(checkResetReport(t, edited(good, " ATTENTION: unsure if ShiftR correct", "")),
                         "expected \"(not in pits) ATTENTION"));
    t.resets.clear();
    EXPECT_EQ(checkResetReport(t, ""), "");
}

TEST(ReportChecks, EscapeReportListsTheFirstEscapeBesideTheTrack) {
    GroundTruth t;
    t.kind = "qualifying";
    t.frameRate = 60;
    t.sessionLength = 110;
    t.drivers = {{1, "Marion", "M\xF6ller"}, {2, "Nils", "Neumann"}, {3, "Olaf", "Ott"}};
    // Car 3: the first escape beside the track counts, the later one not; the
    // escape from the pit lane and the vanishing while moving never.
    t.escapes = {{3, 1200, 1800, false, false}, {3, 3000, 3600, false, false}, {1, 2000, 2400, true, false},
                 {2, 2000, 2400, false, true}};
    EXPECT_EQ(checkEscapeReport(t, crlf("  ILLEGAL ECSs in QUALI\n\nO.Ott\t\t   1:30\t   1:20\t\n\n\n")), "");
    t.escapes.resize(1);
    t.escapes[0].inPitLane = true;
    EXPECT_EQ(checkEscapeReport(t, ""), "");
}

TEST(ReportChecks, ProtestListNeedsCostlyContactsWheelsAndEngineButNoHarmlessContact) {
    GroundTruth t = race();
    t.contacts = {{1799, 2, 1, true}, {2699, 3, 2, false}};
    t.damage = {{1807, 2, "engine", 9}, {3599, 3, "wheel", 1}};
    const std::string good =
        "  EICHBERG\n"
        "  1\t   0:50\tAnna Albers/Bernd Brinkmann\n"
        "  2\t   0:50\tBernd Brinkmann engine damage (9/63)\n"
        "  3\t   1:40\tCarl Cramer lost right front wheel\n";
    EXPECT_EQ(checkProtestList(t, crlf(good)), "");
    EXPECT_EQ(checkProtestList(t, edited(good, "Anna Albers/Bernd Brinkmann", "Bernd Brinkmann/Anna Albers")), "");
    EXPECT_TRUE(mentions(checkProtestList(t, crlf(good + "  4\t   1:15\tBernd Brinkmann/Carl Cramer\n")),
                         "a contact that cost nothing"));
    EXPECT_TRUE(mentions(checkProtestList(t, edited(good, "right front", "left front")),
                         "missing: Carl Cramer lost right front wheel"));
}

}  // namespace
}  // namespace zr::sampler
