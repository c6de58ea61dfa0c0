#include "report_checks.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>
#include <vector>

#include "race_clock.h"
#include "run_dir.h"

namespace zr::sampler {

namespace {

// The reports store CR LF; the checks work on line feeds.
std::string lineFeeds(const std::string& report) { return test::replaceAll(report, "\r", ""); }

std::vector<std::string> split(const std::string& text, char at) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t to; (to = text.find(at, from)) != std::string::npos; from = to + 1)
        parts.push_back(text.substr(from, to - from));
    parts.push_back(text.substr(from));
    return parts;
}

// "  1:02:30", "   2:05", " 2:05", "66:40": the seconds, or -1.
int clockSeconds(const std::string& text) {
    int total = 0, fields = 0;
    for (const std::string& part : split(text, ':')) {
        std::size_t b = part.find_first_not_of(' ');
        if (b == std::string::npos || part.find_first_not_of("0123456789", b) != std::string::npos) return -1;
        total = total * 60 + std::atoi(part.c_str() + b);
        ++fields;
    }
    return fields >= 2 ? total : -1;
}

// "Anna Albers", or "A.Albers" when short.
std::string nameOf(const GroundTruth& t, int slot, bool full = true) {
    const TruthDriver* d = t.driver(slot);
    return !d ? "?" : (full ? d->firstName + " " : d->firstName.substr(0, 1) + ".") + d->lastName;
}

// Frame counts of the chain programs: the race-start record is frame 1.
int secondsOfRaceFrame(const GroundTruth& t, int frame) { return (frame + 1) / t.frameRate; }

bool inRace(const GroundTruth& t, int frame) {
    return static_cast<std::int64_t>(frame + 1) * 1000 / t.frameRate < t.leaderFinishMs;
}

std::string compareWhole(const std::string& expected, const std::string& report) {
    if (test::crlf(expected) == report) return "";
    return "expected:\n" + expected + "\nfound:\n" + lineFeeds(report) + "\n";
}

// An incident by a key (who), a clock and the rest compared once the key
// matched; a found one with its report line.
struct Row {
    std::string key;
    int seconds = 0;
    std::string rest;
    std::string line = "";  // found rows only
};

using SameRest = std::function<bool(const std::string& expected, const std::string& found)>;

// Pairs expected rows with found rows by key and a clock that may differ by
// `slack` seconds; reports the expected rows not found and the rows not expected.
std::string pairUp(const std::vector<Row>& expected, const std::vector<Row>& found, int slack,
                   const SameRest& same = std::equal_to<std::string>()) {
    std::string problems;
    std::vector<bool> used(found.size(), false);
    for (const Row& e : expected) {
        bool matched = false;
        for (std::size_t i = 0; i < found.size() && !matched; ++i) {
            if (used[i] || found[i].key != e.key || std::abs(found[i].seconds - e.seconds) > slack) continue;
            used[i] = matched = true;
            if (!same(e.rest, found[i].rest))
                problems += "for " + e.key + " at " + std::to_string(e.seconds) + " s expected \"" + e.rest +
                            "\", found \"" + found[i].rest + "\"\n";
        }
        if (!matched) problems += "missing: " + e.key + " at " + std::to_string(e.seconds) + " s (" + e.rest + ")\n";
    }
    for (std::size_t i = 0; i < found.size(); ++i)
        if (!used[i]) problems += "not in the ground truth: " + found[i].line + "\n";
    return problems;
}

// Two names joined by "/" in a fixed order, as a contact names its cars in either.
std::string pairKey(const std::string& a, const std::string& b) { return std::min(a, b) + "/" + std::max(a, b); }

