#include "damaged_replays.h"

#include <filesystem>

namespace zr::test {

namespace {
ByteVec cutAt(const ByteVec& good, std::size_t size) {
    return ByteVec(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size));
}

template <class Check>
std::string runEach(const std::string& exe, RunDir& dir, const std::string& name, const std::vector<ByteVec>& replays,
                    const std::string& report, Check check) {
    std::string faults;
    for (std::size_t i = 0; i < replays.size(); ++i) {
        std::filesystem::remove(dir.path() + "/" + report);  // no report of an earlier run counts
        dir.writeReplay(name, replays[i]);
        RunResult r = runProgram(exe, dir, name + "\n");
        std::string fault = r.exitCode != 0 ? "exit code " + std::to_string(r.exitCode) : check(r);
        if (!fault.empty()) faults += "replay " + std::to_string(i) + ": " + fault + "\n";
    }
    return faults;
}
}  // namespace

std::vector<ByteVec> replaysWithoutFrames(const ByteVec& good, const ReplayLayout& layout) {
    std::vector<ByteVec> damaged;
    for (std::size_t cut : {std::size_t{0}, std::size_t{100}, std::size_t{400}, layout.driverTableEnd + 2,
                            layout.lapRecordsEnd - 3, layout.streamStart + 5, layout.recordOffsets.at(1) + 7})
        damaged.push_back(cutAt(good, cut));
    ByteVec zeroFirst = good;
    setLe(zeroFirst, layout.recordOffsets.at(0), 0, 2);
    damaged.push_back(zeroFirst);
    return damaged;
}

std::vector<ByteVec> replaysBrokenAtRecord(const ByteVec& good, const ReplayLayout& layout, std::size_t index) {
    ByteVec zeroLength = good;
    setLe(zeroLength, layout.recordOffsets.at(index), 0, 2);
    return {cutAt(good, layout.recordOffsets.at(index) + 30), zeroLength};
}

std::string runEachWithoutReport(const std::string& exe, RunDir& dir, const std::string& name,
                                 const std::vector<ByteVec>& replays, const std::string& consoleText,
                                 const std::string& report) {
    return runEach(exe, dir, name, replays, report, [&](const RunResult& r) -> std::string {
        if (r.console.find(consoleText) == std::string::npos) return "console " + r.console;
        if (dir.exists(report)) return "wrote " + report;
        return "";
    });
}

std::string runEachWithReport(const std::string& exe, RunDir& dir, const std::string& name,
                              const std::vector<ByteVec>& replays, const std::string& report,
                              const std::string& reportBytes) {
    return runEach(exe, dir, name, replays, report, [&](const RunResult&) -> std::string {
        std::string bytes = dir.read(report);
        return bytes == reportBytes ? "" : report + " holds " + bytes;
    });
}

std::vector<ByteVec> damagedCopies(const ReplaySpec& recipe, std::size_t midRecord, std::size_t zeroRecord) {
    ByteVec good = buildReplay(recipe);
    ReplayLayout layout = layoutOf(recipe);
    std::vector<ByteVec> damaged;
    for (std::size_t cut : {std::size_t{0}, std::size_t{100}, std::size_t{400}, layout.driverTableEnd + 2,
                            layout.lapRecordsEnd - 3, layout.streamStart + 5, layout.recordOffsets[midRecord] + 7})
        damaged.emplace_back(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
    ByteVec zeroLength = good;
    setLe(zeroLength, layout.recordOffsets[zeroRecord], 0, 2);
    damaged.push_back(zeroLength);
    return damaged;
}

}  // namespace zr::test
