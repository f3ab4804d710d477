#include "band_chart_widget.h"

#include "binders.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

namespace murtesk::platform::qt {

namespace {

constexpr ChartMargins kMargins{34, 8, 8, 20};
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

ChartGeometry BandBarChartWidget::Geometry() const {
    const PlotRect plot = PlotRectOf(width(), height(), kMargins);
    if (model_ == nullptr) {
        return ChartGeometry(plot, 0.0, 1.0, 0.0, 1.0);
    }
    return ChartGeometry(plot, model_->BandMin() - 0.5, model_->BandMax() + 0.5, model_->LevelBottom(),
                         model_->ShownTop());
}

void BandBarChartWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kFrame);
    if (model_ == nullptr) {
        return;
    }
    drawnRevision_ = model_->Revision();
    const ChartGeometry g = Geometry();
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
    const QFontMetrics metrics(font());
    const double yStep = LevelTickStep(g.YMax() - g.YMin(), r.height, metrics.height());
    if (yStep > 0.0) {
        for (double y = FirstTick(g.YMin(), 0.0, yStep); y <= g.YMax() + 1e-9; y += yStep) {
            const int py = static_cast<int>(std::lround(g.PixelY(y)));
            p.setPen(QPen(kGrid, 1, Qt::DotLine));
            p.drawLine(r.left, py, r.left + r.width - 1, py);
            p.setPen(kText);
            const QString text = QString::number(y, 'g', 6);
            p.drawText(r.left - 4 - metrics.horizontalAdvance(text), py + metrics.ascent() / 2 - 1, text);
        }
    }
    int lastRight = std::numeric_limits<int>::min();
    p.setPen(kText);
    for (const BandAxisMark& mark : model_->BandMarks()) {
        const QString text = ToQ(mark.text);
        const int w = metrics.horizontalAdvance(text);
        const int left = static_cast<int>(std::lround(g.PixelX(mark.position))) - w / 2;
        // Labels that would run into the one before are left out.
        if (left < lastRight) {
            continue;
        }
        p.drawText(left, r.top + r.height + metrics.ascent() + 3, text);
        lastRight = left + w + 3;
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
