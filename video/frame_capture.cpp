// CaptureFrame and ReadVideoSize (conversions.h).
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "conversions.h"
#include "frame_convert.h"
#include "output_file.h"
#include "span_reader.h"

namespace murtesk::video {

namespace {

void Put16(std::uint8_t* at, std::uint16_t v) {
    at[0] = static_cast<std::uint8_t>(v);
    at[1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::uint8_t* at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written <= 0) return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

constexpr std::size_t kBmpHeaders = 54;

// The whole bitmap file of a BGR24 picture: headers, then the rows from the bottom one up.
bool BitmapFile(const AVFrame& picture, std::vector<std::uint8_t>& file) {
    const std::size_t width = static_cast<std::size_t>(picture.width),
                      height = static_cast<std::size_t>(picture.height);
    const std::size_t stride = (width * 3 + 3) & ~std::size_t{3};
    const std::size_t image = stride * height;
    if (image > std::numeric_limits<std::uint32_t>::max() - kBmpHeaders) return false;
    file.assign(kBmpHeaders + image, 0);
    std::uint8_t* h = file.data();
    h[0] = 'B';
    h[1] = 'M';
    Put32(h + 2, static_cast<std::uint32_t>(file.size()));
    Put32(h + 10, kBmpHeaders);
    Put32(h + 14, 40);
    Put32(h + 18, static_cast<std::uint32_t>(width));
    Put32(h + 22, static_cast<std::uint32_t>(height));  // positive: bottom-up
    Put16(h + 26, 1);
    Put16(h + 28, 24);
    Put32(h + 34, static_cast<std::uint32_t>(image));
    for (std::size_t y = 0; y < height; ++y)
        std::memcpy(file.data() + kBmpHeaders + (height - 1 - y) * stride,
                    picture.data[0] + static_cast<std::ptrdiff_t>(y) * picture.linesize[0], width * 3);
    return true;
}

}  // namespace

bool CaptureFrame(const std::string& video, const std::string& bitmap, std::int32_t ms) {
    std::unique_ptr<SpanReader> reader = SpanReader::Open(video);
    if (!reader || reader->source().videoIndex() < 0) return false;
    Ticks at = TicksFromMs(std::max(ms, 0));
    if (reader->source().duration() > 0) at = std::min(at, reader->source().duration());
    const MediaSource& source = reader->source();
    PictureConverter converter(source.width(), source.height(), AV_PIX_FMT_BGR24);
    std::vector<std::uint8_t> file;
    bool made = false;
    if (!reader->Read(
            at, at,
            [&](const AVFrame& picture, Ticks) {
                const AVFrame* bgr = converter.Convert(picture);
                made = bgr && BitmapFile(*bgr, file);
                return false;
            },
            nullptr) ||
        !made)
        return false;
    OutputFile out;
    return out.Create(bitmap) && WriteAll(out.fd(), file.data(), file.size()) && out.Commit();
}

bool ReadVideoSize(const std::string& video, std::int32_t& width, std::int32_t& height) {
    std::unique_ptr<SpanReader> reader = SpanReader::Open(video);
    if (!reader || reader->source().videoIndex() < 0) return false;
    width = reader->source().width();
    height = reader->source().height();
    return true;
}

}  // namespace murtesk::video
