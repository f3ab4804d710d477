// The video library as a window sees it, for tests and benchmarks of the windows: answers set by the caller,
// player calls recorded.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "kinemo_binding.h"

namespace murtesk::playback::testing {

class ScriptedKinemo : public KinemoApi {
public:
    std::int32_t openResult = 1, duration = 60'000, canSeek = 1, position = 0, graphEvent = 0;
    std::vector<std::string> calls;
    const KinemoHost* host = nullptr;

    std::int32_t OpenAvi(const KinemoHost* h, const char*) override { return host = h, Note("open"), openResult; }
    std::int32_t CloseAvi() override { return Note("close"), 1; }
    std::int32_t GetAviTime() override { return duration; }
    std::int32_t GetAviPosition() override { return position; }
    std::function<void()> onSeek;  // what happens while a seek is under way
    std::int32_t SetAviPosition(std::int32_t ms) override {
        if (onSeek) onSeek();
        return position = ms, Note("seek " + std::to_string(ms)), 1;
    }
    std::int32_t SetAviRange(std::int32_t a, std::int32_t b) override {
        return position = a, Note("range " + std::to_string(a) + " " + std::to_string(b)), 1;
    }
    std::int32_t AviStart() override { return Note("start"), 0; }
    std::int32_t AviPause() override { return Note("pause"), 0; }
    std::int32_t AviIsCanSeek() override { return canSeek; }
    std::int32_t AviGraphEvent() override { return Note("event"), graphEvent; }
    std::int32_t ReSizeWindow() override { return Note("resize"), 0; }

private:
    void Note(std::string call) { calls.push_back(std::move(call)); }
};

}  // namespace murtesk::playback::testing
