#include "ground_truth.h"

#include <cstdlib>
#include <map>
#include <sstream>

namespace zr::sampler {

const TruthDriver* GroundTruth::driver(int slot) const {
    for (const TruthDriver& d : drivers)
        if (d.slot == slot) return &d;
    return nullptr;
}

namespace {

template <class T>
std::string joined(const std::vector<T>& values) {
    std::string s;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i) s += ',';
        s += std::to_string(values[i]);
    }
    return s;
}

std::string flag(bool b) { return b ? "1" : "0"; }

}  // namespace

std::string formatGroundTruth(const GroundTruth& t) {
    std::ostringstream o;
    o << "# What happened in " << t.replay << ".rpy, as the sampler made it. Race frames count from the\n"
      << "# race-start record (frame 0), qualifying frames from the session's first record.\n";
    o << "replay " << t.replay << "\n";
    o << "kind " << t.kind << "\n";
    o << "frame_rate " << t.frameRate << "\n";
    o << "track " << t.trackFolder << " length=" << t.trackMetres << " pit_lane=" << t.pitLaneStartM << ","
      << t.pitLaneEndM << " stalls=" << t.firstStallM << "," << t.lastStallM << "\n";
    o << "session_length " << t.sessionLength << "\n";
    o << "own_slot " << t.ownSlot << "\n";
    o << "race_laps " << t.raceLaps << "\n";
    o << "leader_finish_ms " << t.leaderFinishMs << "\n";
    o << "frames " << t.raceFrames << "\n";
    for (const TruthDriver& d : t.drivers)
        o << "driver slot=" << d.slot << " first=" << d.firstName << " last=" << d.lastName << "\n";
    for (const TruthLaps& l : t.laps)
        o << "laps session=" << l.session << " slot=" << l.slot << " stamps=" << joined(l.stamps)
          << " flags=" << joined(l.flags) << "\n";
    for (const TruthResult& r : t.results)
        o << "result slot=" << r.slot << " laps=" << r.laps << " status=" << r.status << " finish_ms=" << r.finishMs
          << " laps_down=" << r.lapsDown << "\n";
    for (const TruthPitStop& p : t.pitStops)
        o << "pitstop slot=" << p.slot << " lap=" << p.lap << " entry=" << p.entry << " rest=" << p.rest
          << " leave=" << p.leave << " exit=" << p.exit << " repair=" << flag(p.repair) << " tyres=" << flag(p.tyres)
          << " refuel=" << flag(p.refuel) << "\n";
    for (const TruthContact& c : t.contacts)
        o << "contact frame=" << c.frame << " hitter=" << c.hitter << " victim=" << c.victim
          << " costs_time=" << flag(c.costsTime) << "\n";
    for (const TruthDamage& d : t.damage)
        o << "damage frame=" << d.frame << " slot=" << d.slot << " what=" << d.what << " value=" << d.value << "\n";
    for (const TruthReset& r : t.resets)
        o << "reset frame=" << r.frame << " slot=" << r.slot << " cause=" << r.cause << " sign=" << r.sign
          << " in_pits=" << flag(r.inPits) << "\n";
    for (const TruthDisconnect& d : t.disconnects) o << "disconnect frame=" << d.frame << " slot=" << d.slot << "\n";
    for (const TruthRetirement& r : t.retirements)
        o << "retirement slot=" << r.slot << " stop=" << r.stop << " gone=" << r.gone << " in_pits=" << flag(r.inPits)
          << "\n";
    for (const TruthEscape& e : t.escapes)
        o << "escape slot=" << e.slot << " last_seen=" << e.lastSeen << " back=" << e.back
          << " in_pit_lane=" << flag(e.inPitLane) << " moving=" << flag(e.moving) << "\n";
    return o.str();
}

namespace {

struct Fields {
    std::map<std::string, std::string> values;
    std::string missing;

