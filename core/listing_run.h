// The run of a listing program (contactscan, boxlog, resetlog, exitwatch,
// dropwatch): start-up, analysis, then the reports or the text that says
// nothing was found.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "console_sink.h"
#include "front_end.h"
#include "report_file.h"

namespace zr {

// What a run makes of its findings.
struct ListingOutcome {
    std::vector<ReportFile> reports;  // written in order; one that fails ends the run with exit code 1
    std::string closingText;          // shown after the reports, or in their place when nothing was found
    bool pauseAtEnd = false;          // "PAUSE" after the closing text
};

// The outcome of most runs: one report, or a text and "PAUSE" when there is
// nothing to list.
ListingOutcome oneReport(std::string name, std::string text);
ListingOutcome nothingFound(const char* text);

using ListingAnalysis = std::function<ListingOutcome(const StartedRun&, ConsoleSink&)>;

// Start-up, the analysis with the console as its sink, then the outcome.
// Returns the exit code: that of a failed start-up, 1 when a report cannot be
// written, else 0.
[[nodiscard]] int runListing(const ProgramDialogue& dialogue, std::istream& in, std::ostream& out,
                             const ListingAnalysis& analyse);

}  // namespace zr
