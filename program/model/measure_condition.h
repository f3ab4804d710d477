// The measuring condition of a measurement: the length of the measurement, the sampling rate of
// the input and two comments.
#pragma once

#include <cstdint>
#include <string>
#include <tuple>

#include "model/record_stream.h"

namespace murtesk {

class CMeasureCondition : public Record<CMeasureCondition> {
public:
    std::int16_t MeasTimeHour = 0;
    std::int16_t MeasTimeMin = 0;
    std::int16_t MeasTimeSec = 30;
    double InHz = 44100.0;
    std::string Account;
    std::string Account2;

    // Record: magic, the three time parts, InHz, a value stored as 10.0 and passed over on
    // reading, then the two comments.
    template <class Self, class Io>
    static bool Fields(Self& self, Io& io) {
        return io.Magic() && io(self.MeasTimeHour) && io(self.MeasTimeMin) && io(self.MeasTimeSec) &&
               io(self.InHz) && io.Dropped(10.0) && io(self.Account) && io(self.Account2);
    }
    // The comments are not compared.
    static auto Compared(const CMeasureCondition& r) {
        return std::tie(r.MeasTimeHour, r.MeasTimeMin, r.MeasTimeSec, r.InHz);
    }

    // The end of a measurement that starts at iDate and lasts the measuring time.
    Date getEndDate(Date iDate) const;
    // The measuring time in minutes, a started minute counted whole.
    std::int32_t getMeasTimeMin() const;
    std::int32_t getMeasTimeSec() const;
};

}  // namespace murtesk
