#include "video_presenter.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace murtesk::video {

namespace {

constexpr auto kWaitForSound = std::chrono::seconds(1);

// The full-range ("J") formats as their plain form with the range said separately, as the scaler wants them.
AVPixelFormat PlainFormat(AVPixelFormat format, bool& fullRange)
{
    switch (format) {
    case AV_PIX_FMT_YUVJ420P:
        fullRange = true;
        return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P:
        fullRange = true;
        return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P:
        fullRange = true;
        return AV_PIX_FMT_YUV444P;
    case AV_PIX_FMT_YUVJ440P:
        fullRange = true;
        return AV_PIX_FMT_YUV440P;
    default:
        return format;
    }
}

std::chrono::nanoseconds Span(Ticks t)
{
    return std::chrono::nanoseconds(t * 100);
}

}  // namespace

Presenter::Presenter(GraphState& state, const KinemoHost& host, std::function<void()> announce)
    : m_state(state), m_host(host), m_announce(std::move(announce))
{
}

void Presenter::Present(const PictureItem& picture, const PictureRect& rect)
{
    if (!m_host.present || rect.width <= 0 || rect.height <= 0 || !picture.frame)
        return;
    const AVFrame* source = picture.frame.get();
    bool fullRange = source->color_range == AVCOL_RANGE_JPEG;
    const AVPixelFormat format = PlainFormat(static_cast<AVPixelFormat>(source->format), fullRange);
    const ScalerKey key{source->width, source->height, format, fullRange, rect.width, rect.height};
    if (!m_scaler || !(key == m_scalerKey)) {
        m_scaler.reset(sws_getCachedContext(m_scaler.release(), source->width, source->height, format, rect.width,
                                            rect.height, AV_PIX_FMT_BGRA, SWS_FAST_BILINEAR, nullptr, nullptr,
                                            nullptr));
        if (!m_scaler)
            return;
        const int* coefficients = sws_getCoefficients(SWS_CS_DEFAULT);
        sws_setColorspaceDetails(m_scaler.get(), coefficients, fullRange ? 1 : 0, coefficients, 1, 0, 1 << 16,
                                 1 << 16);
        m_scalerKey = key;
    }
    if (!m_bgra || m_bgra->width != rect.width || m_bgra->height != rect.height) {
        m_bgra.reset(av_frame_alloc());
        if (!m_bgra)
            return;
        m_bgra->format = AV_PIX_FMT_BGRA;
        m_bgra->width = rect.width;
        m_bgra->height = rect.height;
        if (av_frame_get_buffer(m_bgra.get(), 0) < 0) {
            m_bgra.reset();
            return;
        }
    }
    sws_scale(m_scaler.get(), source->data, source->linesize, 0, source->height, m_bgra->data, m_bgra->linesize);
    const KinemoFrame frame{m_bgra->data[0], m_bgra->linesize[0], rect.width, rect.height, rect.x, rect.y,
                            MsFromTicks(picture.pts)};
    m_host.present(m_host.context, &frame);
}

void Presenter::Show(PictureItem picture, std::unique_lock<std::mutex>& lock)
{
    const PictureRect rect = m_state.rect;
    m_rectVersion = m_state.rectVersion;
    lock.unlock();
    Present(picture, rect);
    lock.lock();
    m_shown = std::move(picture);
    m_state.shownSerial = m_shown.serial;
    m_state.shownPts = m_shown.pts;
}

