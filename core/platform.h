// The small layer between the programs and the operating system: paths, the
// console, "PAUSE", report files and the replay's file time. Everything above
// it is the same on Linux and Windows, and so are the report bytes.
#pragma once

#include <atomic>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zr {

// The path to open for a composed path. Paths are composed with backslashes as
// the simulator's folders are configured; on POSIX each backslash becomes a
// slash, and a path that does not exist as written is looked up component by
// component without regard to case, since the simulator's folders come from a
// case-insensitive file system.
std::string nativePath(const std::string& composed);

// Reads a whole file in binary mode through one buffered read.
bool readWholeFile(const std::string& composed, std::vector<std::uint8_t>& out);

// A whole file held for reading, mapped into memory: nothing is copied and
// its pages come from the file cache as they are read, so taking in a replay
// of a hundred megabytes costs about as much as reading it once. Except on a
// virtual machine where entering each of the 25000 pages of 4 KB into the
// page tables traps to the hypervisor: there the mapping costs three to four
// times reading the file, and the file is read with one read() into memory of
// huge pages of 2 MB instead (some fifty entries; reading into fresh memory
// of small pages would cost more than the mapping). Where the system cannot
// map the file it is read into memory. Move-only; the memory is released
// with it.
//
// A large file read into huge pages is read by a thread of its own, a chunk
// at a time, while the caller goes on: `loaded()` counts the bytes that are
// in, and every read through `Bytes` waits for its own (byte_reader.h). The
// analysis then runs alongside the reading instead of after it.
class MappedFile {
public:
    MappedFile();
    MappedFile(MappedFile&& other) noexcept;
    MappedFile& operator=(MappedFile&& other) noexcept;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile();

    // False when the file cannot be opened or read.
    bool open(const std::string& composed);
    const std::uint8_t* data() const { return mapping_ ? static_cast<const std::uint8_t*>(mapping_) : copy_.data(); }
    std::size_t size() const { return mapping_ ? size_ : copy_.size(); }
    // The bytes from the start that are in while a thread reads the file in;
    // null when all were in when `open` returned.
    const std::atomic<std::size_t>* loaded() const;

private:
    struct Loader;
    void release();
    void* mapping_ = nullptr;  // the huge pages or the mapped file
    std::size_t size_ = 0;
    std::size_t mappedBytes_ = 0;  // what munmap releases
    std::vector<std::uint8_t> copy_;
    std::unique_ptr<Loader> loader_;  // the thread reading into the huge pages, while it may run
};

// Enters the whole pages of fresh memory in [p, p + bytes), about to be
// written, into the page tables in one call rather than a fault per page: on
// a virtual machine a fault costs some 15 microseconds, this about one a
// page. Where the system cannot, the writes fault as ever.
void enterFreshPages(void* p, std::size_t bytes);

// Holds the console until a key is pressed. On Windows this is the command
// processor's PAUSE; elsewhere the same prompt, waiting only when standard
// input is a terminal.
void pauseConsole(std::istream& in, std::ostream& out);

// Writes a report into the working directory: every line feed is stored as
// CR LF and the bytes are otherwise kept. The text goes to a temporary file
// that is renamed over the report, so a report is never left half written.
bool writeReport(const std::string& name, const std::string& text);

// Writes the bytes as they are, by way of a temporary file renamed over `name`.
bool writeFileAtomically(const std::string& name, const std::string& bytes);

// The file's last-modification time in local time, as the 25 characters of
// the C library's ctime layout ("Wed Jan  2 02:03:55 1980\n"). On
// Windows the local time follows the system's time zone, never a TZ variable.
std::optional<std::string> fileTimeText(const std::string& composed);

// The console: on Windows the Windows-1252 texts go out as stored, in the
// console's own code page; on POSIX they are shown as UTF-8.
std::ostream& consoleOut();
std::string windows1252ToUtf8(const std::string& text);

// Whether the bytes are well-formed UTF-8 sequences (plain ASCII is).
bool isUtf8(const std::string& text);

// A text typed as UTF-8 (a Linux terminal's arguments) in the replays'
// Windows-1252, '?' for a letter it lacks; a text that is not UTF-8 is taken
// as Windows-1252 already and returned as it is.
std::string utf8ToWindows1252(const std::string& text);

}  // namespace zr
