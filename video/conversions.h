// The library's one-shot conversions, each complete within one call on the calling thread and silent: a frame
// of a video as a bitmap file, a video's native size and how many pictures it shows, a span of a video as a new
// AVI file, and an AVI file made of one bitmap and an optional WAV file. Files are written under a temporary name beside the target and
// renamed over it once complete (OutputFile): a failure leaves no partial file and an existing target as it was,
// and what a killed call left beside the target goes with the next call for it.
// Every reading ends at the span's end or the file's, so no call can hang on its input.
#pragma once

#include <cstdint>
#include <string>

namespace murtesk::video {

// Writes the picture showing at `ms` (limited to 0 .. the duration) at the video's native size as a 24-bit BMP:
// a 14-byte file header, a 40-byte bitmap header (pixels at offset 54), rows bottom-up in blue, green, red,
// each padded to 4 bytes. False when the file has no picture that decodes or the bitmap cannot be written.
bool CaptureFrame(const std::string& video, const std::string& bitmap, std::int32_t ms);

// The native size of the video's pictures; false when it has no video that decodes.
bool ReadVideoSize(const std::string& video, std::int32_t& width, std::int32_t& height);

// How many pictures of the video decode at different times (pictures of one time count once), counted to
// `most`: the reading ends at the picture that reaches it, else at the file's end, the sound read but not
// decoded. 0 when it has no video that decodes or `most` is below 1.
std::int32_t CountPictures(const std::string& video, std::int32_t most);

// A new AVI file of [startMs, endMs) of the source (limited to 0 .. its duration), with the source's chosen
// streams and its times starting at 0: the first picture is the one showing at the start. The video is coded
// again in the source's codec where an AVI file can hold it and an encoder exists (H.264 at a constant quality
// of 18 without B-pictures, other codecs at quantiser 3), otherwise as MPEG-4 Visual at quantiser 3; the sound
// as 16-bit PCM at the source's rate and channels, cut to the span's samples. False when the source cannot be
// played, the span is empty or anything fails.
bool ExtractSpan(const std::string& source, const std::string& target, std::int32_t startMs, std::int32_t endMs);

// A new AVI file showing the bitmap (any picture FFmpeg reads), scaled to width × height, for frames ÷ fps
// seconds: `frames` pictures in RGB555 coded as Microsoft Video 1 (width and height must be multiples of 4);
// with a WAV file (`wav` not empty) also its sound as 16-bit PCM at `sampleRate` and `channels`, cut or filled
// with silence to the same length. False for a picture or sound that cannot be read, a size, rate or count out
// of range, a movie the AVI header or the coder cannot hold, or whose file, judged from its coded pictures, passes
// the free space of the target's file system (see kinemo.h; refused before anything is written), or any failure.
// The picture is coded once: each keyframe repeats it, the pictures between say "as before".
bool BuildBitmapMovie(const std::string& bitmap, const std::string& wav, const std::string& target, double fps,
                      std::int32_t frames, std::int32_t width, std::int32_t height, std::int32_t channels,
                      std::int32_t sampleRate);

}  // namespace murtesk::video
