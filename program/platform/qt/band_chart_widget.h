// Draws a BandBarChartModel: the band axis with its labels at their positions, the level axis with
// its ticks, and one bar per band from the bottom of the level axis up to its level (no bar for a
// level at or below the bottom).
#pragma once

#include "band_chart_model.h"
#include "chart_geometry.h"

#include <QWidget>

#include <cstdint>

namespace murtesk::platform::qt {

class BandBarChartWidget : public QWidget {
public:
    explicit BandBarChartWidget(QWidget* parent = nullptr);

    void SetModel(const BandBarChartModel* model);
    // Takes the model's state: repaints when it changed since the last picture.
    void Sync();
    // The plot and its ranges as drawn: X from half a band before the first to half after the last.
    ChartGeometry Geometry() const;

    QSize sizeHint() const override { return {320, 150}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const BandBarChartModel* model_ = nullptr;
    std::uint64_t drawnRevision_ = 0;
};

}  // namespace murtesk::platform::qt
