#include "picture_fit.h"

namespace murtesk::video {

std::optional<PictureRect> FitPicture(std::int32_t clientWidth, std::int32_t clientHeight, std::int32_t videoWidth,
                                      std::int32_t videoHeight) {
    if (clientWidth <= 0 || clientHeight <= 0 || videoWidth <= 0 || videoHeight <= 0) return std::nullopt;
    const std::int64_t cW = clientWidth, cH = clientHeight, vW = videoWidth, vH = videoHeight;
    std::int64_t w = cH * vW / vH;
    std::int64_t h = cH;
    if (w > cW) {
        w = cW;
        h = vH * cW / vW;
    }
    return PictureRect{0, 0, static_cast<std::int32_t>(w), static_cast<std::int32_t>(h)};
}

}  // namespace murtesk::video
