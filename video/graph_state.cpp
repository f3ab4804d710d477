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

void GraphState::ClearQueues() {
    videoPackets.clear();
    audioPackets.clear();
    packetBytes = 0;
    pictures.clear();
}

}  // namespace murtesk::video
