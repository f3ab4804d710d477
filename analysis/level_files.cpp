#include "level_files.h"

#include <cstddef>

#include "BandLevel.h"

namespace murtesk::analysis {

bool AppendLevels(dsp::CBandLevelChain& chain, int blockNo, std::FILE* const* files) {
    if (!chain.MakeLevels()) return false;
    const int slots = chain.slotCount();
    const auto steps = static_cast<std::size_t>(chain.stepsPerBlock());
    const int period = chain.bandMode() == dsp::kOctave ? 30 : 14;
    const int flushSlot = blockNo % period == 0 ? (blockNo / period) % slots : -1;
    for (int s = 0; s < slots; ++s) {
        std::FILE* f = files[s];
        if (f == nullptr) return false;
        const std::size_t written = std::fwrite(chain.Levels(s), sizeof(float), steps, f);
        if (written != steps || std::ferror(f)) return false;
        if (s == flushSlot && std::fflush(f) != 0) return false;
    }
    return true;
}

}  // namespace murtesk::analysis
