#include "reset_race.h"

#include "listing_text.h"

namespace zr::test {

FrameRace resetRace(int frames) {
    FrameRace race;
    race.lastFrame = frames;
    ReplaySpec& recipe = race.recipe;
    recipe.frameRateByte = 10;
    recipe.trackName = "oval";
    recipe.drivers = {{"Race", "Server", 0, 0}, {"Anna", "Arnold", 1, 0}, {"Bert", "Brandt", 2, 0},
                    {"Carl", "Cramer", 3, 0}, {"Dora", "Dietz", 4, 0}};
    recipe.practiceLaps = {lapRecord(1, {0, 50000})};
    recipe.hasRaceBlock = true;
    recipe.raceLaps = {lapRecord(1, {0, 40000, 80000, 120000}), lapRecord(2, {0, 45000, 90000, 135000}),
                     lapRecord(3, {0, 50000, 100000, 150000})};
    return race;
}

SampleSpec car(int slot, int position, int gear, int lateral, int heading) {
    return SampleSpec{slot, position, 0, static_cast<std::int16_t>(lateral), heading, gear};
}

FrameRace teleportRace(int frames) {
    FrameRace race = resetRace(frames);
    race.put(1, 99, car(1, 10000, 3), 1000);
    race.put(100, 149, car(1, 108000, 1));
    race.put(150, 499, car(1, 108000, 1, 500));
    race.put(500, frames, car(1, 108000, 3, 500), 1000);
    race.put(1, frames, car(2, 5000, 3), 900);
    return race;
}

Analysed<ResetFindings> resetsOf(const ByteVec& replay, const StallBounds& stalls) {
    const bool known = stalls.firstStall != 0 || stalls.lastStall != 0;
    const std::string ini = known ? trackIniText(100, 900, stalls.firstStall, stalls.lastStall) : "";
    Analysed<ResetFindings> a = analyse(findResets, replay, "oval", ini);
    a.console = a.consoleAfter(kGermanProgressText);
    return a;
}

std::string resetsText(const ByteVec& replay, const StallBounds& stalls) {
    Analysed<ResetFindings> a = resetsOf(replay, stalls);
    return a.console + resetListing(a.findings);
}

}  // namespace zr::test
