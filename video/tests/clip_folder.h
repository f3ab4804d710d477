// Generated clips for the player's tests: made once per test program in a temporary folder, each picture
// showing its frame number as blocks (tools/samples), read back from what the player presents.
#pragma once

#include <dirent.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <thread>

#include "scratch_folder.h"
#include "video_clips.h"

namespace murtesk::video::testing {

class ClipFolder {
public:
    std::string file(const std::string& name) const { return dir_.file(name); }

    // The clip `name` written with `options` (once).
    const std::string& clip(const std::string& name, const samples::VideoClipOptions& options) {
        auto it = clips_.find(name);
        if (it == clips_.end()) {
            const std::string path = file(name);
            std::string error;
            if (!samples::writeVideoClip(path, options, &error))
                throw std::runtime_error("cannot write " + path + ": " + error);
            it = clips_.emplace(name, path).first;
        }
        return it->second;
    }

private:
    test_support::ScratchFolder dir_{"video"};
    std::map<std::string, std::string> clips_;
};

// The small clips most tests use: 160 × 120 at 30 frames a second.
inline samples::VideoClipOptions SmallClip(samples::VideoContainer container, double seconds = 2.0) {
    samples::VideoClipOptions o;
    o.container = container;
    o.width = 160;
    o.height = 120;
    o.fps = 30;
    o.seconds = seconds;
    o.x264Preset = "fast";
    return o;
}

// Threads of this process now (the player's and its decoders' included). A thread is started and joined first
// so that a sanitizer's own helper thread, started with the first thread, is there before any count.
inline int ThreadCount() {
    static const bool warmedUp = (std::thread([] {}).join(), true);
    (void)warmedUp;
    int count = 0;
    if (DIR* tasks = opendir("/proc/self/task")) {
        while (const dirent* entry = readdir(tasks))
            if (entry->d_name[0] != '.') ++count;
        closedir(tasks);
    }
    return count;
}

// Whether the threads of this process come back to `count`. A joined thread has ended, but the system lists it
// until it has reaped it, a moment after the join returned: the count is looked at again for up to 10 s, so a
// thread left running still fails.
inline bool ThreadCountComesBackTo(int count) {
    for (int look = 0; look < 1000 && ThreadCount() != count; ++look) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return ThreadCount() == count;
}

}  // namespace murtesk::video::testing
