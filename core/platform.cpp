#include "platform.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <istream>
#include <ostream>
#include <streambuf>
#include <system_error>
#include <thread>
#include <utility>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace zr {

namespace {

#ifndef _WIN32
bool exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

bool equalsIgnoringCase(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return i == a.size() && b[i] == '\0';
}

// Finds `name` in `dir`, first as written, then without regard to case.
std::string findEntry(const std::string& dir, const std::string& name) {
    std::string base = dir.empty() ? "." : dir;
    std::string joined = dir.empty() ? name : (dir == "/" ? "/" + name : dir + "/" + name);
    if (name.empty() || name == "." || name == ".." || exists(joined)) return joined;
    DIR* d = ::opendir(base.c_str());
    if (!d) return joined;
    std::string found = joined;
    while (dirent* e = ::readdir(d)) {
        if (equalsIgnoringCase(name, e->d_name)) {
            found = dir.empty() ? e->d_name : (dir == "/" ? "/" : dir + "/") + e->d_name;
            break;
        }
    }
    ::closedir(d);
    return found;
}
#endif

}  // namespace

std::string nativePath(const std::string& composed) {
#ifdef _WIN32
    return composed;
#else
    std::string path = composed;
    for (char& c : path)
        if (c == '\\') c = '/';
    if (path.empty() || exists(path)) return path;

    std::string resolved = path[0] == '/' ? "/" : "";
    std::size_t start = path[0] == '/' ? 1 : 0;
    while (start <= path.size()) {
        std::size_t slash = path.find('/', start);
        if (slash == std::string::npos) slash = path.size();
        std::string part = path.substr(start, slash - start);
        if (!part.empty()) resolved = findEntry(resolved == "/" ? "/" : resolved, part);
        start = slash + 1;
    }
    return resolved;
#endif
}

bool readWholeFile(const std::string& composed, std::vector<std::uint8_t>& out) {
    std::string path = nativePath(composed);
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    out.clear();
    bool ok = true;
    // A folder opens as a stream too; the size it tells is meaningless (and
    // far too large to reserve), so only a regular file's size is taken.
    std::error_code ec;
    auto size = std::filesystem::file_size(path, ec);
    if (!ec && size > 0) out.reserve(static_cast<std::size_t>(size));
    std::uint8_t chunk[1 << 16];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) out.insert(out.end(), chunk, chunk + n);
    if (std::ferror(f)) ok = false;
    std::fclose(f);
    return ok;
}

// The thread that reads a file into huge pages and the count of bytes it has
// read, kept on the heap so that both stay where they are when the
// MappedFile moves.
struct MappedFile::Loader {
    std::atomic<std::size_t> loaded{0};
    std::thread thread;
};

std::size_t waitForLoadedBytes(const std::atomic<std::size_t>& loaded, std::size_t end) {
    std::size_t in = loaded.load(std::memory_order_acquire);
    for (; in < end; in = loaded.load(std::memory_order_acquire)) loaded.wait(in, std::memory_order_acquire);
    return in;
}

MappedFile::MappedFile() = default;
MappedFile::MappedFile(MappedFile&& other) noexcept { *this = std::move(other); }

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
    if (this != &other) {
        release();
        mapping_ = other.mapping_;
        size_ = other.size_;
        mappedBytes_ = other.mappedBytes_;
        copy_ = std::move(other.copy_);
        loader_ = std::move(other.loader_);
        other.mapping_ = nullptr;
        other.size_ = 0;
        other.mappedBytes_ = 0;
    }
    return *this;
}

MappedFile::~MappedFile() { release(); }

const std::atomic<std::size_t>* MappedFile::loaded() const { return loader_ ? &loader_->loaded : nullptr; }

void MappedFile::release() {
    if (loader_ && loader_->thread.joinable()) loader_->thread.join();
    loader_.reset();
#ifndef _WIN32
    if (mapping_) ::munmap(mapping_, mappedBytes_);
#endif
    mapping_ = nullptr;
    size_ = 0;
    mappedBytes_ = 0;
    copy_.clear();
}

