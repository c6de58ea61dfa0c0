#include "heat_report.h"

#include "heat_stats.h"
#include "page_pieces.h"
#include "value_format.h"

namespace zr {

namespace {

const char* const kCarHead = " </td>\n <td align=\"center\">  car";
const char* const kRowCloser = " </td> \n </tr> \n";
const char* const kTableCloser = "</border> </table> \n";
const char* const kLapColumns =
    " </td>\n<td align=\"center\"> lap time </td>\n <td align=\"center\"> -first </td>\n<td align=\"center\"> "
    "-before </td>\n<td align=\"center\"> fl/nl </td>\n<td align=\"center\"> grid </td>\n </tr>";

std::string n(std::int64_t value) { return std::to_string(value); }

// A gap in the lap and sector tables: minutes taken modulo 60.
std::string lapGapText(std::int64_t t) { return gapText(t % 3600000); }

struct HeatPage {
    const HeatData& d;
    bool withSpeeds;
    std::string out;

    const LapTables& t() const { return d.tables; }
    std::string name(int slot) const {
        return escapeMarkup(d.drivers[slot].firstName) + " " + escapeMarkup(d.drivers[slot].lastName);
    }
    std::string logo(int slot) const { return carLogo(d.drivers[slot].carMake); }
    std::string rowOpener(int slot) const { return d.isUser(slot) ? "<tr bgcolor=\"#FFFF00\"> \n" : "<tr> \n"; }
    std::string cellOpener(int slot) const { return d.isUser(slot) ? "<td bgcolor=\"#FFFF00\"> \n" : "<td> \n"; }
    // The opening of a ranked row: position, driver and car.
    std::string rankedRow(int slot, int position) const {
        return rowOpener(slot) + "<td align=\"center\">" + n(position) + " </td> <td> " + name(slot) + " </td> <td> " +
               logo(slot);
    }

