// A channel's level-data files: each block's levels appended to the file of each output slot.
#pragma once

#include <cstdio>

namespace murtesk::dsp {
class CBandLevelChain;
}

namespace murtesk::analysis {

// The chain's MakeLevels, then each slot's levels of the block last ended appended to files[slot] (slotCount files,
// all open) as little-endian 4-byte floats. Files are flushed in rotation, one per 30 (octave) or 14 (one-third
// octave) blocks. False on a count mismatch, a short write, a file whose error indicator is set after its write, or
// a failed flush.
bool AppendLevels(dsp::CBandLevelChain& chain, int blockNo, std::FILE* const* files);

}  // namespace murtesk::analysis
