#include "protest_files.h"

#include <gtest/gtest.h>

#include <cstring>

#include "golden.h"

namespace zr {
namespace {

using test::expectGolden;
using test::LineEnds;

void name(DriverTable& d, int slot, const std::string& first, const std::string& last) {
    std::memset(d.driverName[slot], 0, 32);
    std::memcpy(d.driverName[slot], first.data(), first.size());
    std::memcpy(d.driverName[slot] + 16, last.data(), last.size());
}

IncidentList listOf(const std::vector<IncidentEvent>& events) {
    IncidentList list;
    list.events.insert(list.events.end(), events.begin(), events.end());
    return list;
}

TEST(ReplayName, RaceNumberAndGrid) {
    // The digits as written, leading zeros dropped; none without a number above 0.
    const std::pair<const char*, const char*> races[] = {
        {"300rplyB", "300"}, {"rplyB", ""},    {"+12x", "12"}, {" \t0300rplyB", "300"},
        {"-5B", ""},         {"000rplyB", ""}, {"+-5B", ""},   {"0099999999999999999999rplyA", "99999999999999999999"}};
    for (const auto& [replay, race] : races) EXPECT_EQ(raceNumberOf(replay), race) << replay;
    const std::pair<const char*, int> grids[] = {
        {"300rplyA", 1}, {"300rplyE", 5}, {"300rplyF", 0}, {"300rplyb", 0}, {"", 0}};
    for (const auto& [replay, grid] : grids) EXPECT_EQ(gridNumberOf(replay), grid) << replay;
    EXPECT_EQ(protestScriptName("300rplyB"), "Protest_B.php");
}

TEST(ProtestList, OneNumberedLinePerIncident) {
    DriverTable d;
    name(d, 1, "Anna", "Arnold");
    name(d, 2, "Bert", "Brandt");
    std::vector<IncidentEvent> events = {{36 * 65, 1, 2}, {36 * 3725, 2, -2}, {100, 2, -3}, {100, 2, -4},
                                         {100, 2, -5},    {100, 1, 1017}};
    while (events.size() < 100) events.push_back({0, 2, 1});
    expectGolden(ZR_GOLDEN_DIR "/protest_list.txt", protestList(listOf(events), d, 36, "SMPLRING"), LineEnds::lf);
}

// A name lands in a single-quoted SQL literal inside a PHP double-quoted string.
TEST(ProtestScript, EscapesForSqlInsidePhp) {
    const std::pair<const char*, const char*> rows[] = {
        {"O'Neil", "O''Neil"}, {"a\\b", "a\\\\\\\\b"}, {"say \"hi\"", "say \\\"hi\\\""}, {"{$x}", "{\\$x}"},
        {"J\xFCrgen 1:05", "J\xFCrgen 1:05"}};
    for (const auto& [text, escaped] : rows) EXPECT_EQ(escapeForScript(text), escaped) << text;
}

// The script of a race with a contact, a lost wheel and engine damage, whose
// names need escaping; and the script of a race without incidents.
TEST(ProtestScript, AsTheGoldenFilesSay) {
    DriverTable d;
    name(d, 1, "Anna", "Arnold");
    name(d, 2, "Dan", "O'Hara$");
    name(d, 3, "Carl", "\"C\\r\"");
    IncidentList list = listOf({{36 * 65, 1, 2}, {36 * 3725, 3, 1}, {72, 2, -5}, {72, 2, 1063}});
    expectGolden(ZR_GOLDEN_DIR "/protest_script.php", protestScript(list, d, 36, "123456", 2), LineEnds::lf);
    expectGolden(ZR_GOLDEN_DIR "/protest_script_without_incidents.php", protestScript(IncidentList{}, d, 36, "7", 1),
                 LineEnds::lf);
}

}  // namespace
}  // namespace zr
