#include "video_presenter.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace murtesk::video {

namespace {

constexpr auto kWaitForSound = std::chrono::seconds(1);

// The full-range ("J") formats as their plain form with the range said separately, as the scaler wants them.
AVPixelFormat PlainFormat(AVPixelFormat format, bool& fullRange) {
    switch (format) {
    case AV_PIX_FMT_YUVJ420P: fullRange = true; return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P: fullRange = true; return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P: fullRange = true; return AV_PIX_FMT_YUV444P;
    case AV_PIX_FMT_YUVJ440P: fullRange = true; return AV_PIX_FMT_YUV440P;
    default: return format;
    }
}

std::chrono::nanoseconds Span(Ticks t) { return std::chrono::nanoseconds(t * 100); }

}  // namespace

Presenter::Presenter(GraphState& state, const KinemoHost& host, std::function<void()> announce)
    : state_(state), host_(host), announce_(std::move(announce)) {}

void Presenter::Present(const PictureItem& picture, const PictureRect& rect) {
    if (!host_.present || rect.width <= 0 || rect.height <= 0 || !picture.frame) return;
    const AVFrame* source = picture.frame.get();
    bool fullRange = source->color_range == AVCOL_RANGE_JPEG;
    const AVPixelFormat format = PlainFormat(static_cast<AVPixelFormat>(source->format), fullRange);
    const ScalerKey key{source->width, source->height, format, fullRange, rect.width, rect.height};
    if (!scaler_ || !(key == scalerKey_)) {
        scaler_.reset(sws_getCachedContext(scaler_.release(), source->width, source->height, format, rect.width,
                                           rect.height, AV_PIX_FMT_BGRA, SWS_FAST_BILINEAR, nullptr, nullptr, nullptr));
        if (!scaler_) return;
        const int* coefficients = sws_getCoefficients(SWS_CS_DEFAULT);
        sws_setColorspaceDetails(scaler_.get(), coefficients, fullRange ? 1 : 0, coefficients, 1, 0, 1 << 16, 1 << 16);
        scalerKey_ = key;
    }
    if (!bgra_ || bgra_->width != rect.width || bgra_->height != rect.height) {
        bgra_.reset(av_frame_alloc());
        if (!bgra_) return;
        bgra_->format = AV_PIX_FMT_BGRA;
        bgra_->width = rect.width;
        bgra_->height = rect.height;
        if (av_frame_get_buffer(bgra_.get(), 0) < 0) {
            bgra_.reset();
            return;
        }
    }
    sws_scale(scaler_.get(), source->data, source->linesize, 0, source->height, bgra_->data, bgra_->linesize);
    const KinemoFrame frame{bgra_->data[0], bgra_->linesize[0],      rect.width, rect.height, rect.x,
                            rect.y,         MsFromTicks(picture.pts)};
    host_.present(host_.context, &frame);
}

void Presenter::Show(PictureItem picture, std::unique_lock<std::mutex>& lock) {
    const PictureRect rect = state_.rect;
    rectVersion_ = state_.rectVersion;
    lock.unlock();
    Present(picture, rect);
    lock.lock();
    shown_ = std::move(picture);
    state_.shownSerial = shown_.serial;
    state_.shownPts = shown_.pts;
}

