#include "reset_race.h"

#include "listing_text.h"

namespace zr::test {

ResetRace::ResetRace(int frames) : frames_(frames), samples_(frames + 1), blocks_(frames + 1) {
    recipe.frameRateByte = 10;
    recipe.trackName = "oval";
    recipe.drivers = {{"Race", "Server", 0, 0}, {"Anna", "Arnold", 1, 0}, {"Bert", "Brandt", 2, 0},
                    {"Carl", "Cramer", 3, 0}, {"Dora", "Dietz", 4, 0}};
    recipe.practiceLaps = {lapRecord(1, {0, 50000})};
    recipe.hasRaceBlock = true;
    recipe.raceLaps = {lapRecord(1, {0, 40000, 80000, 120000}), lapRecord(2, {0, 45000, 90000, 135000}),
                     lapRecord(3, {0, 50000, 100000, 150000})};
}

void ResetRace::put(int from, int to, SampleSpec sample, int speed) {
    for (int f = from; f <= to && f <= frames_; ++f) {
        SampleSpec s = sample;
        s.position += speed * (f - from);
        samples_[f][s.slot] = s;
    }
}

void ResetRace::drop(int frame, int slot) { samples_[frame].erase(slot); }

void ResetRace::addBlock(int frame, const Block& block) { blocks_[frame].push_back(block); }

RecordSpec ResetRace::record(int frame) const {
    std::vector<SampleSpec> samples;
    for (const auto& entry : samples_[frame]) samples.push_back(entry.second);
    if (frame > 1) return frameRecord(samples, 2, blocks_[frame]);
    RecordSpec start;  // the session-state record whose start flag is set
    start.blocks.push_back(sessionBlock(1));
    start.blocks.push_back(fillerBlock(3, 6));
    start.blocks.insert(start.blocks.end(), blocks_[frame].begin(), blocks_[frame].end());
    start.blocks.push_back(sampleBlock(samples));
    return start;
}

ReplaySpec ResetRace::withRecords() const {
    ReplaySpec s = recipe;
    if (idleFirstRecord) s.records.push_back(sessionRecord(0));
    for (int f = 1; f <= frames_; ++f) s.records.push_back(record(f));
    return s;
}

ByteVec ResetRace::build() const { return buildReplay(withRecords()); }

SampleSpec car(int slot, int position, int gear, int lateral, int heading) {
    return SampleSpec{slot, position, 0, static_cast<std::int16_t>(lateral), heading, gear};
}

ResetRace teleportRace(int frames) {
    ResetRace race(frames);
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
