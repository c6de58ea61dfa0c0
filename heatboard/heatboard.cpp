#include "heatboard.h"

#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "command_line.h"
#include "front_end.h"
#include "grid_reading.h"
#include "heat_menu.h"
#include "heat_json.h"
#include "heat_report.h"
#include "platform.h"
#include "replay_header.h"
#include "report_file.h"

namespace zr {

namespace {

const char* const kGridWords[kGrids] = {"GridA ", "GridB ", "GridC ", "GridD ", "GridE "};

std::string promptGrid(int grid, std::istream& in, std::ostream& out) {
    out << "\n\nPlease put in the name of the " << kGridWords[grid] << "replay-file (without .rpy)!\n"
        << "If no " << kGridWords[grid] << "exist put in number 0!\n"
        << std::flush;
    std::string word;
    in >> word;
    return word;
}

// The grid's replay; nothing when there is no such grid: "0" as the prompt
// asks, the end of the input, or a replay that cannot be opened.
std::optional<Replay> openGrid(const std::string& word, const std::string& folder) {
    if (word.empty() || word == "0") return std::nullopt;
    auto paths = buildRunPaths(word, folder, "");
    if (!paths) return std::nullopt;
    return openReplay(paths->replayPath);
}

}  // namespace

std::optional<HeatData> heatFindings(const std::vector<Bytes>& grids, const MyName& me, ConsoleSink& console) {
    std::optional<HeatData> data(std::in_place);
    for (std::size_t grid = 0; grid < grids.size() && grid < kGrids; ++grid)
        if (readGrid(grids[grid], me, *data, console) == GridOutcome::notServerReplay) return std::nullopt;
    finishGrids(*data);
    return data;
}

int runHeatboard(std::istream& in, std::ostream& out) {
    out << "Tip: You can mark your datas especially if you edit the myname.txt. Change the\n"
        << "drivername in this file to your name and you should see yellow lines in the html\n"
        << std::flush;

    std::vector<std::uint8_t> nameBytes;
    if (!readWholeFile("myname.ini", nameBytes)) {
        out << "Datei myname.ini existiert nicht" << std::flush;
        pauseConsole(in, out);
        return 0;
    }
    const MyName me = parseMyName(std::string(nameBytes.begin(), nameBytes.end()));

    const std::optional<std::string> folder = readSimulatorFolder();
    if (!folder) {
        out << "Datei wrong!!!" << std::flush;
        return 1;
    }

    std::unique_ptr<HeatData> data;
    ConsoleSink console{&out};
    std::string baseName;
    for (int grid = 0; grid < kGrids; ++grid) {
        const std::string word = promptGrid(grid, in, out);
        if (grid == 0) baseName = replayNameInReports(word) + "All";
        std::optional<Replay> replay = openGrid(word, *folder);
        if (!replay) {
            if (grid > 0) break;  // the grids read so far are evaluated
            out << "The tool find not the replay.\n"
                << "Have you edit the path in Zant_Raceboard.ini to your zant directory?\n"
                << "At the end of the path it must be a \"\\\"!\n"
                << std::flush;
            pauseConsole(in, out);
            return 1;
        }
        // Made once the first replay comes in: the fresh pages of its tables
        // for 100 slots are filled meanwhile.
        if (!data) data = std::make_unique<HeatData>();
        if (readGrid(replay->bytes(), me, *data, console) == GridOutcome::notServerReplay) {
            pauseConsole(in, out);
            return 0;
        }
    }

    finishGrids(*data);
    out << fastestLapSummary(*data) << std::flush;
    pauseConsole(in, out);

    const int choice = runHeatMenu(*data, in, out);
    // The page is made now; the console marks its sector lists as raceboard does.
    if (data->tables.hasRaceTable) out << kSectorListsConsole << std::flush;
    if (!saveReport({heatReportName(baseName, choice), heatboardReport(*data, baseName, choice == 0)}, out)) return 1;
    return 0;
}

int runHeatboardCommand(int argc, const char* const* argv) {
    CLI::App app{"heatboard: the statistics of one event driven in up to five grids, from the server replays of\n"
                 "all grids, as one HTML page, NAMEAll.html (NAME: grid A's replay); drivers are compared by the\n"
                 "time since their own grid's start. The driver menu is left with 0, as its dialogue ends by\n"
                 "default."};
    CommandLine line;
    std::optional<std::string> myName;
    bool noSpeeds = false;
    declareCommand(app, "heatboard", line, kGrids);
    app.get_option("--json")->description(
        "also write the findings as JSON beside the page: NAMEAll_heatboard.json");
    app.add_option("--myname", myName,
                   "your driver name as in the replays, \"First Last\": your rows are yellow (else the name\n"
                   "in myname.ini in the working directory; without either no row is yellow)")
        ->type_name("NAME");
    app.add_flag("--no-speeds", noSpeeds,
                 "the page without speed values, NAMEAllno_v.html (the dialogue gives it for a number\n"
                 "below 0 at its driver menu)");
    if (std::optional<int> done = parseCommand(app, argc, argv)) return *done;

    MyName me{"", "", false};
    std::vector<std::uint8_t> nameBytes;
    const bool named = myName || readWholeFile("myname.ini", nameBytes);
    if (myName) me = parseMyName(utf8ToWindows1252(*myName));
    else if (named) me = parseMyName(std::string(nameBytes.begin(), nameBytes.end()));

    std::string error;
    const std::optional<std::vector<StartedRun>> runs = openCommandReplays(line, "", error);
    if (!runs) return commandFailed(line, error);
    std::vector<Bytes> grids;
    for (const StartedRun& run : *runs) {
        grids.push_back(run.replay.bytes());
        // The dialogue refuses such a replay after the grids before it were read; here nothing is read.
        if (readReplayHeader(grids.back(), FrameRateRule::only60Or36).localDriverSlot != 0)
            return commandFailed(line, "the replay " + nativePath(run.paths.replayPath) +
                                           " was recorded by a driver, not by the server: heatboard reads server "
                                           "replays only (raceboard reads this one)");
    }

    ConsoleSink silent;
    const std::optional<HeatData> data = heatFindings(grids, me, silent);
    if (!data) return commandFailed(line, "a replay was recorded by a driver, not by the server");
    const std::string baseName = runs->front().paths.replayName + "All";
    const std::string page = heatReportName(baseName, noSpeeds ? -1 : 0);
    CommandOutcome outcome;
    if (!named) outcome.warnings.push_back("warning: neither --myname nor myname.ini: no row is marked as yours");
    outcome.reports.push_back({page, heatboardReport(*data, baseName, !noSpeeds)});
    outcome.jsonName = jsonFileName(baseName, "heatboard");
    outcome.json = heatboardJson(*data, *runs, page, !noSpeeds);
    return writeCommandOutcome(line, outcome);
}

}  // namespace zr
