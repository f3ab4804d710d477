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
    const std::int32_t bufferLength = std::min(chunkLength, std::max(count, std::int32_t{1}));
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
    std::int64_t p = 1;
    while (p <= count) {
        if (beforeChunk && !beforeChunk()) return std::nullopt;
        const auto size = static_cast<std::int32_t>(std::min<std::int64_t>(bufferLength, count - p + 1));
        const std::int32_t got = LevelData.ReadArea(static_cast<std::int32_t>(p), size, SaveDir, chunk.get());
        if (got <= 0) break;
        for (std::int32_t i = 0; i < got; ++i) {
            if (static_cast<double>(chunk[static_cast<std::size_t>(i)]) >= threshold) {
                if (runStart == 0) runStart = p + i;
                runEnd = p + i;
            } else {
                closeRun();
            }
        }
        p += got;
    }
    closeRun();
    return runs;
}

}  // namespace murtesk
