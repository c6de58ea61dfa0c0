// The simulator's "track.ini" of the replay's track, read once at start-up,
// and what the programs show about it on the console.
#pragma once

#include <string>

#include "console_sink.h"
#include "track_ini.h"

namespace zr {

struct TrackFile {
    std::string path;
    bool found = false;  // without the file the bounds stay 0
    PitLaneBounds lane;
    StallBounds stalls;
};

TrackFile readTrackFile(const std::string& tracksFolder, const std::string& trackName);

// The two console vocabularies of the track lines.
enum class TrackTexts {
    english,  // "Start Pitlane= ..." / "ATTENTION!!! Track not installed!"
    german    // the path first, then "Anfang Pitlane= ..." / "ACHTUNG!!! Strecke nicht installiert!"
};

// The pit-lane bounds as read, or the warning when the file is missing.
void showPitLane(const TrackFile& track, TrackTexts texts, ConsoleSink& console);

// The path, then the first and last stall, or the (German) warning.
void showStalls(const TrackFile& track, ConsoleSink& console);

}  // namespace zr
