#include "heatboard.h"

#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "front_end.h"
#include "grid_reading.h"
#include "heat_menu.h"
#include "heat_report.h"
#include "platform.h"
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

    auto data = std::make_unique<HeatData>();
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

}  // namespace zr