// A listing after its heading, one row per incident up to the first empty
// line, then after the next heading the count per car ("  2 * A.Albers");
// `parse` gives a row's key (the short name), clock and rest.
std::string compareListing(const std::string& report, const std::string& heading, const std::string& countHeading,
                           const std::vector<Row>& expected, const std::function<Row(const std::string& row)>& parse,
                           int slack, const SameRest& same = std::equal_to<std::string>()) {
    const std::string text = lineFeeds(report);
    if (report.empty()) return expected.empty() ? "" : "no report, expected " + std::to_string(expected.size()) + " rows\n";
    if (text.rfind(heading, 0) != 0) return "no heading in:\n" + text;
    std::vector<std::string> lines = split(text.substr(heading.size()), '\n');
    std::vector<Row> found;
    std::size_t i = 0;
    for (; i < lines.size() && !lines[i].empty(); ++i) found.push_back(parse(lines[i]));
    while (i < lines.size() && (lines[i].empty() || lines[i] == countHeading)) ++i;
    std::map<std::string, int> counts, expectedCounts;
    for (; i < lines.size() && !lines[i].empty(); ++i) {
        std::size_t star = lines[i].find(" * ");
        if (star != std::string::npos) counts[lines[i].substr(star + 3)] = std::atoi(lines[i].c_str());
    }
    for (const Row& e : expected) ++expectedCounts[e.key];
    if (counts == expectedCounts) return pairUp(expected, found, slack, same);
    std::string differ = "counts per car differ:";
    for (const auto& [name, n] : expectedCounts) differ += " " + name + "=" + std::to_string(n);
    differ += " / found:";
    for (const auto& [name, n] : counts) differ += " " + name + "=" + std::to_string(n);
    return pairUp(expected, found, slack, same) + differ + "\n";
}

}  // namespace

std::string checkDiscoReport(const GroundTruth& t, const std::string& report) {
    std::vector<TruthDisconnect> listed;
    for (const TruthDisconnect& d : t.disconnects)
        // dropwatch leaves out the last 100 seconds before the winner's finish.
        if (static_cast<std::int64_t>(d.frame / t.frameRate) * 1000 <= static_cast<std::int64_t>(t.leaderFinishMs) - 100000)
            listed.push_back(d);
    std::sort(listed.begin(), listed.end(), [](auto& a, auto& b) { return a.slot < b.slot; });
    std::string expected = "DISCOS OR FREEZES:\n\n";
    for (const TruthDisconnect& d : listed)
        expected += formatRaceClock(d.frame, t.frameRate, ClockStyle::minutes) + "\t " + nameOf(t, d.slot) + "\n";
    if (listed.empty()) expected += "No discos or freezes found.";
    return compareWhole(expected + "\n\n\n\n", report);
}

std::string checkPitStopReport(const GroundTruth& t, const std::string& report) {
    std::vector<Row> expected;
    for (const TruthPitStop& p : t.pitStops) {
        if (secondsOfRaceFrame(t, p.rest) <= 38 || !inRace(t, p.rest)) continue;
        std::string work = "--.- Pitstop not completed";
        if (p.exit >= 0 && inRace(t, p.exit))
            work = std::to_string((p.exit - p.entry) * 10 / t.frameRate) + " " + (p.repair ? "Repair" : "") +
                   (p.repair && p.tyres ? "/" : "") + (p.tyres ? "Tire change" : "") +
                   (p.refuel ? std::string(p.repair || p.tyres ? "/" : "") + "Refuel" : "");
        expected.push_back({nameOf(t, p.slot, false), secondsOfRaceFrame(t, p.rest), work});
    }
    auto parse = [](const std::string& row) -> Row {
        std::vector<std::string> f = split(row, '\t');
        f.erase(std::remove(f.begin() + std::min<std::size_t>(f.size(), 3), f.end(), std::string()), f.end());
        if (f.size() != 4) return {"?", 0, "", row};
        // The time in the pit lane in tenths of a second ("25.3s"), or "--.-".
        std::size_t dot = f[1].find('.');
        int tenths = std::atoi(f[1].c_str()) * 10 + (dot == std::string::npos ? 0 : std::atoi(f[1].c_str() + dot + 1));
        std::string time = f[1].find("--.-") != std::string::npos ? "--.-" : std::to_string(tenths);
        return {f[2], clockSeconds(f[0]), time + " " + f[3], row};
    };
    // Times in the pit lane agree to half a second: the report measures from
    // the frames nearest the pit lane's bounds.
    auto same = [](const std::string& e, const std::string& f) {
        std::size_t ge = e.find(' '), gf = f.find(' ');
        if (e.substr(ge) != f.substr(gf)) return false;
        if (e.rfind("--.-", 0) == 0 || f.rfind("--.-", 0) == 0) return e.substr(0, ge) == f.substr(0, gf);
        return std::abs(std::atoi(e.c_str()) - std::atoi(f.c_str())) <= 5;
    };
    return compareListing(report, "  PITSTOP LISTING\n\n", "", expected, parse, 2, same);
}

