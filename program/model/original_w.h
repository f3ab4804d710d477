// User correction characteristics: a characteristic's two names and its correction and maximum
// curves, in one-third-octave form and in the octave form derived from it, and the list of the
// characteristics loaded at start-up. No file holds these records (neither has a magic); they live
// in memory, and whoever needs them is given the list.
#pragma once

#include <cstdint>
#include <string>
#include <tuple>

#include "model/octave_band.h"
#include "model/record_stream.h"
#include "model/standard_collection.h"

namespace murtesk {

class COriginalW : public Record<COriginalW> {
public:
    std::string WName;          // full name
    std::string WNameHalfSize;  // short name
    COctaveBand1 WRevise1;      // octave corrections, dB
    COctaveBand3 WRevise3;      // one-third-octave corrections, dB; -100 or less: band left out
    COctaveBand1 WMax1;         // octave maxima, dB
    COctaveBand3 WMax3;         // one-third-octave maxima, dB

    template <class Self, class Io>
    static bool Fields(Self& self, Io& io) {
        return io(self.WName) && io(self.WNameHalfSize) && io(self.WRevise1) && io(self.WRevise3) &&
               io(self.WMax1) && io(self.WMax3);
    }
    static auto Compared(const COriginalW& r) {
        return std::tie(r.WName, r.WNameHalfSize, r.WRevise1, r.WRevise3, r.WMax1, r.WMax3);
    }
};

// Items are 1-based. Record: 32-bit count (no magic), then the items' records.
class COriginalWs : public StandardCollection<COriginalW, COriginalWs> {
public:
    bool MeRead(BinaryFile& fileno);
    bool MeWrite(BinaryFile& fileno) const;
};

}  // namespace murtesk
