#include "raceboard.h"

#include <ostream>

#include "command_line.h"
#include "driver_menu.h"
#include "listing_text.h"
#include "platform.h"
#include "replay_units.h"
#include "raceboard_json.h"
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
    if (fastestLaps) planLapWindows(reach, t, 0, h.frameRate, kRaceboardWalk);
    console << "One moment please. The tool is searching for track length.\n" << std::flush;
    const std::int32_t trackLength =
        scanTrackLength(replay, streamStart, h.localDriverSlot, 0, fastestLaps ? &reach : nullptr);
    data.trackLength = trackLength;
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

int runRaceboardCommand(int argc, const char* const* argv) {
    CLI::App app{"raceboard: lap statistics of one replay as an HTML page, NAME.html: result, leaders, fastest\n"
                 "laps, sector times and speeds, consistency, fastest-lap points, and for a participant's replay\n"
                 "his lap tables. The driver menu is left with 0, as its dialogue ends by default."};
    CommandLine line;
    RaceboardSettings settings;
    declareCommand(app, "raceboard", line);
    app.add_flag("--no-speeds", settings.noSpeedMode,
                 "the page without sector speeds, NAMEno_v.html (the dialogue gives it for a\n"
                 "number other than 0 that ends its driver menu, e.g. 99)");
    if (std::optional<int> done = parseCommand(app, argc, argv)) return *done;
    return runListingCommand(line, "", [&](const StartedRun& run) {
        ConsoleSink silent;
        CommandOutcome outcome;
        const std::optional<RaceboardData> data = raceboardFindings(run, settings, silent);
        if (!data) {
            outcome.error = "cannot read the file time of " + nativePath(run.paths.replayPath);
            return outcome;
        }
        const std::string page = reportName(run.paths.replayName, data->noSpeedMode);
        outcome.reports.push_back({page, raceboardReport(*data)});
        outcome.jsonName = jsonFileName(run.paths.replayName, "raceboard");
        outcome.json = raceboardJson(*data, run.paths, page);
        return outcome;
    });
}

}  // namespace zr