std::string checkResetReport(const GroundTruth& t, const std::string& report) {
    std::vector<Row> expected;
    for (const TruthReset& r : t.resets)
        expected.push_back({nameOf(t, r.slot, false), secondsOfRaceFrame(t, r.frame),
                            std::string(r.inPits ? "(in pits)" : "(not in pits)") +
                                (r.sign == "jump" ? " ATTENTION: unsure if ShiftR correct" : "")});
    auto parse = [](const std::string& row) -> Row {
        std::vector<std::string> f = split(row, '\t');
        std::size_t gap = f.size() == 3 ? f[2].find("   (") : std::string::npos;
        if (gap == std::string::npos || f[2].empty() || f[2][0] != ' ') return {"?", 0, "", row};
        return {f[2].substr(1, gap - 1), clockSeconds(f[1]), f[2].substr(gap + 3), row};
    };
    return compareListing(report, "  SHIFT R-LISTE\n\n", "  \xDC" "BERSICHT", expected, parse, 1);
}

std::string checkEscapeReport(const GroundTruth& t, const std::string& report) {
    std::map<int, const TruthEscape*> first;  // per car, its first escape beside the track
    for (const TruthEscape& e : t.escapes)
        if (!e.inPitLane && !e.moving && (!first.count(e.slot) || first[e.slot]->back > e.back)) first[e.slot] = &e;
    if (first.empty()) return report.empty() ? "" : "a report, where none was expected:\n" + lineFeeds(report);
    const long long end = static_cast<long long>(t.sessionLength) * t.frameRate;
    std::string expected = "  ILLEGAL ECSs in QUALI\n\n";
    for (const auto& [slot, e] : first) {
        const TruthDriver* d = t.driver(slot);
        expected += nameOf(t, slot, false) + "\t" + (d && d->lastName.size() < 6 ? "\t" : "") +
                    formatRaceClock(end - e->lastSeen, t.frameRate, ClockStyle::hours) + "\t" +
                    formatRaceClock(end - e->back, t.frameRate, ClockStyle::hours) + "\t\n";
    }
    return compareWhole(expected + "\n\n", report);
}

std::string checkProtestList(const GroundTruth& t, const std::string& report) {
    static const char* const wheels[] = {"left front", "right front", "left rear", "right rear"};
    std::vector<Row> expected, found;
    std::vector<std::string> harmless;  // pairs whose contact cost nothing
    for (const TruthContact& c : t.contacts) {
        std::string key = pairKey(nameOf(t, c.hitter), nameOf(t, c.victim));
        if (c.costsTime) expected.push_back({key, secondsOfRaceFrame(t, c.frame), "contact"});
        else harmless.push_back(key);
    }
    for (const TruthDamage& d : t.damage)
        expected.push_back({nameOf(t, d.slot) + (d.what == "wheel" ? " lost " + std::string(wheels[d.value & 3]) + " wheel"
                                                                    : " engine damage (" + std::to_string(d.value) + "/63)"),
                            secondsOfRaceFrame(t, d.frame), d.what});
    std::string text = lineFeeds(report), heading = "  ";
    std::size_t firstLine = text.find('\n');
    for (char c : t.trackFolder) heading += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    if (firstLine == std::string::npos || text.substr(0, firstLine) != heading)
        return "expected the heading \"" + heading + "\" in:\n" + text;
    for (const std::string& row : split(text.substr(firstLine + 1), '\n')) {
        std::vector<std::string> f = split(row, '\t');
        if (row.empty()) continue;
        if (f.size() != 3) {
            found.push_back({"?", 0, "", row});
            continue;
        }
        std::string what = f[2];
        std::string kind = what.find(" engine damage (") != std::string::npos ? "engine"
                           : what.find(" lost ") != std::string::npos   ? "wheel"
                                                                          : "contact";
        std::size_t slash = what.find('/');
        if (kind == "contact" && slash != std::string::npos) what = pairKey(what.substr(0, slash), what.substr(slash + 1));
        if (kind == "contact" && std::find(harmless.begin(), harmless.end(), what) != harmless.end())
            found.push_back({"", 0, "", "a contact that cost nothing: " + row});
        else
            found.push_back({what, clockSeconds(f[1]), kind, row});
    }
    return pairUp(expected, found, 1);
}

}  // namespace zr::sampler
