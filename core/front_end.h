// The start-up sequence shared by every program: prompt, "timediff.ini",
// "Zant_Raceboard.ini", the derived paths and the opening of the replay.
// All console text is Windows-1252; the console stream converts it for display.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "byte_reader.h"
#include "platform.h"

namespace zr {

enum class Program { raceboard, heatboard, contactscan, boxlog, resetlog, exitwatch, dropwatch };

// The two console vocabularies of the family.
enum class MessageSet { german, mixed };

// How the header's frame-rate byte is taken.
enum class FrameRateRule {
    zeroMeans36,  // chain-reading programs: 0 gives 36, anything else as stored
    only60Or36    // raceboard, heatboard: 60 if the byte is 60, else 36
};

// What a program shows about the track file (see track_ini.h).
enum class TrackTexts { none, exitDrop, boxlog, resetlog };

struct FrontEndProfile {
    Program program;
    const char* name;
    const char* prompt;              // printed followed by a line feed
    bool emptyLineAfterPrompt;
    bool readsTimeDiff;
    const char* reportSuffix;        // appended to the typed name; "" where the program names its own
    MessageSet messages;
    const char* progressText;        // printed before the walk
    FrameRateRule frameRateRule;
    std::int64_t firstDriverRecord;  // 320 or 472
    bool driverTableStopsAtBtpl;     // stop tags "ORPL" and "BTPL", else "ORPL" alone
    bool echoesReplayPath;           // boxlog, resetlog
    bool showsFileSize;              // boxlog: "Lange=" and the size
    TrackTexts trackTexts;
    bool showsTrackName;             // two blanks, upper-cased name, two line ends
};

const FrontEndProfile& profileOf(Program program);

// Texts of a message set.
const char* configFailureText(MessageSet set);  // "Datei falsch!!!" / "Datei wrong!!!"
const char* replayFailureText(Program program); // "Dateiname oder Pfadangabe falsch!!!" / ...

struct TimeDiffSettings {
    std::int32_t timeDiffFirst = 0;
    std::int32_t timeDiffSecond = 120;
};

struct RunPaths {
    std::string replayName;    // what the reports take from the name: its last part
    std::string replayFolder;
    std::string replayPath;    // the folder and the name as typed
    std::string tracksFolder;
    std::string reportName;
};

// A replay held in memory in one piece (mapped where the system allows);
// every record access goes through `bytes()` and the bounds-checked reader.
struct Replay {
    MappedFile file;
    Bytes bytes() const { return Bytes{file.data(), file.size()}; }
    std::int64_t size() const { return static_cast<std::int64_t>(file.size()); }
};

// Reads one word; an empty result when the input has ended.
std::string promptReplayName(const FrontEndProfile& profile, std::istream& in, std::ostream& out);

// Parses the text of "timediff.ini": two integers read as by formatted input.
TimeDiffSettings parseTimeDiff(const std::string& text);
std::optional<TimeDiffSettings> readTimeDiff();

// The first line of "Zant_Raceboard.ini", a trailing CR dropped.
std::optional<std::string> readSimulatorFolder();

// The part of a typed replay name that the reports are named after and read
// from: what follows its last "/" or "\". A name typed with folder parts
// ("..\replay\race") opens the replay as typed, but its reports still land in
// the working directory.
std::string replayNameInReports(const std::string& typedName);

// Replay path, tracks folder and report name. The folder line must be at least
// 7 characters long, since the tracks folder replaces its last 7.
std::optional<RunPaths> buildRunPaths(const std::string& name, const std::string& folder,
                                      const FrontEndProfile& profile);

// Reads the whole replay; nothing when it cannot be opened.
std::optional<Replay> openReplay(const RunPaths& paths);

// ASCII upper-casing, byte by byte.
std::string upperAscii(std::string text);

// The common start-up of the chain-reading programs (steps 1 to 7 of the
// sequence): prompt, configuration, paths, replay. On failure the message has
// been printed (and "PAUSE" run where the sequence says so) and `exitCode` is set.
struct StartedRun {
    RunPaths paths;
    TimeDiffSettings timeDiff;
    Replay replay;
};
struct StartResult {
    std::optional<StartedRun> run;
    int exitCode = 0;
};
StartResult startRun(const FrontEndProfile& profile, std::istream& in, std::ostream& out);

}  // namespace zr