    std::string text(const std::string& key) {
        auto it = values.find(key);
        if (it == values.end()) {
            if (missing.empty()) missing = key;
            return "";
        }
        return it->second;
    }
    long long number(const std::string& key) { return std::strtoll(text(key).c_str(), nullptr, 10); }
    bool yes(const std::string& key) { return number(key) != 0; }
    template <class T>
    std::vector<T> list(const std::string& key) {
        std::vector<T> out;
        std::string all = text(key);
        std::size_t at = 0;
        while (at < all.size()) {
            std::size_t comma = all.find(',', at);
            if (comma == std::string::npos) comma = all.size();
            out.push_back(static_cast<T>(std::strtoll(all.substr(at, comma - at).c_str(), nullptr, 10)));
            at = comma + 1;
        }
        return out;
    }
};

}  // namespace

bool parseGroundTruth(const std::string& text, GroundTruth& t, std::string& error) {
    t = GroundTruth();
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string key, first;
        words >> key >> first;
        Fields f;
        for (std::string w = first; !w.empty(); w.clear(), words >> w) {
            std::size_t eq = w.find('=');
            if (eq != std::string::npos) f.values[w.substr(0, eq)] = w.substr(eq + 1);
        }
        auto n = [&](const char* k) { return static_cast<int>(f.number(k)); };
        if (key == "replay") t.replay = first;
        else if (key == "kind") t.kind = first;
        else if (key == "frame_rate") t.frameRate = std::atoi(first.c_str());
        else if (key == "track") {
            t.trackFolder = first;
            t.trackMetres = n("length");
            auto lane = f.list<int>("pit_lane");
            auto stalls = f.list<int>("stalls");
            if (lane.size() != 2 || stalls.size() != 2) f.missing = "pit_lane or stalls";
            else {
                t.pitLaneStartM = lane[0];
                t.pitLaneEndM = lane[1];
                t.firstStallM = stalls[0];
                t.lastStallM = stalls[1];
            }
        } else if (key == "session_length") t.sessionLength = std::atoi(first.c_str());
        else if (key == "own_slot") t.ownSlot = std::atoi(first.c_str());
        else if (key == "race_laps") t.raceLaps = std::atoi(first.c_str());
        else if (key == "leader_finish_ms") t.leaderFinishMs = std::atoi(first.c_str());
        else if (key == "frames") t.raceFrames = std::atoi(first.c_str());
        else if (key == "driver") t.drivers.push_back({n("slot"), f.text("first"), f.text("last")});
        else if (key == "laps")
            t.laps.push_back({f.text("session"), n("slot"), f.list<std::int32_t>("stamps"), f.list<int>("flags")});
        else if (key == "result")
            t.results.push_back({n("slot"), n("laps"), f.text("status"), n("finish_ms"), n("laps_down")});
        else if (key == "pitstop")
            t.pitStops.push_back({n("slot"), n("lap"), n("entry"), n("rest"), n("leave"), n("exit"), f.yes("repair"),
                                  f.yes("tyres"), f.yes("refuel")});
        else if (key == "contact")
            t.contacts.push_back({n("frame"), n("hitter"), n("victim"), f.yes("costs_time")});
        else if (key == "damage")
            t.damage.push_back({n("frame"), n("slot"), f.text("what"), n("value")});
        else if (key == "reset")
            t.resets.push_back({n("frame"), n("slot"), f.text("cause"), f.text("sign"), f.yes("in_pits")});
        else if (key == "disconnect") t.disconnects.push_back({n("frame"), n("slot")});
        else if (key == "retirement") t.retirements.push_back({n("slot"), n("stop"), n("gone"), f.yes("in_pits")});
        else if (key == "escape")
            t.escapes.push_back({n("slot"), n("last_seen"), n("back"), f.yes("in_pit_lane"), f.yes("moving")});
        else f.missing = "a known keyword";
        if (!f.missing.empty()) {
            error = "line " + std::to_string(number) + ": no " + f.missing + ": " + line;
            return false;
        }
    }
    return true;
}

}  // namespace zr::sampler
