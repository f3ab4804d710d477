#include "model/band_recalc.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace murtesk {

bool ResetNewBands(std::span<BandRecalc> bands, unsigned threads, std::int32_t sliceLength) {
    if (bands.empty()) return true;
    const std::string folder = bands.front().LCalc->LxData.context().LCalcFolder();
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    threads = static_cast<unsigned>(std::min<std::size_t>(threads, bands.size()));

    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i = next++; i < bands.size(); i = next++) {
            BandRecalc& band = bands[i];
            band.Saved = band.LCalc->ResetNewIn(folder, *band.CalcScopes, *band.LevelData, band.SaveDir, sliceLength);
        }
    };
    {
        std::vector<std::jthread> pool;
        for (unsigned t = 1; t < threads; ++t) pool.emplace_back(work);
        work();
    }
    return std::all_of(bands.begin(), bands.end(), [](const BandRecalc& b) { return b.Saved; });
}

}  // namespace murtesk
