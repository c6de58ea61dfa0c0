#include "html_report.h"

#include <algorithm>
#include <functional>
#include <initializer_list>

#include "page_pieces.h"
#include "value_format.h"

namespace zr {

namespace {

const char* const kYellow = " bgcolor=\"#FFFF00\"";
const char* const kRedText = " style=\"color:#FF0000\"";
const char* const kCar = " </td>\n <td align=\"center\">  car";
const char* const kCentered = " align=\"center\"";

// The statistics table has four sections, each a lap list, a sector list
// (server replays) and one of the other lists side by side under a row of
// captions and a row of column heads, which every section words and closes a
// little differently. Per section: the lap list, its caption (and the one in
// its place when an on-track list is left out), the sector and other captions
// and what ends them; the texts around the lap heads, after the cell standing
// in for a left-out lap list and around the sector heads; what ends the heads.
struct SectionTexts {
    LapList laps;
    const Ranking Rankings::*list;
    const char* lapCaption = "";
    const char* noLapCaption = "";
    const char* sectorCaption = "";
    const char* otherCaption = "";
    const char* captionsEnd = "";
    const char* lapOpen = "";
    const char* lapClose = "";
    const char* fillerEnd = "";
    const char* sectorOpen = "";
    const char* sectorClose = "";
    const char* headsEnd = "";
};
const SectionTexts kSections[] = {
    {.laps = LapList::practice, .list = &Rankings::fastestPracticeLaps,
     .lapCaption = "<tr> <td colspan=\"7\"> FASTEST PRACTICE LAPS *</td> ",
     .sectorCaption = "<td colspan=\"7\"> SECTOR 1 </td> ", .otherCaption = "<td colspan=\"5\"> SPEED ***</td>",
     .captionsEnd = "</tr>\n </td>\n </tr>", .lapOpen = " <tr>\n<td align=\"center\">p ",
     .sectorOpen = "</td>\n <td>p ", .headsEnd = " </td>\n </tr>"},
    {.laps = LapList::onTrackPractice, .list = &Rankings::fastestOnTrackPracticeLaps,
     .lapCaption = "<tr> <td colspan=\"7\">PRACTICE LAPS (ONLY ON TRACK)</td> ",
     .noLapCaption = "<tr> <td colspan=\"7\">ALL PRACTICE LAPS ARE ON TRACK </td>  ",
     .sectorCaption = "<td colspan=\"7\"> SECTOR 2 ", .otherCaption = "<td colspan=\"5\"> ON TRACK LAPS ",
     .captionsEnd = " </td>\n </tr> <tr>", .lapOpen = " \n<td align=\"center\">p ", .lapClose = "</td> ",
     .fillerEnd = "<tr> ", .sectorOpen = "\n <td> p", .headsEnd = " </td>\n </tr>"},
    {.laps = LapList::race, .list = &Rankings::fastestRaceLaps,
     .lapCaption = "<tr> <td colspan=\"7\">FASTEST RACE LAPS *</td> ",
     .sectorCaption = "<td colspan=\"7\"> SECTOR 3 ", .otherCaption = "<td colspan=\"5\">CONSISTENCY ** ",
     .lapOpen = " <tr>\n<td align=\"center\">p ", .sectorOpen = "</td>\n <td> p",
     .headsEnd = " </td>\n </tr> </td>\n </tr>"},
    {.laps = LapList::onTrackRace, .list = &Rankings::fastestOnTrackRaceLaps,
     .lapCaption = "<tr> <td colspan=\"7\">RACE LAPS (ONLY ON TRACK) </td>  ",
     .noLapCaption = "<tr> <td colspan=\"7\">ALL RACE LAPS ARE ON TRACK </td>  ",
     .sectorCaption = "<td colspan=\"7\"> SECTOR 4 ", .otherCaption = "<td colspan=\"5\"> NUMBER OF FASTEST LAPS**** ",
     .captionsEnd = " </td>\n </tr> <tr>", .lapOpen = " <tr>\n<td align=\"center\">p ", .lapClose = " </td>",
     .sectorOpen = "\n <td> p", .sectorClose = " </td>\n"},
};

std::string n(std::int64_t value) { return std::to_string(value); }

struct Page {
    const RaceboardData& d;
    std::string out;

