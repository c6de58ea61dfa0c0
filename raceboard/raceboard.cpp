#include "raceboard.h"

#include <ostream>

#include "listing_text.h"
#include "report_file.h"
#include "replay_units.h"
#include "driver_menu.h"
#include "front_end.h"
#include "platform.h"

namespace zr {

namespace {
constexpr int kMonth = 4;  // the month's three letters in the ctime layout

constexpr ProgramDialogue kDialogue{
    .prompt = "Please put in a name of a replay-file (without .rpy)!",
    .configFailure = "Datei wrong!!!",
    .replayFailure = "Dateiname or Pfad false!!!",
};
}  // namespace

RaceboardTables readRaceboardTables(Bytes replay, RaceboardData& data) {
    data.header = readReplayHeader(replay, FrameRateRule::only60Or36);
    data.header.reportTrackName = upperAscii(data.header.reportTrackName);
    data.drivers = readDriverTable(replay, driver::firstRecord, true);
    LapReading reading = readLapRecords(replay, data.drivers, data.tables, 0);
    takeRaceTable(data.tables, reading);
    return {reading.streamStart};
}

void measureAndRank(Bytes replay, std::int64_t streamStart, RaceboardData& data, std::ostream& out) {
    const ReplayHeader& h = data.header;
    const LapTables& t = data.tables;
    const bool fastestLaps = h.localDriverSlot <= 0 && t.hasRaceTable;
    SampleReach reach;
    out << "One moment please. The tool is searching for track length.\n" << std::flush;
    const std::int32_t trackLength =
        scanTrackLength(replay, streamStart, h.localDriverSlot, 0, fastestLaps ? &reach : nullptr);
    out << "track length=" << trackLength / kPositionUnitsPerCentimetre << "cm\n" << h.frameRate << "fps\n" << std::flush;

    if (fastestLaps)
        measureFastestRaceLaps(replay, streamStart, h.frameRate, trackLength, t, 0, data.drivers, kRaceboardWalk,
                               data.measure, out, &reach);
    else
        measureOwnLaps(replay, streamStart, h.frameRate, trackLength, t, h.localDriverSlot, *data.own, out);
    finishOwnSectorTable(*data.own, t, h.localDriverSlot);

    const bool sectorLists = h.localDriverSlot == 0 && t.hasRaceTable;
    data.rankings = buildRankings(t, data.measure, data.history, RankingOptions{sectorLists, false, kReplaySlots});
    if (sectorLists) out << kSectorListsConsole << std::flush;
}

int runRaceboard(std::istream& in, std::ostream& out) {
    StartResult started = startRun(kDialogue, in, out);
    if (!started.run) return started.exitCode;
    StartedRun& run = *started.run;
    Bytes replay = run.replay.bytes();

    std::optional<std::string> time = fileTimeText(run.paths.replayPath);
    if (!time || time->size() < 24) {
        out << "Invalid arguments to ctime_s." << std::flush;
        return 1;
    }
    RaceboardData data;
    data.fileTime = time->substr(0, kMonth) + upperAscii(time->substr(kMonth, 3)) + time->substr(kMonth + 3);

    RaceboardTables read = readRaceboardTables(replay, data);
    out << "\n" << run.paths.tracksFolder << "\n\n" << data.header.reportTrackName << "\n" << data.header.modName
        << "\n" << std::flush;

    // Without the dialogue the page is the normal one, as if 0 had been typed.
    if (data.tables.hasRaceTable && data.drivers.driverRecordCount > 2) {
        data.history = computeLapHistory(data.tables, data.tables.maxRaceLaps + 1);
        data.noSpeedMode = runDriverMenu(data.tables, data.drivers, data.history, in, out);
    }

    measureAndRank(replay, read.streamStart, data, out);
    if (!saveReport({reportName(run.paths.replayName, data.noSpeedMode), raceboardReport(data)}, out)) return 1;
    return 0;
}

}  // namespace zr
