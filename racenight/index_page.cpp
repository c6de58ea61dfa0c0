#include "index_page.h"

#include "charts.h"
#include "race_clock.h"
#include "value_format.h"

namespace zr::night {

namespace {

constexpr const char* kStyle = R"(
body { font-family: "DejaVu Sans", Verdana, Arial, sans-serif; font-size: 14px; color: #1d232b;
       background: #f4f5f7; margin: 0 auto; padding: 16px 20px; max-width: 1280px; }
h1 { font-size: 24px; margin: 4px 0 6px 0; }
h2 { font-size: 19px; margin: 28px 0 8px 0; padding-top: 10px; border-top: 2px solid #c3c8d0; }
h3 { font-size: 15px; margin: 18px 0 6px 0; }
p.meta { color: #59616d; margin: 2px 0; }
.scroll { overflow-x: auto; }
table.facts { border-collapse: collapse; background: #fff; font-size: 13px; }
table.facts th, table.facts td { border: 1px solid #c3c8d0; padding: 3px 7px; text-align: left; vertical-align: top; }
table.facts th { background: #e3e7ee; white-space: nowrap; }
table.facts td.n { text-align: right; white-space: nowrap; }
table.facts tr.failed td { background: #fbe3e1; }
p.reports a { margin-right: 10px; white-space: nowrap; }
ul.warnings, ul.problems { margin: 6px 0; padding-left: 22px; }
ul.warnings li { color: #7a4b00; }
ul.problems li { color: #a4231b; }
.charts { display: flex; flex-wrap: wrap; gap: 12px 28px; align-items: flex-start; }
figure { margin: 0; flex: 1 1 560px; max-width: 680px; }
figcaption { font-weight: bold; font-size: 13px; margin-bottom: 4px; }
svg.chart { width: 100%; height: auto; background: #fff; border: 1px solid #c3c8d0; }
svg.chart rect.plot { fill: #fbfbfc; stroke: #c3c8d0; }
svg.chart line.grid { stroke: #e2e5ea; stroke-width: 1; }
svg.chart text { font-size: 11px; fill: #4a515c; }
svg.chart path.line { fill: none; stroke-width: 2.2; stroke-linecap: round; stroke-linejoin: round; }
svg.chart circle.dot { stroke: none; }
ul.legend { list-style: none; padding: 0; margin: 6px 0; columns: 3 180px; font-size: 13px; }
span.swatch { display: inline-block; width: 12px; height: 12px; margin-right: 6px; border-radius: 2px;
              vertical-align: -1px; }
)";

std::string countCell(const Count& count) {
    return count ? "<td class=\"n\">" + std::to_string(*count) + "</td>"
                 : "<td class=\"n\" title=\"not looked for in this replay\">&ndash;</td>";
}

std::string listItems(const std::vector<std::string>& texts, const char* listClass) {
    if (texts.empty()) return "";
    std::string out = std::string("<ul class=\"") + listClass + "\">\n";
    for (const std::string& text : texts) out += "<li>" + localTextHtml(text) + "</li>\n";
    return out + "</ul>\n";
}

std::string reportLink(const std::string& folder, const std::string& report, const std::string& text) {
    return "<a href=\"" + linkTo(folder, report) + "\">" + text + "</a>";
}

constexpr const char* kFactHeads[] = {"Replay",  "Grid",      "Track",         "Date",      "Cars",
                                      "Laps",    "Winner",    "Fastest lap",   "Contacts",  "Lost wheels",
                                      "Engine damage", "Pit stops", "Resets", "Escapes",   "Disconnects"};
constexpr int kFactColumns = sizeof kFactHeads / sizeof kFactHeads[0];

std::string factRow(const std::string& folder, const ReplayOutcome& r) {
    std::string out = r.error.empty() ? "<tr>" : "<tr class=\"failed\">";
    // The name links to the replay's lap page where there is one.
    const std::string name = localTextHtml(r.input.name);
    const bool page = !r.reports.empty() && r.reports.front().size() > 5 &&
                      r.reports.front().compare(r.reports.front().size() - 5, 5, ".html") == 0;
    out += "<td>" + (page ? reportLink(folder, r.reports.front(), name) : name) + "</td><td>" +
           (r.input.grid ? std::string(1, r.input.grid) : "") + "</td>";
    if (!r.analysed) {
        return out + "<td colspan=\"" + std::to_string(kFactColumns - 2) + "\">Could not be analysed: " +
               localTextHtml(r.error) + "</td></tr>\n";
    }
    const ReplayFacts& f = r.facts;
    const std::size_t day = f.date.find_first_not_of(' ');
    out += "<td>" + replayTextHtml(f.track) + "</td><td class=\"n\">" +
           escapeMarkupStrict(day == std::string::npos ? "" : f.date.substr(day)) + "</td>";
    out += "<td class=\"n\">" + std::to_string(f.cars) + "</td><td class=\"n\">" +
           (f.raceTable ? std::to_string(f.laps) : std::string("&ndash;")) + "</td>";
    out += "<td>" + replayTextHtml(f.winner) + "</td><td>";
    if (f.fastestLapMs > 0) out += formatLapTime(f.fastestLapMs) + " " + replayTextHtml(f.fastestDriver);
    out += "</td>";
    for (const Count* count : {&f.contacts, &f.lostWheels, &f.engineDamages, &f.pitStops, &f.resets, &f.escapes,
                               &f.disconnects})
        out += countCell(*count);
    return out + "</tr>\n";
}

std::string replayBlock(const std::string& folder, const ReplayOutcome& r) {
    if (!r.analysed) return "";
    const std::vector<DriverSeries>& drivers = r.facts.drivers;
    std::string out = "<h3>" + localTextHtml(r.input.name) + "</h3>\n<p class=\"reports\">Reports: ";
    for (const std::string& report : r.reports) out += reportLink(folder, report, localTextHtml(report)) + " ";
    out += "</p>\n" + listItems(r.warnings, "warnings");
    const std::string positions = positionChart(drivers);
    const std::string laps = lapTimeChart(drivers);
    if (positions.empty() && laps.empty()) return out;
    out += "<div class=\"charts\">\n";
    if (!positions.empty()) out += "<figure><figcaption>Position lap by lap</figcaption>\n" + positions + "</figure>\n";
    if (!laps.empty())
        out += std::string("<figure><figcaption>Lap times") + (r.facts.raceTable ? "" : " (practice)") +
               "</figcaption>\n" + laps + "</figure>\n";
    return out + "</div>\n" + chartLegend(drivers);
}

std::string jobSection(const JobOutcome& job) {
    const NightJob& j = job.job;
    std::string out = "<section id=\"" + linkTo("", j.folder) + "\">\n<h2>" +
                      (j.isEvent() ? "Event " + escapeMarkupStrict(j.raceNumber) : localTextHtml(j.replays.front().name)) +
                      "</h2>\n";
    bool reports = !job.heatPage.empty();
    for (const ReplayOutcome& r : job.replays) reports = reports || !r.reports.empty();
    if (reports) {
        out += "<p class=\"meta\">Reports in <a href=\"" + linkTo("", j.folder) + "/\">" +
               localTextHtml(j.folder) + "/</a>";
        if (!job.heatPage.empty())
            out += "; all grids on one page: " + reportLink(j.folder, job.heatPage, localTextHtml(job.heatPage)) +
                   " (heatboard)";
        out += "</p>\n";
    }
    std::vector<std::string> problems = job.warnings;
    if (!job.error.empty()) problems.insert(problems.begin(), job.error);
    out += listItems(problems, job.error.empty() ? "warnings" : "problems");

    out += "<div class=\"scroll\"><table class=\"facts\">\n<tr>";
    for (const char* head : kFactHeads) out += std::string("<th>") + head + "</th>";
    out += "</tr>\n";
    for (const ReplayOutcome& r : job.replays) out += factRow(j.folder, r);
    out += "</table></div>\n";
    for (const ReplayOutcome& r : job.replays) out += replayBlock(j.folder, r);
    return out + "</section>\n";
}

}  // namespace

std::string indexPage(const NightOutcome& night, const PageContext& context) {
    int replays = 0, events = 0, failed = 0;
    std::vector<std::string> problems;
    for (const JobOutcome& job : night.jobs) {
        events += job.job.isEvent();
        for (const ReplayOutcome& r : job.replays) {
            ++replays;
            if (r.error.empty()) continue;
            ++failed;
            problems.push_back(r.input.path + ": " + r.error);
        }
    }
    const int lone = static_cast<int>(night.jobs.size()) - events;
    std::string out =
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        "<title>Race night</title>\n<style>" +
        std::string(kStyle) + "</style>\n</head>\n<body>\n<h1>Race night</h1>\n";
    out += "<p class=\"meta\">" + std::to_string(replays) + " replays: " + std::to_string(events) +
           (events == 1 ? " event" : " events") + " and " + std::to_string(lone) +
           (lone == 1 ? " replay" : " replays") + " on their own";
    if (failed > 0) out += "; " + std::to_string(failed) + " could not be analysed";
    out += ".</p>\n<p class=\"meta\">" + escapeMarkupStrict(context.settings) + "</p>\n";
    if (!problems.empty()) out += "<h2>Replays that could not be analysed</h2>\n" + listItems(problems, "problems");
    out += listItems(context.notes, "warnings");
    for (const JobOutcome& job : night.jobs) out += jobSection(job);
    out += "<p class=\"meta\">Written by racenight " + escapeMarkupStrict(context.version) + ".</p>\n</body>\n</html>\n";
    return out;
}

}  // namespace zr::night
