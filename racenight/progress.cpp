#include "progress.h"

#include <algorithm>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <io.h>
#include <windows.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace zr::night {

namespace {

// The terminal's width; a line that wraps could not be rewritten in place.
std::size_t lineWidth(std::FILE* stream) {
    std::size_t columns = 80;
#ifdef _WIN32
    CONSOLE_SCREEN_BUFFER_INFO info;
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    if (GetConsoleScreenBufferInfo(handle, &info)) columns = static_cast<std::size_t>(info.dwSize.X);
#else
    winsize size{};
    if (::ioctl(::fileno(stream), TIOCGWINSZ, &size) == 0 && size.ws_col > 0) columns = size.ws_col;
#endif
    return columns > 1 ? columns - 1 : 1;
}

}  // namespace

bool isTerminal(std::FILE* stream) {
#ifdef _WIN32
    return _isatty(_fileno(stream)) != 0;
#else
    return ::isatty(::fileno(stream)) != 0;
#endif
}

Progress::Progress(bool shown, int total, int workers)
    : shown_(shown), total_(total), current_(static_cast<std::size_t>(workers > 0 ? workers : 1)) {}

void Progress::working(int worker, const std::string& replay, const char* program) {
    if (!shown_) return;
    std::lock_guard<std::mutex> hold(lock_);
    current_[static_cast<std::size_t>(worker)] = replay + " " + program;
    draw();
}

void Progress::replayDone(int worker) {
    std::lock_guard<std::mutex> hold(lock_);
    ++done_;
    current_[static_cast<std::size_t>(worker)].clear();
    if (shown_) draw();
}

void Progress::finish() {
    if (!shown_) return;
    std::lock_guard<std::mutex> hold(lock_);
    std::fprintf(stderr, "\r%*s\r", static_cast<int>(drawnWidth_), "");
    std::fflush(stderr);
    drawnWidth_ = 0;
}

void Progress::draw() {
    std::string line = "racenight: " + std::to_string(done_) + " of " + std::to_string(total_) + " replays";
    for (const std::string& work : current_)
        if (!work.empty()) line += " | " + work;
    line.resize(std::min(line.size(), lineWidth(stderr)));
    const std::size_t width = line.size();
    if (width < drawnWidth_) line.append(drawnWidth_ - width, ' ');
    std::fprintf(stderr, "\r%s", line.c_str());
    std::fflush(stderr);
    drawnWidth_ = width;
}

}  // namespace zr::night
