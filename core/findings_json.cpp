#include "findings_json.h"

#include "command_line.h"
#include "listing_text.h"
#include "platform.h"
#include "replay_units.h"

namespace zr {

namespace {
std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}
}  // namespace

Json findingsHead(const char* program, const RunPaths& paths, const ReplayHeader& header) {
    Json head;
    head["program"] = program;
    head["version"] = kVersion;
    head["replay"] = {{"name", windows1252ToUtf8(paths.replayName)},
                      {"file", windows1252ToUtf8(paths.replayPath)},
                      {"track", windows1252ToUtf8(header.trackName)},
                      {"frameRate", header.frameRate},
                      {"recordedBySlot", header.localDriverSlot}};
    return head;
}

Json timeJson(std::int64_t ms, const std::string& text) { return {{"ms", ms}, {"text", trimmed(text)}}; }

std::int64_t framesToMs(std::int64_t frames, int frameRate) { return frames * 1000 / frameRate; }

double positionMetres(std::int64_t position) {
    return static_cast<double>(position) / static_cast<double>(kPositionUnitsPerMetre);
}

Json driverJson(const DriverTable& drivers, int slot) {
    return {{"slot", slot},
            {"name", windows1252ToUtf8(fullName(drivers, slot))},
            {"shortName", windows1252ToUtf8(shortName(drivers, slot))}};
}

Json driversJson(const DriverTable& drivers) {
    Json list = Json::array();
    for (int slot = 0; slot < kSlots; ++slot)
        if (!drivers.firstName(slot).empty() || !drivers.lastName(slot).empty())
            list.push_back(driverJson(drivers, slot));
    return list;
}

Json trackFileJson(const TrackFile& track) {
    // Without the file the programs work with bounds of 0; the data says "unknown".
    auto metres = [&](std::int32_t value) { return track.found ? Json(value) : Json(); };
    return {{"file", windows1252ToUtf8(nativePath(track.path))},
            {"found", track.found},
            {"pitLaneStart", metres(track.lane.pitLaneStart)},
            {"pitLaneEnd", metres(track.lane.pitLaneEnd)},
            {"firstStall", metres(track.stalls.firstStall)},
            {"lastStall", metres(track.stalls.lastStall)}};
}

std::string jsonText(const Json& json) { return json.dump(2) + "\n"; }

}  // namespace zr
