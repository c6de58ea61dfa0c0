// The run of a race night: every job (an event or a lone replay) on a pool
// of threads, each replay mapped once, analysed, its reports written into the
// job's folder and the replay released before the next one is mapped. An
// event's grids go through one job in order A to E, since heatboard reads
// them one after another into one set of tables.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "analyses.h"
#include "night_plan.h"
#include "progress.h"

namespace zr::night {

struct ReplayOutcome {
    ReplayInput input;
    ReplayFacts facts;
    std::vector<std::string> reports;   // the files written, in the job's folder
    std::vector<std::string> warnings;
    std::string error;                  // the replay could not be analysed, or a report not written
    bool analysed = false;              // the analyses ran (some may still have failed)
};

struct JobOutcome {
    NightJob job;
    std::vector<ReplayOutcome> replays;
    std::string heatPage;               // heatboard's page of an event; empty when none
    std::vector<std::string> warnings;  // about the event as a whole
    std::string error;                  // the job's folder could not be made
};

struct NightOutcome {
    std::vector<JobOutcome> jobs;  // in the plan's order
    bool failed() const;           // a replay or report failed: exit code 1
};

// Runs every job of `plan` with at most `threads` at a time, writing into
// `outDir` (which must exist).
NightOutcome runNight(const NightPlan& plan, const std::string& outDir, const AnalysisSettings& settings, int threads,
                      Progress& progress);

}  // namespace zr::night
