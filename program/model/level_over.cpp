#include "model/level_over.h"

#include <algorithm>
#include <memory>
#include <new>
#include <stdexcept>

namespace murtesk {

std::optional<CScopes> FindLevelOverScopes(const CData& LevelData, const std::string& SaveDir, std::int32_t count,
                                           double threshold, std::int32_t chunkLength,
                                           const std::function<bool()>& beforeChunk) {
    CScopes runs;
    chunkLength = std::clamp(chunkLength, std::int32_t{1}, kLevelSliceLength);
    // A chunk is read in pieces of at most a statistics slice: a buffer that stays in the cache is
    // filled and scanned faster than one of a whole chunk, which is also spared its page faults.
    const std::int32_t bufferLength = std::min({chunkLength, kStatsSliceLength, std::max(count, std::int32_t{1})});
    std::unique_ptr<float[]> chunk(new (std::nothrow) float[static_cast<std::size_t>(bufferLength)]);
    if (!chunk) throw std::bad_alloc();

    std::int64_t runStart = 0;  // 0: no run open
    std::int64_t runEnd = 0;
    auto closeRun = [&] {
        if (runStart == 0) return;
        runs.SimpleAdd(std::make_shared<CScope>(Variant(static_cast<std::int32_t>(runStart)),
                                                Variant(static_cast<std::int32_t>(runEnd))));
        runStart = 0;
    };
    LevelFile file(LevelData, SaveDir);
    std::int64_t p = 1;
    std::int64_t chunkEnd = 0;  // last position of the chunk being read
    while (p <= count) {
        if (p > chunkEnd) {
            if (beforeChunk && !beforeChunk()) return std::nullopt;
            chunkEnd = std::min<std::int64_t>(p + chunkLength - 1, count);
        }
        const auto size = static_cast<std::int32_t>(std::min<std::int64_t>(bufferLength, chunkEnd - p + 1));
        const std::int32_t got = file.Read(static_cast<std::int32_t>(p), size, chunk.get());
        if (got <= 0) break;
        // Runs as spans of values at or above the threshold and spans below it.
        const float* v = chunk.get();
        for (std::int32_t i = 0; i < got;) {
            if (static_cast<double>(v[i]) >= threshold) {
                if (runStart == 0) runStart = p + i;
                while (i < got && static_cast<double>(v[i]) >= threshold) ++i;
                runEnd = p + i - 1;
            } else {
                closeRun();
                while (i < got && !(static_cast<double>(v[i]) >= threshold)) ++i;
            }
        }
        p += got;
    }
    closeRun();
    return runs;
}

}  // namespace murtesk
