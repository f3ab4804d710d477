#include "fake_video_host.h"

#include <cstring>

namespace murtesk::platform::testing {

FakeVideoHost::FakeVideoHost(std::int32_t clientWidth, std::int32_t clientHeight, bool picture)
    : m_width(clientWidth), m_height(clientHeight), m_testThread(std::this_thread::get_id())
{
    m_window = {this, SendThunk, PostThunk};
    m_host.window = &m_window;
    m_host.context = this;
    if (picture) {
        m_host.client_size = ClientSize;
        m_host.present = Present;
    }
    m_host.clear = Clear;
    m_host.show = Show;
    m_host.message = ShowMessage;
}

void FakeVideoHost::NoteThread()
{
    if (std::this_thread::get_id() != m_testThread)
        m_foreignCalls = true;
}

std::int32_t FakeVideoHost::ClientSize(void* context, std::int32_t* width, std::int32_t* height)
{
    auto* self = static_cast<FakeVideoHost*>(context);
    std::lock_guard lock(self->m_mutex);
    self->NoteThread();
    *width = self->m_width;
    *height = self->m_height;
    return 1;
}

void FakeVideoHost::Present(void* context, const KinemoFrame* frame)
{
    auto* self = static_cast<FakeVideoHost*>(context);
    std::function<void(const KinemoFrame&)> inspect;
    {
        std::lock_guard lock(self->m_mutex);
        Frame& last = self->m_last;
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
        ++self->m_frameCount;
        if (self->m_keepEvery) {
            self->m_frames.push_back(last);
        } else {
            Frame meta;
            meta.width = last.width;
            meta.height = last.height;
            meta.x = last.x;
            meta.y = last.y;
            meta.timeMs = last.timeMs;
            meta.arrived = last.arrived;
            self->m_frames.push_back(std::move(meta));
        }
        inspect = self->m_inspect;
    }
    if (inspect)
        inspect(*frame);
    self->m_changed.notify_all();
}

void FakeVideoHost::Clear(void* context)
{
    auto* self = static_cast<FakeVideoHost*>(context);
    std::lock_guard lock(self->m_mutex);
    self->NoteThread();
    ++self->m_clears;
}

void FakeVideoHost::Show(void* context)
{
    auto* self = static_cast<FakeVideoHost*>(context);
    std::lock_guard lock(self->m_mutex);
    self->NoteThread();
    ++self->m_shows;
}

void FakeVideoHost::ShowMessage(void* context, const char* text, const char* title)
{
    auto* self = static_cast<FakeVideoHost*>(context);
    std::lock_guard lock(self->m_mutex);
    self->NoteThread();
    self->m_messages.push_back({text ? text : "", title ? title : ""});
}

std::int32_t FakeVideoHost::PostThunk(void* context, std::uint32_t message, std::uintptr_t wparam,
                                      std::intptr_t lparam)
{
    auto* self = static_cast<FakeVideoHost*>(context);
    {
        std::lock_guard lock(self->m_mutex);
        self->m_posts.push_back({message, wparam, lparam});
    }
    self->m_changed.notify_all();
    return 1;
}

std::intptr_t FakeVideoHost::SendThunk(void*, std::uint32_t, std::uintptr_t, std::intptr_t)
{
    return 0;  // the player only posts
}

void FakeVideoHost::SetClientSize(std::int32_t width, std::int32_t height)
{
    std::lock_guard lock(m_mutex);
    m_width = width;
    m_height = height;
}

void FakeVideoHost::KeepEveryFrame(bool keep)
{
    std::lock_guard lock(m_mutex);
    m_keepEvery = keep;
}

void FakeVideoHost::OnFrame(std::function<void(const KinemoFrame&)> inspect)
{
    std::lock_guard lock(m_mutex);
    m_inspect = std::move(inspect);
}

std::vector<FakeVideoHost::Frame> FakeVideoHost::Frames() const
{
    std::lock_guard lock(m_mutex);
    return m_frames;
}

std::size_t FakeVideoHost::FrameCount() const
{
    std::lock_guard lock(m_mutex);
    return m_frameCount;
}

FakeVideoHost::Frame FakeVideoHost::LastFrame() const
{
    std::lock_guard lock(m_mutex);
    return m_last;
}

std::vector<FakeVideoHost::Post> FakeVideoHost::Posts() const
{
    std::lock_guard lock(m_mutex);
    return m_posts;
}

std::vector<FakeVideoHost::Message> FakeVideoHost::Messages() const
{
    std::lock_guard lock(m_mutex);
    return m_messages;
}

int FakeVideoHost::Clears() const
{
    std::lock_guard lock(m_mutex);
    return m_clears;
}

int FakeVideoHost::Shows() const
{
    std::lock_guard lock(m_mutex);
    return m_shows;
}

bool FakeVideoHost::UiCallbacksStayedOnTheTestThread() const
{
    std::lock_guard lock(m_mutex);
    return !m_foreignCalls;
}

bool FakeVideoHost::WaitForFrames(std::size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_frameCount >= count; });
}

bool FakeVideoHost::WaitForPosts(std::size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_posts.size() >= count; });
}

bool FakeVideoHost::WaitForQuiet(std::chrono::milliseconds quiet, std::chrono::milliseconds timeout) const
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::unique_lock lock(m_mutex);
    for (;;) {
        const std::size_t seen = m_frameCount;
        if (!m_changed.wait_for(lock, quiet, [&] { return m_frameCount != seen; }))
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
    }
}

}  // namespace murtesk::platform::testing
