// The findings of every program as JSON: the pieces they share. Names are
// UTF-8, times milliseconds together with the report's text, positions metres.
#pragma once

#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include "driver_table.h"
#include "front_end.h"
#include "replay_header.h"
#include "track_file.h"

namespace zr {

using Json = nlohmann::ordered_json;  // keys stay in the order they are written

// "program", "version" and "replay" (name, file, track, frame rate, who recorded it).
Json findingsHead(const char* program, const RunPaths& paths, const ReplayHeader& header);

// {"ms": ..., "text": ...}: the text as the report shows it, without padding blanks.
Json timeJson(std::int64_t ms, const std::string& text);

// Frames of the event stream as milliseconds.
std::int64_t framesToMs(std::int64_t frames, int frameRate);

// Positions along the lap (0.5 mm units) as metres.
double positionMetres(std::int64_t position);

// {"slot": ..., "name": "First Last", "shortName": "F.Last"}.
Json driverJson(const DriverTable& drivers, int slot);

// Every slot that has a name, in slot order.
Json driversJson(const DriverTable& drivers);

// The path of track.ini, whether it was there, and the pit lane and stalls in
// metres as it gives them (null without the file).
Json trackFileJson(const TrackFile& track);

// The text written to the file: two-space indents and a final line end.
std::string jsonText(const Json& json);

}  // namespace zr
