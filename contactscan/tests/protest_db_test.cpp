// The protest script run by PHP against a real MariaDB server: every incident
// arrives once, names with the letters stored in the replay, nothing in a
// name runs as code, and a refused insert is reported as a failure.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>

#include "platform.h"
#include "replay_builder.h"
#include "run_dir.h"
#include "scripted_frames.h"

namespace zr {
namespace {

using namespace zr::test;

std::string hex(const std::string& bytes) {
    std::string out;
    char digits[3];
    for (unsigned char c : bytes) {
        std::snprintf(digits, sizeof digits, "%02X", c);
        out += digits;
    }
    return out;
}

// Names that break SQL or PHP when written unescaped, and the Windows-1252
// letters é, ü and € (E9, FC, 80), which a utf8mb4 connection refuses; each
// half fits its 16 bytes.
ByteVec raceWithAwkwardNames() {
    FrameRace race;
    ReplaySpec& recipe = race.recipe;
    recipe.drivers = {{"O'Neil", "Back\\slash", 1, 0},
                      {"Say\"Hi\"", "{${exit()}}", 2, 0},
                      {"Cost$\x80", "x'),(1,1,'y", 3, 0},
                      {"Ren\xE9-J\xFCrgen", "it\\'s", 4, 0}};
    recipe.hasRaceBlock = true;
    recipe.raceLaps = {lapRecord(1, {0, 60000, 120000, 180000}), lapRecord(2, {0, 70000}),
                       lapRecord(3, {0, 60000, 120000, 180000}), lapRecord(4, {0, 70000})};
    race.lastFrame = 1000;
    race.samples[360] = {{1, 1000}, {2, 2000}};
    race.samples[720] = {{3, 1000}, {4, 2000}};
    race.addBlock(800, damageBlock(2, 0x03, 0));
    race.addBlock(900, damageBlock(3, 0, 20));
    return race.replay();
}

// The protest texts as contactscan writes them (Windows-1252); the wheel
// protest is the only one of at most 44 characters.
const char* const kProtests[] = {"   0:10  O'Neil Back\\slash/Say\"Hi\" {${exit()}}",
                                 "   0:20  Cost$\x80 x'),(1,1,'y/Ren\xE9-J\xFCrgen it\\'s",
                                 "   0:22  Say\"Hi\" {${exit()}} lose a wheel",
                                 "   0:25  Cost$\x80 x'),(1,1,'y engine damage (20/63)"};
const char* const kOk = "OK, die Datenbank wurde aktualisiert.<br>ENDE";

// The rows of a table, as protest_db_run.sh lists them, with the protest
// texts in the table's character set.
const std::string kRowsBefore = "299\t2\tNULL\t" + hex("older race") + "\t1\t3\n" + "305\t3\tNULL\t" +
                                hex("other grid") + "\t0\t0\n" + "310\t2\t7\t" + hex("a driver's protest") +
                                "\t0\t0\n";
std::string enteredRow(const std::string& protestInTableSet) {
    return "300\t2\tNULL\t" + hex(protestInTableSet) + "\t0\t0\n";
}

// The script against a server whose connections default to utf8mb4, in strict
// mode: the names arrive with their letters in a latin1 and in a utf8mb4
// table, and an insert the table refuses is reported, not taken for success.
TEST(ProtestScriptDatabase, EntersEachIncidentOnceWithItsLettersAndReportsRefusedInserts) {
    RunDir dir;
    dir.writeConfig();
    dir.writeReplay("300rplyB", raceWithAwkwardNames());
    RunResult scan = runProgram(CONTACTSCAN_EXE, dir, "1\n300rplyB\n");
    ASSERT_EQ(scan.exitCode, 0) << scan.console;
    ASSERT_TRUE(dir.exists("Protest_B.php"));

    std::string out = dir.path() + "/db";
    std::string command = "timeout -k 10 330 bash '" PROTEST_DB_RUN "' '" + dir.path() + "/Protest_B.php' '" + out +
                          "' > '" + dir.path() + "/db.log' 2>&1";
    int status = std::system(command.c_str());
    int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::string log = dir.read("db.log");
    if (code == 77) GTEST_SKIP() << "PHP or MariaDB missing, the script was not run against a database: " << log;
    ASSERT_EQ(code, 0) << log;
    // Without the script's own choice the names would go in as utf8mb4.
    ASSERT_EQ(readFile(out + "/charset.out"), "utf8mb4");

    for (const char* table : {"latin1", "utf8mb4"}) {
        SCOPED_TRACE(table);
        const std::string db = out + "/" + table;
        std::string entered;
        for (const char* protest : kProtests)
            entered += enteredRow(std::string(table) == "utf8mb4" ? windows1252ToUtf8(protest) : protest);
        EXPECT_EQ(readFile(db + "/rows1.tsv"), kRowsBefore + entered);
        std::string first = readFile(db + "/run1.out");
        EXPECT_NE(first.find("idRace=299<br>"), std::string::npos) << first;
        EXPECT_NE(first.find(kOk), std::string::npos) << first;

        // A second run finds race 300 entered for the grid and adds nothing.
        EXPECT_EQ(readFile(db + "/rows2.tsv"), kRowsBefore + entered);
        std::string second = readFile(db + "/run2.out");
        EXPECT_NE(
            second.find("idRace=300<br>Fehler aufgetreten!Es existiert bereits ein Eintrag zu diesem Grid!<br>ENDE"),
            std::string::npos)
            << second;
    }

    // The protest column is too short for three of the four texts: each
    // refusal is shown with the server's message, the fitting row is entered.
    const std::string tooLong = "Data too long for column 'protest' at row 1<br>";
    EXPECT_EQ(readFile(out + "/short/rows1.tsv"), kRowsBefore + enteredRow(kProtests[2]));
    std::string refused = readFile(out + "/short/run1.out");
    EXPECT_NE(refused.find("Fehler aufgetreten! " + tooLong + tooLong + tooLong + "ENDE"), std::string::npos)
        << refused;
    EXPECT_EQ(refused.find("OK"), std::string::npos) << refused;
}

}  // namespace
}  // namespace zr
