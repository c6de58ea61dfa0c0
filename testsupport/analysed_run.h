// An analysis run in process, as the start-up would hand it a replay.
#pragma once

#include <sstream>
#include <string>
#include <utility>

#include "console_sink.h"
#include "run_dir.h"

namespace zr::test {

template <class Findings>
struct Analysed {
    std::string console;  // what the analysis showed
    Findings findings;

    // What it showed after `text` (such as the lines of its walk after the progress text).
    std::string consoleAfter(const std::string& text) const {
        return console.substr(console.find(text) + text.size());
    }
};

// Runs `find(run, console)` on `replay`, with a "track.ini" of `iniText` for
// the track `trackFolder` unless the text is empty.
template <class Find>
auto analyse(Find find, const ByteVec& replay, const std::string& trackFolder, const std::string& iniText,
             TimeDiffSettings timeDiff = {}) {
    RunDir dir;
    if (!iniText.empty()) dir.writeTrack(trackFolder, iniText);
    std::ostringstream out;
    ConsoleSink console{&out};
    auto findings = find(startedRun(dir, replay, timeDiff), console);
    return Analysed<decltype(findings)>{out.str(), std::move(findings)};
}

}  // namespace zr::test
