#include "contact_sample.h"

namespace zr::test {

ReplaySpec contactSampleRace() {
    ReplaySpec recipe;
    recipe.trackName = "smplring";
    recipe.reportTrackName = "SmplRing";
    recipe.drivers = {{"Race", "Server", 0, 0}, {"Anna", "Arnold", 1, 1}, {"Bert", "Brandt", 2, 2},
                    {"Carl", "O'Brien", 3, 3}};
    recipe.practiceLaps = {lapRecord(1, {0, 62000}), lapRecord(2, {0, 63500}), lapRecord(3, {0, 61000})};
    recipe.hasRaceBlock = true;
    // Laps of about 20 s on a 1 km ring; Carl's first lap is slow after he is hit.
    recipe.raceLaps = {lapRecord(1, {0, 20000, 40000, 60000, 80000}), lapRecord(2, {0, 20500, 41000, 61500, 82000}),
                     lapRecord(3, {0, 31000, 52000, 73000})};
    recipe.records.push_back(sessionRecord(0));
    recipe.records.push_back(sessionRecord(1));
    const int lapUnits = 2000000;
    for (int f = 2; f <= 36 * 90; ++f) {
        // Anna and Bert run close together over the first seconds: no one loses time.
        SampleSpec anna{1, (f * 2778) % lapUnits};
        SampleSpec bert{2, (f * 2710) % lapUnits};
        SampleSpec carl{3, (f * 2650 + 500000) % lapUnits};
        if (f == 36 * 12) carl = {3, anna.position + 3000, 0, 400, 500};  // Anna hits Carl at 12 s
        std::vector<Block> damage;
        if (f == 36 * 40) damage.push_back(damageBlock(2, 0x30, 8));  // left rear wheel off, engine hurt
        if (f == 36 * 55) damage.push_back(damageBlock(2, 0x30, 15));
        if (f == 36 * 70) damage.push_back(damageBlock(3, 0, 3));
        recipe.records.push_back(frameRecord({anna, bert, carl}, 2, damage));
    }
    return recipe;
}

}  // namespace zr::test
