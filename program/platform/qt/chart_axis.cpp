#include "chart_axis.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QString>

#include <cmath>

namespace murtesk::platform::qt {

void DrawLevelTicks(QPainter& p, const ChartGeometry& g, const QFontMetrics& metrics, const QColor& grid,
                    const QColor& text, int labelGap) {
    const PlotRect r = g.Plot();
    const double yStep = LevelTickStep(g.YMax() - g.YMin(), r.height, metrics.height());
    if (yStep <= 0.0) {
        return;
    }
    for (double y = FirstTick(g.YMin(), 0.0, yStep); y <= g.YMax() + 1e-9; y += yStep) {
        const int py = static_cast<int>(std::lround(g.PixelY(y)));
        p.setPen(QPen(grid, 1, Qt::DotLine));
        p.drawLine(r.left, py, r.left + r.width - 1, py);
        p.setPen(text);
        const QString label = QString::number(y, 'g', 6);
        p.drawText(r.left - labelGap - metrics.horizontalAdvance(label), py + metrics.ascent() / 2 - 1, label);
    }
}

}  // namespace murtesk::platform::qt
