// The start-up dialogue shared by every program: prompt, "timediff.ini",
// "Zant_Raceboard.ini", the derived paths and the opening of the replay.
// All console text is Windows-1252; the console stream converts it for display.
//
// The core knows no program by name: each program describes its dialogue with
// one constant `ProgramDialogue` where the program lives.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

#include "byte_reader.h"
#include "platform.h"

namespace zr {

struct ProgramDialogue {
    const char* prompt = "";                 // printed followed by a line feed
    bool emptyLineAfterPrompt = false;
    bool readsTimeDiff = false;              // "timediff.ini", before the configuration file
    const char* reportSuffix = "";           // appended to the name; "" where the program names its own
    const char* configFailure = "Datei falsch!!!";
    const char* replayFailure = "Dateiname oder Pfadangabe falsch!!!";
    bool echoesReplayPath = false;           // the composed path on its own line before opening
    bool showsFileSize = false;              // "Lange=" and the size after opening
};

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
// every record access goes through `bytes()` and the bounds-checked reader,
// which waits for bytes a loader thread has not yet read in.
struct Replay {
    MappedFile file;
    Bytes bytes() const { return Bytes{file.data(), file.size(), file.loaded()}; }
    std::int64_t size() const { return static_cast<std::int64_t>(file.size()); }
};

// Reads one word; an empty result when the input has ended.
std::string promptReplayName(const ProgramDialogue& dialogue, std::istream& in, std::ostream& out);

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
                                      const std::string& reportSuffix);

// Reads the whole replay; nothing when it cannot be opened.
std::optional<Replay> openReplay(const std::string& path);

// What the start-up hands to the analysis: the paths, the numbers of
// "timediff.ini" (where the program reads it) and the open replay.
struct StartedRun {
    RunPaths paths;
    TimeDiffSettings timeDiff;
    Replay replay;
};

// The start-up sequence up to the open replay. On failure the message has
// been printed (and "PAUSE" run where the sequence says so), `run` is empty
// and `exitCode` says how the program ends.
struct [[nodiscard]] StartResult {
    std::optional<StartedRun> run;
    int exitCode = 0;
};
StartResult startRun(const ProgramDialogue& dialogue, std::istream& in, std::ostream& out);

}  // namespace zr
