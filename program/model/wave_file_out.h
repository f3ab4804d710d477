// WAV output settings of a channel; the same record also serves as a graph's horizontal level line
// (OkFlg: the line is shown, RecLevel: its level). Record: magic, then the five fields in order.
#pragma once

#include <cstdint>
#include <tuple>

#include "model/record_stream.h"

namespace murtesk {

class CWaveFileOut : public Record<CWaveFileOut> {
public:
    std::int16_t OkFlg = 0;
    double RecLevel = 80.0;
    std::int16_t MinRecSec = 2;
    std::int16_t MaxRecSec = 60;
    std::int16_t PreRecSec = 1;

    template <class Self, class Io>
    static bool Fields(Self& self, Io& io) {
        return io.Magic() && io(self.OkFlg) && io(self.RecLevel) && io(self.MinRecSec) && io(self.MaxRecSec) &&
               io(self.PreRecSec);
    }
    static auto Compared(const CWaveFileOut& r) {
        return std::tie(r.OkFlg, r.RecLevel, r.MinRecSec, r.MaxRecSec, r.PreRecSec);
    }
};

}  // namespace murtesk
