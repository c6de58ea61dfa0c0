// contactscan's own dialogue, end to end on the bundled sample 300rplyC (race
// 300, grid C): the mode menu, and the replay names that give a protest
// script or none. The consoles and files are kept in golden/CASE.
#include <gtest/gtest.h>

#include <filesystem>

#include "golden.h"
#include "run_dir.h"

namespace zr {
namespace {

using namespace zr::test;

struct Scenario {
    const char* name;
    std::string input;
    const char* replay = "300rplyC";  // the name the sample is stored under
    bool folderInTheScriptsPlace = false;
};

void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.name; }

class ContactscanRun : public ::testing::TestWithParam<Scenario> {};

TEST_P(ContactscanRun, RunsAsTheGoldenFilesSay) {
    const Scenario& s = GetParam();
    RunDir dir;
    dir.writeConfig();
    dir.writeFile(std::string("sim/replay/") + s.replay + ".rpy", readFile(ZR_SAMPLES_DIR "/replay/300rplyC.rpy"));
    if (s.folderInTheScriptsPlace) std::filesystem::create_directory(dir.path() + "/Protest_C.php");
    expectRunAsGolden(CONTACTSCAN_EXE, dir, s.input, ZR_GOLDEN_DIR "/" + std::string(s.name));
}

INSTANTIATE_TEST_SUITE_P(, ContactscanRun,
                         ::testing::Values(Scenario{"mode_0", "0\n300rplyC\n"}, Scenario{"mode_2", "2\n300rplyC\n"},
                                           Scenario{"mode_3", "3\n300rplyC\n"},
                                           Scenario{"mode_not_a_number", "B\n300rplyC\n"},
                                           Scenario{"mode_negative", "-1\n300rplyC\n"},
                                           Scenario{"no_grid_letter", "1\n300rplyc\n", "300rplyc"},
                                           Scenario{"no_race_number", "1\nrplyC\n", "rplyC"},
                                           Scenario{"long_race_number", "1\n0099999999999999999999rplyA\n",
                                                    "0099999999999999999999rplyA"},
                                           Scenario{"script_unwritable", "1\n300rplyC\n", "300rplyC", true}),
                         [](const ::testing::TestParamInfo<Scenario>& info) { return info.param.name; });

}  // namespace
}  // namespace zr
