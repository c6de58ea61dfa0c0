// The progress line on a terminal: replays done of the total, and what each
// job is working on, rewritten in place. Nothing at all when standard error is
// not a terminal (a pipe, a file, a test), or when asked to be quiet.
#pragma once

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

namespace zr::night {

bool isTerminal(std::FILE* stream);

class Progress {
public:
    // `shown`: draw the line at all; `workers` lines of work side by side.
    Progress(bool shown, int total, int workers);

    // Worker `worker` now runs `program` on `replay`.
    void working(int worker, const std::string& replay, const char* program);
    // One more replay is done (or failed); the worker is idle.
    void replayDone(int worker);
    // Clears the line, so that what follows starts on a clean line.
    void finish();

private:
    void draw();  // with the lock held

    bool shown_;
    int total_;
    int done_ = 0;
    std::vector<std::string> current_;  // per worker; empty when idle
    std::size_t drawnWidth_ = 0;
    std::mutex lock_;
};

}  // namespace zr::night
