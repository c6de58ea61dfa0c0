// summary.json: the night's findings as data, for a league's site. Its layout
// is schemas/racenight.schema.json; names are UTF-8, times milliseconds with
// their text beside them, report paths relative to the output folder.
#pragma once

#include <string>

#include "analyses.h"
#include "night_run.h"

namespace zr::night {

struct SummarySettings {
    TimeDiffSettings timeDiff;
    std::string timeDiffFrom;  // "options", "timediff.ini" or "defaults"
    std::string myName;        // empty: none
    std::string tracksDir;     // empty: beside each replay's folder
};

std::string summaryJson(const NightOutcome& night, const SummarySettings& settings, const std::string& version,
                        int exitCode);

}  // namespace zr::night
