#include "driver_menu.h"

#include <algorithm>
#include <cstdio>
#include <istream>
#include <ostream>

#include "listing_text.h"
#include "menu_answer.h"
#include "platform.h"

namespace zr {

namespace {

constexpr int kMenuPasses = 19;

std::string padded(int value, int width) {
    char text[32];
    std::snprintf(text, sizeof text, "%*d", width, value);
    return text;
}

}  // namespace

std::vector<int> lapRanks(const LapTables& tables, int slot) {
    const int laps = std::min(tables.maxRaceLaps, kLapRows - 1);
    std::vector<int> ranks(std::max(laps, 0) + 1, 0);
    const RaceLaps& own = tables.race[slot];
    for (int lap = 1; lap <= laps && own.raceLapTimes[lap] != 0; ++lap) {
        int rank = 1;
        for (int s = 1; s < std::min(tables.slotCount, kReplaySlots); ++s) {
            const std::int32_t t = tables.race[s].raceLapTimes[lap];
            if (t > 0 && t < own.raceLapTimes[lap]) ++rank;
        }
        ranks[lap] = rank;
    }
    return ranks;
}

std::string rankChart(const std::vector<int>& ranks, int maxRaceLaps) {
    const int worst = maxRaceLaps < 1 ? 0 : *std::max_element(ranks.begin(), ranks.end());
    const int columns = std::min({maxRaceLaps, kChartColumns, static_cast<int>(ranks.size()) - 1});
    std::string chart;
    for (int r = 1; r <= worst; ++r) {
        for (int lap = 1; lap <= columns; ++lap) chart += ranks[lap] == r ? static_cast<char>('0' + r % 10) : ' ';
        chart += '\n';
    }
    return chart;
}

std::string fastestLapStandings(const LapHistory& history, const DriverTable& drivers, int slots) {
    std::string text;
    std::vector<bool> shown(slots, false);
    for (int row = 0; row < kReplaySlots; ++row) {
        int best = -1;
        for (int s = 1; s < slots && s < static_cast<int>(history.fastestLapCount.size()); ++s) {
            if (shown[s] || history.fastestLapCount[s] < 1) continue;
            if (best < 0 || history.fastestLapCount[s] > history.fastestLapCount[best]) best = s;
        }
        if (best < 0) break;
        shown[best] = true;
        text += padded(history.fastestLapCount[best], 13) + " * " + fullName(drivers, best) + "\n";
    }
    return text;
}

bool runDriverMenu(const LapTables& tables, const DriverTable& drivers, const LapHistory& history,
                   std::istream& in, std::ostream& out) {
    out << "\n\n             BESTE RUNDEN TABELLE\n\n";
    out << fastestLapStandings(history, drivers, tables.slotCount);
    pauseConsole(in, out);

    int choice = 0;
    for (int pass = 0; pass < kMenuPasses; ++pass) {
        out << padded(0, 4) << "   Ends this part of the tool and creates a html-file with statistiscs\n";
        for (int s = 0; s < tables.slotCount; ++s)
            if (tables.race[s].raceLapCount > 0) out << padded(s, 4) << "   " << fullName(drivers, s) << "\n";
        choice = askMenuChoice(in, out);
        if (choice < 1 || choice > 19) break;

        out << "\n" << fullName(drivers, choice) << "\n\n";
        out << rankChart(lapRanks(tables, choice), tables.maxRaceLaps) << std::flush;
        pauseConsole(in, out);
    }
    return choice != 0;
}

}  // namespace zr
