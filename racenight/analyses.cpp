// The adapter between racenight and the programs' libraries. Each program's
// report comes from the same functions its dialogue calls, so the bytes are
// the same; what the dialogue decides around them (the file name, "nothing
// found" without a report, raceboard's normal page) is repeated here.
#include "analyses.h"

#include <algorithm>
#include <filesystem>
#include <ostream>

#include "boxlog.h"
#include "contactscan.h"
#include "dropwatch.h"
#include "event_stream.h"
#include "exitwatch.h"
#include "grid_reading.h"
#include "heat_report.h"
#include "html_report.h"
#include "lap_records.h"
#include "listing_text.h"
#include "platform.h"
#include "protest_files.h"
#include "raceboard.h"
#include "resetlog.h"

namespace zr::night {

namespace {

// The programs' report suffixes, as their dialogues name the reports.
constexpr const char* kDropSuffix = "_Disco.txt";
constexpr const char* kPitStopSuffix = "_PS.txt";
constexpr const char* kResetSuffix = "_SR.txt";
constexpr const char* kEscapeSuffix = "_ESCinQ.txt";
constexpr const char* kProtestListSuffix = ".txt";

// The run with the report name of one program, as its dialogue names it.
const StartedRun& named(StartedRun& run, const char* suffix) {
    run.paths.reportName = run.paths.replayName + suffix;
    return run;
}

void addReport(AnalysedReplay& out, std::string name, std::string text) {
    out.reports.push_back({std::move(name), std::move(text)});
}

std::string trackWarning(const TrackFile& track) {
    return "No track.ini at " + track.path +
           ": without the pit lane and the pit stalls the listings fall back, so boxlog's pit stops, resetlog's "
           "pit verdicts and exitwatch's test whether an escape began in the pit lane are not to be trusted.";
}

// One driver's race laps (or practice laps without a race table).
DriverSeries seriesOf(const RaceboardData& data, int slot) {
    const LapTables& t = data.tables;
    DriverSeries s;
    s.name = fullName(data.drivers, slot);
    s.carMake = data.drivers.carMake[slot];
    if (t.hasRaceTable) {
        const RaceLaps& race = t.race[static_cast<std::size_t>(slot)];
        const int laps = std::clamp(race.raceLapCount, 0, kLapRows - 1);
        for (int lap = 1; lap <= laps; ++lap) {
            s.positions.push_back(positionAfterLap(t, slot, lap));
            s.lapTimes.push_back(race.raceLapTimes[lap]);
        }
    } else {
        const PracticeLaps& practice = t.practice[static_cast<std::size_t>(slot)];
        const int laps = std::clamp(practice.practiceLapCount, 0, kLapRows - 1);
        for (int lap = 1; lap <= laps; ++lap) s.lapTimes.push_back(practice.practiceLapTimes[lap]);
    }
    return s;
}

// Track, cars, winner, fastest lap and the drivers' laps, from raceboard's
// tables as its page shows them.
void takeFacts(const RaceboardData& data, ReplayFacts& f) {
    const LapTables& t = data.tables;
    f.track = data.header.trackName;
    f.mod = data.header.modName;
    f.raceTable = t.hasRaceTable;
    f.serverReplay = data.header.localDriverSlot == 0;
    for (const DriverRecord& r : data.drivers.records)
        if (r.carSlot >= 1 && r.carSlot < t.slotCount) ++f.cars;  // slot 0 is the host or "none"

    const LapList list = t.hasRaceTable ? LapList::race : LapList::practice;
    const Ranking& fastest = t.hasRaceTable ? data.rankings.fastestRaceLaps : data.rankings.fastestPracticeLaps;
    if (fastest.length() > 0) {
        f.fastestDriver = fullName(data.drivers, fastest.slots[0]);
        f.fastestLapMs = listedLapTime(t, list, fastest.slots[0]);
    }
    if (!t.hasRaceTable) {
        // The fastest first, then those without a lap that counts, by slot.
        std::vector<int> order = fastest.slots;
        for (int slot = 1; slot < t.slotCount; ++slot)
            if (t.practice[static_cast<std::size_t>(slot)].bestPracticeLap.time != 0 &&
                std::find(order.begin(), order.end(), slot) == order.end())
                order.push_back(slot);
        for (int slot : order) f.drivers.push_back(seriesOf(data, slot));
        return;
    }
    f.laps = t.maxRaceLaps;
    std::vector<bool> taken;
    const std::vector<ResultRow> rows = classifyRace(t, t.slotCount, taken);
    if (!rows.empty()) f.winner = fullName(data.drivers, rows[0].slot);
    for (const ResultRow& row : rows) f.drivers.push_back(seriesOf(data, row.slot));
}

// raceboard's tables and rankings, the facts they give, and its normal page
// as the dialogue writes it when 0 is typed at its menu.
void raceboardPage(const StartedRun& run, AnalysedReplay& out) {
    ConsoleSink quiet;
    const std::optional<RaceboardData> data = raceboardFindings(run, RaceboardSettings{}, quiet);
    if (!data) {
        out.warnings.push_back("raceboard: the replay's file time cannot be read, so there is no lap page.");
        return;
    }
    takeFacts(*data, out.facts);
    out.facts.date = reportDate(data->fileTime);
    addReport(out, reportName(run.paths.replayName, false), raceboardReport(*data));
}

void raceListings(StartedRun& run, AnalysedReplay& out, const AnalysisStep& step) {
    ConsoleSink quiet;
    const RunPaths& paths = run.paths;
    step("contactscan");
    const IncidentFindings incidents = findIncidents(named(run, kProtestListSuffix), ScanMode::everything, quiet);
    for (ReportFile& r : protestOutcome(incidents, paths).reports) out.reports.push_back(std::move(r));
    int contacts = 0, wheels = 0, engines = 0;
    for (int i = 1; i <= incidents.list.count(); ++i) {
        const std::int32_t code = incidents.list.events[static_cast<std::size_t>(i)].incidentCode;
        // As the protest list tells them apart.
        if (code > kEngineDamageCode) ++engines;
        else if (code < 0) ++wheels;
        else ++contacts;
    }
    out.facts.contacts = contacts;
    out.facts.lostWheels = wheels;
    out.facts.engineDamages = engines;

    step("boxlog");
    const PitStopFindings stops = findPitStops(named(run, kPitStopSuffix), quiet);
    if (!stops.log.stops.empty()) addReport(out, paths.reportName, pitStopReport(stops));
    out.facts.pitStops = static_cast<int>(stops.log.stops.size());
    if (!stops.track.found) out.warnings.push_back(trackWarning(stops.track));

    step("resetlog");
    const ResetFindings resets = findResets(named(run, kResetSuffix), quiet);
    if (!resets.scan.events.empty()) addReport(out, paths.reportName, resetListing(resets));
    out.facts.resets = static_cast<int>(resets.scan.events.size());

    step("dropwatch");
    const DropFindings drops = findDisconnects(named(run, kDropSuffix), quiet);
    addReport(out, paths.reportName, discoReport(drops));
    out.facts.disconnects = static_cast<int>(drops.disconnects.size());
}

void qualifyingListing(StartedRun& run, AnalysedReplay& out, const AnalysisStep& step) {
    ConsoleSink quiet;
    step("exitwatch");
    const EscapeFindings escapes = findEscapes(named(run, kEscapeSuffix), quiet);
    if (escapes.watch.escapeCount > 0) addReport(out, run.paths.reportName, escapeReport(escapes));
    out.facts.escapes = escapes.watch.escapeCount;
    if (!escapes.track.found) out.warnings.push_back(trackWarning(escapes.track));
}

}  // namespace

RunPaths replayPaths(const std::string& path, const std::string& name, const AnalysisSettings& settings) {
    namespace fs = std::filesystem;
    RunPaths p;
    p.replayName = name;
    p.replayPath = path;
    const fs::path folder = fs::path(path).parent_path();
    p.replayFolder = folder.empty() ? std::string() : folder.string() + "/";
    p.tracksFolder = settings.tracksDir;
    if (p.tracksFolder.empty()) {
        const fs::path beside = (folder.empty() ? fs::path("..") : folder.parent_path()) / "tracks";
        p.tracksFolder = beside.string() + "/";
    }
    p.reportName = name;
    return p;
}

namespace {
// Where the event stream begins, the lap records passed over.
std::int64_t streamStart(Bytes bytes, const DriverTable& drivers) {
    const LapRecordVisit skip = [](const LapRecordView&) {};
    return readSessionLapRecords(bytes, drivers.stopTag, drivers.tagOffset, skip, skip).streamStart;
}
}  // namespace

std::string replayDamage(const Replay& replay) {
    const Bytes bytes = replay.bytes();
    if (replay.size() < driver::firstRecord + driver::recordBytes)
        return "damaged: " + std::to_string(replay.size()) + " bytes are too few for the header and a driver record";
    const DriverTable drivers = readDriverTable(bytes, driver::firstRecord, true);
    if (drivers.stopTag == 0) return "damaged: the file ends inside the driver table";
    const std::int64_t start = streamStart(bytes, drivers);
    Frame frame;
    if (start >= replay.size() || !readFrame(bytes, start, kFromFirstBlock, frame))
        return "damaged: no event record follows the lap records";
    return "";
}

bool streamIsWhole(const Replay& replay) {
    const Bytes bytes = replay.bytes();
    return !streamCutShort(bytes, streamStart(bytes, readDriverTable(bytes, driver::firstRecord, true)));
}

AnalysedReplay analyseReplay(StartedRun& run, const AnalysisSettings& settings, const AnalysisStep& step) {
    AnalysedReplay out;
    run.timeDiff = settings.timeDiff;
    step("raceboard");
    raceboardPage(run, out);
    if (out.facts.raceTable) raceListings(run, out, step);
    else qualifyingListing(run, out, step);
    return out;
}

std::string raceNumberOfName(const std::string& name) { return raceNumberOf(name); }
int gridOfName(const std::string& name) { return gridNumberOf(name); }

EventHeat::EventHeat(const AnalysisSettings& settings) : data_(std::make_unique<HeatData>()) {
    if (settings.myName) {
        const MyName me = parseMyName(utf8ToWindows1252(*settings.myName));
        meFirst_ = me.first;
        meSecond_ = me.second;
    } else {
        // A driver name is read up to its NUL, so it never equals this:
        // nobody is the user.
        meFirst_ = std::string(1, '\0');
    }
}

EventHeat::~EventHeat() = default;

bool EventHeat::addGrid(const Replay& replay, const std::string& name) {
    ConsoleSink quiet;
    if (readGrid(replay.bytes(), MyName{meFirst_, meSecond_}, *data_, quiet) == GridOutcome::notServerReplay)
        return false;
    if (baseName_.empty()) baseName_ = name + "All";
    return true;
}

std::optional<ReportFile> EventHeat::page() {
    if (data_->gridsRead == 0) return std::nullopt;
    finishGrids(*data_);
    return ReportFile{heatReportName(baseName_, 0), heatboardReport(*data_, baseName_, true)};
}

}  // namespace zr::night
