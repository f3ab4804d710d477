#include "play_avi.h"

#include "audio_device.h"
#include "media_graph.h"
#include "media_name.h"
#include "picture_fit.h"

namespace murtesk::video {

namespace {

constexpr const char* kTitle = "DirectShow";

}  // namespace

CPlayAvi::CPlayAvi(const KinemoHost* host)
{
    if (host)
        m_host = *host;
}

CPlayAvi::~CPlayAvi() = default;

void CPlayAvi::Message(const char* text) const
{
    if (m_host.message)
        m_host.message(m_host.context, text, kTitle);
}

std::int32_t CPlayAvi::OpenMedia(const char* name)
{
    if (!name)
        return 0;
    if (IsWindowsMediaName(name)) {
        Message("Windows Media files (ASF,WMV,WMA,ASX) are not supported by this application.");
        return 0;
    }
    m_fileName = name;
    m_state = 0;
    if (BuildGraph(m_fileName) < 0) {
        ShutGraph();
        return 0;
    }
    return 1;
}

std::int32_t CPlayAvi::BuildGraph(const std::string& name)
{
    m_graph = MediaGraph::Open(name, m_host);
    if (!m_graph) {
        Message("Cannot render video file stream");
        return -1;
    }
    DetectAudioOnly();
    if (!m_audioOnly) {
        QueryVideoSize();
        QueryFrameStep();
    }
    try {
        m_graph->Start(NullAudioChosen());
    } catch (...) {  // a thread could not be started: the rest are stopped
        m_graph.reset();
        Message("Cannot render video file stream");
        return -1;
    }
    if (m_host.show)
        m_host.show(m_host.context);
    // The graph starts paused at the start position with its first frame on the way: state 0.
    m_state = 0;
    return 0;
}

void CPlayAvi::DetectAudioOnly()
{
    m_audioOnly = !m_graph->hasVideo();
}

void CPlayAvi::QueryVideoSize()
{
    m_videoWidth = m_graph->videoWidth();
    m_videoHeight = m_graph->videoHeight();
    FitVideoToWindow();
}

void CPlayAvi::QueryFrameStep()
{
    m_canStep = m_graph->hasVideo();
}

std::int32_t CPlayAvi::FitVideoToWindow()
{
    if (!m_graph || m_audioOnly)
        return 0;
    std::int32_t width = 0, height = 0;
    if (!m_host.client_size || !m_host.client_size(m_host.context, &width, &height))
        return 0;
    if (const auto rect = FitPicture(width, height, m_videoWidth, m_videoHeight))
        m_graph->Place(*rect);
    return 0;
}

void CPlayAvi::ShutGraph()
{
    if (m_graph)
        m_graph->Pause();
    m_state = 0;
    m_audioOnly = true;
    ReleaseGraph();
    m_fileName.clear();
    m_state = 3;
    if (m_host.clear)
        m_host.clear(m_host.context);
}

void CPlayAvi::ReleaseGraph()
{
    m_graph.reset();  // joins the threads: no callback comes afterwards
    m_canStep = false;
}

std::int32_t CPlayAvi::RunGraph()
{
    if (!m_graph)
        return 0;
    m_graph->Run();
    m_state = 2;
    return 0;
}

std::int32_t CPlayAvi::PauseGraph()
{
    if (!m_graph)
        return 0;
    m_graph->Pause();
    m_state = 1;
    return 0;
}

void CPlayAvi::StopGraph()
{
    if (!m_graph || (m_state != 1 && m_state != 2))
        return;
    m_graph->Pause();
    m_state = 0;
    SeekGraph(m_startPosition);
}

void CPlayAvi::SeekGraph(Ticks current, std::optional<Ticks> stop)
{
    if (m_graph)
        m_graph->Seek(current, stop);
}

Ticks CPlayAvi::QueryDuration() const
{
    return m_graph ? std::max<Ticks>(0, m_graph->duration()) : 0;
}

Ticks CPlayAvi::QueryPosition() const
{
    return m_graph ? m_graph->Position() : -kTicksPerMs;
}

bool CPlayAvi::IsSeekable() const
{
    return m_graph && m_graph->seekable();
}

std::int32_t CPlayAvi::DrainGraphEvents()
{
    if (!m_graph)
        return 0;
    bool completed = false;
    while (const auto code = m_graph->TakeEvent()) {
        if (*code != KINEMO_EVENT_COMPLETE)
            continue;
        // Rewind and stop when ready: the graph pauses on the frame at the start position.
        m_graph->Pause();
        SeekGraph(m_startPosition);
        const MediaGraph::Shown shown = m_graph->WaitUntilShown(kRewindTimeout);
        m_state = 0;
        if (shown == MediaGraph::Shown::SeekFailed) {
            Message("Failed to stop media clip!");
            return 2;
        }
        if (shown != MediaGraph::Shown::Yes) {
            Message("Failed to StopWhenReady media clip!");
            return 2;
        }
        completed = true;
    }
    return completed ? 1 : 0;
}

}  // namespace murtesk::video
