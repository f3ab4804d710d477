#include "media_graph.h"

#include <algorithm>

#include "audio_player.h"
#include "reader.h"
#include "video_decoder.h"
#include "video_presenter.h"

namespace murtesk::video {

struct MediaGraph::Threads {
    std::unique_ptr<Reader> reader;
    std::unique_ptr<VideoDecoder> decoder;
    std::unique_ptr<Presenter> presenter;
    std::unique_ptr<AudioPlayer> sound;
    std::vector<std::thread> running;
};

MediaGraph::MediaGraph(const KinemoHost& host) : m_host(host) {}

std::unique_ptr<MediaGraph> MediaGraph::Open(const std::string& path, const KinemoHost& host)
{
    std::unique_ptr<MediaGraph> graph(new MediaGraph(host));
    graph->m_source = MediaSource::Open(path, graph->m_interrupt);
    if (!graph->m_source)
        return nullptr;
    return graph;
}

void MediaGraph::Start(bool nullAudio)
{
    m_state.streams = (hasVideo() ? kVideoBit : 0u) | (m_source->audioIndex() >= 0 ? kAudioBit : 0u);
    m_state.Hold(ClockMode::Paused, 0, SteadyClock::now());
    m_threads = std::make_unique<Threads>();
    Threads& t = *m_threads;
    t.reader = std::make_unique<Reader>(m_state, *m_source);
    if (hasVideo()) {
        t.decoder = std::make_unique<VideoDecoder>(m_state, *m_source, m_source->TakeVideoDecoder());
        t.presenter = std::make_unique<Presenter>(m_state, m_host, [this] { Announce(); });
    }
    if (m_source->audioIndex() >= 0)
        t.sound = std::make_unique<AudioPlayer>(m_state, *m_source, m_source->TakeAudioDecoder(), nullAudio,
                                                m_soundInterrupt, [this] { Announce(); });
    // Should starting a thread fail, the destructor stops those already running.
    t.running.emplace_back([&r = *t.reader] { r.Run(); });
    if (t.decoder) {
        t.running.emplace_back([&d = *t.decoder] { d.Run(); });
        t.running.emplace_back([&p = *t.presenter] { p.Run(); });
    }
    if (t.sound)
        t.running.emplace_back([&s = *t.sound] { s.Run(); });
}

MediaGraph::~MediaGraph()
{
    if (!m_threads)
        return;
    {
        std::lock_guard lock(m_state.mutex);
        m_state.abort = true;
    }
    m_interrupt = true;
    Notify();
    for (std::thread& thread : m_threads->running)
        thread.join();
    m_threads.reset();
}

void MediaGraph::Announce()
{
    if (m_host.window && m_host.window->post)
        m_host.window->post(m_host.window->context, WM_AVIGRAPHEVENT, 0, 0);
}

void MediaGraph::Notify()
{
    m_state.changed.notify_all();
    m_soundInterrupt = true;
}

void MediaGraph::Run()
{
    {
        std::lock_guard lock(m_state.mutex);
        if (m_state.mode != ClockMode::Paused)
            return;
        const auto now = SteadyClock::now();
        m_state.Hold(ClockMode::Waiting, m_state.anchor, now);
        if (!(m_state.streams & kAudioBit) && m_state.preparedGeneration == m_state.target.generation)
            m_state.Anchor(m_state.anchor, now);
    }
    Notify();
}

void MediaGraph::Pause()
{
    {
        std::lock_guard lock(m_state.mutex);
        if (m_state.mode == ClockMode::Paused)
            return;
        const auto now = SteadyClock::now();
        m_state.Hold(ClockMode::Paused, m_state.Position(now), now);
    }
    Notify();
}

bool MediaGraph::CanSeekSoftly(Ticks position) const
{
    const GraphState& s = m_state;
    if (!hasVideo() || s.mode == ClockMode::Ended || s.ended != 0 || s.videoFinished || s.seekFailed ||
        s.seekHandled != s.target.serial || s.shownSerial != s.target.serial || s.shownPts < 0 ||
        position < s.shownPts || position >= s.target.stop)
        return false;
    const Ticks decoded = std::max(s.newestDecoded, s.shownPts);
    if (position <= decoded + m_source->frameDuration())
        return true;
    const std::vector<Ticks>& keyframes = m_source->keyframes();
    if (keyframes.empty())
        return position - decoded <= kTicksPerSecond;
    const auto next = std::upper_bound(keyframes.begin(), keyframes.end(), decoded);
    return next == keyframes.end() || *next > position;
}

void MediaGraph::Seek(Ticks position, std::optional<Ticks> stop)
{
    position = std::max<Ticks>(0, position);
    if (duration() > 0)
        position = std::min(position, duration());
    {
        std::lock_guard lock(m_state.mutex);
        const bool soft = !stop && CanSeekSoftly(position);
        Target& target = m_state.target;
        ++target.generation;
        if (!soft) {
            ++target.serial;
            m_state.ClearQueues();
            m_state.newestDecoded = -1;
            m_state.videoFinished = false;
        }
        target.position = position;
        if (stop)
            target.stop = *stop;
        m_state.ended = 0;
        const auto now = SteadyClock::now();
        m_state.Hold(m_state.mode == ClockMode::Paused ? ClockMode::Paused : ClockMode::Waiting, position, now);
    }
    Notify();
}

Ticks MediaGraph::Position()
{
    Ticks position;
    {
        std::lock_guard lock(m_state.mutex);
        position = m_state.Position(SteadyClock::now());
    }
    position = std::max<Ticks>(0, position);
    return duration() > 0 ? std::min(position, duration()) : position;
}

std::optional<std::int32_t> MediaGraph::TakeEvent()
{
    std::lock_guard lock(m_state.mutex);
    if (m_state.events.empty())
        return std::nullopt;
    const std::int32_t code = m_state.events.front();
    m_state.events.pop_front();
    return code;
}

MediaGraph::Shown MediaGraph::WaitUntilShown(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_state.mutex);
    const int serial = m_state.target.serial;
    const int generation = m_state.target.generation;
    const bool video = hasVideo();
    const bool done = m_state.changed.wait_for(lock, timeout, [&] {
        if (m_state.abort || m_state.target.generation != generation)
            return true;
        if (m_state.seekHandled != serial)
            return false;
        return m_state.seekFailed || !video || m_state.preparedGeneration == generation;
    });
    if (!done || m_state.target.generation != generation || m_state.seekHandled != serial)
        return Shown::TimedOut;
    if (m_state.seekFailed)
        return Shown::SeekFailed;
    if (video && !m_state.preparedHasPicture)
        return Shown::NoPicture;
    return Shown::Yes;
}

void MediaGraph::Place(const PictureRect& rect)
{
    {
        std::lock_guard lock(m_state.mutex);
        m_state.rect = rect;
        ++m_state.rectVersion;
    }
    m_state.changed.notify_all();
}

long MediaGraph::droppedPictures() const
{
    return m_threads && m_threads->presenter ? m_threads->presenter->dropped() : 0;
}

}  // namespace murtesk::video
