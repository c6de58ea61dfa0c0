// The built program in a working directory of its own.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "contact_sample.h"
#include "damaged_replays.h"
#include "replay_builder.h"
#include "run_dir.h"

namespace zr {
namespace {

using namespace zr::test;

const std::string kMenu =
    "Put in a number!\nSee listing:\n\n 0  only collisions\n 1  collisions and lost wheels\n 2  only lost wheels\n\n"
    "\n";
const std::string kPrompt = "Put in name of replay (without .rpy)!\n";
const std::string kPause = "Press any key to continue . . . \n";
const std::string kNoScript =
    "\nEs konnte keine php erstellt werden,\n"
    "da keine brauchbaren Informationen zur Rennnummer\n"
    "und/oder zum Grid gefunden wurden.\n"
    "Bitte Replays in der Form 300rplyB verwenden!\n";

std::string nameField(const std::string& first, const std::string& last) {
    std::string bytes = first + std::string(16 - first.size(), '\0') + last + std::string(16 - last.size(), '\0');
    std::string shown;
    for (char c : bytes) shown += std::string(1, c) + " ";
    return shown;
}

// 36 frames per second. Car 3 retires after one slow lap, so a contact with it
// in that lap counts; car 2 loses a wheel and gets engine damage at 20 s.
ReplaySpec raceWithIncidents() {
    ReplaySpec recipe;
    recipe.drivers = {{"Race", "Server", 0, 0}, {"Anna", "Arnold", 1, 0}, {"Bert", "Brandt", 2, 0},
                    {"Carl", "Cramer", 3, 0}};
    recipe.practiceLaps = {lapRecord(1, {0, 90000})};
    recipe.hasRaceBlock = true;
    recipe.raceLaps = {lapRecord(1, {0, 60000, 120000, 180000}), lapRecord(2, {0, 60000, 120000, 180000}),
                     lapRecord(3, {0, 70000})};
    recipe.records = {sessionRecord(0), sessionRecord(1)};
    for (int f = 2; f <= 1100; ++f) {
        std::vector<SampleSpec> samples = {{1, 1000 + 1000 * f, 0, 500, 0}, {2, 20000 + 1000 * f}};
        std::vector<Block> extra;
        if (f == 360) samples.push_back({3, 1000 + 1000 * f + 4000, 0, 300, 140});
        if (f == 720) extra.push_back(damageBlock(2, 0xC0, 12));
        recipe.records.push_back(frameRecord(samples, 2, extra));
    }
    return recipe;
}

class ContactscanRun : public ::testing::Test {
protected:
    RunDir dir;
    void SetUp() override {
        dir.writeConfig();
        dir.writeReplay("300rplyB", buildReplay(raceWithIncidents()));
    }
    RunResult run(const std::string& input) { return runProgram(CONTACTSCAN_EXE, dir, input); }
};

TEST_F(ContactscanRun, WritesTheProtestListAndScript) {
    RunResult r = run("1\n300rplyB\n");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.console, kMenu + kPrompt + "  TESTRING\n\n" + nameField("Anna", "Arnold") + "1:00.000\n" +
                             nameField("Bert", "Brandt") + "1:00.000\n" + nameField("Carl", "Cramer") +
                             "1:10.000\n" + "3 korrigierte Zeit:68000\n" +
                             "\nYou'll find a txt file in programm folder,\nbut tool is working...and needs some "
                             "time...\n\n" +
                             " 1    0:10 A.Arnold/C.Cramer 200cm0.00959098 500/300  81(98)Grad\n"
                             " 2    0:20 B.Brandt engine damage\n"
                             " 3    0:20 B.Brandt verliert ein Rad\n");
    EXPECT_EQ(dir.read("300rplyB.txt"), crlf("  TESTRING\n"
                                             "  1\t   0:10\tAnna Arnold/Carl Cramer\n"
                                             "  2\t   0:20\tBert Brandt engine damage (12/63)\n"
                                             "  3\t   0:20\tBert Brandt lost right rear wheel\n"));
    std::string script = dir.read("Protest_B.php");
    const std::string insert =
        "  $sql_insert = \"INSERT INTO $table (idRace, idGrid, protest, analysiert, Analysator) values (300, 2, '";
    const std::string query =
        "', '0', 0)\";\r\n  $insert = mysql_query($sql_insert) or $fehler .= mysql_error() . \"<br>\";\r\n";
    EXPECT_EQ(script.rfind("<?php\r\nrequire(\"../basefiles/_functions.inc\");\r\n\r\n", 0), 0u);
    EXPECT_NE(script.find(insert + "   0:10  Anna Arnold/Carl Cramer" + query + insert +
                          "   0:20  Bert Brandt engine damage (12/63)" + query + insert +
                          "   0:20  Bert Brandt lose a wheel" + query + "  echo $fehler == \"\" ? \"OK"),
              std::string::npos);
    EXPECT_EQ(script.substr(script.size() - 4), "?>\r\n");
}

TEST_F(ContactscanRun, ModesListContactsOrDamageOnly) {
    RunResult r = run("0\n300rplyB\n");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(dir.read("300rplyB.txt"), crlf("  TESTRING\n  1\t   0:10\tAnna Arnold/Carl Cramer\n"));
    r = run("2\n300rplyB\n");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(dir.read("300rplyB.txt"), crlf("  TESTRING\n"
                                             "  1\t   0:20\tBert Brandt engine damage (12/63)\n"
                                             "  2\t   0:20\tBert Brandt lost right rear wheel\n"));
    EXPECT_EQ(dir.read("Protest_B.php").find("Anna"), std::string::npos);
}

TEST_F(ContactscanRun, ARaceWithEveryKindOfIncidentIsListed) {
    dir.writeReplay(kContactSampleName, buildReplay(contactSampleRace()));
    RunResult r = run(std::string("1\n") + kContactSampleName + "\n");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(dir.read(std::string(kContactSampleName) + ".txt"),
              crlf("  SMPLRING\n"
                   "  1\t   0:12\tAnna Arnold/Carl O'Brien\n"
                   "  2\t   0:40\tBert Brandt engine damage (8/63)\n"
                   "  3\t   0:40\tBert Brandt lost left rear wheel\n"
                   "  4\t   0:55\tBert Brandt engine damage (15/63)\n"
                   "  5\t   1:10\tCarl O'Brien engine damage (3/63)\n"));
    EXPECT_NE(dir.read("Protest_B.php").find("(300, 2, '   0:12  Anna Arnold/Carl O''Brien', '0', 0)"),
              std::string::npos);
}

TEST_F(ContactscanRun, NamesWithoutRaceNumberOrGridGetOnlyTheList) {
    for (std::string name : {"300rplyb", "rplyB"}) {
        dir.writeReplay(name, buildReplay(raceWithIncidents()));
        RunResult r = run("1\n" + name + "\n");
        EXPECT_EQ(r.exitCode, 0) << name;
        EXPECT_TRUE(dir.exists(name + ".txt")) << name;
        EXPECT_EQ(r.console.substr(r.console.size() - kNoScript.size() - kPause.size()), kNoScript + kPause) << name;
    }
    EXPECT_FALSE(dir.exists("Protest_b.php"));
    EXPECT_FALSE(dir.exists("Protest_B.php"));
}

TEST_F(ContactscanRun, ARaceNumberOfAnyLengthIsWrittenInFull) {
    dir.writeReplay("99999999999999999999rplyA", buildReplay(raceWithIncidents()));
    RunResult r = run("1\n99999999999999999999rplyA\n");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(dir.read("Protest_A.php").find("if(99999999999999999999>$idRace) {\r\n"), std::string::npos);
}

// The race number and the grid letter come from the name's last part too.
TEST_F(ContactscanRun, ANameWithFolderPartsGivesTheListAndScriptInTheWorkingDirectory) {
    EXPECT_EQ(compareRunsWithFolderParts(CONTACTSCAN_EXE, dir,
                                         [](const std::string& f) { return "1\n" + f + "300rplyB\n"; }),
              "");
}

TEST_F(ContactscanRun, WrongModeOrStartUpFailureLeavesNothing) {
    struct Case {
        const char* what;
        std::string input;
        std::function<void(RunDir&)> spoil;
        std::string console;
    };
    std::vector<Case> cases = {
        {"mode 3", "3\n300rplyB\n", [](RunDir&) {}, kMenu + "Falsche Ziffer eingegeben!\n" + kPause},
        {"no number", "B\n300rplyB\n", [](RunDir&) {}, kMenu + "Falsche Ziffer eingegeben!\n" + kPause},
        {"negative", "-1\n300rplyB\n", [](RunDir&) {}, kMenu + "Falsche Ziffer eingegeben!\n" + kPause},
        {"no Zant_Raceboard.ini", "1\n300rplyB\n",
         [](RunDir& d) { std::filesystem::remove(d.path() + "/Zant_Raceboard.ini"); },
         kMenu + kPrompt + "Datei falsch!!!"},
        {"no replay", "1\n301rplyB\n", [](RunDir&) {}, kMenu + kPrompt + "Dateiname oder Pfadangabe falsch!!!" + kPause},
    };
    for (const Case& c : cases) {
        SetUp();
        c.spoil(dir);
        RunResult r = run(c.input);
        EXPECT_EQ(r.exitCode, 1) << c.what;
        EXPECT_EQ(r.console, c.console) << c.what;
        EXPECT_FALSE(dir.exists("300rplyB.txt")) << c.what;
        EXPECT_FALSE(dir.exists("301rplyB.txt")) << c.what;
        EXPECT_FALSE(dir.exists("Protest_B.php")) << c.what;
    }
}

TEST_F(ContactscanRun, AnUnwritableOutputIsAFailure) {
    std::filesystem::create_directory(dir.path() + "/Protest_B.php");  // a folder in the script's place
    RunResult r = run("1\n300rplyB\n");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.console.find("Report file could not be written: Protest_B.php\n"), std::string::npos);
    EXPECT_TRUE(dir.exists("300rplyB.txt"));
}

