// Cutting one channel out of a PCM recording and interleaving mono recordings into one file. Sources are
// located by their data chunk and must hold the layout the caller names (channels, bits, no padding in the
// frame). Spans of fewer than 10 frames are refused; so are sources of 2,147,483,001 bytes or more and outputs
// whose sizes a WAV header cannot hold. The output is written beside its path and renamed over it only when
// complete (ReplacingOutput): a failure part way leaves no partial file and an older file as it was.
#include "wave_files.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "replacing_output.h"
#include "wav_output.h"
#include "wav_reader.h"

namespace murtesk::analysis {

namespace {

constexpr int64_t kMaxSourceBytes = 2147483001;
constexpr size_t kPieceBytes = 1 << 20;  // a piece stays in the cache between its read and its write
constexpr int64_t kMinFrames = 10;

bool supportedBits(int32_t bits)
{
    return bits == 8 || bits == 16 || bits == 24 || bits == 32 || bits == 64;
}

bool sourceSizeAccepted(const char* path)
{
    struct stat st {};
    return ::stat(path, &st) == 0 && st.st_size < kMaxSourceBytes;
}

// Opens a source and walks to its samples; the header must describe frames of `channels` samples of `bits`.
bool openSource(WavReader& reader, const char* path, int32_t channels, int32_t bits)
{
    if (!sourceSizeAccepted(path) || !reader.open(path) || reader.findData() != WavError::None)
        return false;
    const WavFormat& f = reader.format();
    return f.channels == channels && f.bitsPerSample == bits && f.containerBytes == bits / 8;
}

// Copies n samples of `width` bytes from every `from`-th byte of the source to every `to`-th byte of the
// target. The width is made a constant of each loop, so that a sample moves as one load and store.
template <size_t Width>
void moveSamplesOf(const uint8_t* source, size_t from, uint8_t* target, size_t to, size_t n) {
    for (size_t j = 0; j < n; ++j) std::memcpy(target + j * to, source + j * from, Width);
}

void moveSamples(const uint8_t* source, size_t from, uint8_t* target, size_t to, size_t n, size_t width) {
    switch (width) {
    case 1: moveSamplesOf<1>(source, from, target, to, n); break;
    case 2: moveSamplesOf<2>(source, from, target, to, n); break;
    case 3: moveSamplesOf<3>(source, from, target, to, n); break;
    case 4: moveSamplesOf<4>(source, from, target, to, n); break;
    default: moveSamplesOf<8>(source, from, target, to, n); break;
    }
}

// Interleaves `files` runs of n samples each, lying one after the other in `pieces`, frame by frame.
// The common channel counts of a recording (2, 4, 8) are constants of their loops, which the compiler
// then writes as whole frames.
template <size_t Width, size_t Files>
void interleaveOf(const uint8_t* pieces, size_t files, size_t n, uint8_t* target) {
    const size_t count = Files != 0 ? Files : files;
    for (size_t j = 0; j < n; ++j)
        for (size_t k = 0; k < count; ++k, target += Width) std::memcpy(target, pieces + (k * n + j) * Width, Width);
}

template <size_t Width>
void interleaveWidth(const uint8_t* pieces, size_t files, size_t n, uint8_t* target) {
    switch (files) {
    case 2: interleaveOf<Width, 2>(pieces, files, n, target); break;
    case 4: interleaveOf<Width, 4>(pieces, files, n, target); break;
    case 8: interleaveOf<Width, 8>(pieces, files, n, target); break;
    default: interleaveOf<Width, 0>(pieces, files, n, target); break;
    }
}

void interleave(const uint8_t* pieces, size_t files, size_t n, uint8_t* target, size_t width) {
    switch (width) {
    case 1: interleaveWidth<1>(pieces, files, n, target); break;
    case 2: interleaveWidth<2>(pieces, files, n, target); break;
    case 3: interleaveWidth<3>(pieces, files, n, target); break;
    case 4: interleaveWidth<4>(pieces, files, n, target); break;
    default: interleaveWidth<8>(pieces, files, n, target); break;
    }
}

// The span first..last (1-based, inclusive) limited to the frames available; 0 frames when refused.
int64_t spanFrames(int64_t first, int64_t last, int64_t available)
{
    last = std::min(last, available);
    return last - first >= kMinFrames - 1 ? last - first + 1 : 0;
}

}  // namespace

int32_t CreateBigMonoWave(const char* output, int32_t bits, int32_t first, int32_t last, int32_t channels,
                          int32_t channel, int32_t rate, const char* source)
{
    if (!output || !source || !supportedBits(bits) || channels < 1 || channel < 1 || channel > channels ||
        rate < 1 || first < 1)
        return 0;
    WavReader reader;
    if (!openSource(reader, source, channels, bits))
        return 0;
    const size_t sampleBytes = static_cast<size_t>(bits / 8);
    const size_t frameBytes = sampleBytes * static_cast<size_t>(channels);
    const int64_t frames = spanFrames(first, last, static_cast<int64_t>(reader.dataBytes() / frameBytes));
    if (frames == 0 || static_cast<uint64_t>(frames) * sampleBytes > kMaxWavDataBytes)
        return 0;
    if (!reader.skipData(static_cast<uint64_t>(first - 1) * frameBytes))
        return 0;

    ReplacingOutput target;
    WavOutputFile out;
    if (!target.create(output) ||
        !out.create(target.temporary(), 1, static_cast<uint32_t>(rate), static_cast<uint16_t>(bits)))
        return 0;
    const size_t framesPerPiece = std::max<size_t>(1, kPieceBytes / frameBytes);
    std::vector<uint8_t> piece(framesPerPiece * frameBytes);
    std::vector<uint8_t> mono(frameBytes != sampleBytes ? framesPerPiece * sampleBytes : 0);
    const size_t offset = sampleBytes * static_cast<size_t>(channel - 1);
    for (int64_t done = 0; done < frames;) {
        const auto n = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(framesPerPiece), frames - done));
        if (!reader.read(piece.data(), n * frameBytes)) {
            out.finish();
            return 0;
        }
        // A mono source is its own output; otherwise one sample of each frame is gathered.
        const uint8_t* samples = piece.data();
        if (frameBytes != sampleBytes) {
            moveSamples(piece.data() + offset, frameBytes, mono.data(), sampleBytes, n, sampleBytes);
            samples = mono.data();
        }
        if (!out.write(samples, n * sampleBytes)) {
            out.finish();
            return 0;
        }
        done += static_cast<int64_t>(n);
    }
    return out.finish() && target.commit() ? 1 : 0;
}