bool Presenter::PrepareTarget(std::unique_lock<std::mutex>& lock) {
    const Target target = state_.target;
    if (candidateGeneration_ != target.generation) {
        // A soft seek keeps a candidate that is still at or before the new target.
        if (candidate_.serial != target.serial || candidate_.pts > target.position) candidate_ = {};
        candidateGeneration_ = target.generation;
    }
    const bool shownIsTarget = shown_.frame && shown_.serial == target.serial && shown_.pts <= target.position;
    bool decided = false;
    while (!state_.pictures.empty()) {
        PictureItem& front = state_.pictures.front();
        if (!front.frame) {
            decided = true;  // the end: the candidate (or the picture on screen) is the last picture
            break;
        }
        if (front.pts <= target.position) {
            candidate_ = std::move(front);
            state_.pictures.pop_front();
            if (candidate_.Covers(target.position)) {
                decided = true;
                break;
            }
            continue;
        }
        decided = true;
        if (!candidate_.frame && !shownIsTarget) {
            candidate_ = std::move(front);
            state_.pictures.pop_front();
        }
        break;
    }
    state_.changed.notify_all();
    if (!decided) return false;
    if (candidate_.frame && !(candidate_.serial == shown_.serial && candidate_.pts == shown_.pts && shown_.frame)) {
        PictureItem picture = std::move(candidate_);
        candidate_ = {};
        Show(std::move(picture), lock);
    }
    candidate_ = {};
    if (state_.target.generation != target.generation) return true;  // sought again meanwhile: prepare that target
    state_.preparedGeneration = target.generation;
    state_.preparedHasPicture = shown_.frame && shown_.serial == target.serial;
    if (state_.mode == ClockMode::Waiting && (!(state_.streams & kAudioBit) || (state_.ended & kAudioBit)))
        state_.Anchor(state_.anchor, SteadyClock::now());
    state_.changed.notify_all();
    return true;
}

void Presenter::Run() {
    std::unique_lock lock(state_.mutex);
    for (;;) {
        if (state_.abort) return;
        while (!state_.pictures.empty() && state_.pictures.front().serial != state_.target.serial) {
            state_.pictures.pop_front();
            state_.changed.notify_all();
        }
        if (state_.preparedGeneration != state_.target.generation) {
            if (!PrepareTarget(lock)) state_.changed.wait(lock);
            continue;
        }
        if (rectVersion_ != state_.rectVersion) {
            rectVersion_ = state_.rectVersion;
            if (shown_.frame && state_.mode != ClockMode::Running) {
                PictureItem again;
                again.serial = shown_.serial;
                again.pts = shown_.pts;
                again.end = shown_.end;
                again.frame.reset(av_frame_clone(shown_.frame.get()));
                Show(std::move(again), lock);
            }
            continue;
        }
        const auto now = SteadyClock::now();
        if (state_.mode == ClockMode::Waiting) {
            // A sound that has ended, or never starts (no samples decode), must not hold the picture.
            if ((state_.ended & kAudioBit) || now - state_.waitingSince >= kWaitForSound) {
                state_.Anchor(state_.anchor, now);
                state_.changed.notify_all();
            } else {
                state_.changed.wait_until(lock, state_.waitingSince + kWaitForSound);
            }
            continue;
        }
        if (state_.mode != ClockMode::Running || state_.pictures.empty()) {
            state_.changed.wait(lock);
            continue;
        }
        const Ticks position = state_.Position(now);
        PictureItem& front = state_.pictures.front();
        if (!front.frame) {
            const bool shownHere = shown_.frame && shown_.serial == state_.target.serial;
            const Ticks endAt = shownHere ? std::min(shown_.end, state_.target.stop) : position;
            if (position < endAt) {
                state_.changed.wait_until(lock, now + Span(endAt - position));
                continue;
            }
            state_.pictures.pop_front();
            const bool completed = state_.MarkEnded(kVideoBit, state_.target.serial, state_.target.generation, now);
            state_.changed.notify_all();
            if (completed) {
                lock.unlock();
                announce_();
                lock.lock();
            }
            continue;
        }
        if (front.pts > position) {
            state_.changed.wait_until(lock, now + Span(front.pts - position));
            continue;
        }
        PictureItem picture = std::move(front);
        state_.pictures.pop_front();
        state_.changed.notify_all();
        if (!state_.pictures.empty() && state_.pictures.front().frame && state_.pictures.front().pts <= position)
            continue;  // late: its successor is due as well
        Show(std::move(picture), lock);
    }
}

}  // namespace murtesk::video
