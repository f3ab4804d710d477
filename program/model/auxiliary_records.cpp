// The computations of the small records: the time span of a recorded file, the width of a graph's
// X axis, and the creation-time defaults.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <stdexcept>

#include "model/start_mode.h"
#include "model/wave_file.h"
#include "model/xy_axis.h"
#include "platform/dates.h"
#include "platform/numbers.h"

namespace murtesk {

CWaveFile::CWaveFile() : StartTime(platform::Now()), EndTime(StartTime) {}

bool CWaveFile::isScope(const Variant& iDate) const {
    if (iDate.IsNull()) return false;
    const double d = iDate.AsDouble();
    return d >= std::min(StartTime, EndTime) && d <= std::max(StartTime, EndTime);
}

CStartMode::CStartMode() : RepeatStartDate(platform::Now()) {}

std::int32_t CXYAxis::getXWidthSec() const {
    double width;
    if (XAxisUnit == 3) {
        width = static_cast<double>(platform::WholeSecondsBetween(XAxisMin.AsDouble(), XAxisMax.AsDouble()));
    } else {
        const double span = platform::RoundHalfToEven(XAxisMax.AsDouble()) -
                            platform::RoundHalfToEven(XAxisMin.AsDouble());
        switch (XAxisUnit) {
            case 0: width = span; break;
            case 1: width = span * 60.0; break;
            case 2: width = span * 3600.0; break;
            default: width = span + 1.0; break;
        }
    }
    if (!(width >= std::numeric_limits<std::int32_t>::min() && width <= std::numeric_limits<std::int32_t>::max())) {
        throw std::overflow_error("axis width outside the 32-bit range");
    }
    return static_cast<std::int32_t>(width);
}

}  // namespace murtesk
