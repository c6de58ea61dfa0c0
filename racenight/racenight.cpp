#include "racenight.h"

#include <cstdio>
#include <filesystem>
#include <ostream>
#include <system_error>

#include "assets.h"
#include "command_line.h"
#include "index_page.h"
#include "night_plan.h"
#include "night_run.h"
#include "options.h"
#include "platform.h"
#include "progress.h"
#include "summary_json.h"

namespace zr::night {

namespace {

// What the dialogues would have asked, from the options or the files the
// programs read in the working directory.
AnalysisSettings settingsOf(const NightOptions& o, SummarySettings& summary) {
    AnalysisSettings s;
    s.tracksDir = o.tracksDir;
    summary.tracksDir = o.tracksDir;
    if (o.sessionCut || o.absenceLimit) {
        s.timeDiff.timeDiffFirst = o.sessionCut.value_or(0);
        // As in timediff.ini, an absence limit of 0 means the usual 120.
        s.timeDiff.timeDiffSecond = o.absenceLimit.value_or(0) == 0 ? 120 : *o.absenceLimit;
        summary.timeDiffFrom = "options";
    } else if (std::optional<TimeDiffSettings> file = readTimeDiff()) {
        s.timeDiff = *file;
        summary.timeDiffFrom = "timediff.ini";
    } else {
        summary.timeDiffFrom = "defaults";
    }
    summary.timeDiff = s.timeDiff;
    if (o.myName) {
        s.myName = o.myName;
    } else if (std::vector<std::uint8_t> bytes; readWholeFile("myname.ini", bytes)) {
        s.myName = std::string(bytes.begin(), bytes.end());
        while (!s.myName->empty() && (s.myName->back() == '\r' || s.myName->back() == '\n')) s.myName->pop_back();
    }
    summary.myName = s.myName.value_or("");
    return s;
}

std::string settingsSentence(const SummarySettings& s) {
    std::string text = "exitwatch: session cut " + std::to_string(s.timeDiff.timeDiffFirst) + " min, absence limit " +
                       std::to_string(s.timeDiff.timeDiffSecond) + " min (from " + s.timeDiffFrom + "). heatboard: ";
    text += s.myName.empty() ? "no user marked." : "the user " + s.myName + " in yellow.";
    return text;
}

// The overview and the summary are UTF-8 with line feeds, kept as they are.
bool writeBytes(const std::string& path, const std::string& text) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return (std::fclose(f) == 0) && ok;
}

}  // namespace

int runRacenight(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    ParsedOptions parsed = parseOptions(argc, argv, kVersion, out, err);
    if (!parsed.options) return parsed.exitCode;
    const NightOptions& o = *parsed.options;

    FoundReplays found = findReplays(o.paths, o.recursive);
    for (const std::string& e : found.errors) err << "racenight: " << e << "\n";
    if (!found.errors.empty()) return kExitUsage;
    if (found.replays.empty()) {
        err << "racenight: no replays (*.rpy) found" << (o.recursive ? "" : "; -r searches subfolders too") << "\n";
        return kExitFailed;
    }
    std::error_code ec;
    std::filesystem::create_directories(o.outDir, ec);
    if (ec) {
        err << "racenight: the output folder " << o.outDir << " cannot be made: " << ec.message() << "\n";
        return kExitFailed;
    }

    SummarySettings summary;
    const AnalysisSettings settings = settingsOf(o, summary);
    const std::size_t replayCount = found.replays.size();
    const NightPlan plan = planNight(std::move(found.replays));
    Progress progress(!o.quiet && isTerminal(stderr), static_cast<int>(replayCount), o.jobs);
    const NightOutcome night = runNight(plan, o.outDir, settings, o.jobs, progress);

    int exitCode = night.failed() ? kExitFailed : kExitDone;
    for (const std::string& note : plan.notes) err << "racenight: " << note << "\n";
    for (const JobOutcome& job : night.jobs) {
        if (!job.error.empty()) err << "racenight: " << job.error << "\n";
        for (const ReplayOutcome& r : job.replays)
            if (!r.error.empty()) err << "racenight: " << r.input.path << ": " << r.error << "\n";
    }

    const std::filesystem::path outDir(o.outDir);
    const std::string index = (outDir / "index.html").string();
    if (!writeBytes(index, indexPage(night, PageContext{plan.notes, settingsSentence(summary), kVersion}))) {
        err << "racenight: " << index << " could not be written\n";
        exitCode = kExitFailed;
    }
    if (o.json) {
        const std::string json = (outDir / "summary.json").string();
        if (!writeBytes(json, summaryJson(night, summary, kVersion, exitCode))) {
            err << "racenight: " << json << " could not be written\n";
            exitCode = kExitFailed;
        }
    }
    if (!o.quiet) {
        for (const JobOutcome& job : night.jobs) {
            std::size_t reports = job.heatPage.empty() ? 0 : 1;
            for (const ReplayOutcome& r : job.replays) reports += r.reports.size();
            out << (outDir / job.job.folder).string() << ": " << reports << " reports\n";
        }
        out << index << "\n";
    }
    return exitCode;
}

}  // namespace zr::night
