#include "model/partition_rows.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>

#include "model/band_rows.h"
#include "model/ch_measure.h"
#include "model/core_pool.h"
#include "model/level_calc.h"
#include "platform/numbers.h"
#include "platform/text_output.h"

namespace murtesk {

namespace {

constexpr std::int16_t kWeightedSlot = 2;

}  // namespace

CScopes PartitionPieces(std::int32_t minutes, double rate, std::int64_t total) {
    CScopes pieces;
    const double perPiece = platform::RoundHalfToEven(minutes * 60.0 * rate);
    if (!(perPiece >= 1.0)) return pieces;
    // A piece longer than any file holds the whole series.
    const auto length = static_cast<std::int64_t>(std::min<double>(perPiece, std::numeric_limits<std::int32_t>::max()));
    for (std::int64_t s = 1; s <= total; s += length) {
        const std::int64_t e = std::min(s + length - 1, total);
        pieces.Add(CScope(static_cast<std::int32_t>(s), static_cast<std::int32_t>(e)));
    }
    return pieces;
}

BlockEnd WritePartitionBlock(platform::TextOutput& out, const CChMeasure& channel, const std::string& projectPath,
                             const std::string& weightingName, std::int32_t S, std::int32_t E, bool exclusion,
                             const std::vector<std::int16_t>& slots, const BlockProceed& proceed, CorePool* pool,
                             std::int32_t sliceLength) {
    const BandRowLayout layout{false, false, channel.CalcXYAxis.Lx};
    out.Line(BandRowHeader(layout));
    BandRows rows(channel, projectPath, weightingName);

    // F and W first (their maxima serve every row), then the rows' slots; each slot once.
    std::vector<std::int16_t> needed{1, kWeightedSlot};
    for (const std::int16_t k : slots)
        if (std::find(needed.begin(), needed.end(), k) == needed.end()) needed.push_back(k);
    std::vector<std::unique_ptr<LevelFile>> files(needed.size());
    std::vector<std::vector<PositionRange>> targets(needed.size());
    std::int64_t total = 0;  // values the block reads
    for (std::size_t i = 0; i < needed.size(); ++i) {
        const std::int16_t k = needed[i];
        files[i] = std::make_unique<LevelFile>(channel.LevelData, rows.Folder(k));
        if (k > channel.BandLCalcInfos.count()) continue;
        CScopes list;
        if (exclusion) {
            list = channel.BandLCalcInfos.Item(k).Scopes.getReverse(S, E);
        } else {
            list.Add(CScope(S, E));
        }
        targets[i] = Positions(list);
        for (const PositionRange& r : targets[i]) {
            const std::int64_t first = std::max<std::int64_t>(r.S, 1);
            const std::int64_t last = std::min(r.E, files[i]->Count());
            if (r.valid && last >= first) total += last - first + 1;
        }
    }

    std::vector<std::optional<BandRowStatistics>> statistics(needed.size());
    bool stopped = false;
    std::int64_t read = 0;
    const auto onSlice = [&](std::int32_t values) {
        read += values;
        stopped = !proceed(total > 0 ? std::min(1.0, static_cast<double>(read) / static_cast<double>(total)) : 1.0);
        return !stopped;
    };
    const auto compute = [&](std::size_t i, bool asking) {
        if (needed[i] > channel.BandLCalcInfos.count()) {
            statistics[i] = BandRowStatistics{};
            return;
        }
        const LevelPass pass = PassOverRanges(targets[i], *files[i], -std::numeric_limits<double>::infinity(),
                                              sliceLength, asking ? std::function<bool(std::int32_t)>(onSlice)
                                                                  : std::function<bool(std::int32_t)>());
        if (pass.complete) statistics[i] = PassStatistics(pass);
    };
    if (pool != nullptr) {
        pool->Run(needed.size(), [&](std::size_t i, unsigned) { compute(i, false); });
    } else {
        for (std::size_t i = 0; i < needed.size() && !stopped; ++i) compute(i, true);
    }
    if (stopped) return BlockEnd::Stopped;
    if (std::any_of(statistics.begin(), statistics.end(), [](const auto& s) { return !s; })) return BlockEnd::Failed;
    rows.SetMaxima(statistics[0]->MaximumPosition(), statistics[1]->MaximumPosition());
    for (const std::int16_t k : slots) {
        if (!proceed(1.0)) return BlockEnd::Stopped;
        const auto i = static_cast<std::size_t>(std::find(needed.begin(), needed.end(), k) - needed.begin());
        out.Line(rows.Row(k, *statistics[i], layout, std::nullopt, files[i].get()));
    }
    return BlockEnd::Written;
}

}  // namespace murtesk
