#include "heat_menu.h"

#include <algorithm>
#include <cstdio>
#include <istream>
#include <ostream>

#include "menu_answer.h"
#include "heat_stats.h"
#include "platform.h"

namespace zr {

namespace {

constexpr int kNameColumn = 24;

std::string fullName(const HeatData& data, int slot) {
    return data.drivers[slot].firstName + " " + data.drivers[slot].lastName;
}

}  // namespace

std::string fastestLapSummary(const HeatData& data) {
    std::string text = "\n\n             BESTE RUNDEN TABELLE\n\n";
    for (int slot : data.rankings.numberOfFastestLaps.slots) {
        char count[32];
        std::snprintf(count, sizeof count, "%13d", data.history.fastestLapCount[slot]);
        text += count + std::string(" * ") + fullName(data, slot) + "\n";
    }
    return text;
}

std::string menuDriverList(const HeatData& data) {
    std::string text;
    int listed = 0;
    for (int s = 0; s < data.tables.slotCount; ++s) {
        if (data.tables.race[s].raceLapCount <= 0) continue;
        const HeatDriver& d = data.drivers[s];
        if (s < 10) text += " ";
        text += std::to_string(s) + "=" + fullName(data, s);
        if (++listed % 3 == 0) {
            text += "\n";
        } else {
            const int names = static_cast<int>(d.firstName.size() + d.lastName.size());
            text += std::string(std::max(1, kNameColumn - names), ' ');
        }
    }
    return text;
}

int runHeatMenu(const HeatData& data, std::istream& in, std::ostream& out) {
    int choice = 0;
    for (int round = 0; round < kMenuRounds; ++round) {
        out << " 0=Ends this part of the tool and creates a html-file with statistiscs\n"
            << "Value<0   Ends this part of the tool and creates a html-file with statistiscs, except speed values\n"
            << menuDriverList(data) << "\n";
        choice = askMenuChoice(in, out);
        if (choice < 1 || choice > 99) break;
        out << "\n" << fullName(data, choice) << "\n\n" << lapRankTable(data, choice) << std::flush;
        pauseConsole(in, out);
    }
    return choice;
}

}  // namespace zr
