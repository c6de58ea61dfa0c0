// How replays group into events and lone replays, and how folders are searched.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>

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

TEST(Grouping, FormsEventsAndLoneReplays) {
    const std::tuple<std::vector<std::string>, std::string, std::size_t> cases[] = {
        // Grids in order A to E whatever the order given; events by race number, then lone replays by name.
        {{"quali", "300rplyC", "300rplyA", "race", "300rplyB"},
         "event_300:300rplyA/A,300rplyB/B,300rplyC/C, quali:quali/-, race:race/-,", 0},
        // Race numbers compare as numbers; leading zeros belong to the same race; one grid is an event.
        {{"1000rplyA", "99rplyA", "099rplyB"}, "event_99:99rplyA/A,099rplyB/B, event_1000:1000rplyA/A,", 0},
        // No race number, a grid letter past E, a lower-case letter: lone replays.
        {{"rplyA", "300rplyF", "300rplya"}, "300rplyF:300rplyF/-, 300rplya:300rplya/-, rplyA:rplyA/-,", 0},
        // A second grid A of the same race is analysed on its own, with a note.
        {{"300rplyA", "300xA"}, "event_300:300rplyA/A, 300xA:300xA/-,", 1},
        // Folder names never collide, not even by case: the later one gets a number.
        {{"event_300", "300rplyA", "Race", "race"},
         "event_300:300rplyA/A, Race:Race/-, event_300_2:event_300/-, race_2:race/-,", 0}};
    for (const auto& [names, jobs, notes] : cases) {
        const NightPlan plan = planOf(names);
        EXPECT_EQ(describe(plan), jobs);
        EXPECT_EQ(plan.notes.size(), notes) << jobs;
    }
}

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
