// Where an analysis shows what the dialogue prints while it works (progress
// texts, "track length=", a line per event found): the console in the
// dialogue, a string when a batch run collects it, nowhere when it is quiet.
#pragma once

#include <ostream>

namespace zr {

struct ConsoleSink {
    std::ostream* out = nullptr;  // nothing is shown when null

    template <class T>
    ConsoleSink& operator<<(const T& value) {
        if (out) *out << value;
        return *this;
    }
    ConsoleSink& operator<<(std::ostream& (*manipulator)(std::ostream&)) {
        if (out) *out << manipulator;
        return *this;
    }
    bool shown() const { return out != nullptr; }
};

}  // namespace zr