bool Presenter::PrepareTarget(std::unique_lock<std::mutex>& lock)
{
    const Target target = m_state.target;
    if (m_candidateGeneration != target.generation) {
        // A soft seek keeps a candidate that is still at or before the new target.
        if (m_candidate.serial != target.serial || m_candidate.pts > target.position)
            m_candidate = {};
        m_candidateGeneration = target.generation;
    }
    const bool shownIsTarget = m_shown.frame && m_shown.serial == target.serial && m_shown.pts <= target.position;
    bool decided = false;
    while (!m_state.pictures.empty()) {
        PictureItem& front = m_state.pictures.front();
        if (!front.frame) {
            decided = true;  // the end: the candidate (or the picture on screen) is the last picture
            break;
        }
        if (front.pts <= target.position) {
            m_candidate = std::move(front);
            m_state.pictures.pop_front();
            continue;
        }
        decided = true;
        if (!m_candidate.frame && !shownIsTarget) {
            m_candidate = std::move(front);
            m_state.pictures.pop_front();
        }
        break;
    }
    m_state.changed.notify_all();
    if (!decided)
        return false;
    if (m_candidate.frame && !(m_candidate.serial == m_shown.serial && m_candidate.pts == m_shown.pts && m_shown.frame)) {
        PictureItem picture = std::move(m_candidate);
        m_candidate = {};
        Show(std::move(picture), lock);
    }
    m_candidate = {};
    if (m_state.target.generation != target.generation)
        return true;  // sought again meanwhile: prepare that target
    m_state.preparedGeneration = target.generation;
    m_state.preparedHasPicture = m_shown.frame && m_shown.serial == target.serial;
    if (m_state.mode == ClockMode::Waiting &&
        (!(m_state.streams & kAudioBit) || (m_state.ended & kAudioBit)))
        m_state.Anchor(m_state.anchor, SteadyClock::now());
    m_state.changed.notify_all();
    return true;
}

void Presenter::Run()
{
    std::unique_lock lock(m_state.mutex);
    for (;;) {
        if (m_state.abort)
            return;
        while (!m_state.pictures.empty() && m_state.pictures.front().serial != m_state.target.serial) {
            m_state.pictures.pop_front();
            m_state.changed.notify_all();
        }
        if (m_state.preparedGeneration != m_state.target.generation) {
            if (!PrepareTarget(lock))
                m_state.changed.wait(lock);
            continue;
        }
        if (m_rectVersion != m_state.rectVersion) {
            m_rectVersion = m_state.rectVersion;
            if (m_shown.frame && m_state.mode != ClockMode::Running) {
                PictureItem again;
                again.serial = m_shown.serial;
                again.pts = m_shown.pts;
                again.end = m_shown.end;
                again.frame.reset(av_frame_clone(m_shown.frame.get()));
                Show(std::move(again), lock);
            }
            continue;
        }
        const auto now = SteadyClock::now();
        if (m_state.mode == ClockMode::Waiting) {
            // A sound that never starts (no samples decode) must not hold the picture for ever.
            if (now - m_state.waitingSince >= kWaitForSound) {
                m_state.Anchor(m_state.anchor, now);
                m_state.changed.notify_all();
            } else {
                m_state.changed.wait_until(lock, m_state.waitingSince + kWaitForSound);
            }
            continue;
        }
        if (m_state.mode != ClockMode::Running || m_state.pictures.empty()) {
            m_state.changed.wait(lock);
            continue;
        }
        const Ticks position = m_state.Position(now);
        PictureItem& front = m_state.pictures.front();
        if (!front.frame) {
            const bool shownHere = m_shown.frame && m_shown.serial == m_state.target.serial;
            const Ticks endAt = shownHere ? std::min(m_shown.end, m_state.target.stop) : position;
            if (position < endAt) {
                m_state.changed.wait_until(lock, now + Span(endAt - position));
                continue;
            }
            m_state.pictures.pop_front();
            const bool completed =
                m_state.MarkEnded(kVideoBit, m_state.target.serial, m_state.target.generation, now);
            m_state.changed.notify_all();
            if (completed) {
                lock.unlock();
                m_announce();
                lock.lock();
            }
            continue;
        }
        if (front.pts > position) {
            m_state.changed.wait_until(lock, now + Span(front.pts - position));
            continue;
        }
        PictureItem picture = std::move(front);
        m_state.pictures.pop_front();
        m_state.changed.notify_all();
        if (!m_state.pictures.empty() && m_state.pictures.front().frame && m_state.pictures.front().pts <= position) {
            ++m_dropped;
            continue;
        }
        Show(std::move(picture), lock);
    }
}

}  // namespace murtesk::video
