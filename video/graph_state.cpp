#include "graph_state.h"

#include <algorithm>

namespace murtesk::video {

Ticks GraphState::Position(SteadyClock::time_point now) const {
    if (mode != ClockMode::Running) return anchor;
    const auto elapsed = std::chrono::duration_cast<std::chrono::nanoseconds>(now - anchorTime).count() / 100;
    return anchor + std::max<Ticks>(0, elapsed);
}

void GraphState::Hold(ClockMode holdMode, Ticks position, SteadyClock::time_point now) {
    mode = holdMode;
    anchor = position;
    anchorTime = now;
    waitingSince = now;
}

void GraphState::Anchor(Ticks position, SteadyClock::time_point now) {
    if (mode != ClockMode::Waiting && mode != ClockMode::Running) return;
    mode = ClockMode::Running;
    anchor = position;
    anchorTime = now;
}

bool GraphState::MarkEnded(unsigned stream, int serial, int generation, SteadyClock::time_point now) {
    if (serial != target.serial || generation != target.generation || mode == ClockMode::Ended) return false;
    ended |= stream;
    if ((ended & streams) != streams) return false;
    const Ticks end = std::min(Position(now), target.stop);
    Hold(ClockMode::Ended, std::max<Ticks>(end, 0), now);
    events.push_back(1);
    return true;
}

bool CanSeekSoftly(const GraphState& s, Ticks position, const SeekFacts& file) {
    if (!file.video || s.mode == ClockMode::Ended || s.ended != 0 || s.videoFinished || s.seekFailed ||
        s.seekHandled != s.target.serial || s.shownSerial != s.target.serial || s.shownPts < 0 ||
        position < s.shownPts || position >= s.target.stop)
        return false;
    const Ticks decoded = std::max(s.newestDecoded, s.shownPts);
    if (position <= decoded + file.frameDuration) return true;
    if (!file.keyframes || file.keyframes->empty()) return position - decoded <= kTicksPerSecond;
    const auto next = std::upper_bound(file.keyframes->begin(), file.keyframes->end(), decoded);
    return next == file.keyframes->end() || *next > position;
}

}  // namespace murtesk::video