    void head(const std::string& baseName);
    void result();
    void consistency();
    void leaders();
    void lapTable(const Ranking& list, LapList kind, bool onTrackCell);
    // The race and practice tables side by side; the on-track lists have no
    // on-track cell and " (ONLY ON TRACK)" in their captions.
    void lapTables(const char* captionEnd, const Ranking& race, const Ranking& practice, bool onTrackCell) {
        out += "<div> <table border=3 cellpadding=\"0\" align=\"left\"> <caption align=\"left\"> FASTEST RACE LAPS";
        out += captionEnd;
        out += " </caption> ";
        lapTable(race, onTrackCell ? LapList::race : LapList::onTrackRace, onTrackCell);
        out += "<table border=3 cellpadding=\"0\" align=\"center\"> <caption align=\"left\"> FASTEST PRACTICE LAPS";
        out += captionEnd;
        out += " </caption> ";
        lapTable(practice, onTrackCell ? LapList::practice : LapList::onTrackPractice, onTrackCell);
        out += "</div> <br clear=\"all\"> <BR> ";
    }
    void fastestLapDevelopment();
    void onTrackLaps();
    void speeds();
    void numberOfFastestLaps();
    void sectorTable(int q);
    void practiceLapsOfSlot0();
};

void HeatPage::head(const std::string& baseName) {
    out += "<html> \n<head> \n <PRE> track:   " + escapeMarkup(d.reportTrackName) + "          file name:   " +
           escapeMarkup(baseName) + "           MOD:    " + escapeMarkup(d.modName) +
           " </PRE>  <BR> <BR> </head> \n<body> \n";
}

void HeatPage::result() {
    out += "<div> <table border=3 cellpadding=\"0\" align=\"left\"> <caption align=\"center\"> RESULT </caption> \n ";
    for (int j = 1; j <= 9; ++j) out += " </td>\n <td align=\"center\">  " + n(10 * j) + " ";
    out += " </td>\n <td align=\"center\">  pos </td>\n<td> driver";
    out += kCarHead;
    out += " </td>\n<td align=\"center\"> laps </td>\n <td align=\"center\"> race time </td>\n<td align=\"center\"> "
           "-first </td>\n<td align=\"center\"> grid </td>\n </tr>";

    const std::vector<HeatRow> rows = classifyHeat(d);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const HeatRow& row = rows[i];
        out += rowOpener(row.slot);
        for (int j = 1; j <= 9; ++j) {
            const int place = placeAtLap(d, row.slot, tenthLap(j, t().maxRaceLaps));
            out += "<td align=\"center\">" + (place > 0 ? n(place) : std::string("-")) + " </td> ";
        }
        out += "<td align=\"center\"> <b> " + n(static_cast<std::int64_t>(i) + 1) + " </b>  </td> <td> " +
               name(row.slot) + " </td> <td> " + logo(row.slot) + " </td> ";
        out += "<td align=\"center\">" + n(t().race[row.slot].raceLapCount) + " </td> ";
        out += "<td align=\"right\"> " + raceTimeText(row.raceTime) + "</td>";
        if (i == 0) out += "<td> ";
        else if (row.finished)
            out += "<td align=\"right\"> " + gapText(row.raceTime - finalElapsed(d, rows[0].slot));
        else out += "<td align=\"center\"> DNF";
        out += "</td><td align=\"center\">" + gridImage(row.slot) + kRowCloser;
    }
    out += kTableCloser;
}

void HeatPage::consistency() {
    out += "<table border=3 cellpadding=\"2\" align=\"center\"> <caption align=\"left\"> CONSISTENCY </caption> "
           "<tr> <td>\n pos </td>\n<td> driver </td>\n<td align=\"center\">av. lap t </td>\n <td align=\"center\"> "
           "c.in s  </td>\n <td align=\"center\"> in %  </td>\n </tr> ";
    const Ranking& list = d.rankings.consistency;
    for (int i = 1; i <= list.length(); ++i) {
        const int s = list.slots[i - 1];
        const Consistency c = consistencyOf(t(), s);
        out += rowOpener(s) + "<td align=\"center\">" + n(i) + " </td> <td> " + name(s) + " </td> <td> " +
               lapTimeText(c.average) + " </td> <td> " + secondsText(c.gap) + " </td> <td> " +
               percent2Text(c.percent) + kRowCloser;
    }
    out += "</border>  </table> \n</div> <br clear=\"all\"> <BR> ";
}

void HeatPage::leaders() {
    out += "<table border=3 cellpadding=\"3\"> <caption align=\"left\"> LEADER </caption> <tr> \n";
    int cells = 0;
    for (const LeaderRun& run : leaderRuns(d.history, t().maxRaceLaps)) {
        out += cellOpener(run.slot) + " lap " + n(run.firstLap);
        if (run.lastLap != run.firstLap) out += std::string("-") + n(run.lastLap);
        out += ": " + name(run.slot) + " </td> \n ";
        if (++cells % 5 == 0) out += "</tr> <tr> \n ";
    }
    out += "</tr> \n ";
    out += kTableCloser;
    out += " <BR> <BR><br clear=\"all\"> ";
}

void HeatPage::lapTable(const Ranking& list, LapList kind, bool onTrackCell) {
    out += onTrackCell ? "<tr> <td>\n otl </td>\n<td align=\"center\"> pos" : "<tr> <td>\n pos";
    out += " </td>\n<td> driver";
    out += kCarHead;
    out += kLapColumns;
    for (int i = 1; i <= list.length(); ++i) {
        const int s = list.slots[i - 1];
        const std::int64_t time = listedLapTime(t(), kind, s);
        out += rowOpener(s);
        if (onTrackCell) {
            // Black when the listed lap was driven off the track.
            out += listedLapOffTrack(t(), kind, s) ? " <td bgcolor=\"#000000\">" : " <td bgcolor=\"#00FF00\">";
            out += " </td> ";
        }
        out += "<td align=\"center\">" + n(i) + " </td> <td> " + name(s) + " </td> <td> " + logo(s) + " </td> <td> " +
               lapTimeText(time) + " </td> <td> ";
        if (i >= 2) out += lapGapText(time - listedLapTime(t(), kind, list.slots[0]));
        out += " </td> <td> ";
        if (i >= 2) out += lapGapText(time - listedLapTime(t(), kind, list.slots[i - 2]));
        out += "<td align=\"center\">" + n(listedLapNumber(t(), kind, s)) + "/" + n(listedLapCount(t(), kind, s)) +
               " </td> <td align=\"center\">" + gridImage(s) + kRowCloser;
    }
    out += kTableCloser;
}

void HeatPage::fastestLapDevelopment() {
    out += "<table border=3 cellpadding=\"3\"> <caption align=\"left\"> DEVELOPMENT FASTEST LAP </caption><tr> \n";
    int cells = 0;
    for (const auto& [slot, lap] : d.history.fastestLapHistory) {
        out += cellOpener(slot) + " lap" + n(lap) + " " + name(slot) + "  " +
               lapTimeText(t().race[slot].raceLapTimes[lap]) + "</td> \n ";
        if (++cells % 6 == 0) out += "</tr> <tr> \n ";
    }
    out += "</tr> \n ";
    out += kTableCloser;
    out += " <BR> <BR> ";
}

void HeatPage::onTrackLaps() {
    out += "<div> <table border=3 cellpadding=\"1\" align=\"left\"> <caption align=\"left\"> ON TRACK LAPS </caption> "
           "<tr> <td>\n pos </td>\n<td> driver";
    out += kCarHead;
    out += " </td>\n<td align=\"center\"> % </td>\n<td align=\"center\"> ol/nl </td>\n </tr>";
    const Ranking& list = d.rankings.onTrackLaps;
    for (int i = 1; i <= list.length(); ++i) {
        const int s = list.slots[i - 1];
        const RaceLaps& r = t().race[s];
        out += rankedRow(s, i) + "<td align=\"center\">" + percent1Text(onTrackPermille(t(), s)) +
               "<td align=\"center\">(" + n(r.onTrackRaceLaps) + "/" + n(r.raceLapCount) + ")" + kRowCloser;
    }
    out += kTableCloser;
}

void HeatPage::speeds() {
    out += "<table border=3 cellpadding=\"0\" align=\"right\"> <caption align=\"left\"> SPEED </caption> "
           "<tr> <td>\n pos </td>\n<td> driver";
    out += kCarHead;
    out += " </td>\n<td align=\"center\"> v min </td>\n<td align=\"center\"> v max </td>\n </tr>";
    const Ranking& list = d.rankings.maximumSpeed;
    for (int i = 1; i <= list.length(); ++i) {
        const int s = list.slots[i - 1];
        const LapSpeeds& v = d.measure.lapSpeeds[s];
        out += rankedRow(s, i) + " </td> <td> " + speed2Text(v.min[0]) + " </td> <td> " + speed2Text(v.max[0]) +
               kRowCloser;
    }
    out += kTableCloser;
}

void HeatPage::numberOfFastestLaps() {
    out += "<table border=3 cellpadding=\"2\" align=\"center\"> <caption align=\"left\"> NUMBER OF FASTEST LAPS "
           "</caption> <tr> <td align=\"center\"> laps  </td>\n<td> driver </td>\n </tr>";
    for (int s : d.rankings.numberOfFastestLaps.slots)
        out += rowOpener(s) + "<td align=\"center\">" + n(d.history.fastestLapCount[s]) + " </td> <td> " + name(s) +
               kRowCloser;
    out += kTableCloser;
    out += "</div> <br clear=\"all\"> \n <BR> ";
}

void HeatPage::sectorTable(int q) {
    if (q == 1) out += "<div align=\"left\">";
    out += q % 2 == 1 ? "<table border=3 cellpadding=\"0\" align=\"left\"> "
                      : "<table border=3 cellpadding=\"0\" align=\"center\"> ";
    out += "<caption align=\"left\"> SECTOR " + n(q) + " </caption> <tr> <td>\n pos </td>\n<td> driver";
    out += kCarHead;
    out += " </td>\n<td align=\"center\"> lap time </td>\n <td align=\"center\"> -first";
    out += withSpeeds ? " </td>\n<td align=\"center\"> v min </td>\n<td align=\"center\"> v max"
                      : " </td>\n<td align=\"center\"> grid";
    out += " </td>\n </tr>";
    const Ranking& list = d.rankings.sector[q];
    for (int i = 1; i <= list.length(); ++i) {
        const int s = list.slots[i - 1];
        const std::int64_t time = sectorTime(d.measure, t(), s, q);
        out += rankedRow(s, i) + "<td align=\"right\">" + shortTimeText(time) + " </td> <td> ";
        if (i >= 2) out += lapGapText(time - sectorTime(d.measure, t(), list.slots[0], q));
        if (withSpeeds)
            out += "<td align=\"right\">" + speed2Text(d.measure.lapSpeeds[s].min[q]) + "<td align=\"right\">" +
                   speed2Text(d.measure.lapSpeeds[s].max[q]) + " </td> ";
        else
            out += "<td>" + gridImage(s) + "</td>";
        out += "\n </tr> \n";
    }
    out += kTableCloser;
    if (q == 2) out += " <BR> <br clear=\"all\"> <div> ";
    if (q == 4) out += " <BR> <BR> </div> ";
}

// Without race laps: the practice laps of slot 0 in the single-replay page's
// own-driver table, with lap times only (no sectors or speeds are measured),
// and the IDEAL LAPS table without rows.
void HeatPage::practiceLapsOfSlot0() {
    const PracticeLaps& p = t().practice[0];
    out += ownLapTableHead(true, name(0));
    for (int l = 1; l <= p.practiceLapCount && l < kOwnRows; ++l) {
        out += "<tr> \n<td align=\"center\"> " + n(l) + " </td> ";
        for (int k = 1; k <= 4; ++k) out += "<td align=\"right\"> - </td> ";
        out += "<td align=\"right\"> " + shortTimeText(p.practiceLapTimes[l]) + " </td> </tr> \n";
    }
    out += kTableCloser;
    out += idealLapsHead();
    out += kTableCloser;
    out += " <BR> <BR> <BR> ";
}

}  // namespace

