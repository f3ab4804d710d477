#include "common_axes.h"

#include "platform/dates.h"

namespace murtesk {

namespace {

void CopyInto(CChMeasure& target, const CMeasure& targetMeasure, const CXYAxis& level, const CXYAxis& hz,
              const CCommonGraphAxisInfo& info) {
    const std::int16_t type = target.ChMeasureCondition.oct1or3;
    if (type != 1 && type != 3) {
        return;
    }
    CXYAxis& axis = target.CalcXYAxis;
    if (info.m_bLevelXAxis) {
        const double start = level.XAxisMin.AsDouble();
        if (!info.m_bAllData || (targetMeasure.StartTime <= start && start <= targetMeasure.EndTime)) {
            axis.XAxisMin = level.XAxisMin;
            axis.XAxisMax = level.XAxisMax;
            axis.XAxisUnit = level.XAxisUnit;
        } else {
            const std::int64_t width = platform::WholeSecondsBetween(start, level.XAxisMax.AsDouble());
            axis.XAxisMax =
                Variant::FromDate(platform::AddSeconds(axis.XAxisMin.AsDouble(), static_cast<double>(width)));
        }
    }
    if (info.m_bLevelYAxis) {
        axis.YAxisMin = level.YAxisMin;
        axis.YAxisMax = level.YAxisMax;
    }
    if (info.m_bHzGraphYAxis) {
        target.HzYAxis.YAxisMin = hz.YAxisMin;
        target.HzYAxis.YAxisMax = hz.YAxisMax;
        target.HzYAxis.XAxisUnit = hz.XAxisUnit;
    }
}

}  // namespace

void CopyCommonAxes(CMeasures& measures, CMeasure& shown, std::int32_t sourceNo, const CChMeasure& source,
                    const CCommonGraphAxisInfo& info) {
    // The source is among the targets: its axes are read once, before any copy.
    const CXYAxis level = source.CalcXYAxis;
    const CXYAxis hz = source.HzYAxis;
    if (info.m_bAllData) {
        for (std::int32_t m = 1; m <= measures.count(); ++m) {
            CMeasure& measure = measures.Item(m);
            if (info.m_bAllCh) {
                for (std::int32_t c = 1; c <= measure.ChMeasures.count(); ++c) {
                    CopyInto(measure.ChMeasures.Item(c), measure, level, hz, info);
                }
            } else if (sourceNo >= 1 && sourceNo <= measure.ChMeasures.count()) {
                CopyInto(measure.ChMeasures.Item(sourceNo), measure, level, hz, info);
            }
        }
    } else if (info.m_bAllCh) {
        for (std::int32_t c = 1; c <= shown.ChMeasures.count(); ++c) {
            CopyInto(shown.ChMeasures.Item(c), shown, level, hz, info);
        }
    }
}

}  // namespace murtesk
