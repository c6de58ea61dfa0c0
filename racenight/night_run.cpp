#include "night_run.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <exception>
#include <filesystem>
#include <numeric>
#include <system_error>
#include <thread>

#include "assets.h"
#include "platform.h"

namespace zr::night {

namespace fs = std::filesystem;

namespace {

struct JobContext {
    const AnalysisSettings& settings;
    std::string folder;  // the job's output folder
    int worker;
    Progress& progress;
};

// What became of an event's grid on heatboard's page.
enum class GridUse { left, taken, refused, broken };

// Maps the replay, analyses it, writes its reports and hands it to heatboard
// when `heat` is given; the mapping ends when `run` goes out of scope, before
// the next replay of the job is mapped.
GridUse analyseAndWrite(const ReplayInput& input, JobContext& job, EventHeat* heat, ReplayOutcome& out) {
    StartedRun run;
    run.paths = replayPaths(input.path, input.name, job.settings);
    job.progress.working(job.worker, input.name, "opening");
    std::optional<Replay> replay = openReplay(input.path);
    if (!replay) {
        out.error = "cannot be opened: " + std::error_code(errno, std::generic_category()).message();
        return GridUse::left;
    }
    run.replay = std::move(*replay);
    out.error = replayDamage(run.replay);
    if (!out.error.empty()) return GridUse::left;
    if (!streamIsWhole(run.replay))
        out.warnings.push_back("The replay is cut short: the file ends inside an event record, so the reports miss "
                               "whatever happened after it.");

    AnalysedReplay analysed = analyseReplay(
        run, job.settings, [&](const char* program) { job.progress.working(job.worker, input.name, program); });
    out.analysed = true;
    out.facts = std::move(analysed.facts);
    for (std::string& w : analysed.warnings) out.warnings.push_back(std::move(w));
    if (!out.facts.raceTable)
        out.warnings.push_back("No race table: a qualifying or practice session, so there is no result and no "
                               "contacts, pit stops, resets or disconnects are looked for; exitwatch lists the "
                               "escapes.");
    for (const ReportFile& report : analysed.reports) {
        if (writeReport((fs::path(job.folder) / report.name).string(), report.text)) {
            out.reports.push_back(report.name);
        } else {
            out.error = "the report " + report.name + " could not be written into " + job.folder;
        }
    }

    if (!heat) return GridUse::left;
    job.progress.working(job.worker, input.name, "heatboard");
    return heat->addGrid(run.replay, input.name) ? GridUse::taken : GridUse::refused;
}

JobOutcome runJob(const NightJob& job, const std::string& outDir, const AnalysisSettings& settings, int worker,
                  Progress& progress) {
    JobOutcome outcome;
    outcome.job = job;
    JobContext context{settings, (fs::path(outDir) / job.folder).string(), worker, progress};
    std::error_code ec;
    fs::create_directories(context.folder, ec);
    if (ec) outcome.error = "the folder " + context.folder + " cannot be made: " + ec.message();

    std::optional<EventHeat> heat;
    if (job.isEvent()) heat.emplace(settings);
    bool heatRefused = false;  // the event gets no heatboard page
    for (const ReplayInput& input : job.replays) {
        ReplayOutcome& out = outcome.replays.emplace_back();
        out.input = input;
        GridUse use = GridUse::left;
        if (!outcome.error.empty()) {
            out.error = outcome.error;
        } else {
            try {
                use = analyseAndWrite(input, context, heat && !heatRefused ? &*heat : nullptr, out);
            } catch (const std::exception& e) {
                // Out of memory, mostly; the other replays go on. heatboard's
                // tables may hold part of the grid, so the event gets no page.
                out.error = std::string("the analysis failed: ") + e.what();
                use = GridUse::broken;
            }
        }
        progress.replayDone(worker);
        if (!heat || heatRefused || use == GridUse::taken) continue;
        const std::string grid = "grid " + std::string(1, input.grid) + " (" + input.name + ")";
        if (use == GridUse::refused) {
            heatRefused = true;
            outcome.warnings.push_back("heatboard: " + grid + " was recorded by a participant, and heatboard reads "
                                       "server replays only, so the event has no heatboard page.");
        } else if (use == GridUse::broken) {
            heatRefused = true;
            outcome.warnings.push_back("heatboard: the analysis of " + grid + " failed, so the event has no "
                                       "heatboard page.");
        } else {
            outcome.warnings.push_back("heatboard: the page leaves out " + grid + ", which could not be analysed; "
                                       "the grids after it move up one place on the page.");
        }
    }

    if (heat && !heatRefused && outcome.error.empty()) {
        try {
            if (std::optional<ReportFile> page = heat->page()) {
                if (writeReport((fs::path(context.folder) / page->name).string(), page->text))
                    outcome.heatPage = page->name;
                else
                    outcome.error = "the report " + page->name + " could not be written into " + context.folder;
            }
        } catch (const std::exception& e) {
            outcome.error = std::string("heatboard failed: ") + e.what();
        }
    }

    // The pages want their style sheet and images beside them; a job that
    // wrote nothing leaves no folder behind.
    bool pages = !outcome.heatPage.empty();
    for (const ReplayOutcome& r : outcome.replays)
        for (const std::string& report : r.reports) pages = pages || fs::path(report).extension() == ".html";
    if (pages) {
        for (std::string& w : placeAssets(context.folder)) outcome.warnings.push_back(std::move(w));
    } else {
        fs::remove(context.folder, ec);  // only when empty
    }
    return outcome;
}

}  // namespace

bool NightOutcome::failed() const {
    for (const JobOutcome& job : jobs) {
        if (!job.error.empty()) return true;
        for (const ReplayOutcome& r : job.replays)
            if (!r.error.empty()) return true;
    }
    return false;
}

NightOutcome runNight(const NightPlan& plan, const std::string& outDir, const AnalysisSettings& settings, int threads,
                      Progress& progress) {
    NightOutcome night;
    night.jobs.resize(plan.jobs.size());
    // The largest jobs first, so that no thread is left with a big one at the end.
    std::vector<std::size_t> order(plan.jobs.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return plan.jobs[a].bytes() > plan.jobs[b].bytes(); });

    // Each job's outcome has its own place; the counter is all the threads share.
    std::atomic<std::size_t> next{0};
    auto work = [&](int worker) {
        for (std::size_t i = next++; i < order.size(); i = next++)
            night.jobs[order[i]] = runJob(plan.jobs[order[i]], outDir, settings, worker, progress);
    };
    const int count = std::max(1, std::min<int>(threads, static_cast<int>(order.size())));
    std::vector<std::thread> pool;
    for (int worker = 1; worker < count; ++worker) pool.emplace_back(work, worker);
    work(0);
    for (std::thread& t : pool) t.join();
    progress.finish();
    return night;
}

}  // namespace zr::night
