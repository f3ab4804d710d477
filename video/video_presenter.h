// The presenting thread: takes the pictures of the current serial from the decoder and shows them at their time
// on the clock through the host's present callback, converted to BGRA at the size of the placed rectangle.
//
// After every seek it first shows the target frame, whatever the clock does: the last picture at or before the
// target position (or the first one after it when there is none), unless the picture on screen already is that
// one. A picture that covers the target by its container duration is that last one without waiting for the next. Only then does playing go on; without sound that also lets a waiting clock run. While running, a picture
// is shown once the clock reaches its time; one whose successor is already due as well is dropped. At the end
// marker it waits for the end of the last picture (or the stop position) and marks the video ended. A new
// placement shows the picture on screen again at the new size when the clock is not running.
#pragma once

#include <functional>

#include "graph_state.h"
#include "kinemo.h"

namespace murtesk::video {

class Presenter {
public:
    // `announce` is called (lock not held) when the end of the playback was reached.
    Presenter(GraphState& state, const KinemoHost& host, std::function<void()> announce);
    void Run();

private:
    void Present(const PictureItem& picture, const PictureRect& rect);   // lock not held
    void Show(PictureItem picture, std::unique_lock<std::mutex>& lock);  // unlocks while converting
    bool PrepareTarget(std::unique_lock<std::mutex>& lock);              // false: wait for pictures

    GraphState& state_;
    KinemoHost host_;
    std::function<void()> announce_;
    struct ScalerKey {
        int width = 0, height = 0, format = -1;
        bool fullRange = false;
        int outWidth = 0, outHeight = 0;
        bool operator==(const ScalerKey&) const = default;
    };
    SwsPtr scaler_;
    ScalerKey scalerKey_;
    FramePtr bgra_;
    PictureItem shown_;      // the picture on screen (its frame kept for a new placement)
    PictureItem candidate_;  // the best target frame found so far
    int candidateGeneration_ = 0;
    int rectVersion_ = 0;
};

}  // namespace murtesk::video
