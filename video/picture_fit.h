// Where the video goes in the host's client area: the largest rectangle of the video's aspect that fits,
// aligned to the top-left corner (not centred).
#pragma once

#include <cstdint>
#include <optional>

#include "graph_state.h"

namespace murtesk::video {

// With client width cW, height cH and video width vW, height vH: w = cH × vW ÷ vH; when w > cW, w = cW and
// h = vH × cW ÷ vW, otherwise h = cH; every product and quotient an integer truncated toward zero (in 64 bits).
// Nothing (no placement) when any of the four is 0 or below.
std::optional<PictureRect> FitPicture(std::int32_t clientWidth, std::int32_t clientHeight, std::int32_t videoWidth,
                                      std::int32_t videoHeight);

}  // namespace murtesk::video
