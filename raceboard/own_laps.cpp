#include "own_laps.h"

#include <algorithm>

#include "event_stream.h"
#include "record_walk.h"

namespace zr {

OwnSectorTable::OwnSectorTable() {
    for (int l = 0; l < kOwnRows; ++l)
        for (int k = 0; k < kLapPoints; ++k)
            for (int s = 0; s < 2; ++s) {
                mark[l][k][s] = kNoLap;
                minSpeed[l][k][s] = l == 0 ? 0 : kNoLap;
            }
}

namespace {

constexpr int kCrossingSearchRecords = 10000;
constexpr std::int64_t kRaceLead = 200;      // records before the expected lap start
constexpr std::int64_t kPracticeLead = 500;

struct Session {
    int index;
    const std::int32_t* stamps;
    const std::int32_t* lapTimes;  // practice only: a void lap has time 0
    int lapCount;                  // bounded by the table's rows
};

// One measuring loop from the record after a line crossing. Returns false
// when the file has ended.
bool measureLaps(Bytes replay, std::int64_t& at, int frameRate, std::int32_t trackLength, const Session& session,
                 int& l, std::int32_t previous, OwnSectorTable& table) {
    const std::int64_t end = static_cast<std::int64_t>(replay.size) - kEndRoom;
    const int s = session.index;
    int c = 1, m = 0, q = 0;
    double e = 0.0;
    Frame frame;
    while (l <= session.lapCount) {
        if (!readFrame(replay, at, kFromFirstBlock, frame)) return false;
        at = frame.recordEnd;
        std::int32_t p = ownCarPosition(replay, frame);
        if (p >= 0) {
            const std::int64_t delta = static_cast<std::int64_t>(p) - previous;
            const double v = speedOf(delta, frameRate);
            if (v < kMaxCountedSpeed) {
                if (v > table.maxSpeed[l][0][s]) table.maxSpeed[l][0][s] = truncateToInt(v);
                if (v > table.maxSpeed[l][q][s]) table.maxSpeed[l][q][s] = truncateToInt(v);
            }
            if (delta > 0) {
                if (v < table.minSpeed[l][0][s]) table.minSpeed[l][0][s] = truncateToInt(v);
                if (v < table.minSpeed[l][q][s]) table.minSpeed[l][q][s] = truncateToInt(v);
            }
            const double quarter = static_cast<double>(static_cast<std::int64_t>(m) * trackLength) / 4.0;
            const double d = static_cast<double>(delta);
            // The line was passed previous / d frames before the sample of
            // count c - 1, so e = previous / d - c puts a sample of count c
            // c + 1 + e frames after the line that opened the lap.
            if (m >= 1 && m <= 3 && p > quarter) {
                table.mark[l][q][s] = truncateToInt((c + 1 + e - (p - quarter) / d) * 1000.0 / frameRate);
                ++m;
                ++q;
            } else if ((m == 0 || m == 4) && previous >= 1 && previous < kNearLine) {
                // The car passed the line since the previous frame.
                table.mark[l][q][s] = truncateToInt((c + e - previous / d) * 1000.0 / frameRate);
                e = previous / d - c;
                ++m;
                ++q;
            }
            previous = p;
        }
        if (m > 4) {
            // The closing crossing of lap l opens the next one.
            ++l;
            m = q = 1;
            if (session.lapTimes && l <= session.lapCount && session.lapTimes[l] == 0) return true;
        }
        ++c;
        if (at >= end) return false;
    }
    return true;
}

void measureSession(Bytes replay, std::int64_t streamStart, int frameRate, std::int32_t trackLength,
                    const Session& session, OwnSectorTable& table) {
    const std::int64_t size = static_cast<std::int64_t>(replay.size);
    const bool practice = session.index == kPracticeSession;
    std::int64_t at = streamStart;
    if (!practice) {
        at = findRaceStartRecord(replay, streamStart, false);
        if (!nextRecord(replay, at)) return;
    }
    const int n = session.lapCount;
    int l = 1;
    while (l < n) {
        if (practice)
            while (l <= n && session.lapTimes[l] == 0) ++l;  // void laps are not measured
        if (l > n) return;
        const std::int64_t record = nextSessionRecord(replay, at);
        if (record >= size) return;
        at = record;
        const std::int64_t clock = sessionClockMs(replay, record);
        std::int64_t k;
        if (practice) {
            while (l <= n && clock + 100 >= session.stamps[l - 1]) ++l;
            if (l > n) return;
            k = (session.stamps[l - 1] - clock) * frameRate / 1000 - kPracticeLead;
        } else {
            k = (session.stamps[l - 1] - clock) * frameRate / 1000 - kRaceLead;
        }
        if (k > 0) at = skipFrames(replay, at, k);

        const std::int32_t previous = searchLineCrossing(
            replay, at, kCrossingSearchRecords, [replay](const Frame& f) { return ownCarPosition(replay, f); });
        if (at >= size - kEndRoom) return;
        if (!measureLaps(replay, at, frameRate, trackLength, session, l, previous, table)) return;
    }
}

}  // namespace

void measureOwnLaps(Bytes replay, std::int64_t streamStart, int frameRate, std::int32_t trackLength,
                    const LapTables& tables, int ownSlot, OwnSectorTable& table, ConsoleSink& console) {
    if (!tables.isSlot(ownSlot)) return;
    const PracticeLaps& practice = tables.practice[ownSlot];
    const RaceLaps& race = tables.race[ownSlot];
    const char* const intro = "\nWait a moment, please... The tool is searching for sector times\nand max.speed of ";
    if (practice.practiceLapCount >= 2) {
        console << intro << "practice\n" << std::flush;
        Session session{kPracticeSession, practice.practiceStamps, practice.practiceLapTimes,
                        std::min(practice.practiceLapCount, kOwnRows - 1)};
        measureSession(replay, streamStart, frameRate, trackLength, session, table);
    }
    if (tables.hasRaceTable) {
        console << intro << "race\n" << std::flush;
        Session session{kRaceSession, race.raceStamps, nullptr, std::min(race.raceLapCount, kOwnRows - 1)};
        measureSession(replay, streamStart, frameRate, trackLength, session, table);
    }
}

void finishOwnSectorTable(OwnSectorTable& table, const LapTables& tables, int ownSlot) {
    const bool known = tables.isSlot(ownSlot);
    for (int s = 0; s < 2; ++s) {
        for (int l = 1; l < kOwnRows; ++l) {
            std::int32_t m[kLapPoints];
            for (int k = 0; k < kLapPoints; ++k) m[k] = table.mark[l][k][s];
            if (m[4] > 0) {
                std::int32_t lapTime = 0;
                if (s == kPracticeSession) lapTime = known ? tables.practice[ownSlot].practiceLapTimes[l] : 0;
                else if (l >= 2) lapTime = known ? tables.race[ownSlot].raceLapTimes[l] : 0;
                else lapTime = m[4];  // race lap 1 ends at the closing crossing
                m[4] = lapTime - m[3];
            }
            if (m[3] > 0) {
                m[3] = m[3] - m[2];
                if (m[3] > 0) m[2] = m[2] - m[1];
            }
            for (int k = 0; k < kLapPoints; ++k) {
                table.mark[l][k][s] = m[k];
                if (m[k] > 0) {
                    table.mark[0][k][s] = std::min(table.mark[0][k][s], m[k]);
                    table.maxSpeed[0][k][s] = std::max(table.maxSpeed[0][k][s], table.maxSpeed[l][k][s]);
                }
                if (table.minSpeed[l][k][s] < 10000000)
                    table.minSpeed[0][k][s] = std::max(table.minSpeed[0][k][s], table.minSpeed[l][k][s]);
            }
        }
    }
}

}  // namespace zr
