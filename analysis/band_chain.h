// What a channel's analysis needs of the band-level chain: for each one-second block, the mean square of
// every output slot (0 F, 1 W, 2.. the bands from the highest frequency down; 17 slots in octave mode, 47 in
// one-third-octave mode) at each level step. The chain carries its filter memories from block to block and
// starts from silence after reset(). Turning mean squares into dB and writing them is the caller's part.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace murtesk::analysis {

struct BandChainSettings {
    int32_t weighting = 0;     // negative none, 0 Lvz, 1 Lvxy, 2 G, 3 A, 4 C, above 4 A
    int16_t bandMode = -1;     // 1 octave, 3 one-third octave
    double sampleRate = 48000.0;
    int32_t samplesPerBlock = 48000;
    double cr = 0.125;         // time constant, s
    double levelOutHz = 10.0;  // level steps per second
    double lowHz = 0.0;        // bands whose centre lies outside lowHz..highHz are not computed
    double highHz = 22600.6;
};

inline int slotCount(int16_t bandMode)
{
    return bandMode == 1 ? 17 : bandMode == 3 ? 47 : 0;
}

class BandChain {
public:
    virtual ~BandChain() = default;

    // Back to silence: every filter and time-weighting memory 0.
    virtual void reset() = 0;

    // Computes block `blockNumber` (1, 2, ...) from its samples (taken over). meanSquares gets one array per
    // slot. false on any failure; the chain then refuses every later block until reset.
    virtual bool compute(int32_t blockNumber, std::vector<double>&& samples,
                         std::vector<std::vector<double>>& meanSquares) = 0;
};

std::unique_ptr<BandChain> makeBandChain(const BandChainSettings& settings);

}  // namespace murtesk::analysis
