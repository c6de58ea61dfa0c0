#include "replay_builder.h"

#include <cstring>
#include <sstream>

namespace zr::writer {

void putLe(ByteVec& out, std::uint64_t value, int width) {
    for (int i = 0; i < width; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void setLe(ByteVec& out, std::size_t offset, std::uint64_t value, int width) {
    for (int i = 0; i < width; ++i) out[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

namespace {
void putText(ByteVec& out, const std::string& text, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) out.push_back(i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0);
}
void putTag(ByteVec& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }
}  // namespace

ByteVec encodeSample(const SampleSpec& s) {
    ByteVec b(16, 0);
    b[3] = s.flags;
    std::uint32_t pos = static_cast<std::uint32_t>(s.position) & 0x3FFFFFF;
    b[4] = pos & 0xFF;
    b[5] = (pos >> 8) & 0xFF;
    b[6] = (pos >> 16) & 0xFF;
    b[7] = static_cast<std::uint8_t>(((pos >> 24) & 3) | ((s.slot & 63) << 2));
    b[8] = static_cast<std::uint16_t>(s.lateral) & 0xFF;
    b[9] = static_cast<std::uint16_t>(s.lateral) >> 8;
    b[13] = static_cast<std::uint8_t>((s.heading & 63) * 4);
    b[14] = static_cast<std::uint8_t>((s.heading >> 6) & 7);
    b[15] = static_cast<std::uint8_t>((s.gear & 7) << 5);
    return b;
}

Block sessionBlock(std::int32_t clock) {
    Block b{13, {}, {}};
    putLe(b.data, static_cast<std::uint32_t>(clock), 4);
    return b;
}

Block fillerBlock(std::uint16_t kind, std::size_t dataBytes) {
    return Block{kind, ByteVec(dataBytes, 0), {}};
}

Block sampleBlock(const std::vector<SampleSpec>& samples, std::uint16_t kind) {
    Block b{kind, {}, {}};
    for (const SampleSpec& s : samples) {
        ByteVec e = encodeSample(s);
        b.data.insert(b.data.end(), e.begin(), e.end());
    }
    return b;
}

Block damageBlock(int slot, std::uint8_t wheelState, std::uint8_t engineDamage, std::uint8_t byte14,
                  std::uint8_t byte15) {
    Block b{10, ByteVec(16, 0), {}};
    b.data[0] = static_cast<std::uint8_t>((slot * 64) & 0xFF);
    b.data[1] = static_cast<std::uint8_t>((slot * 64) >> 8);
    b.data[13 - 4] = wheelState;
    b.data[14 - 4] = byte14;
    b.data[15 - 4] = byte15;
    b.data[16 - 4] = engineDamage;
    return b;
}

Block ownCarBlock(std::int32_t position) {
    Block b{1, ByteVec(28, 0), {}};
    setLe(b.data, 0, static_cast<std::uint32_t>(position) & 0x3FFFFFF, 4);
    return b;
}

RecordSpec frameRecord(const std::vector<SampleSpec>& samples, std::uint16_t type, const std::vector<Block>& extra) {
    RecordSpec r;
    r.blocks.push_back(fillerBlock(type, 4));
    if (type != 15) r.blocks.push_back(fillerBlock(3, 6));  // 10 bytes: padded to 12
    r.blocks.insert(r.blocks.end(), extra.begin(), extra.end());
    r.blocks.push_back(sampleBlock(samples));
    return r;
}

RecordSpec sessionRecord(std::int32_t clock, const std::vector<SampleSpec>& samples) {
    RecordSpec r;
    r.blocks.push_back(sessionBlock(clock));
    r.blocks.push_back(fillerBlock(3, 6));
    r.blocks.push_back(sampleBlock(samples));
    return r;
}

LapRecordSpec lapRecord(std::int32_t slot, const std::vector<std::uint32_t>& stamps) {
    LapRecordSpec r;
    r.slot = slot;
    for (std::uint32_t s : stamps) r.entries.push_back(LapEntry{s, 0});
    return r;
}

namespace {

void putLapRecord(ByteVec& out, const LapRecordSpec& r) {
    putTag(out, "ORPL");
    putLe(out, 0, 4);
    std::int32_t n = r.lapRecordBytes ? *r.lapRecordBytes : static_cast<std::int32_t>(4 + 4 * r.entries.size());
    putLe(out, static_cast<std::uint32_t>(n), 4);
    putLe(out, static_cast<std::uint32_t>(r.slot), 4);
    for (const LapEntry& e : r.entries) {
        putLe(out, e.stamp & 0xFFFFFF, 3);
        out.push_back(e.flags);
    }
}

void putBlock(ByteVec& out, const Block& b) {
    std::uint16_t length = b.length ? *b.length : static_cast<std::uint16_t>(4 + b.data.size());
    putLe(out, b.kind, 2);
    putLe(out, length, 2);
    out.insert(out.end(), b.data.begin(), b.data.end());
    while (out.size() % 4) out.push_back(0);  // blocks and records stay 4-byte aligned
}

ByteVec build(const ReplaySpec& recipe, ReplayLayout* layout) {
    ByteVec out(320, 0);
    out[5] = recipe.frameRateByte;
    std::memcpy(&out[24], recipe.reportTrackName.c_str(), std::min<std::size_t>(8, recipe.reportTrackName.size()));
    setLe(out, 52, static_cast<std::uint32_t>(recipe.localDriverSlot), 4);
    std::memcpy(&out[112], recipe.trackName.c_str(), std::min<std::size_t>(8, recipe.trackName.size()));
    std::memcpy(&out[128], recipe.modName.c_str(), std::min<std::size_t>(8, recipe.modName.size()));
    std::uint32_t session;
    std::memcpy(&session, &recipe.sessionLength, 4);
    setLe(out, 233, session, 4);

    for (const DriverSpec& d : recipe.drivers) {
        ByteVec rec;
        putText(rec, d.firstName, 16);
        putText(rec, d.lastName, 16);
        rec.resize(108, 0);
        putLe(rec, static_cast<std::uint32_t>(d.carMake), 4);
        rec.resize(124, 0);
        putLe(rec, static_cast<std::uint32_t>(d.slot), 4);
        rec.resize(152, 0);
        out.insert(out.end(), rec.begin(), rec.end());
    }
    std::size_t tagAt = out.size();
    if (layout) layout->driverTableEnd = tagAt;

    for (const LapRecordSpec& r : recipe.practiceLaps) putLapRecord(out, r);
    std::size_t btplAt = out.size();
    if (layout) layout->raceBlock = btplAt;
    if (recipe.hasRaceBlock) {
        putTag(out, "BTPL");
        putLe(out, 0, 8);
        for (const LapRecordSpec& r : recipe.raceLaps) putLapRecord(out, r);
    }
    if (layout) layout->lapRecordsEnd = out.size();
    putTag(out, "EOLR");
    putLe(out, 0, 4);
    putLe(out, 0x7FFFFFFF, 4);

    std::int32_t probe = recipe.probeDistance ? *recipe.probeDistance
                                            : (recipe.hasRaceBlock ? static_cast<std::int32_t>(btplAt - tagAt) : 0);
    if (!recipe.drivers.empty()) setLe(out, tagAt - 4, static_cast<std::uint32_t>(probe), 4);

    if (layout) layout->streamStart = out.size();
    std::uint16_t previous = 0;
    for (const RecordSpec& r : recipe.records) {
        std::size_t start = out.size();
        if (layout) layout->recordOffsets.push_back(start);
        putLe(out, 0, 2);
        putLe(out, previous, 2);
        putLe(out, 0, 4);
        for (const Block& b : r.blocks) putBlock(out, b);
        out.insert(out.end(), r.extraBytes, 0);
        std::uint16_t length = static_cast<std::uint16_t>(out.size() - start);
        setLe(out, start, r.length ? *r.length : length, 2);
        previous = length;
    }
    out.insert(out.end(), recipe.fillerBytes, 0);
    return out;
}

}  // namespace

ByteVec buildReplay(const ReplaySpec& recipe) { return build(recipe, nullptr); }

ReplayLayout layoutOf(const ReplaySpec& recipe) {
    ReplayLayout layout;
    build(recipe, &layout);
    return layout;
}

std::string trackIniText(double laneStart, double laneEnd, double firstStall, double lastStall) {
    std::ostringstream t;
    t.setf(std::ios::fixed);
    t.precision(2);
    t << "[ track ]\r\nname = Testring\r\nlength = 4200.0\r\n\r\n";
    t << "[ pit_lane_0 ]\r\n";
    t << "lane_bounds_dlong = " << laneStart << " " << laneEnd << " \r\n";
    t << "stall_0 = " << firstStall << "\r\n";
    for (int i = 1; i < 19; ++i) t << "stall_" << i << " = " << firstStall + (lastStall - firstStall) * i / 19 << "\r\n";
    t << "stall_19 = " << lastStall << "\r\n";
    return t.str();
}

}  // namespace zr::writer