    bool server() const { return d.header.localDriverSlot == 0; }
    // The recording driver's car; a server replay (slot 0) has none.
    bool own(int slot) const { return d.header.localDriverSlot > 0 && slot == d.header.localDriverSlot; }
    std::string name(int slot) const {
        return pageText(d.drivers.firstName(slot)) + " " + pageText(d.drivers.lastName(slot));
    }
    // The recording driver's slot comes from the header and may name no slot.
    std::string logo(int slot) const { return isCarSlot(slot) ? carLogo(d.drivers.carMake[slot]) : ""; }
    const RaceLaps& race(int slot) const { return d.tables.race[slot]; }

    void add(std::initializer_list<const char*> parts) {
        for (const char* p : parts) out += p;
    }
    void head();
    void title();
    void result();
    void leaders();
    void fastestLapDevelopment();
    void statistics();
    void ownLapTable(int session);
    void idealLaps();
    void footer();

    // Statistics table pieces.
    struct Marks {
        bool yellow = false;
        bool red = false;
    };
    void cell(const char* attributes, Marks marks, const std::string& value);
    void carCell(int slot) { out += "<td> " + logo(slot) + " </td> "; }
    // The rank, driver and (unless left out) car cells that open an entry.
    void entryStart(const char* rankAttributes, Marks marks, int i, int slot, bool withCar = true) {
        cell(rankAttributes, marks, n(i));
        cell("", marks, name(slot));
        if (withCar) carCell(slot);
    }
    void lapHead();
    void sectorHead();
    void lapEntry(const Ranking& list, LapList kind, bool marksOffTrack, int i);
    void sectorEntry(int k, int i);
    struct Group {
        bool shown;
        int length;
        const char* colspan;
        std::function<void(int)> entry;
    };
    void dataRows(int rows, const Group (&groups)[3]);
    int offTrackRows(const Ranking& list, LapList kind) const;
    // An entry of the other lists: rank, driver and (unless left out) car,
    // or the driver alone, centred; then the slot's values.
    struct OtherList {
        bool shown;
        const Ranking& list;
        bool ranked;
        bool withCar;
        std::string head;
        std::function<std::vector<std::string>(int slot)> values;
    };
    void otherEntry(const OtherList& other, int i);
    void section(int k, const OtherList& other);

