#include "listing_text.h"

#include <algorithm>

namespace zr {

const char* const kGermanProgressText =
    "\nIm Programmordner wird eine .txt-Datei mit der folgenden Tabelle erstellt.\n"
    "Diese hat den gleichen Namen wie die .rpy-Datei.\n\n"
    "Das Programm ben\xF6tigt etwas Zeit...\n\n";

std::string upperAscii(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string trackNameLine(const ReplayHeader& header) { return "  " + upperAscii(header.trackName) + "\n\n"; }

std::string fullName(const DriverTable& drivers, int slot) {
    return drivers.firstName(slot) + " " + drivers.lastName(slot);
}

std::string shortName(const DriverTable& drivers, int slot) {
    return drivers.initial(slot) + "." + drivers.lastName(slot);
}

std::string shortNameColumn(const DriverTable& drivers, int slot) {
    return shortName(drivers, slot) + (drivers.lastName(slot).size() < 6 ? "\t\t" : "\t");
}

std::string countRanking(const std::int32_t (&perCar)[kSlots], const DriverTable& drivers) {
    std::int32_t count[kSlots];
    std::copy(perCar, perCar + kSlots, count);
    std::string text;
    for (;;) {
        int best = -1;
        for (int c = 0; c < kSlots; ++c)
            if (count[c] >= 1 && (best < 0 || count[c] > count[best])) best = c;
        if (best < 0) return text;
        text += "  " + std::to_string(count[best]) + " * " + shortName(drivers, best) + "\n";
        count[best] = 0;
    }
}

}  // namespace zr