#ifdef __linux__
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kProbeBytes = std::size_t{256} << 10;
// Reading 100 MB into huge pages costs about 15 ms more than mapping would if
// mapping were free: 0.6 microseconds for each of the 25000 pages, of which
// entering them into the page tables (what the probe sees) is the larger part.
constexpr long long kDearPageNanoseconds = 400;
// From this size on the file is read by a thread of its own, a huge page at a
// time, while the analysis starts on what is in; a smaller file is in sooner
// than a thread is started.
constexpr std::size_t kLoadAlongsideFrom = std::size_t{8} << 20;

// Set for the tests (any value): every file is read by the thread, 4 KB at a
// time with a pause after each, into memory filled with 0xFF bytes, so that a
// read that does not wait for its bytes finds them and changes a report.
constexpr const char* kSlowLoadVariable = "ZR_TEST_SLOW_LOAD";
constexpr std::size_t kSlowLoadChunk = std::size_t{4} << 10;
constexpr auto kSlowLoadPause = std::chrono::microseconds(20);

// Whether entering pages into the page tables is dear here. On a virtual
// machine where every entry traps to the hypervisor (a paravirtualised one,
// without nested paging) a page costs a few microseconds and a mapped replay
// of 100 MB three to four times reading it once; elsewhere a page costs a
// tenth of a microsecond. Touching the first 256 KB of the mapping, timed,
// tells which.
bool pageTablesAreDear(const std::uint8_t* mapped, std::size_t size) {
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t bytes = std::min(size, kProbeBytes);
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t at = 0; at < bytes; at += page) (void)*static_cast<const volatile std::uint8_t*>(mapped + at);
    const auto spent = std::chrono::steady_clock::now() - start;
    const auto pages = static_cast<long long>((bytes + page - 1) / page);
    return std::chrono::duration_cast<std::chrono::nanoseconds>(spent).count() > pages * kDearPageNanoseconds;
}

// Whether the kernel backs anonymous memory with transparent huge pages when
// asked to ("always" or "madvise"; not "never", nor where the setting is not
// there to read).
bool hugePagesOnRequest() {
    std::FILE* f = std::fopen("/sys/kernel/mm/transparent_hugepage/enabled", "r");
    if (!f) return false;
    char text[128] = {};
    std::size_t n = std::fread(text, 1, sizeof text - 1, f);
    std::fclose(f);
    text[n] = '\0';
    return std::strstr(text, "[always]") || std::strstr(text, "[madvise]");
}

// Fresh memory of whole huge pages for `size` bytes, aligned to them, and its
// length; null when it cannot be had.
std::uint8_t* hugePagesFor(std::size_t size, std::size_t& length) {
    if (size > SIZE_MAX - 2 * kHugePage) return nullptr;
    length = (size + kHugePage - 1) / kHugePage * kHugePage;
    // One huge page more than needed, so that an aligned start lies inside;
    // the slack before and after it goes back at once.
    const std::size_t reserved = length + kHugePage;
    void* raw = ::mmap(nullptr, reserved, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return nullptr;
    const auto rawAt = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t at = (rawAt + kHugePage - 1) / kHugePage * kHugePage;
    if (at > rawAt) ::munmap(raw, at - rawAt);
    if (rawAt + reserved > at + length) ::munmap(reinterpret_cast<void*>(at + length), rawAt + reserved - at - length);
    auto* p = reinterpret_cast<std::uint8_t*>(at);
    ::madvise(p, length, MADV_HUGEPAGE);
    return p;
}

// Reads up to `size` bytes of `fd` into fresh memory at `p`, at most `chunk`
// at a time, each chunk's pages entered before it is read into, and
// after each chunk counts the bytes in `loaded` (where given). False on a
// read error; `got` is what was read, less than `size` where the file ended
// sooner.
bool readChunks(int fd, std::uint8_t* p, std::size_t size, std::size_t chunk, std::atomic<std::size_t>* loaded,
                std::size_t& got) {
    const bool slow = chunk == kSlowLoadChunk;
    got = 0;
    while (got < size) {
        const std::size_t want = std::min(chunk, size - got);
        enterFreshPages(p + got, want);
        ssize_t n = ::read(fd, p + got, want);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
        if (loaded) {
            loaded->store(got, std::memory_order_release);
            loaded->notify_all();
            if (slow) std::this_thread::sleep_for(kSlowLoadPause);
        }
    }
    return true;
}

}  // namespace
#endif

