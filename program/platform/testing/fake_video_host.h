// A fake host window for the video library's player (kinemo.h) in tests and benchmarks: a client area of a
// size the test sets, and a record of everything the player did to it (frames with their rectangles, posts to
// its window, messages, clears, shows). The frame and post callbacks come from the player's threads; every
// record is behind one lock, and the test can wait for frames and posts.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "kinemo.h"

namespace murtesk::platform::testing {

class FakeVideoHost {
public:
    struct Frame {
        std::vector<std::uint8_t> pixels;  // BGRA rows of width × 4 bytes (empty when pixels are not kept)
        std::int32_t width = 0, height = 0, x = 0, y = 0;
        std::int32_t timeMs = 0;
        std::chrono::steady_clock::time_point arrived;
    };
    struct Post {
        std::uint32_t message;
        std::uintptr_t wparam;
        std::intptr_t lparam;
    };
    struct Message {
        std::string text, title;
    };

    // `picture` false: a host without client area and present callbacks (the playability probe's).
    explicit FakeVideoHost(std::int32_t clientWidth = 320, std::int32_t clientHeight = 240, bool picture = true);
    FakeVideoHost(const FakeVideoHost&) = delete;
    FakeVideoHost& operator=(const FakeVideoHost&) = delete;

    const KinemoHost* host() const { return &host_; }
    void SetClientSize(std::int32_t width, std::int32_t height);
    // Keep each frame's pixels (default) or only the last frame's (long runs).
    void KeepEveryFrame(bool keep);
    // Called for every frame on the presenting thread, after it was recorded.
    void OnFrame(std::function<void(const KinemoFrame&)> inspect);

    std::vector<Frame> Frames() const;
    std::size_t FrameCount() const;
    Frame LastFrame() const;
    std::vector<Post> Posts() const;
    std::vector<Message> Messages() const;
    int Clears() const;
    int Shows() const;
    // True while client_size, clear, show and message were only called on the thread that made the host.
    bool UiCallbacksStayedOnTheTestThread() const;

    // Wait until at least `count` frames (posts) were recorded in all; false on time-out.
    bool WaitForFrames(std::size_t count, std::chrono::milliseconds timeout) const;
    bool WaitForPosts(std::size_t count, std::chrono::milliseconds timeout) const;
    // Waits until no frame came for `quiet`; false when frames still came after `timeout`.
    bool WaitForQuiet(std::chrono::milliseconds quiet, std::chrono::milliseconds timeout) const;

private:
    static std::int32_t ClientSize(void* context, std::int32_t* width, std::int32_t* height);
    static void Present(void* context, const KinemoFrame* frame);
    static void Clear(void* context);
    static void Show(void* context);
    static void ShowMessage(void* context, const char* text, const char* title);
    static std::int32_t PostThunk(void* context, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam);
    static std::intptr_t SendThunk(void* context, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam);
    void NoteThread();

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    MurteskWindow window_{};
    KinemoHost host_{};
    std::int32_t width_, height_;
    bool keepEvery_ = true;
    std::function<void(const KinemoFrame&)> inspect_;
    std::vector<Frame> frames_;
    Frame last_;
    std::size_t frameCount_ = 0;
    std::vector<Post> posts_;
    std::vector<Message> messages_;
    int clears_ = 0;
    int shows_ = 0;
    const std::thread::id testThread_;
    bool foreignCalls_ = false;
};

}  // namespace murtesk::platform::testing
