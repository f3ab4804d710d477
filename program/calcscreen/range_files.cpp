#include "range_files.h"

#include "platform/dates.h"
#include "platform/numbers.h"

#include <algorithm>
#include <cmath>

namespace murtesk {

std::optional<CScopes> MapFileRanges(const CScopes& file, Date fileStart, double filePeriod, Date start, double rate,
                                     std::int32_t n) {
    if (!(filePeriod > 0.0) || !std::isfinite(filePeriod) || !(rate > 0.0) || !std::isfinite(fileStart)) {
        return std::nullopt;
    }
    const double factor = rate * filePeriod;
    const double offset =
        platform::RoundHalfToEven(rate * static_cast<double>(platform::WholeSecondsBetween(start, fileStart)));
    CScopes mapped;
    for (const auto& range : file) {
        const double s = range->S.AsDouble();
        const double e = range->E.AsDouble();
        if (!std::isfinite(s) || !std::isfinite(e)) {
            return std::nullopt;
        }
        // A start keeps its time (position S begins (S - 1) steps after the file's start), an end
        // the time where its step ends.
        double first = platform::RoundHalfToEven((s - 1.0) * factor) + 1.0 + offset;
        double last = platform::RoundHalfToEven(e * factor) + offset;
        if (s <= e && last < first) {
            last = first;  // shorter than a step here: the step its start falls in
        }
        if (first > n || last < 1.0) {
            continue;
        }
        first = std::max(first, 1.0);
        last = std::min(last, static_cast<double>(n));
        mapped.SimpleAdd(std::make_shared<CScope>(Variant(static_cast<std::int32_t>(first)),
                                                  Variant(static_cast<std::int32_t>(last))));
    }
    return mapped;
}

}  // namespace murtesk
