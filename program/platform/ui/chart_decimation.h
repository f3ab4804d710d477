// The per-column summary that lets a chart draw a long series at the cost of its width: for each
// pixel column of the plot, the least and greatest value of the points that fall in it, and the
// first and last of them (which join a column to its neighbours). Drawing a vertical stroke from
// the least to the greatest value of every column shows exactly the pixels a line through all the
// points would touch within the column, without visiting each point at paint time.
//
// Values that are not finite (NaN, infinities) are left out, as a chart draws no such point.
#pragma once

#include "chart_geometry.h"

#include <span>
#include <vector>

namespace murtesk::platform {

struct ColumnExtent {
    float min = 0.0f;
    float max = 0.0f;
    float first = 0.0f;  // the column's first and last finite values, in series order
    float last = 0.0f;
    bool any = false;  // the column holds a finite value
};

// Summarises a series whose point k (0-based) lies at X = k × xStep: `columns` gets one entry per
// plot column of `geometry`. Points outside the X range of the plot are left out. With an unusable
// geometry or a step that is not positive every column is empty.
void SummariseColumns(std::span<const float> values, double xStep, const ChartGeometry& geometry,
                      std::vector<ColumnExtent>& columns);

}  // namespace murtesk::platform
