#include "protest_files.h"

#include <gtest/gtest.h>

#include <cstring>

namespace zr {
namespace {

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
    EXPECT_EQ(raceNumberOf("300rplyB"), "300");
    EXPECT_EQ(raceNumberOf("rplyB"), "");
    EXPECT_EQ(raceNumberOf("+12x"), "12");
    EXPECT_EQ(raceNumberOf(" \t0300rplyB"), "300");
    EXPECT_EQ(raceNumberOf("-5B"), "");
    EXPECT_EQ(raceNumberOf("000rplyB"), "");
    EXPECT_EQ(raceNumberOf("+-5B"), "");
    EXPECT_EQ(raceNumberOf("123456rplyC"), "123456");
    EXPECT_EQ(raceNumberOf("0099999999999999999999rplyA"), "99999999999999999999");
    EXPECT_EQ(gridNumberOf("300rplyA"), 1);
    EXPECT_EQ(gridNumberOf("300rplyE"), 5);
    EXPECT_EQ(gridNumberOf("300rplyF"), 0);
    EXPECT_EQ(gridNumberOf("300rplyb"), 0);
    EXPECT_EQ(gridNumberOf(""), 0);
    EXPECT_EQ(protestScriptName("300rplyB"), "Protest_B.php");
}

TEST(ProtestList, OneNumberedLinePerIncident) {
    DriverTable d;
    name(d, 1, "Anna", "Arnold");
    name(d, 2, "Bert", "Brandt");
    std::vector<IncidentEvent> events = {{36 * 65, 1, 2}, {36 * 3725, 2, -2}, {100, 2, -3}, {100, 2, -4},
                                         {100, 2, -5},    {100, 1, 1017}};
    while (events.size() < 100) events.push_back({0, 2, 1});
    std::string text = protestList(listOf(events), d, 36, "SMPLRING");
    std::string expected = "  SMPLRING\n"
                           "  1\t   1:05\tAnna Arnold/Bert Brandt\n"
                           "  2\t1:02:05\tBert Brandt lost left front wheel\n"
                           "  3\t   0:02\tBert Brandt lost right front wheel\n"
                           "  4\t   0:02\tBert Brandt lost left rear wheel\n"
                           "  5\t   0:02\tBert Brandt lost right rear wheel\n"
                           "  6\t   0:02\tAnna Arnold engine damage (17/63)\n";
    for (int i = 7; i <= 100; ++i)
        expected += (i < 10 ? "  " : i < 100 ? " " : "") + std::to_string(i) + "\t   0:00\tBert Brandt/Anna Arnold\n";
    EXPECT_EQ(text, expected);
    EXPECT_EQ(protestList(IncidentList{}, d, 36, "OVAL"), "  OVAL\n");
}

TEST(ProtestScript, EscapesForSqlInsidePhp) {
    EXPECT_EQ(escapeForScript("O'Neil"), "O''Neil");
    EXPECT_EQ(escapeForScript("a\\b"), "a\\\\\\\\b");
    EXPECT_EQ(escapeForScript("say \"hi\""), "say \\\"hi\\\"");
    EXPECT_EQ(escapeForScript("{$x}"), "{\\$x}");
    EXPECT_EQ(escapeForScript("J\xFCrgen 1:05"), "J\xFCrgen 1:05");
}

TEST(ProtestScript, WholeTextForTwoContacts) {
    DriverTable d;
    name(d, 1, "Anna", "Arnold");
    name(d, 2, "Bert", "Brandt");
    name(d, 3, "Carl", "Cramer");
    std::string script = protestScript(listOf({{36 * 65, 1, 2}, {36 * 3725, 3, 1}}), d, 36, "300", 2);
    EXPECT_EQ(script,
              "<?php\n"
              "require(\"../basefiles/_functions.inc\");\n"
              "\n"
              "require(\"../archiv/db.inc\");\n"
              "$link = mysql_connect($host, $user, $pass)\n"
              "or die(\"Keine Verbindung m\xF6glich: \" . mysql_error());\n"
              "print \"Verbindung zum Datenbankserver erfolgreich<br>\";\n"
              "mysql_select_db($database) or die(\"Auswahl der Datenbank fehlgeschlagen\");\n"
              "mysql_query(\"SET NAMES latin1\");\n"
              "\n"
              "$table=\"kvrl_protestsystem\";\n"
              "$idRace=0; //Variable zum Merken des letzten Rennens f\xFCrs Grid\n"
              "$fehler=\"\"; //Fehler beim Eintragen\n"
              "$sql=\"SELECT idRace FROM $table WHERE idGrid=2 AND idDriver IS NULL ORDER BY idRace DESC LIMIT 1\";\n"
              "$result = mysql_query($sql) or die(\"Update fehlgeschlagen: \" . mysql_error());\n"
              "if ($row = mysql_fetch_array($result)) {\n"
              "  $idRace = $row['idRace'];\n"
              "}\n"
              "echo \"idRace=\".$idRace.\"<br>\";\n"
              "$nextrace=nextrace();\n"
              "if(300>$idRace) {\n"
              " if(300==$nextrace['id'] || 300==$nextrace['id']-1) {\n"
              "  $sql_insert = \"INSERT INTO $table (idRace, idGrid, protest, analysiert, Analysator) values "
              "(300, 2, '   1:05  Anna Arnold/Bert Brandt', '0', 0)\";\n"
              "  $insert = mysql_query($sql_insert) or $fehler .= mysql_error() . \"<br>\";\n"
              "  $sql_insert = \"INSERT INTO $table (idRace, idGrid, protest, analysiert, Analysator) values "
              "(300, 2, '1:02:05  Carl Cramer/Anna Arnold', '0', 0)\";\n"
              "  $insert = mysql_query($sql_insert) or $fehler .= mysql_error() . \"<br>\";\n"
              "  echo $fehler == \"\" ? \"OK, die Datenbank wurde aktualisiert.<br>\" : \"Fehler aufgetreten! \" . "
              "$fehler;\n"
              " } else {\n"
              "  echo \"Fehler aufgetreten!\";\n"
              "  echo \"Falsche Rennummer?<br>\";\n"
              " }\n"
              "} else {\n"
              " echo \"Fehler aufgetreten!\";\n"
              " echo \"Es existiert bereits ein Eintrag zu diesem Grid!<br>\";\n"
              "}\n"
              "mysql_close($link);\n"
              "echo \"ENDE\";\n"
              "?>\n");
}

TEST(ProtestScript, WheelsEngineLongRaceNumbersAndNoEvents) {
    DriverTable d;
    name(d, 4, "Dan", "O'Hara$");
    std::string script = protestScript(listOf({{72, 4, -5}, {72, 4, 1063}}), d, 36, "123456", 5);
    EXPECT_NE(script.find("values (123456, 5, '   0:02  Dan O''Hara\\$ lose a wheel', '0', 0)\";\n"),
              std::string::npos);
    EXPECT_NE(script.find("values (123456, 5, '   0:02  Dan O''Hara\\$ engine damage (63/63)', '0', 0)\";\n"),
              std::string::npos);
    EXPECT_NE(script.find("if(123456>$idRace) {\n if(123456==$nextrace['id'] || 123456==$nextrace['id']-1) {\n"),
              std::string::npos);
    std::string empty = protestScript(IncidentList{}, d, 36, "7", 1);
    EXPECT_EQ(empty.find("INSERT"), std::string::npos);
    EXPECT_NE(empty.find("-1) {\n  echo $fehler == \"\" ? \"OK"), std::string::npos);
}

}  // namespace
}  // namespace zr
