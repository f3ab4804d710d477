#include "band_chart_widget.h"

#include "binders.h"
#include "chart_axis.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace murtesk::platform::qt {

namespace {

constexpr ChartMargins kMargins{34, 8, 8, 20};  // the bottom for one line of band labels
constexpr int kLabelGap = 3;
const QColor kFrame(0xf0, 0xf0, 0xf0);
const QColor kPlot(0xff, 0xff, 0xff);
const QColor kGrid(0xc8, 0xc8, 0xc8);
const QColor kText(0x20, 0x20, 0x20);
const QColor kBar(0x30, 0x60, 0xc0);

}  // namespace

BandBarChartWidget::BandBarChartWidget(QWidget* parent) : QWidget(parent) { setMinimumSize(160, 90); }

void BandBarChartWidget::SetModel(const BandBarChartModel* model) {
    model_ = model;
    update();
}

void BandBarChartWidget::Sync() {
    if (model_ != nullptr && model_->Revision() != drawnRevision_) {
        update();
    }
}

QFont BandBarChartWidget::AxisFont() const {
    QFont axis = font();
    if (axis.pointSizeF() > 0) {
        axis.setPointSizeF(std::max(6.0, axis.pointSizeF() - 1.0));
    } else if (axis.pixelSize() > 0) {
        axis.setPixelSize(std::max(8, axis.pixelSize() - 1));
    }
    return axis;
}

BandBarChartWidget::Layout BandBarChartWidget::LayOut() const {
    Layout layout;
    if (model_ == nullptr) {
        layout.geometry = ChartGeometry(PlotRectOf(width(), height(), kMargins), 0.0, 1.0, 0.0, 1.0);
        return layout;
    }
    const auto geometry = [this](const ChartMargins& margins) {
        return ChartGeometry(PlotRectOf(width(), height(), margins), model_->BandMin() - 0.5, model_->BandMax() + 0.5,
                             model_->LevelBottom(), model_->ShownTop());
    };
    // The labels' places across depend on the plot's width alone; their lines then set the bottom margin.
    const ChartGeometry across = geometry(kMargins);
    const QFontMetrics metrics(AxisFont());
    const std::vector<BandAxisMark>& marks = model_->BandMarks();
    std::vector<int> centres;
    std::vector<int> widths;
    for (const BandAxisMark& mark : marks) {
        centres.push_back(static_cast<int>(std::lround(across.PixelX(mark.position))));
        widths.push_back(metrics.horizontalAdvance(ToQ(mark.text)));
    }
    const std::vector<PlacedAxisLabel> placed =
        across.Usable() ? PlaceAxisLabels(centres, widths, 0, width(), kLabelGap) : std::vector<PlacedAxisLabel>{};
    int lines = 1;
    for (const PlacedAxisLabel& label : placed) {
        lines = std::max(lines, label.line + 1);
    }
    ChartMargins margins = kMargins;
    margins.bottom += (lines - 1) * metrics.height();
    layout.geometry = geometry(margins);
    const PlotRect r = layout.geometry.Plot();
    for (const PlacedAxisLabel& label : placed) {
        layout.labels.push_back({ToQ(marks[label.index].text),
                                 QRect(label.left, r.top + r.height + 3 + label.line * metrics.height(),
                                       widths[label.index], metrics.height())});
    }
    return layout;
}

ChartGeometry BandBarChartWidget::Geometry() const { return LayOut().geometry; }

std::vector<BandBarChartWidget::AxisLabel> BandBarChartWidget::AxisLabels() const { return LayOut().labels; }

void BandBarChartWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kFrame);
    if (model_ == nullptr) {
        return;
    }
    drawnRevision_ = model_->Revision();
    const Layout layout = LayOut();
    const ChartGeometry& g = layout.geometry;
    const PlotRect r = g.Plot();
    if (r.Empty()) {
        return;
    }
    const QRect plot(r.left, r.top, r.width, r.height);
    p.fillRect(plot, kPlot);
    p.setPen(kGrid);
    p.drawRect(plot.adjusted(0, 0, -1, -1));
    if (!g.Usable()) {
        return;
    }
    p.setFont(AxisFont());
    const QFontMetrics metrics(AxisFont());
    DrawLevelTicks(p, g, metrics, kGrid, kText, 4);
    p.setPen(kText);
    for (const AxisLabel& label : layout.labels) {
        p.drawText(label.rect.left(), label.rect.top() + metrics.ascent(), label.text);
    }
    p.setClipRect(plot);
    const double barWidth = std::max(1.0, 0.7 * (g.PixelX(2.0) - g.PixelX(1.0)));
    const double base = g.PixelY(g.YMin());
    const std::vector<double>& levels = model_->Levels();
    for (std::size_t j = 0; j < levels.size(); ++j) {
        const double y = levels[j];
        if (!std::isfinite(y) || y <= g.YMin()) {
            continue;
        }
        const double top = std::max(g.PixelY(std::min(y, g.YMax())), static_cast<double>(r.top));
        const double x = g.PixelX(static_cast<double>(j + 1));
        p.fillRect(QRectF(x - barWidth / 2.0, top, barWidth, base - top), kBar);
    }
}

}  // namespace murtesk::platform::qt
