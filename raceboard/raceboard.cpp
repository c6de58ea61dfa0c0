#include "raceboard.h"

#include <ostream>

#include "driver_menu.h"
#include "listing_text.h"
#include "platform.h"
#include "replay_units.h"
#include "report_file.h"

namespace zr {

namespace {
constexpr int kMonth = 4;  // the month's three letters in the ctime layout

constexpr ProgramDialogue kDialogue{
    .prompt = "Please put in a name of a replay-file (without .rpy)!",
    .configFailure = "Datei wrong!!!",
    .replayFailure = "Dateiname or Pfad false!!!",
};
}  // namespace

const char* const kNoFileTimeText = "Invalid arguments to ctime_s.";

bool offersDriverMenu(const RaceboardData& data) {
    return data.tables.hasRaceTable && data.drivers.driverRecordCount > 2;
}

std::optional<RaceboardData> readRaceboardTables(const StartedRun& run, ConsoleSink& console) {
    const std::optional<std::string> time = fileTimeText(run.paths.replayPath);
    if (!time || time->size() < 24) return std::nullopt;
    std::optional<RaceboardData> read(std::in_place);
    RaceboardData& data = *read;
    data.fileTime = time->substr(0, kMonth) + upperAscii(time->substr(kMonth, 3)) + time->substr(kMonth + 3);

    const Bytes replay = run.replay.bytes();
    data.header = readReplayHeader(replay, FrameRateRule::only60Or36);
    data.header.reportTrackName = upperAscii(data.header.reportTrackName);
    data.drivers = readDriverTable(replay, driver::firstRecord, true);
    const LapReading reading = readLapRecords(replay, data.drivers, data.tables, 0);
    takeRaceTable(data.tables, reading);
    data.streamStart = reading.streamStart;
    console << "\n" << run.paths.tracksFolder << "\n\n" << data.header.reportTrackName << "\n" << data.header.modName
            << "\n" << std::flush;

    // Without the menu the page's leader and fastest-lap parts stay empty.
    if (offersDriverMenu(data)) data.history = computeLapHistory(data.tables, data.tables.maxRaceLaps + 1);
    return read;
}

void measureAndRank(Bytes replay, RaceboardData& data, ConsoleSink& console) {
    const ReplayHeader& h = data.header;
    const LapTables& t = data.tables;
    const std::int64_t streamStart = data.streamStart;
    const bool fastestLaps = h.localDriverSlot <= 0 && t.hasRaceTable;
    SampleReach reach;
    console << "One moment please. The tool is searching for track length.\n" << std::flush;
    const std::int32_t trackLength =
        scanTrackLength(replay, streamStart, h.localDriverSlot, 0, fastestLaps ? &reach : nullptr);
    console << "track length=" << trackLength / kPositionUnitsPerCentimetre << "cm\n" << h.frameRate << "fps\n"
            << std::flush;

    if (fastestLaps)
        measureFastestRaceLaps(replay, streamStart, h.frameRate, trackLength, t, 0, data.drivers, kRaceboardWalk,
                               data.measure, console, &reach);
    else
        measureOwnLaps(replay, streamStart, h.frameRate, trackLength, t, h.localDriverSlot, *data.own, console);
    finishOwnSectorTable(*data.own, t, h.localDriverSlot);

    const bool sectorLists = h.localDriverSlot == 0 && t.hasRaceTable;
    data.rankings = buildRankings(t, data.measure, data.history, RankingOptions{sectorLists, false, kReplaySlots});
    if (sectorLists) console << kSectorListsConsole << std::flush;
}

std::optional<RaceboardData> raceboardFindings(const StartedRun& run, const RaceboardSettings& settings,
                                               ConsoleSink& console) {
    std::optional<RaceboardData> data = readRaceboardTables(run, console);
    if (!data) return data;
    data->noSpeedMode = settings.noSpeedMode;
    measureAndRank(run.replay.bytes(), *data, console);
    return data;
}

int runRaceboard(std::istream& in, std::ostream& out) {
    StartResult started = startRun(kDialogue, in, out);
    if (!started.run) return started.exitCode;
    const StartedRun& run = *started.run;
    ConsoleSink console{&out};

    std::optional<RaceboardData> data = readRaceboardTables(run, console);
    if (!data) {
        out << kNoFileTimeText << std::flush;
        return 1;
    }
    if (offersDriverMenu(*data))
        data->noSpeedMode = runDriverMenu(data->tables, data->drivers, data->history, in, out);
    measureAndRank(run.replay.bytes(), *data, console);
    if (!saveReport({reportName(run.paths.replayName, data->noSpeedMode), raceboardReport(*data)}, out)) return 1;
    return 0;
}

}  // namespace zr
