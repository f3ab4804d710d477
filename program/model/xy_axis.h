// The axes of a graph: the X ends in the unit XAxisUnit (0 seconds, 1 minutes, 2 hours,
// 3 date-times, any other value: point counts, both ends included), the Y range in dB, and the
// percentage of the extra Lx statistic the level graph shows.
#pragma once

#include <cstdint>
#include <tuple>

#include "model/record_stream.h"

namespace murtesk {

class CXYAxis : public Record<CXYAxis> {
public:
    Variant XAxisMax = Variant(std::int16_t{50});
    Variant XAxisMin = Variant(std::int16_t{0});
    double YAxisMax = 100.0;
    double YAxisMin = 40.0;
    std::int16_t XAxisUnit = 0;
    std::int16_t Lx = 1;

    template <class Self, class Io>
    static bool Fields(Self& self, Io& io) {
        return io.Magic() && io(self.XAxisMax) && io(self.XAxisMin) && io(self.YAxisMax) && io(self.YAxisMin) &&
               io(self.XAxisUnit) && io(self.Lx);
    }
    static auto Compared(const CXYAxis& r) {
        return std::tie(r.XAxisMax, r.XAxisMin, r.YAxisMax, r.YAxisMin, r.XAxisUnit, r.Lx);
    }

    // The width of the X axis in seconds. Throws std::overflow_error when it falls outside the
    // 32-bit range (or an end is not a number).
    std::int32_t getXWidthSec() const;
};

}  // namespace murtesk
