// The project's start mode with its list of start dates. Kept and stored with the project; nothing
// acts on it.
#pragma once

#include <cstdint>
#include <tuple>

#include "model/date_points.h"
#include "model/record_stream.h"

namespace murtesk {

class CStartMode : public Record<CStartMode> {
public:
    // RepeatStartDate defaults to the moment the object is made.
    CStartMode();

    std::int16_t mode = 0;
    std::int16_t RepeatStartMode = 0;
    Date RepeatStartDate;
    std::int32_t RepeatPeriod = 10;
    std::int32_t RepeatNum = 24;
    CDatePoints DatePoints;

    template <class Self, class Io>
    static bool Fields(Self& self, Io& io) {
        return io.Magic() && io(self.mode) && io(self.RepeatStartMode) && io(self.RepeatStartDate) &&
               io(self.RepeatPeriod) && io(self.RepeatNum) && io(self.DatePoints);
    }
    static auto Compared(const CStartMode& r) {
        return std::tie(r.mode, r.RepeatStartMode, r.RepeatStartDate, r.RepeatPeriod, r.RepeatNum, r.DatePoints);
    }
};

}  // namespace murtesk
