// index.html, the overview of a race night: per event and replay the track,
// date, cars, laps, winner, fastest lap and the counts of every listing, with
// links to every report; the charts; the warnings where a finding is weaker
// than it looks; the replays that could not be analysed, with the reason.
// One UTF-8 file that needs nothing beside it; every text from a replay or a
// file name is escaped.
#pragma once

#include <string>
#include <vector>

#include "night_run.h"

namespace zr::night {

struct PageContext {
    std::vector<std::string> notes;  // about the night as a whole: paths not found, replays placed apart
    std::string settings;            // how the dialogues' answers were given, in a sentence
    std::string version;
};

std::string indexPage(const NightOutcome& night, const PageContext& context);

}  // namespace zr::night