bool MappedFile::open(const std::string& composed) {
    release();
#ifndef _WIN32
    int fd = ::open(nativePath(composed).c_str(), O_RDONLY);
    if (fd < 0) return false;
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
        auto size = static_cast<std::size_t>(st.st_size);
        void* p = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (p != MAP_FAILED) {
            ::madvise(p, size, MADV_SEQUENTIAL);
            mapping_ = p;
            size_ = size;
            mappedBytes_ = size;
#ifdef __linux__
            // Where the mapping is dear the file is read into huge pages
            // instead: some fifty entries rather than 25000.
            const bool slow = std::getenv(kSlowLoadVariable) != nullptr;
            std::size_t length = 0;
            std::uint8_t* copy = nullptr;
            if ((slow || (hugePagesOnRequest() && pageTablesAreDear(static_cast<const std::uint8_t*>(p), size))) &&
                (copy = hugePagesFor(size, length))) {
                if (slow || size >= kLoadAlongsideFrom) {
                    // The thread owns the descriptor from here. Where the file
                    // fails or ends sooner than its size, the rest reads as zeros.
                    if (slow) std::memset(copy, 0xFF, length);  // bytes not yet in are not zeros, which often pass
                    auto loader = std::make_unique<Loader>();
                    try {
                        loader->thread = std::thread([fd, copy, size, length, slow, in = &loader->loaded] {
                            std::size_t got = 0;
                            readChunks(fd, copy, size, slow ? kSlowLoadChunk : kHugePage, in, got);
                            ::close(fd);
                            ::mprotect(copy, length, PROT_READ);
                            in->store(size, std::memory_order_release);
                            in->notify_all();
                        });
                        ::munmap(p, size);
                        mapping_ = copy;
                        mappedBytes_ = length;
                        loader_ = std::move(loader);
                        return true;
                    } catch (const std::system_error&) {
                        // No thread to be had: read here, as below.
                    }
                }
                std::size_t got = 0;
                if (readChunks(fd, copy, size, size, nullptr, got)) {
                    ::mprotect(copy, length, PROT_READ);
                    ::munmap(p, size);
                    mapping_ = copy;
                    size_ = got;
                    mappedBytes_ = length;
                } else {
                    ::munmap(copy, length);
                }
            }
#endif
        }
    }
    ::close(fd);
    if (mapping_) return true;
#endif
    // An empty file, or one the system cannot map.
    return readWholeFile(composed, copy_);
}

void enterFreshPages(void* p, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
    static const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto at = reinterpret_cast<std::uintptr_t>(p);
    const std::uintptr_t from = (at + page - 1) / page * page;
    const std::uintptr_t to = (at + bytes) / page * page;
    if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);
#else
    (void)p;
    (void)bytes;
#endif
}

void pauseConsole(std::istream& in, std::ostream& out) {
    out << std::flush;
#ifdef _WIN32
    (void)in;
    std::fflush(stdout);
    std::system("PAUSE");
#else
    out << "Press any key to continue . . . " << std::flush;
    if (&in == &std::cin && ::isatty(STDIN_FILENO)) {
        termios saved;
        if (::tcgetattr(STDIN_FILENO, &saved) == 0) {
            termios raw = saved;
            raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
            raw.c_cc[VMIN] = 1;
            raw.c_cc[VTIME] = 0;
            ::tcsetattr(STDIN_FILENO, TCSANOW, &raw);
            char key;
            if (::read(STDIN_FILENO, &key, 1) < 0) key = 0;
            ::tcsetattr(STDIN_FILENO, TCSANOW, &saved);
        }
    }
    out << "\n" << std::flush;
#endif
}

bool writeReport(const std::string& name, const std::string& text) {
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') bytes += '\r';
        bytes += c;
    }
    return writeFileAtomically(name, bytes);
}

