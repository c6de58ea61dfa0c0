#include "charts.h"

#include <algorithm>
#include <cstdint>
#include <functional>

#include "value_format.h"

namespace zr::night {

namespace {

// The plot area inside each chart, in SVG user units (the page scales them).
constexpr int kWidth = 640;
constexpr int kLeft = 48;
constexpr int kRight = 12;
constexpr int kTop = 12;
constexpr int kBottom = 30;
constexpr int kPlotWidth = kWidth - kLeft - kRight;

// Laps this far over the fastest (in percent) are drawn at the top edge.
constexpr std::int64_t kSlowLapPercent = 25;

const char* const kPalette[] = {"#1f6fb4", "#d1352b", "#2e9e3a", "#f07f0e", "#8a5bbd", "#8c564b", "#d9489f",
                                "#5f5f5f", "#a8a21a", "#139eb0", "#30347a", "#b04a4b", "#5f7a2c", "#e0600d",
                                "#7b4173", "#4a90d9", "#31a354", "#756bb1", "#c49c00", "#0b5d5d"};

struct Axis {
    std::int64_t lo = 0;  // the value at one end of the plot
    std::int64_t hi = 1;  // and at the other
    int length = 1;       // the plot's length in user units
    // The position of `value` from the end that holds `lo`.
    int at(std::int64_t value) const {
        return static_cast<int>((value - lo) * length / std::max<std::int64_t>(1, hi - lo));
    }
};

// Laps 1 to `laps` across the plot; a single lap stands in the middle.
Axis lapAxis(std::size_t laps) {
    return laps == 1 ? Axis{0, 2, kPlotWidth} : Axis{1, static_cast<std::int64_t>(laps), kPlotWidth};
}

// A tick every `step` laps or places: about a dozen at most.
std::int64_t countStep(std::int64_t count) { return std::max<std::int64_t>(1, (count + 11) / 12); }

std::string svgOpen(int height, const std::string& label) {
    return "<svg class=\"chart\" xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " + std::to_string(kWidth) + " " +
           std::to_string(height) + "\" role=\"img\" aria-label=\"" + escapeMarkupStrict(label) + "\">\n" +
           "<rect x=\"" + std::to_string(kLeft) + "\" y=\"" + std::to_string(kTop) + "\" width=\"" +
           std::to_string(kPlotWidth) + "\" height=\"" + std::to_string(height - kTop - kBottom) +
           "\" class=\"plot\"/>\n";
}

std::string tickText(int x, int y, const char* anchor, const std::string& text) {
    return "<text x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\" text-anchor=\"" + anchor + "\">" +
           escapeMarkupStrict(text) + "</text>\n";
}

std::string gridLine(int x1, int y1, int x2, int y2) {
    return "<line x1=\"" + std::to_string(x1) + "\" y1=\"" + std::to_string(y1) + "\" x2=\"" + std::to_string(x2) +
           "\" y2=\"" + std::to_string(y2) + "\" class=\"grid\"/>\n";
}

// The lap axis along the bottom: laps 1 to `laps`.
std::string lapTicks(const Axis& x, int bottom, int laps) {
    std::string out;
    const std::int64_t step = countStep(laps);
    for (int lap = 1; lap <= laps; ++lap) {
        if ((lap - 1) % step != 0 && lap != laps) continue;
        const int at = kLeft + x.at(lap);
        out += gridLine(at, kTop, at, bottom) + tickText(at, bottom + 16, "middle", std::to_string(lap));
    }
    return out + tickText(kLeft + kPlotWidth, bottom + 28, "end", "lap");
}

// One line per driver through the values that `value(driver, lap)` gives
// (0 leaves a gap); a lap alone between gaps is a dot. The driver's name is
// the group's title, which a browser shows on pointing at it.
std::string driverLines(const std::vector<DriverSeries>& drivers, const Axis& x, const Axis& y,
                        const std::function<std::int64_t(const DriverSeries&, std::size_t)>& value,
                        const std::function<std::size_t(const DriverSeries&)>& laps) {
    std::string out;
    for (std::size_t d = 0; d < drivers.size(); ++d) {
        std::string path, dots;
        std::vector<std::pair<int, int>> run;  // the points since the last gap
        auto closeRun = [&] {
            if (run.size() == 1) {
                dots += "<circle cx=\"" + std::to_string(run[0].first) + "\" cy=\"" + std::to_string(run[0].second) +
                        "\" r=\"3\" class=\"dot\"/>";
            } else {
                for (std::size_t i = 0; i < run.size(); ++i)
                    path += std::string(i == 0 ? (path.empty() ? "M" : " M") : " L") + std::to_string(run[i].first) +
                            " " + std::to_string(run[i].second);
            }
            run.clear();
        };
        for (std::size_t i = 0; i < laps(drivers[d]); ++i) {
            const std::int64_t v = value(drivers[d], i);
            if (v == 0) {
                closeRun();
                continue;
            }
            run.push_back({kLeft + x.at(static_cast<std::int64_t>(i) + 1), kTop + y.at(v)});
        }
        closeRun();
        if (path.empty() && dots.empty()) continue;
        out += "<g stroke=\"" + driverColour(d) + "\" fill=\"" + driverColour(d) + "\"><title>" +
               replayTextHtml(drivers[d].name) + "</title>";
        if (!path.empty()) out += "<path d=\"" + path + "\" class=\"line\"/>";
        out += dots + "</g>\n";
    }
    return out;
}

std::string clockText(std::int64_t ms) {
    const std::int64_t seconds = ms / 1000;
    const std::string s = std::to_string(seconds % 60);
    return std::to_string(seconds / 60) + ":" + (s.size() < 2 ? "0" : "") + s;
}

}  // namespace

std::string driverColour(std::size_t index) { return kPalette[index % (sizeof kPalette / sizeof kPalette[0])]; }

std::string positionChart(const std::vector<DriverSeries>& drivers) {
    std::size_t laps = 0;
    int places = 0;
    for (const DriverSeries& d : drivers) {
        laps = std::max(laps, d.positions.size());
        for (int p : d.positions) places = std::max(places, p);
    }
    if (laps == 0 || places == 0) return "";
    const int plotHeight = std::max(120, 20 * places);
    const int height = kTop + plotHeight + kBottom;
    const Axis x = lapAxis(laps);
    const Axis y{1, std::max(2, places), plotHeight};
    std::string out = svgOpen(height, "Position of every driver lap by lap");
    const std::int64_t step = countStep(places);
    for (int place = 1; place <= places; ++place)
        if ((place - 1) % step == 0 || place == places)
            out += gridLine(kLeft, kTop + y.at(place), kLeft + kPlotWidth, kTop + y.at(place)) +
                   tickText(kLeft - 8, kTop + y.at(place) + 4, "end", std::to_string(place));
    out += lapTicks(x, kTop + plotHeight, static_cast<int>(laps));
    out += driverLines(
        drivers, x, y, [](const DriverSeries& d, std::size_t i) { return std::int64_t{d.positions[i]}; },
        [](const DriverSeries& d) { return d.positions.size(); });
    return out + "</svg>\n";
}

std::string lapTimeChart(const std::vector<DriverSeries>& drivers) {
    std::size_t laps = 0;
    std::int64_t fastest = 0, slowest = 0;
    for (const DriverSeries& d : drivers) {
        laps = std::max(laps, d.lapTimes.size());
        for (std::int32_t t : d.lapTimes)
            if (t > 0 && (fastest == 0 || t < fastest)) fastest = t;
    }
    if (laps == 0 || fastest == 0) return "";
    const std::int64_t cap = fastest + std::max<std::int64_t>(fastest * kSlowLapPercent / 100, 1000);
    for (const DriverSeries& d : drivers)
        for (std::int32_t t : d.lapTimes) slowest = std::max<std::int64_t>(slowest, std::min<std::int64_t>(t, cap));

    // Whole-second steps that give at most six bands.
    std::int64_t step = 1000;
    for (std::int64_t s : {1000, 2000, 5000, 10000, 30000, 60000, 300000}) {
        step = s;
        if ((slowest - fastest) / s <= 6) break;
    }
    const std::int64_t lo = fastest / step * step;
    const std::int64_t hi = std::max(lo + step, (slowest + step - 1) / step * step);
    const int plotHeight = 220;
    const int height = kTop + plotHeight + kBottom;
    const Axis x = lapAxis(laps);
    // Slower laps higher up: the axis runs from `hi` at the top down to `lo`.
    const Axis y{-hi, -lo, plotHeight};
    std::string out = svgOpen(height, "Lap times of every driver");
    for (std::int64_t t = lo; t <= hi; t += step)
        out += gridLine(kLeft, kTop + y.at(-t), kLeft + kPlotWidth, kTop + y.at(-t)) +
               tickText(kLeft - 8, kTop + y.at(-t) + 4, "end", clockText(t));
    out += lapTicks(x, kTop + plotHeight, static_cast<int>(laps));
    out += driverLines(
        drivers, x, y,
        [&](const DriverSeries& d, std::size_t i) {
            const std::int64_t t = d.lapTimes[i];
            return t > 0 ? -std::min(t, hi) : 0;
        },
        [](const DriverSeries& d) { return d.lapTimes.size(); });
    return out + "</svg>\n";
}

std::string chartLegend(const std::vector<DriverSeries>& drivers) {
    std::string out = "<ul class=\"legend\">";
    for (std::size_t d = 0; d < drivers.size(); ++d) {
        // A qualifier who never completed a lap is listed, but has no mark in either chart.
        const std::vector<std::int32_t>& times = drivers[d].lapTimes;
        const bool marked = !drivers[d].positions.empty() ||
                            std::any_of(times.begin(), times.end(), [](std::int32_t t) { return t > 0; });
        out += "<li><span class=\"swatch\" style=\"background:" + driverColour(d) + "\"></span>" +
               replayTextHtml(drivers[d].name) + (marked ? "" : " (no lap timed)") + "</li>";
    }
    return out + "</ul>\n";
}

}  // namespace zr::night
