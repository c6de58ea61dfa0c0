#include "summary_json.h"

#include <nlohmann/json.hpp>

#include "platform.h"
#include "page_text.h"
#include "race_clock.h"

namespace zr::night {

namespace {

using nlohmann::json;

json localTexts(const std::vector<std::string>& texts) {
    json out = json::array();
    for (const std::string& t : texts) out.push_back(localUtf8(t));
    return out;
}

json orNull(const std::string& text, bool fromReplay = false) {
    if (text.empty()) return nullptr;
    return fromReplay ? windows1252ToUtf8(text) : localUtf8(text);
}

json countOf(const Count& count) { return count ? json(*count) : json(nullptr); }

json replayJson(const std::string& folder, const ReplayOutcome& r) {
    json out = {{"name", localUtf8(r.input.name)},
                {"path", localUtf8(r.input.path)},
                {"bytes", r.input.bytes},
                {"grid", r.input.grid ? json(std::string(1, r.input.grid)) : json(nullptr)},
                {"analysed", r.analysed},
                {"error", orNull(r.error)},
                {"warnings", localTexts(r.warnings)}};
    json reports = json::array();
    for (const std::string& report : r.reports) reports.push_back(localUtf8(folder + "/" + report));
    out["reports"] = reports;
    if (!r.analysed) return out;

    const ReplayFacts& f = r.facts;
    out["track"] = windows1252ToUtf8(f.track);
    out["mod"] = windows1252ToUtf8(f.mod);
    out["date"] = orNull(f.date);
    out["raceTable"] = f.raceTable;
    out["serverReplay"] = f.serverReplay;
    out["cars"] = f.cars;
    out["laps"] = f.laps;
    out["winner"] = orNull(f.winner, true);
    out["fastestLap"] = f.fastestLapMs > 0 ? json{{"driver", windows1252ToUtf8(f.fastestDriver)},
                                                  {"ms", f.fastestLapMs},
                                                  {"text", formatLapTime(f.fastestLapMs)}}
                                           : json(nullptr);
    out["counts"] = {{"contacts", countOf(f.contacts)},       {"lostWheels", countOf(f.lostWheels)},
                     {"engineDamages", countOf(f.engineDamages)}, {"pitStops", countOf(f.pitStops)},
                     {"resets", countOf(f.resets)},           {"escapes", countOf(f.escapes)},
                     {"disconnects", countOf(f.disconnects)}};
    json drivers = json::array();
    for (const DriverSeries& d : f.drivers)
        drivers.push_back({{"name", windows1252ToUtf8(d.name)},
                           {"carMake", d.carMake},
                           {"positions", d.positions},
                           {"lapTimesMs", d.lapTimes}});
    out["drivers"] = drivers;
    return out;
}

}  // namespace

std::string summaryJson(const NightOutcome& night, const SummarySettings& settings, const std::string& version,
                        int exitCode) {
    json jobs = json::array();
    for (const JobOutcome& job : night.jobs) {
        const NightJob& j = job.job;
        json replays = json::array();
        for (const ReplayOutcome& r : job.replays) replays.push_back(replayJson(j.folder, r));
        jobs.push_back({{"kind", j.isEvent() ? "event" : "replay"},
                        {"raceNumber", orNull(j.raceNumber)},
                        {"folder", localUtf8(j.folder)},
                        {"heatboardReport", job.heatPage.empty() ? json(nullptr) : json(localUtf8(j.folder + "/" + job.heatPage))},
                        {"error", orNull(job.error)},
                        {"warnings", localTexts(job.warnings)},
                        {"replays", replays}});
    }
    const json out = {
        {"program", "racenight"},
        {"version", version},
        {"settings",
         {{"sessionCutMinutes", settings.timeDiff.timeDiffFirst},
          {"absenceLimitMinutes", settings.timeDiff.timeDiffSecond},
          {"timeDiffFrom", settings.timeDiffFrom},
          {"myName", orNull(settings.myName)},
          {"tracksDir", orNull(settings.tracksDir)}}},
        {"jobs", jobs},
        {"exitCode", exitCode}};
    return out.dump(2) + "\n";
}

}  // namespace zr::night