bool writeFileAtomically(const std::string& name, const std::string& bytes) {
    std::string temp = name + ".part";
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (std::fclose(f) == 0) && ok;
    if (ok) {
#ifdef _WIN32
        // The names are bytes of the ANSI code page, as for fopen.
        ok = ::MoveFileExA(temp.c_str(), name.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
#else
        ok = std::rename(temp.c_str(), name.c_str()) == 0;
#endif
    }
    if (!ok) std::remove(temp.c_str());
    return ok;
}

namespace {

// The C library's ctime layout: the day of the month is padded with a blank.
std::optional<std::string> ctimeText(int weekDay, int month, int day, int hour, int minute, int second,
                                     int year) {
    static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (weekDay < 0 || weekDay > 6 || month < 0 || month > 11) return std::nullopt;
    if (year < 1000 || year > 9999) return std::nullopt;
    char text[32];
    std::snprintf(text, sizeof text, "%s %s %2d %02d:%02d:%02d %04d\n", days[weekDay], months[month], day, hour,
                  minute, second, year);
    return std::string(text);
}

}  // namespace

std::optional<std::string> fileTimeText(const std::string& composed) {
#ifdef _WIN32
    // The file system keeps the time in UTC; the time zone's rule for that
    // date gives the local time. The runtime's stat would shift times by the
    // daylight-saving bias of today and follow a TZ variable.
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(composed.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    SYSTEMTIME utc, local;
    FILETIME localFileTime;
    if (!::FileTimeToSystemTime(&data.ftLastWriteTime, &utc) ||
        !::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local) ||
        !::SystemTimeToFileTime(&local, &localFileTime) || !::FileTimeToSystemTime(&localFileTime, &local))
        return std::nullopt;  // the last round trip fills in the day of the week
    return ctimeText(local.wDayOfWeek, local.wMonth - 1, local.wDay, local.wHour, local.wMinute, local.wSecond,
                     local.wYear);
#else
    struct stat st;
    if (::stat(nativePath(composed).c_str(), &st) != 0) return std::nullopt;
    std::time_t t = st.st_mtime;
    std::tm local{};
    if (!localtime_r(&t, &local)) return std::nullopt;
    return ctimeText(local.tm_wday, local.tm_mon, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                     local.tm_year + 1900);
#endif
}

namespace {

// Code points of the bytes 80..9F hex of Windows-1252; 0 where the code page
// leaves the byte undefined. The bytes A0..FF are the code points themselves.
constexpr std::uint16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The Windows-1252 byte of a code point, '?' where it has none.
char windows1252Byte(std::uint32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    for (int i = 0; i < 32; ++i)
        if (kCp1252High[i] != 0 && kCp1252High[i] == cp) return static_cast<char>(0x80 + i);
    return '?';
}

// The length of the UTF-8 sequence that `lead` opens; 0 for a byte that opens none.
std::size_t utf8SequenceLength(unsigned char lead) {
    return lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 0;
}

}  // namespace

bool isUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = utf8SequenceLength(static_cast<unsigned char>(text[i]));
        if (length == 0 || length > text.size() - i) return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}

std::string utf8ToWindows1252(const std::string& text) {
    if (!isUtf8(text)) return text;  // taken as Windows-1252 already
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = utf8SequenceLength(static_cast<unsigned char>(text[i]));
        std::uint32_t cp = static_cast<unsigned char>(text[i]) & (length == 1 ? 0x7F : 0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        out += windows1252Byte(cp);
        i += length;
    }
    return out;
}

std::string windows1252ToUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        unsigned cp = c;
        if (c >= 0x80 && c < 0xA0) cp = kCp1252High[c - 0x80] ? kCp1252High[c - 0x80] : 0xFFFD;
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

namespace {

// Passes console text to standard output. On Windows the bytes go out as
// stored and the console shows them in its own code page; on POSIX they are
// converted to UTF-8.
class ConsoleBuf : public std::streambuf {
protected:
    int_type overflow(int_type ch) override {
        if (ch == traits_type::eof()) return traits_type::not_eof(ch);
        char c = static_cast<char>(ch);
        return xsputn(&c, 1) == 1 ? ch : traits_type::eof();
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
#ifdef _WIN32
        std::fwrite(s, 1, static_cast<std::size_t>(n), stdout);
#else
        std::string utf8 = windows1252ToUtf8(std::string(s, static_cast<std::size_t>(n)));
        std::fwrite(utf8.data(), 1, utf8.size(), stdout);
#endif
        return n;
    }
    int sync() override { return std::fflush(stdout) == 0 ? 0 : -1; }
};

}  // namespace

std::ostream& consoleOut() {
    static ConsoleBuf buf;
    static std::ostream stream(&buf);
    return stream;
}

}  // namespace zr
