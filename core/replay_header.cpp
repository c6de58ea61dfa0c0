#include "replay_header.h"

namespace zr {

int frameRateOf(std::uint32_t storedByte, FrameRateRule rule) {
    if (rule == FrameRateRule::only60Or36) return storedByte == 60 ? 60 : 36;
    return storedByte == 0 ? 36 : static_cast<int>(storedByte);
}

ReplayHeader readReplayHeader(Bytes replay, FrameRateRule rule) {
    ReplayHeader h;
    std::uint32_t rate = 0;
    readU8(replay, header::frameRate, rate);
    h.frameRate = frameRateOf(rate, rule);

    char text[9];
    readText(replay, header::reportTrackName, 8, text);
    h.reportTrackName = text;
    readText(replay, header::trackName, 8, text);
    h.trackName = text;
    readText(replay, header::modName, 8, text);
    h.modName = text;
    readI32(replay, header::localDriverSlot, h.localDriverSlot);
    readF32(replay, header::sessionLength, h.sessionLength);
    return h;
}

}  // namespace zr