TEST_F(ContactscanRun, DamagedReplaysEndCleanly) {
    ReplaySpec recipe = raceWithIncidents();
    ByteVec good = buildReplay(recipe);
    ReplayLayout layout = layoutOf(recipe);
    std::vector<ByteVec> damaged = damagedCopies(recipe, 700, 500);
    ByteVec hugeBlock = good;  // a sample block claiming far more samples than the record has
    setLe(hugeBlock, layout.recordOffsets[400] + 8 + 8 + 12 + 2, 0xFFFF, 2);
    damaged.push_back(hugeBlock);
    ByteVec oddSlots = good;  // slots up to 63 in the driver and lap records and a damage block
    setLe(oddSlots, 320 + 152 * 2 + 124, 63, 4);
    setLe(oddSlots, layout.raceBlock + 12 + 12, 63, 4);
    setLe(oddSlots, layout.recordOffsets[720] + 8 + 8 + 12 + 4, 0xFFC0, 2);
    damaged.push_back(oddSlots);
    for (std::size_t i = 0; i < damaged.size(); ++i) {
        dir.writeReplay("300rplyB", damaged[i]);
        RunResult r = run("1\n300rplyB\n");
        EXPECT_EQ(r.exitCode, 0) << "case " << i;
        EXPECT_TRUE(dir.exists("300rplyB.txt")) << "case " << i;
    }
}

}  // namespace
}  // namespace zr