    // Participant tables.
    void scaleCell(ScaleColour colour, bool best, const std::string& value);
    void ownCarCell(bool offTrack);
};

void Page::head() {
    add({"<html> \n", "<head> \n", "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">", "\n",
         "<title>Zant Raceboards</title>", "\n",
         "<meta name =\"viewport\" content=\"width=device-width, initial-scale=1.0, maximum-scale=1.0\" />", "\n",
         "<link rel=\"stylesheet\" href=\"Zant_Raceboards.css\">", "\n", "</head> \n", "<body> "});
}

void Page::title() {
    out += "<h1> " + pageText(d.header.reportTrackName) + "  -  ";
    out += d.header.localDriverSlot != 0 ? "NON SERVER" : "SERVER";
    out += "  -  " + pageText(d.header.modName) + "  -  " + reportDate(d.fileTime) + "</h1> ";
}

void Page::result() {
    const LapTables& t = d.tables;
    const int columns = positionColumns(t.maxRaceLaps);
    add({"<div> ", "<table border=3 cellpadding=\"1\"> ", "<caption align=\"center\"> <b>RESULT</b> </caption> \n ",
         " <tr> "});
    for (int c = 0; c < columns; ++c) {
        int lap = columnLap(c, t.maxRaceLaps);
        out += " </td>\n <td align=\"center\"> ";
        if (lap < 10) out += "lp";
        out += n(lap);
    }
    add({" </td>\n <td align=\"center\">  pos", " </td>\n<td> driver", kCar, " </td>\n <td align=\"center\"> -first",
         " </td>\n<td align=\"center\"> -before", " </td>\n<td align=\"center\"> laps", " </td>\n </tr>"});

    std::vector<bool> taken;
    const std::vector<ResultRow> rows = classifyRace(t, t.slotCount, taken);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ResultRow& row = rows[i];
        out += "<tr";
        switch (resultShade(row, t.maxRaceLaps, d.header.localDriverSlot)) {
            case RowShade::own: out += kYellow; break;
            case RowShade::darkGrey: out += " bgcolor=\"#C0C0C0\""; break;
            case RowShade::lightGrey: out += " bgcolor=\"#D0D0D0\""; break;
            case RowShade::none: break;
        }
        out += ">";
        for (int c = 0; c < columns; ++c) {
            int place = positionAfterLap(t, row.slot, columnLap(c, t.maxRaceLaps));
            out += "<td align=\"center\"> " + (place >= 1 ? n(place) : std::string("-")) + " </td> ";
        }
        out += "<td align=\"center\">  <b> " + n(static_cast<std::int64_t>(i) + 1) + " </b>  </td> <td> " +
               name(row.slot) + " </td> <td> " + logo(row.slot);
        if (i == 0) {
            out += "<td align=\"right\"> " + raceTimeText(static_cast<std::int64_t>(finalStamp(t, row)) -
                                                           t.raceStartStamp);
        } else {
            WinnerGap gap = gapToWinner(t, row, rows[0]);
            if (gap.lapsBehind) out += "<td align=\"center\"> " + n(gap.value) + " lap(s)";
            else out += "<td align=\"right\"> " + gapText(gap.value);
        }
        out += "</td> <td align=\"right\"> ";
        std::int32_t before = 0;
        if (i > 0 && gapToPrevious(t, row, rows[i - 1], before)) out += gapText(before);
        out += "<td align=\"center\"> " + n(race(row.slot).raceLapCount) + " </td> \n </tr> \n";
    }
    add({"</border> ", "</table> \n", "</div> ", "<br clear=\"all\"> ", "<BR> "});
}

void Page::leaders() {
    add({"<table border=3 cellpadding=\"3\"> ", "<caption align=\"left\"> <b>LEADER</b> </caption> ", "<tr> \n"});
    const std::vector<int>& leader = d.history.lapLeader;
    const int last = std::min<int>(d.tables.maxRaceLaps + 1, static_cast<int>(leader.size()) - 1);
    int cells = 0;
    int from = 1;
    // A run of laps with one leader ends where the leader changes; the lap
    // after the last one has no leader (0) and closes the last run. Slot 0 also
    // stands for "nobody", so a run of a driver in slot 0 is closed after the
    // last lap only when he really led it.
    for (int lap = 1; lap < last; ++lap) {
        const bool slot0LedLastLap = lap == last - 1 && leader[lap] == 0 && d.tables.race[0].raceStamps[lap] > 0;
        if (leader[lap + 1] == leader[lap] && !slot0LedLastLap) continue;
        const int slot = leader[lap];
        out += own(slot) ? "<td bgcolor=\"#FFFF00\"> \n" : "<td> \n";
        out += " lap " + n(from);
        if (lap != from) out += std::string("-") + n(lap);
        out += ": " + name(slot) + " </td> \n ";
        if (++cells % 5 == 0) out += "</tr> <tr> \n ";
        from = lap + 1;
    }
    add({"</tr> \n ", "</border> ", "</table> \n", " <BR> <BR>"});
}

void Page::fastestLapDevelopment() {
    add({"<table border=3 cellpadding=\"3\"> ", "<caption align=\"left\"> <b>DEVELOPMENT FASTEST LAP</b> </caption> ",
         "<tr> \n"});
    int cells = 0;
    for (const auto& [slot, lap] : d.history.fastestLapHistory) {
        out += own(slot) ? "<td bgcolor=\"#FFFF00\"> \n" : "<td> \n";
        out += " lap" + n(lap) + " " + name(slot) + "  " + lapTimeText(race(slot).raceLapTimes[lap]) + "</td> \n ";
        if (++cells % 6 == 0) out += "</tr> <tr> \n ";
    }
    add({"</tr> \n ", "</border> ", "</table> \n", " <BR> <BR> ", "<br clear=\"all\"> "});
}

void Page::cell(const char* attributes, Marks marks, const std::string& value) {
    out += "<td";
    out += attributes;
    if (marks.yellow) out += kYellow;
    if (marks.red) out += kRedText;
    out += ">\n" + value + " </td> ";
}

void Page::lapHead() {
    add({" </td>\n<td> driver", kCar, " </td>\n<td align=\"center\"> lap time", " </td>\n <td align=\"center\"> -first",
         " </td>\n<td align=\"center\"> -before", " </td>\n<td align=\"center\"> fl/nl"});
}

void Page::sectorHead() {
    add({" </td>\n<td> driver", kCar, " </td>\n<td align=\"center\"> lap time", " </td>\n <td align=\"center\"> -first"});
    if (!d.noSpeedMode) add({kVmin, kVmax});
}

void Page::lapEntry(const Ranking& list, LapList kind, bool marksOffTrack, int i) {
    const LapTables& t = d.tables;
    const int s = list.slots[i - 1];
    const std::int64_t time = listedLapTime(t, kind, s);
    const Marks marks{own(s), marksOffTrack && listedLapOffTrack(t, kind, s)};
    entryStart(kCentered, marks, i, s);
    cell("", marks, lapTimeText(time));
    cell("", marks, i >= 2 ? gapText(time - listedLapTime(t, kind, list.slots[0])) : "");
    cell("", marks, i >= 2 ? gapText(time - listedLapTime(t, kind, list.slots[i - 2])) : "");
    cell(kCentered, marks, n(listedLapNumber(t, kind, s)) + "/" + n(listedLapCount(t, kind, s)));
    out += "\n ";
}

void Page::sectorEntry(int k, int i) {
    const Ranking& list = d.rankings.sector[k];
    const int s = list.slots[i - 1];
    const std::int64_t time = sectorTime(d.measure, d.tables, s, k);
    const Marks marks{own(s), false};
    entryStart(kCentered, marks, i, s);
    cell("", marks, shortTimeText(time));
    cell("", marks, i >= 2 ? gapText(time - sectorTime(d.measure, d.tables, list.slots[0], k)) : "");
    if (!d.noSpeedMode) {
        cell("", marks, speed2Text(d.measure.lapSpeeds[s].min[k]));
        cell("", marks, speed2Text(d.measure.lapSpeeds[s].max[k]));
    }
    out += "\n ";
}

int Page::offTrackRows(const Ranking& list, LapList kind) const {
    int rows = 0;
    for (int s : list.slots) rows += listedLapOffTrack(d.tables, kind, s) ? 1 : 0;
    return rows;
}

void Page::dataRows(int rows, const Group (&groups)[3]) {
    for (int i = 1; i <= rows; ++i) {
        out += " <tr>\n";
        for (const Group& g : groups) {
            if (!g.shown) continue;
            if (i <= g.length) g.entry(i);
            else if (i == g.length + 1)
                out += std::string(" <td colspan=\"") + g.colspan + "\" td rowspan=\"" + n(rows - i + 1) + "\"></td> ";
        }
        out += "</tr> \n";
    }
}

int rowsOf(const Page::Group (&groups)[3]) {
    int rows = 0;
    for (const Page::Group& g : groups)
        if (g.shown) rows = std::max(rows, g.length);
    return rows;
}

void Page::otherEntry(const OtherList& other, int i) {
    const int s = other.list.slots[i - 1];
    const Marks marks{own(s), false};
    if (other.ranked) entryStart("", marks, i, s, other.withCar);
    else cell(kCentered, marks, name(s));
    for (const std::string& value : other.values(s)) cell("", marks, value);
    out += "\n ";
}

void Page::section(int k, const OtherList& other) {
    const SectionTexts& x = kSections[k - 1];
    // The full lists (sections 1 and 3) mark off-track laps red; the
    // on-track list after one is left out when none of its laps was off track.
    const bool allLaps = k % 2 == 1;
    const SectionTexts& full = kSections[allLaps ? k - 1 : k - 2];
    const bool lapsShown = allLaps || offTrackRows(d.rankings.*full.list, full.laps) > 0;
    const Ranking& laps = d.rankings.*x.list;
    const Group groups[3] = {
        {lapsShown, laps.length(), "7", [&](int i) { lapEntry(laps, x.laps, allLaps, i); }},
        {server(), d.rankings.sector[k].length(), "7", [&](int i) { sectorEntry(k, i); }},
        {other.shown, other.list.length(), "5", [&](int i) { otherEntry(other, i); }},
    };
    const int rows = rowsOf(groups);

    out += lapsShown ? x.lapCaption : x.noLapCaption;
    if (server()) out += x.sectorCaption;
    if (other.shown) out += x.otherCaption;
    out += x.captionsEnd;
    if (lapsShown) {
        out += x.lapOpen;
        lapHead();
        out += x.lapClose;
    } else {
        out += " <td colspan=\"7\" td rowspan=\"" + n(rows + 2) + "\"></td> " + x.fillerEnd;
    }
    if (server()) {
        out += x.sectorOpen;
        sectorHead();
        out += x.sectorClose;
    }
    if (other.shown) out += other.head;
    out += x.headsEnd;
    dataRows(rows, groups);
}

void Page::statistics() {
    const Rankings& r = d.rankings;
    const LapSpeeds* speeds = d.measure.lapSpeeds.data();
    using Values = std::vector<std::string>;
    const std::string fastestLapsSpan = "rowspan=\"" + n(r.numberOfFastestLaps.length() + 1) + "\">  </td>\n";
    const OtherList others[] = {
        {server(), r.maximumSpeed, true, true, std::string("</td>\n <td>p  </td>\n<td> driver") + kCar + kVmin + kVmax,
         [&](int s) { return Values{speed2Text(speeds[s].min[0]), speed2Text(speeds[s].max[0])}; }},
        {true, r.onTrackLaps, true, true,
         std::string("\n <td> p </td>\n<td> driver") + kCar + " </td>\n<td align=\"center\"> % </td>\n<td "
                                                            "align=\"center\"> ol/nl",
         [&](int s) {
             std::string laps = "(";  // appended, not "(" + ...: GCC 12 warns wrongly there
             laps += n(race(s).onTrackRaceLaps) + "/" + n(race(s).raceLapCount) + ")";
             return Values{percent1Text(onTrackPermille(d.tables, s)), laps};
         }},
        {true, r.consistency, true, false,
         "</td>\n <td> p </td>\n<td> driver </td>\n<td align=\"center\"> %  </td>\n <td align=\"center\"> c.in s  "
         "</td>\n <td align=\"center\">av.lt",
         [&](int s) {
             const Consistency c = consistencyOf(d.tables, s);
             return Values{percent2Text(c.percent), secondsText(c.gap), lapTimeText(c.average)};
         }},
        {true, r.numberOfFastestLaps, false, false,
         " <td " + fastestLapsSpan + "<td> driver </td>\n <td align=\"center\">n </td> <td colspan=\"2\" td " +
             fastestLapsSpan + " </tr>",
         [&](int s) { return Values{n(d.history.fastestLapCount[s])}; }},
    };

    add({"<div> ", "<table border=3> ", "<thead> ", "<tr> ", "<td colspan=\"7\"> LAPTIMES </td> \n"});
    if (server()) out += "<td colspan=\"7\">SECTOR TIMES ***</td> \n";
    add({"<td colspan=\"5\">OTHER STUFF</td> \n", "</tr></thead><tbody> \n"});
    for (int k = 1; k <= 4; ++k) section(k, others[k - 1]);
    add({"</table> \n ", "<br clear=\"all\"> "});
}

void Page::scaleCell(ScaleColour colour, bool best, const std::string& value) {
    out += "<td align=\"right\" ";
    if (colour.kind == ScaleColour::green)
        out += "bgcolor=\"#" + colourByte(colour.value) + "FF" + colourByte(colour.value) + "\"";
    else if (colour.kind == ScaleColour::red)
        out += "bgcolor=\"#FF" + colourByte(colour.value) + colourByte(colour.value) + "\"";
    out += "> ";
    if (best) out += "<b> ";
    out += value + " </td> ";
}

void Page::ownCarCell(bool offTrack) {
    out += offTrack ? "<td bgcolor=\"#000000\"> " : "<td> " + logo(d.header.localDriverSlot);
    out += "</td> ";
}

void Page::ownLapTable(int session) {
    const int o = d.header.localDriverSlot;
    const bool practice = session == kPracticeSession;
    const bool known = d.tables.isSlot(o);
    const OwnSectorTable& table = *d.own;
    out += ownLapTableHead(practice, name(o));

    const int laps = !known ? 0 : practice ? d.tables.practice[o].practiceLapCount : d.tables.race[o].raceLapCount;
    for (int l = 1; l <= laps && l < kOwnRows; ++l) {
        out += "<tr> \n<td align=\"center\"> " + n(l) + " </td> ";
        // A lap is shown when its sector 4 was measured, and not when a sector
        // came out negative: the marks then belong to another stretch than the
        // lap time (a line crossing missed or found at another place).
        bool measured = table.maxSpeed[l][4][session] > 0;
        for (int k = 1; k <= 4; ++k) measured = measured && table.mark[l][k][session] >= 0;
        if (measured) {
            for (int k = 1; k <= 4; ++k) {
                const std::int32_t t = table.mark[l][k][session], best = table.mark[0][k][session];
                scaleCell(timeScale(t, best), t == best, shortTimeText(t));
            }
            const std::int32_t lapTime =
                practice ? d.tables.practice[o].practiceLapTimes[l] : d.tables.race[o].raceLapTimes[l];
            const std::int32_t bestLap =
                practice ? d.tables.practice[o].bestPracticeLap.time : d.tables.race[o].bestRaceLap.time;
            scaleCell(timeScale(lapTime, bestLap), lapTime == bestLap, shortTimeText(lapTime));

            const bool offTrack = practice ? d.tables.offTrackPractice(o, l) : d.tables.offTrackRace(o, l);
            auto minCell = [&](int k, bool twoDecimals) {
                const std::int32_t v = table.minSpeed[l][k][session], best = table.minSpeed[0][k][session];
                scaleCell(minSpeedScale(v, best), v == best, twoDecimals ? speed2Text(v) : speed1Text(v));
            };
            auto maxCell = [&](int k, bool twoDecimals) {
                const std::int32_t v = table.maxSpeed[l][k][session], best = table.maxSpeed[0][k][session];
                scaleCell(maxSpeedScale(v, best), v == best, twoDecimals ? speed2Text(v) : speed1Text(v));
            };
            ownCarCell(offTrack);
            minCell(0, true);
            maxCell(0, true);
            ownCarCell(offTrack);
            for (int k = 1; k <= 4; ++k) maxCell(k, false);
            ownCarCell(offTrack);
            for (int k = 1; k <= 4; ++k) minCell(k, false);
        }
        out += "</tr> \n";
    }
    add({"</border> ", "</table> \n"});
}

void Page::idealLaps() {
    const OwnSectorTable& table = *d.own;
    out += idealLapsHead();

    const std::string carCellText = "<td> " + logo(d.header.localDriverSlot) + "</td> ";
    for (int session : {kPracticeSession, kRaceSession}) {
        if (table.maxSpeed[0][0][session] <= 0) continue;
        out += "<tr> \n";
        out += session == kPracticeSession ? "<td align=\"center\"> Pr </td> " : "<td align=\"center\"> Ra </td> ";
        auto value = [&](const std::string& text) { out += "<td align=\"right\"> " + text + " </td> "; };
        std::int64_t ideal = 0;
        for (int k = 1; k <= 4; ++k) {
            value(shortTimeText(table.mark[0][k][session]));
            ideal += table.mark[0][k][session];
        }
        value(shortTimeText(ideal));
        out += carCellText;
        value(speed2Text(table.minSpeed[0][0][session]));
        value(speed2Text(table.maxSpeed[0][0][session]));
        out += carCellText;
        for (int k = 1; k <= 4; ++k) value(speed1Text(table.maxSpeed[0][k][session]));
        out += carCellText;
        for (int k = 1; k <= 4; ++k) value(speed1Text(table.minSpeed[0][k][session]));
        out += "</tr> \n";
    }
    add({"</border> ", "</table> \n"});
}

void Page::footer() {
    add({" <BR> <BR> ", "</tbody> \n", "<div> ",
         "<p>The left side of the RESULT table is a look into the past. Where was the driver in the line after lap "
         "X?</p> ",
         "<p>*NON on track laps are written in red.</p> ",
         "<p>**average laptime/fastest laptime and average laptime-fastest laptime (including the first lap).</p> "});
    if (server()) out += "<p>***Sector times and speed values are from the fastest race lap.</p>";
    add({"<p>The deviation of sector times should be smaller than 2/1000s, but no warranty when drivers have a bad "
         "internet connection (same for speed values).</p> ",
         "<p>****Compares race laptimes. The driver which has driven the fastest lap in lap 1 gets one point, and so "
         "on...</p> ",
         "<p class='copy'><b>Zant_Raceboards</b><br>", "Lap statistics made from the replay file.", " </p> ",
         "</div> "});
}

}  // namespace

std::string reportDate(const std::string& fileTime) {
    if (fileTime.size() < 24) return "";
    return fileTime.substr(8, 2) + ". " + fileTime.substr(4, 3) + " " + fileTime.substr(20, 4);
}

std::string reportName(const std::string& replayName, bool noSpeedMode) {
    return replayName + (noSpeedMode ? "no_v" : "") + ".html";
}

std::string raceboardReport(const RaceboardData& data) {
    Page page{data, {}};
    page.head();
    page.title();
    if (data.tables.hasRaceTable) {
        page.result();
        page.leaders();
        page.fastestLapDevelopment();
        page.statistics();
        if (data.header.localDriverSlot > 0) {
            page.ownLapTable(kPracticeSession);
            page.ownLapTable(kRaceSession);
            page.idealLaps();
        }
    }
    page.footer();
    return page.out;
}

}  // namespace zr
