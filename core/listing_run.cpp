#include "listing_run.h"

#include <ostream>
#include <utility>

namespace zr {

ListingOutcome oneReport(std::string name, std::string text) {
    ListingOutcome outcome;
    outcome.reports.push_back({std::move(name), std::move(text)});
    return outcome;
}

ListingOutcome nothingFound(const char* text) {
    ListingOutcome outcome;
    outcome.closingText = text;
    outcome.pauseAtEnd = true;
    return outcome;
}

int runListing(const ProgramDialogue& dialogue, std::istream& in, std::ostream& out, const ListingAnalysis& analyse) {
    StartResult started = startRun(dialogue, in, out);
    if (!started.run) return started.exitCode;
    ConsoleSink console{&out};
    const ListingOutcome outcome = analyse(*started.run, console);
    out << std::flush;
    for (const ReportFile& report : outcome.reports)
        if (!saveReport(report, out)) return 1;
    out << outcome.closingText;
    if (outcome.pauseAtEnd) pauseConsole(in, out);
    return 0;
}

}  // namespace zr
