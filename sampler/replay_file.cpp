#include "replay_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "replay_stream.h"

namespace zr::sampler {

namespace {

// Bytes of zeros after the last frame, where the simulator closes the file.
constexpr std::size_t kTrailer = 12000;

writer::ReplaySpec headOf(const ReplayPlan& plan, const GroundTruth& truth) {
    writer::ReplaySpec head;
    head.frameRateByte = static_cast<std::uint8_t>(plan.frameRate);
    head.reportTrackName = plan.track.title;
    head.trackName = plan.track.folder;
    head.modName = plan.modName;
    head.localDriverSlot = plan.ownSlot;
    head.sessionLength = plan.sessionLength;
    // The host's record comes first and has no lap record: the programs that
    // skip the first driver record read one lap record fewer than there are
    // driver records, and the event stream follows the last one they read.
    head.drivers.push_back({kHostFirstName, kHostLastName, 0, 0});
    for (const CarPlan& c : plan.cars) head.drivers.push_back({c.firstName, c.lastName, c.slot, c.carMake});
    for (const TruthLaps& l : truth.laps) {
        writer::LapRecordSpec r;
        r.slot = l.slot;
        for (std::size_t k = 0; k < l.stamps.size(); ++k)
            r.entries.push_back({static_cast<std::uint32_t>(l.stamps[k]), static_cast<std::uint8_t>(l.flags[k])});
        (l.session == "race" ? head.raceLaps : head.practiceLaps).push_back(r);
    }
    head.hasRaceBlock = !head.raceLaps.empty();
    head.fillerBytes = 0;
    return head;
}

// One frame as a record: a session-state record once a second (its clock,
// then a block of session data), else a frame record (type 15) with the frame
// number; then the damage blocks, the own car's position and the car samples.
void putFrame(writer::RecordStream& out, const FrameView& v) {
    out.beginRecord();
    if (v.sessionState) {
        out.addBlock(writer::sessionBlock(v.sessionClock));
        std::uint8_t info[6] = {static_cast<std::uint8_t>(v.samples.size()), 0, 0, 0, 0, 0};
        out.addBlock(3, info, sizeof info);
    } else {
        writer::ByteVec number;
        writer::putLe(number, static_cast<std::uint32_t>(v.frame), 4);
        out.addBlock(15, number.data(), number.size());
    }
    for (const DamageReport& d : v.damage) out.addBlock(writer::damageBlock(d.slot, d.wheels, d.engine, d.body, 0));
    if (v.hasOwnCar) out.addBlock(writer::ownCarBlock(v.ownPosition));
    out.addSamples(v.samples.data(), v.samples.size());
    out.endRecord();
}

// Runs the plan once for its lap records, then again for its frames, which
// `flush` takes in pieces of about a megabyte.
template <class Flush>
SimulationResult produce(const ReplayPlan& plan, Flush flush) {
    SimulationResult first = simulate(plan, nullptr);
    writer::ByteVec head = writer::replayHead(headOf(plan, first.truth));
    flush(head);
    writer::RecordStream out;
    SimulationResult second = simulate(plan, [&](const FrameView& v) {
        putFrame(out, v);
        if (out.bytes.size() >= (1u << 20)) {
            flush(out.bytes);
            out.bytes.clear();
        }
    });
    out.bytes.insert(out.bytes.end(), kTrailer, 0);
    flush(out.bytes);
    return second;
}

}  // namespace

writer::ByteVec replayBytes(const ReplayPlan& plan, SimulationResult* result) {
    writer::ByteVec all;
    SimulationResult r = produce(plan, [&](const writer::ByteVec& piece) { all.insert(all.end(), piece.begin(), piece.end()); });
    if (result) *result = std::move(r);
    return all;
}

bool writeReplayFiles(const ReplayPlan& plan, const std::string& folder, SimulationResult& result,
                      std::uint64_t& bytes, std::string& error) {
    namespace fs = std::filesystem;
    fs::path replayDir = fs::path(folder) / "replay";
    fs::path trackDir = fs::path(folder) / "tracks" / plan.track.folder;
    std::error_code ec;
    fs::create_directories(replayDir, ec);
    fs::create_directories(trackDir, ec);

    fs::path replayPath = replayDir / (plan.name + ".rpy");
    std::FILE* f = std::fopen(replayPath.string().c_str(), "wb");
    if (!f) {
        error = replayPath.string();
        return false;
    }
    bool ok = true;
    bytes = 0;
    result = produce(plan, [&](const writer::ByteVec& piece) {
        ok = ok && std::fwrite(piece.data(), 1, piece.size(), f) == piece.size();
        bytes += piece.size();
    });
    ok = (std::fclose(f) == 0) && ok;

    auto save = [&](const fs::path& path, const std::string& text) {
        std::ofstream out(path, std::ios::binary);
        out << text;
        out.close();
        if (!out && ok) {
            ok = false;
            error = path.string();
        }
    };
    if (!ok && error.empty()) error = replayPath.string();
    save(replayDir / (plan.name + ".truth"), formatGroundTruth(result.truth));
    save(trackDir / "track.ini", trackIni(plan.track));
    return ok;
}

}  // namespace zr::sampler
