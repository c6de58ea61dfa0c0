// How replays group into events and lone replays, and how folders are searched.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>

#include "night_plan.h"
#include "run_dir.h"

namespace zr::night {
namespace {

// A job as "folder:name/grid name/grid ..." (grid '-' for a lone replay).
std::string describe(const NightPlan& plan) {
    std::string text;
    for (const NightJob& job : plan.jobs) {
        text += (text.empty() ? "" : " ") + job.folder + ":";
        for (const ReplayInput& r : job.replays) text += r.name + "/" + (r.grid ? std::string(1, r.grid) : "-") + ",";
    }
    return text;
}

NightPlan planOf(const std::vector<std::string>& names) {
    std::vector<ReplayInput> replays;
    for (const std::string& name : names) replays.push_back({"dir/" + name + ".rpy", name, 1, 0});
    return planNight(replays);
}

struct GroupingCase {
    std::vector<std::string> names;
    std::string jobs;
    std::size_t notes;
};

// The case by its replay names, so that the test list says which it is.
void PrintTo(const GroupingCase& c, std::ostream* os) {
    for (const std::string& name : c.names) *os << name << (&name == &c.names.back() ? "" : " ");
}

class Grouping : public ::testing::TestWithParam<GroupingCase> {};

TEST_P(Grouping, FormsEventsAndLoneReplays) {
    const NightPlan plan = planOf(GetParam().names);
    EXPECT_EQ(describe(plan), GetParam().jobs);
    EXPECT_EQ(plan.notes.size(), GetParam().notes);
}

INSTANTIATE_TEST_SUITE_P(
    Names, Grouping,
    ::testing::Values(
        // Grids in order A to E whatever the order given; events by race number, then lone replays by name.
        GroupingCase{{"quali", "300rplyC", "300rplyA", "race", "300rplyB"},
                     "event_300:300rplyA/A,300rplyB/B,300rplyC/C, quali:quali/-, race:race/-,", 0},
        // Race numbers compare as numbers; leading zeros belong to the same race; one grid is an event.
        GroupingCase{{"1000rplyA", "99rplyA", "099rplyB"}, "event_99:99rplyA/A,099rplyB/B, event_1000:1000rplyA/A,", 0},
        // No race number, a grid letter past E, a lower-case letter: lone replays.
        GroupingCase{{"rplyA", "300rplyF", "300rplya"}, "300rplyF:300rplyF/-, 300rplya:300rplya/-, rplyA:rplyA/-,", 0},
        // A second grid A of the same race is analysed on its own, with a note.
        GroupingCase{{"300rplyA", "300xA"}, "event_300:300rplyA/A, 300xA:300xA/-,", 1},
        // Folder names never collide, not even by case: the later one gets a number.
        GroupingCase{{"event_300", "300rplyA", "Race", "race"},
                     "event_300:300rplyA/A, Race:Race/-, event_300_2:event_300/-, race_2:race/-,", 0}));

TEST(FindReplays, SearchesFoldersByExtensionAndNamesWhatIsMissing) {
    test::RunDir dir;
    namespace fs = std::filesystem;
    for (const char* name : {"a/one.rpy", "a/TWO.RPY", "a/notes.txt", "a/sub/three.rpy"}) {
        fs::create_directories((fs::path(dir.path()) / name).parent_path());
        std::ofstream(dir.path() + "/" + name) << "x";
    }
    auto names = [](const FoundReplays& found) {
        std::string text;
        for (const ReplayInput& r : found.replays) text += r.name + " ";
        return text;
    };
    const std::string a = dir.path() + "/a";
    EXPECT_EQ(names(findReplays({a}, false)), "TWO one ");
    EXPECT_EQ(names(findReplays({a}, true)), "TWO one three ");
    // A file named again through its folder counts once; a file is taken whatever its extension.
    EXPECT_EQ(names(findReplays({a + "/one.rpy", a, a + "/notes.txt"}, false)), "TWO notes one ");
    const FoundReplays missing = findReplays({a, dir.path() + "/nothing"}, false);
    ASSERT_EQ(missing.errors.size(), 1u);
    EXPECT_NE(missing.errors[0].find("nothing: no such file or folder"), std::string::npos);
}

}  // namespace
}  // namespace zr::night
