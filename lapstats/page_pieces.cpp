#include "page_pieces.h"

namespace zr {

namespace {
const char* const kMaxHeads[] = {" </td>\n<td align=\"center\"> S1max", " </td>\n<td align=\"center\"> S2max",
                                 " </td>\n<td align=\"center\"> S3max", " </td>\n<td align=\"center\"> S4max"};
const char* const kMinHeads[] = {" </td>\n<td align=\"center\"> S1min", " </td>\n<td align=\"center\"> S2min",
                                 " </td>\n<td align=\"center\"> S3min", " </td>\n<td align=\"center\"> S4min"};
// Each head ends with the sector speeds: S1max to S4max, a cell, S1min to S4min.
std::string sectorSpeedHeads(const char* cell) {
    std::string out;
    for (const char* h : kMaxHeads) out += h;
    out += cell;
    for (const char* h : kMinHeads) out += h;
    return out + " </td>\n </tr>";
}

}  // namespace

std::string ownLapTableHead(bool practice, const std::string& driverName) {
    std::string out = practice ? "<BR> <BR> " : " <BR> <BR> ";
    out += "<table border=3 cellpadding=\"0\"> ";
    out += practice ? "<caption align=\"left\"> PRACTISE LAPS of " : "<caption align=\"left\"> RACE LAPS of ";
    out += " " + driverName + "</caption> ";
    for (const char* p :
         {"<tr> <td>\n lap", " </td>\n<td align=\"center\"> sec1", " </td>\n<td align=\"center\"> sec2",
          " </td>\n<td align=\"center\"> sec3", " </td>\n<td align=\"center\"> sec4",
          " </td>\n<td align=\"center\"> lap time", " </td>\n<td> cha", kVmin, kVmax, " </td>\n<td> cha"})
        out += p;
    return out + sectorSpeedHeads(" </td>\n<td> cha");
}

std::string idealLapsHead() {
    std::string out;
    for (const char* p :
         {" <BR> <BR> ", "<table border=3 cellpadding=\"0\"> ", "<caption align=\"left\"> IDEAL LAPS</caption> ",
          "<tr> <td>\n ", " </td>\n<td> sec1 ", " </td>\n<td> sec2 ", " </td>\n<td> sec3 ", " </td>\n<td> sec4 ",
          " </td>\n<td align=\"center\"> ideal t", " </td>\n<td> ", kVmin, kVmax, " </td>\n<td> "})
        out += p;
    return out + sectorSpeedHeads(" </td>\n<td> ");
}

}  // namespace zr
