// Writes replays from a readable description: the tests' replays and the
// sample tool's.
//
// The writer knows the format on its own and uses none of the core's
// constants or readers on purpose: it is a second, independent reading of the
// format, so a mistake in the core's offsets shows as a test failure instead
// of being written and read back the same wrong way.
//
// Layout written: a 320-byte header; 152-byte driver records whose last 4
// bytes of the last record hold the distance from the following tag to the
// "BTPL" block; practice lap records ("ORPL", 4 bytes, lapRecordBytes, slot,
// 4-byte entries); optionally "BTPL", 8 bytes and the race lap records; an
// end tag, 4 bytes and a word above 2000; then the event records and a
// filler of zero bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zr::writer {

using ByteVec = std::vector<std::uint8_t>;

void putLe(ByteVec& out, std::uint64_t value, int width);
void setLe(ByteVec& out, std::size_t offset, std::uint64_t value, int width);

struct Block {
    std::uint16_t kind = 0;
    ByteVec data;                           // the bytes after the 4-byte head
    std::optional<std::uint16_t> length;    // stored length; default 4 + data size
};

struct SampleSpec {
    int slot = 0;
    std::int32_t position = 0;  // 26 bits
    std::uint8_t flags = 0;     // bit 7: refuel
    std::int16_t lateral = 0;
    int heading = 0;            // 0 to 511
    int gear = 0;               // 0 to 7
};

ByteVec encodeSample(const SampleSpec& s);

// Blocks of the event stream.
Block sessionBlock(std::int32_t clock);  // kind 13; the low byte of the clock is the start flag
Block fillerBlock(std::uint16_t kind = 4, std::size_t dataBytes = 4);
Block sampleBlock(const std::vector<SampleSpec>& samples, std::uint16_t kind = 2);
Block damageBlock(int slot, std::uint8_t wheelState, std::uint8_t engineDamage, std::uint8_t byte14 = 0,
                  std::uint8_t byte15 = 0);
Block ownCarBlock(std::int32_t position);  // kind 1, length 32

struct RecordSpec {
    std::vector<Block> blocks;
    std::optional<std::uint16_t> length;  // stored recordLength; default the real length
    std::size_t extraBytes = 0;           // zero bytes after the blocks, inside the record
};

// A frame as the simulator writes it: a leading block of `type`, a second
// block unless the type is 15, any extra blocks, then the car samples.
RecordSpec frameRecord(const std::vector<SampleSpec>& samples, std::uint16_t type = 2,
                       const std::vector<Block>& extra = {});
// A session-state record (type 13) with its flag or clock, and car samples.
RecordSpec sessionRecord(std::int32_t clock, const std::vector<SampleSpec>& samples = {});

struct DriverSpec {
    std::string firstName;
    std::string lastName;
    std::int32_t slot = 0;
    std::int32_t carMake = 0;
};

struct LapEntry {
    std::uint32_t stamp = 0;  // 24 bits, milliseconds
    std::uint8_t flags = 0;   // bit 4 void, bit 6 off track
};

struct LapRecordSpec {
    std::int32_t slot = 0;
    std::vector<LapEntry> entries;
    std::optional<std::int32_t> lapRecordBytes;  // default 4 + 4 × entries
};

// Lap entries from cumulative stamps.
LapRecordSpec lapRecord(std::int32_t slot, const std::vector<std::uint32_t>& stamps);

struct ReplaySpec {
    std::uint8_t frameRateByte = 36;
    std::string reportTrackName = "Testring";
    std::string trackName = "testring";
    std::string modName = "TESTMOD";
    std::int32_t localDriverSlot = 0;
    float sessionLength = 0.0f;

    std::vector<DriverSpec> drivers;
    std::vector<LapRecordSpec> practiceLaps;
    bool hasRaceBlock = false;
    std::vector<LapRecordSpec> raceLaps;
    std::optional<std::int32_t> probeDistance;  // default: points at "BTPL" when there is one, else 0

    std::vector<RecordSpec> records;
    std::size_t fillerBytes = 12000;
};

ByteVec buildReplay(const ReplaySpec& recipe);

// Where the pieces landed, for tests that cut or damage a replay.
struct ReplayLayout {
    std::size_t driverTableEnd = 0;  // the tag after the driver records
    std::size_t raceBlock = 0;       // the "BTPL" tag (where it would stand when there is none)
    std::size_t lapRecordsEnd = 0;   // the end tag
    std::size_t streamStart = 0;     // the first event record
    std::vector<std::size_t> recordOffsets;
};
ReplayLayout layoutOf(const ReplaySpec& recipe);

// A track.ini with a pit_lane_0 section.
std::string trackIniText(double laneStart, double laneEnd, double firstStall, double lastStall);

}  // namespace zr::writer
