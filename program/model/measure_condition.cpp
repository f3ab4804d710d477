#include "model/measure_condition.h"

#include "platform/dates.h"

namespace murtesk {

Date CMeasureCondition::getEndDate(Date iDate) const {
    // Whole days first, then the remaining hours, minutes and seconds, as a calendar adds them.
    const std::int32_t hours = MeasTimeHour;
    const std::int32_t days = hours >= 0 ? hours / 24 : -((-hours + 23) / 24);
    Date end = platform::AddSeconds(iDate, days * 86400.0);
    end = platform::AddSeconds(end, (hours - days * 24) * 3600.0);
    end = platform::AddSeconds(end, MeasTimeMin * 60.0);
    return platform::AddSeconds(end, static_cast<double>(MeasTimeSec));
}

std::int32_t CMeasureCondition::getMeasTimeMin() const {
    return MeasTimeHour * 60 + MeasTimeMin + (MeasTimeSec != 0 ? 1 : 0);
}

std::int32_t CMeasureCondition::getMeasTimeSec() const {
    return MeasTimeHour * 3600 + MeasTimeMin * 60 + MeasTimeSec;
}

}  // namespace murtesk
