// Draws a BandBarChartModel: the band axis with its labels at their positions (on two lines when one
// would not hold them all, a label that still does not fit left out, never the first or the last),
// the level axis with its ticks, and one bar per band from the bottom of the level axis up to its level (no bar for a
// level at or below the bottom).
#pragma once

#include "band_chart_model.h"
#include "chart_geometry.h"

#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <vector>

namespace murtesk::platform::qt {

class BandBarChartWidget : public QWidget {
public:
    explicit BandBarChartWidget(QWidget* parent = nullptr);

    void SetModel(const BandBarChartModel* model);
    // Takes the model's state: repaints when it changed since the last picture.
    void Sync();
    // The plot and its ranges as drawn: X from half a band before the first to half after the last.
    ChartGeometry Geometry() const;
    struct AxisLabel {
        QString text;
        QRect rect;  // where the text is drawn, in widget pixels
    };
    // The band axis labels as drawn at the widget's present size, in the model's order.
    std::vector<AxisLabel> AxisLabels() const;

    QSize sizeHint() const override { return {320, 150}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Layout {
        ChartGeometry geometry;
        std::vector<AxisLabel> labels;
    };
    Layout LayOut() const;
    // The axes' text: a point below the widget's, so that a band axis at the screen's size holds every label.
    QFont AxisFont() const;

    const BandBarChartModel* model_ = nullptr;
    std::uint64_t drawnRevision_ = 0;
};

}  // namespace murtesk::platform::qt
