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
std::string lineFeeds(const std::string& report) {
    std::string out;
    for (char c : report)
        if (c != '\r') out += c;
    return out;
}

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

std::string fullName(const GroundTruth& t, int slot) {
    const TruthDriver* d = t.driver(slot);
    return d ? d->firstName + " " + d->lastName : "?";
}

std::string shortName(const GroundTruth& t, int slot) {
    const TruthDriver* d = t.driver(slot);
    return d ? d->firstName.substr(0, 1) + "." + d->lastName : "?";
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

// The lines of a listing after its heading, up to the first empty line, and
// the lines of the count per car after the next heading.
struct Listing {
    bool headed = false;
    std::vector<std::string> rows;
    std::map<std::string, int> counts;  // short name -> count
};

Listing readListing(const std::string& report, const std::string& heading, const std::string& countHeading) {
    Listing l;
    std::string text = lineFeeds(report);
    if (text.rfind(heading, 0) != 0) return l;
    l.headed = true;
    std::vector<std::string> lines = split(text.substr(heading.size()), '\n');
    std::size_t i = 0;
    for (; i < lines.size() && !lines[i].empty(); ++i) l.rows.push_back(lines[i]);
    while (i < lines.size() && (lines[i].empty() || lines[i] == countHeading)) ++i;
    for (; i < lines.size() && !lines[i].empty(); ++i) {
        std::size_t star = lines[i].find(" * ");
        if (star != std::string::npos) l.counts[lines[i].substr(star + 3)] = std::atoi(lines[i].c_str());
    }
    return l;
}

// Pairs expected rows with found rows by a key and a clock that may differ by
// `slack` seconds; reports the expected rows not found and the rows not expected.
struct Expected {
    std::string key;
    int seconds = 0;
    std::string rest;  // compared as well, when the key matched
};
struct Found {
    std::string key;
    int seconds = 0;
    std::string rest;
    std::string line;
};

using SameRest = std::function<bool(const std::string& expected, const std::string& found)>;

std::string pairUp(const std::vector<Expected>& expected, const std::vector<Found>& found, int slack,
                   const SameRest& same = std::equal_to<std::string>()) {
    std::string problems;
    std::vector<bool> used(found.size(), false);
    for (const Expected& e : expected) {
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

std::string compareCounts(const std::map<std::string, int>& expected, const std::map<std::string, int>& found) {
    if (expected == found) return "";
    std::string s = "counts per car differ:";
    for (const auto& [name, n] : expected) s += " " + name + "=" + std::to_string(n);
    s += " / found:";
    for (const auto& [name, n] : found) s += " " + name + "=" + std::to_string(n);
    return s + "\n";
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
        expected += formatRaceClock(d.frame, t.frameRate, ClockStyle::minutes) + "\t " + fullName(t, d.slot) + "\n";
    if (listed.empty()) expected += "No discos or freezes found.";
    return compareWhole(expected + "\n\n\n\n", report);
}

std::string checkPitStopReport(const GroundTruth& t, const std::string& report) {
    std::vector<Expected> expected;
    std::map<std::string, int> counts;
    for (const TruthPitStop& p : t.pitStops) {
        if (secondsOfRaceFrame(t, p.rest) <= 38 || !inRace(t, p.rest)) continue;
        std::string work = "Pitstop not completed";
        std::string time = "--.-";
        if (p.exit >= 0 && inRace(t, p.exit)) {
            work = std::string(p.repair ? "Repair" : "") + (p.repair && p.tyres ? "/" : "") + (p.tyres ? "Tire change" : "") +
                   (p.refuel ? std::string(p.repair || p.tyres ? "/" : "") + "Refuel" : "");
            time = std::to_string((p.exit - p.entry) * 10 / t.frameRate);
        }
        expected.push_back({shortName(t, p.slot), secondsOfRaceFrame(t, p.rest), time + " " + work});
        ++counts[shortName(t, p.slot)];
    }
    if (report.empty()) return expected.empty() ? "" : "no report, expected " + std::to_string(expected.size()) + " stops\n";
    Listing l = readListing(report, "  PITSTOP LISTING\n\n", "");
    if (!l.headed) return "no heading in:\n" + lineFeeds(report);
    std::vector<Found> found;
    for (const std::string& row : l.rows) {
        std::vector<std::string> f = split(row, '\t');
        f.erase(std::remove(f.begin() + std::min<std::size_t>(f.size(), 3), f.end(), std::string()), f.end());
        if (f.size() != 4) {
            found.push_back({"?", 0, "", row});
            continue;
        }
        // The time in the pit lane in tenths of a second ("25.3s"), or "--.-".
        std::string time = f[1].find("--.-") != std::string::npos ? "--.-" : "";
        if (time.empty()) {
            std::size_t dot = f[1].find('.');
            time = std::to_string(std::atoi(f[1].c_str()) * 10 + (dot == std::string::npos ? 0 : std::atoi(f[1].c_str() + dot + 1)));
        }
        found.push_back({f[2], clockSeconds(f[0]), time + " " + f[3], row});
    }
    // Times in the pit lane agree to half a second: the report measures from
    // the frames nearest the pit lane's bounds.
    auto same = [](const std::string& e, const std::string& f) {
        std::size_t ge = e.find(' '), gf = f.find(' ');
        if (e.substr(ge) != f.substr(gf)) return false;
        if (e.rfind("--.-", 0) == 0 || f.rfind("--.-", 0) == 0) return e.substr(0, ge) == f.substr(0, gf);
        return std::abs(std::atoi(e.c_str()) - std::atoi(f.c_str())) <= 5;
    };
    return pairUp(expected, found, 2, same) + compareCounts(counts, l.counts);
}

std::string checkResetReport(const GroundTruth& t, const std::string& report) {
    std::vector<Expected> expected;
    std::map<std::string, int> counts;
    for (const TruthReset& r : t.resets) {
        std::string verdict = r.inPits ? "(in pits)" : "(not in pits)";
        if (r.sign == "jump") verdict += " ATTENTION: unsure if ShiftR correct";
        expected.push_back({shortName(t, r.slot), secondsOfRaceFrame(t, r.frame), verdict});
        ++counts[shortName(t, r.slot)];
    }
    if (report.empty()) return expected.empty() ? "" : "no report, expected " + std::to_string(expected.size()) + " resets\n";
    Listing l = readListing(report, "  SHIFT R-LISTE\n\n", "  \xDC" "BERSICHT");
    if (!l.headed) return "no heading in:\n" + lineFeeds(report);
    std::vector<Found> found;
    for (const std::string& row : l.rows) {
        std::vector<std::string> f = split(row, '\t');
        std::size_t gap = f.size() == 3 ? f[2].find("   (") : std::string::npos;
        if (gap == std::string::npos || f[2].empty() || f[2][0] != ' ') {
            found.push_back({"?", 0, "", row});
            continue;
        }
        found.push_back({f[2].substr(1, gap - 1), clockSeconds(f[1]), f[2].substr(gap + 3), row});
    }
    return pairUp(expected, found, 1) + compareCounts(counts, l.counts);
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
        expected += shortName(t, slot) + "\t" + (d && d->lastName.size() < 6 ? "\t" : "") +
                    formatRaceClock(end - e->lastSeen, t.frameRate, ClockStyle::hours) + "\t" +
                    formatRaceClock(end - e->back, t.frameRate, ClockStyle::hours) + "\t\n";
    }
    return compareWhole(expected + "\n\n", report);
}

std::string checkProtestList(const GroundTruth& t, const std::string& report) {
    static const char* const wheels[] = {"left front", "right front", "left rear", "right rear"};
    std::vector<Expected> expected;
    std::vector<std::string> harmless;  // pairs whose contact cost nothing
    for (const TruthContact& c : t.contacts) {
        std::string key = pairKey(fullName(t, c.hitter), fullName(t, c.victim));
        if (c.costsTime) expected.push_back({key, secondsOfRaceFrame(t, c.frame), "contact"});
        else harmless.push_back(key);
    }
    for (const TruthDamage& d : t.damage) {
        if (d.what == "wheel")
            expected.push_back({fullName(t, d.slot) + " lost " + wheels[d.value & 3] + " wheel", secondsOfRaceFrame(t, d.frame), "wheel"});
        else
            expected.push_back({fullName(t, d.slot) + " engine damage (" + std::to_string(d.value) + "/63)",
                                secondsOfRaceFrame(t, d.frame), "engine"});
    }
    std::string text = lineFeeds(report);
    std::size_t firstLine = text.find('\n');
    std::string heading = "  ";
    for (char c : t.trackFolder) heading += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    if (firstLine == std::string::npos || text.substr(0, firstLine) != heading)
        return "expected the heading \"" + heading + "\" in:\n" + text;
    std::vector<Found> found;
    for (const std::string& row : split(text.substr(firstLine + 1), '\n')) {
        if (row.empty()) continue;
        std::vector<std::string> f = split(row, '\t');
        if (f.size() != 3) {
            found.push_back({"?", 0, "", row});
            continue;
        }
        std::string what = f[2];
        std::string kind = what.find(" engine damage (") != std::string::npos ? "engine"
                           : what.find(" lost ") != std::string::npos   ? "wheel"
                                                                          : "contact";
        if (kind == "contact") {
            std::size_t slash = what.find('/');
            if (slash != std::string::npos) what = pairKey(what.substr(0, slash), what.substr(slash + 1));
            if (std::find(harmless.begin(), harmless.end(), what) != harmless.end()) {
                found.push_back({"", 0, "", "a contact that cost nothing: " + row});
                continue;
            }
        }
        found.push_back({what, clockSeconds(f[1]), kind, row});
    }
    return pairUp(expected, found, 1);
}

}  // namespace zr::sampler
