#include "fake_video_host.h"

#include <cstring>

namespace murtesk::platform::testing {

FakeVideoHost::FakeVideoHost(std::int32_t clientWidth, std::int32_t clientHeight, bool picture)
    : width_(clientWidth), height_(clientHeight), testThread_(std::this_thread::get_id()) {
    window_ = {this, SendThunk, PostThunk};
    host_.window = &window_;
    host_.context = this;
    if (picture) {
        host_.client_size = ClientSize;
        host_.present = Present;
    }
    host_.clear = Clear;
    host_.show = Show;
    host_.message = ShowMessage;
}

void FakeVideoHost::NoteThread() {
    if (std::this_thread::get_id() != testThread_) foreignCalls_ = true;
}

std::int32_t FakeVideoHost::ClientSize(void* context, std::int32_t* width, std::int32_t* height) {
    auto* self = static_cast<FakeVideoHost*>(context);
    std::lock_guard lock(self->mutex_);
    self->NoteThread();
    *width = self->width_;
    *height = self->height_;
    return 1;
}

void FakeVideoHost::Present(void* context, const KinemoFrame* frame) {
    auto* self = static_cast<FakeVideoHost*>(context);
    std::function<void(const KinemoFrame&)> inspect;
    {
        std::lock_guard lock(self->mutex_);
        Frame& last = self->last_;
        last.width = frame->width;
        last.height = frame->height;
        last.x = frame->x;
        last.y = frame->y;
        last.timeMs = frame->time_ms;
        last.arrived = std::chrono::steady_clock::now();
        // Copied into the same buffer each time, as a host's back buffer is.
        const std::size_t row = static_cast<std::size_t>(frame->width) * 4;
        last.pixels.resize(row * static_cast<std::size_t>(frame->height));
        for (std::int32_t y = 0; y < frame->height; ++y)
            std::memcpy(last.pixels.data() + row * y, frame->pixels + static_cast<std::ptrdiff_t>(frame->stride) * y,
                        row);
        ++self->frameCount_;
        if (self->keepEvery_) {
            self->frames_.push_back(last);
        } else {
            Frame meta;
            meta.width = last.width;
            meta.height = last.height;
            meta.x = last.x;
            meta.y = last.y;
            meta.timeMs = last.timeMs;
            meta.arrived = last.arrived;
            self->frames_.push_back(std::move(meta));
        }
        inspect = self->inspect_;
    }
    if (inspect) inspect(*frame);
    self->changed_.notify_all();
}

void FakeVideoHost::Clear(void* context) {
    auto* self = static_cast<FakeVideoHost*>(context);
    std::lock_guard lock(self->mutex_);
    self->NoteThread();
    ++self->clears_;
}

void FakeVideoHost::Show(void* context) {
    auto* self = static_cast<FakeVideoHost*>(context);
    std::lock_guard lock(self->mutex_);
    self->NoteThread();
    ++self->shows_;
}

void FakeVideoHost::ShowMessage(void* context, const char* text, const char* title) {
    auto* self = static_cast<FakeVideoHost*>(context);
    std::lock_guard lock(self->mutex_);
    self->NoteThread();
    self->messages_.push_back({text ? text : "", title ? title : ""});
}

std::int32_t FakeVideoHost::PostThunk(void* context, std::uint32_t message, std::uintptr_t wparam,
                                      std::intptr_t lparam) {
    auto* self = static_cast<FakeVideoHost*>(context);
    {
        std::lock_guard lock(self->mutex_);
        self->posts_.push_back({message, wparam, lparam});
    }
    self->changed_.notify_all();
    return 1;
}

std::intptr_t FakeVideoHost::SendThunk(void*, std::uint32_t, std::uintptr_t, std::intptr_t) {
    return 0;  // the player only posts
}

void FakeVideoHost::SetClientSize(std::int32_t width, std::int32_t height) {
    std::lock_guard lock(mutex_);
    width_ = width;
    height_ = height;
}

void FakeVideoHost::KeepEveryFrame(bool keep) {
    std::lock_guard lock(mutex_);
    keepEvery_ = keep;
}

void FakeVideoHost::OnFrame(std::function<void(const KinemoFrame&)> inspect) {
    std::lock_guard lock(mutex_);
    inspect_ = std::move(inspect);
}

std::vector<FakeVideoHost::Frame> FakeVideoHost::Frames() const {
    std::lock_guard lock(mutex_);
    return frames_;
}

std::size_t FakeVideoHost::FrameCount() const {
    std::lock_guard lock(mutex_);
    return frameCount_;
}

FakeVideoHost::Frame FakeVideoHost::LastFrame() const {
    std::lock_guard lock(mutex_);
    return last_;
}

std::vector<FakeVideoHost::Post> FakeVideoHost::Posts() const {
    std::lock_guard lock(mutex_);
    return posts_;
}

std::vector<FakeVideoHost::Message> FakeVideoHost::Messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

int FakeVideoHost::Clears() const {
    std::lock_guard lock(mutex_);
    return clears_;
}

int FakeVideoHost::Shows() const {
    std::lock_guard lock(mutex_);
    return shows_;
}

bool FakeVideoHost::UiCallbacksStayedOnTheTestThread() const {
    std::lock_guard lock(mutex_);
    return !foreignCalls_;
}

bool FakeVideoHost::WaitForFrames(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return frameCount_ >= count; });
}

bool FakeVideoHost::WaitForPosts(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return posts_.size() >= count; });
}

bool FakeVideoHost::WaitForQuiet(std::chrono::milliseconds quiet, std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::unique_lock lock(mutex_);
    for (;;) {
        const std::size_t seen = frameCount_;
        if (!changed_.wait_for(lock, quiet, [&] { return frameCount_ != seen; })) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
    }
}

}  // namespace murtesk::platform::testing
