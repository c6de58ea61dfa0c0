#include "protest_files.h"

#include <algorithm>

#include "listing_text.h"
#include "race_clock.h"

namespace zr {

std::string raceNumberOf(const std::string& replayName) {
    // Read as the C library reads a decimal number (blanks, a sign, digits),
    // but the digits are kept as text, so a number of any length is written
    // in full.
    const std::size_t size = replayName.size();
    std::size_t at = std::min(replayName.find_first_not_of(" \t\n\v\f\r"), size);
    bool negative = false;
    if (at < size && (replayName[at] == '+' || replayName[at] == '-')) negative = replayName[at++] == '-';
    while (at < size && replayName[at] == '0') ++at;
    std::size_t end = at;
    while (end < size && replayName[end] >= '0' && replayName[end] <= '9') ++end;
    if (negative) return "";
    return replayName.substr(at, end - at);
}

int gridNumberOf(const std::string& replayName) {
    if (replayName.empty()) return 0;
    char last = replayName.back();
    return last >= 'A' && last <= 'E' ? last - 'A' + 1 : 0;
}

// The wheel fields name the right side for odd codes and the rear for -4
// and below.
std::string lostWheelName(std::int32_t code) {
    return std::string(code % 2 != 0 ? "right " : "left ") + (code <= -4 ? "rear" : "front");
}

std::string protestScriptName(const std::string& replayName) {
    return "Protest_" + (replayName.empty() ? std::string() : replayName.substr(replayName.size() - 1)) + ".php";
}

namespace {

bool isLostWheel(std::int32_t code) { return code < 0; }
bool isEngineDamage(std::int32_t code) { return code > kEngineDamageCode; }

std::string engineText(std::int32_t code) {
    return " engine damage (" + std::to_string(code - kEngineDamageCode) + "/63)";
}

std::string wheelText(std::int32_t code) { return " lost " + lostWheelName(code) + " wheel"; }

std::string clockOf(const IncidentEvent& e, int frameRate) {
    return formatRaceClock(e.frame, frameRate, ClockStyle::hours);
}

// What follows the car's name: the partner of a contact, the lost wheel
// (named by side and axle in the list, generic in the script) or the engine
// damage level.
std::string kindText(const IncidentEvent& e, const DriverTable& drivers, bool namesTheWheel) {
    if (isLostWheel(e.incidentCode)) return namesTheWheel ? wheelText(e.incidentCode) : " lose a wheel";
    if (isEngineDamage(e.incidentCode)) return engineText(e.incidentCode);
    std::string partner = "/";
    partner += fullName(drivers, e.incidentCode);
    return partner;
}

std::string protestText(const IncidentEvent& e, const DriverTable& drivers, int frameRate) {
    return clockOf(e, frameRate) + "  " + fullName(drivers, e.carSlot) + kindText(e, drivers, false);
}

}  // namespace

std::string protestList(const IncidentList& list, const DriverTable& drivers, int frameRate,
                        const std::string& upperTrackName) {
    std::string text = "  " + upperTrackName + "\n";
    for (int i = 1; i <= list.count(); ++i) {
        const IncidentEvent& e = list.events[i];
        if (i < 10) text += ' ';
        if (i < 100) text += ' ';
        text += std::to_string(i) + "\t" + clockOf(e, frameRate) + "\t" + fullName(drivers, e.carSlot) +
                kindText(e, drivers, true) + "\n";
    }
    return text;
}

std::string escapeForScript(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '\'': out += "''"; break;
            case '\\': out += "\\\\\\\\"; break;
            case '"': out += "\\\""; break;
            case '$': out += "\\$"; break;
            default: out += c;
        }
    }
    return out;
}

std::string protestScript(const IncidentList& list, const DriverTable& drivers, int frameRate,
                          const std::string& raceNumber, int gridNumber) {
    const std::string& r = raceNumber;
    const std::string g = std::to_string(gridNumber);
    std::string s =
        "<?php\n"
        "require(\"../basefiles/_functions.inc\");\n"
        "\n"
        "require(\"../archiv/db.inc\");\n"
        "$link = mysql_connect($host, $user, $pass)\n"
        "or die(\"Keine Verbindung m\xF6glich: \" . mysql_error());\n"
        "print \"Verbindung zum Datenbankserver erfolgreich<br>\";\n"
        "mysql_select_db($database) or die(\"Auswahl der Datenbank fehlgeschlagen\");\n"
        // The names are Windows-1252 bytes, which MySQL calls latin1; without
        // naming it the server's default set (utf8mb4 on many) refuses them.
        "mysql_query(\"SET NAMES latin1\");\n"
        "\n"
        "$table=\"kvrl_protestsystem\";\n"
        "$idRace=0; //Variable zum Merken des letzten Rennens f\xFCrs Grid\n"
        "$fehler=\"\"; //Fehler beim Eintragen\n";
    s += "$sql=\"SELECT idRace FROM $table WHERE idGrid=" + g +
         " AND idDriver IS NULL ORDER BY idRace DESC LIMIT 1\";\n";
    s += "$result = mysql_query($sql) or die(\"Update fehlgeschlagen: \" . mysql_error());\n"
         "if ($row = mysql_fetch_array($result)) {\n"
         "  $idRace = $row['idRace'];\n"
         "}\n"
         "echo \"idRace=\".$idRace.\"<br>\";\n"
         "$nextrace=nextrace();\n";
    s += "if(" + r + ">$idRace) {\n";
    s += " if(" + r + "==$nextrace['id'] || " + r + "==$nextrace['id']-1) {\n";
    for (int i = 1; i <= list.count(); ++i) {
        s += "  $sql_insert = \"INSERT INTO $table (idRace, idGrid, protest, analysiert, Analysator) values (" + r +
             ", " + g + ", '" + escapeForScript(protestText(list.events[i], drivers, frameRate)) + "', '0', 0)\";\n";
        s += "  $insert = mysql_query($sql_insert) or $fehler .= mysql_error() . \"<br>\";\n";
    }
    // A failed insert is reported with the server's message, never as success.
    s += "  echo $fehler == \"\" ? \"OK, die Datenbank wurde aktualisiert.<br>\" : \"Fehler aufgetreten! \" . "
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
         "?>\n";
    return s;
}

}  // namespace zr