std::string heatReportName(const std::string& baseName, int menuChoice) {
    return baseName + (menuChoice != 0 ? "no_v" : "") + ".html";
}

std::string gridImage(int slot) {
    static const char* const grids = "ABCDE";
    if (slot < 0 || slot >= kGridSlots || (slot > 0 && slot % kReplaySlots == 0)) return "";
    return std::string("<img src=\"images/grid_") + grids[slot / kReplaySlots] + ".gif\" />";
}

std::string heatboardReport(const HeatData& data, const std::string& baseName, bool withSpeeds) {
    HeatPage page{data, withSpeeds, {}};
    page.head(baseName);
    const LapTables& t = data.tables;
    if (t.hasRaceTable) {
        page.result();
        page.consistency();
        page.leaders();
        const Rankings& r = data.rankings;
        page.lapTables("", r.fastestRaceLaps, r.fastestPracticeLaps, true);
        page.fastestLapDevelopment();
        page.lapTables(" (ONLY ON TRACK)", r.fastestOnTrackRaceLaps, r.fastestOnTrackPracticeLaps, false);
        page.onTrackLaps();
        if (withSpeeds) page.speeds();
        page.numberOfFastestLaps();
        for (int q = 1; q <= 4; ++q) page.sectorTable(q);
    } else {
        page.practiceLapsOfSlot0();
    }
    if (withSpeeds) page.out += "<div> All speed values are without warranty </div> ";
    page.out += "</body> \n</html> \n";
    return page.out;
}

}  // namespace zr
