#include "track_file.h"

#include <vector>

#include "platform.h"

namespace zr {

TrackFile readTrackFile(const std::string& tracksFolder, const std::string& trackName) {
    TrackFile track;
    track.path = trackIniPath(tracksFolder, trackName);
    std::vector<std::uint8_t> bytes;
    if (!readWholeFile(track.path, bytes)) return track;
    const std::string text(bytes.begin(), bytes.end());
    track.found = true;
    track.lane = parsePitLaneBounds(text);
    track.stalls = parseStallBounds(text);
    return track;
}

namespace {
void showTrackMissing(TrackTexts texts, ConsoleSink& console) {
    if (texts == TrackTexts::english) {
        console << "\nATTENTION!!!\nTrack not installed!\n\n";
    } else {
        console << "\nACHTUNG!!!\nStrecke nicht installiert!\n"
                << "Deshalb funktioniert die \"in Box-Anzeige\" nicht.\n\n";
    }
}
}  // namespace

void showPitLane(const TrackFile& track, TrackTexts texts, ConsoleSink& console) {
    if (texts == TrackTexts::german) console << track.path << "\n";
    if (!track.found) return showTrackMissing(texts, console);
    const PitLaneBounds& b = track.lane;
    if (texts == TrackTexts::german)
        console << "\nAnfang Pitlane= " << b.pitLaneStart << "  Ende Pitlane= " << b.pitLaneEnd << "\n";
    else
        console << "\nStart Pitlane= " << b.pitLaneStart << "  End Pitlane= " << b.pitLaneEnd << "\n";
}

void showStalls(const TrackFile& track, ConsoleSink& console) {
    console << track.path << "\n";
    if (!track.found) return showTrackMissing(TrackTexts::german, console);
    console << "\nerste Box= " << track.stalls.firstStall << "  letzte Box= " << track.stalls.lastStall << "\n";
}

}  // namespace zr
