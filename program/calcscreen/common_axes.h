// Copying one channel's graph axes to other channels of the project: the level chart's time
// window and level range and the band charts' level range, by the choices of the common graph axis
// dialog.
#pragma once

#include "model/common_graph_axis_info.h"
#include "model/measure.h"

#include <cstdint>

namespace murtesk {

// Copies the axes of `source` (channel number `sourceNo` of measurement `shown`) as `info` chooses:
// to every channel of every measurement, to channel `sourceNo` of every measurement that has it,
// or to every channel of `shown`. A target that is not analysed (band type neither 1 nor 3) is
// left alone. Taken over every measurement, a time window that does not start within the target's
// measurement keeps the target's start and takes the source window's width in whole seconds.
void CopyCommonAxes(CMeasures& measures, CMeasure& shown, std::int32_t sourceNo, const CChMeasure& source,
                    const CCommonGraphAxisInfo& info);

}  // namespace murtesk