int32_t MergeMonoWave(const char* output, int32_t bits, int32_t first, int32_t last, int32_t count, int32_t rate,
                      const char* const* files)
{
    if (!output || !files || !supportedBits(bits) || rate < 1 || first < 1 || count < 1 || count > 0xFFFF)
        return 0;
    // The list holds `count` paths and ends with a null pointer: a count that disagrees is refused.
    for (int32_t k = 0; k < count; ++k)
        if (!files[k])
            return 0;
    if (files[count])
        return 0;

    std::vector<std::unique_ptr<WavReader>> readers;
    readers.reserve(static_cast<size_t>(count));
    for (int32_t k = 0; k < count; ++k) {
        readers.push_back(std::make_unique<WavReader>());
        if (!openSource(*readers.back(), files[k], 1, bits))
            return 0;
    }
    const size_t sampleBytes = static_cast<size_t>(bits / 8);
    const int64_t frames = spanFrames(first, last, static_cast<int64_t>(readers[0]->dataBytes() / sampleBytes));
    if (frames == 0 || static_cast<uint64_t>(frames) * sampleBytes * static_cast<uint64_t>(count) > kMaxWavDataBytes)
        return 0;
    for (auto& r : readers)
        if (!r->skipData(static_cast<uint64_t>(first - 1) * sampleBytes))
            return 0;

    ReplacingOutput target;
    WavOutputFile out;
    if (!target.create(output) || !out.create(target.temporary(), static_cast<uint16_t>(count),
                                              static_cast<uint32_t>(rate), static_cast<uint16_t>(bits)))
        return 0;
    const auto files64 = static_cast<size_t>(count);
    const size_t framesPerPiece = std::max<size_t>(1, kPieceBytes / files64 / sampleBytes);
    // Each file's piece is read into its own slice, then the frames are written out one after the other.
    std::vector<uint8_t> pieces(framesPerPiece * sampleBytes * files64);
    std::vector<uint8_t> interleaved(framesPerPiece * sampleBytes * files64);
    for (int64_t done = 0; done < frames;) {
        const auto n = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(framesPerPiece), frames - done));
        for (size_t k = 0; k < files64; ++k) {
            if (!readers[k]->read(pieces.data() + k * n * sampleBytes, n * sampleBytes)) {
                out.finish();
                return 0;
            }
        }
        interleave(pieces.data(), files64, n, interleaved.data(), sampleBytes);
        if (!out.write(interleaved.data(), n * sampleBytes * files64)) {
            out.finish();
            return 0;
        }
        done += static_cast<int64_t>(n);
    }
    return out.finish() && target.commit() ? 1 : 0;
}

}  // namespace murtesk::analysis
