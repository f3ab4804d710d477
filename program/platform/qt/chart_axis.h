// The level axis that the Qt charts share: dotted grid lines across the plot at round levels, each
// labelled to the left of the plot.
#pragma once

#include "chart_geometry.h"

#include <QColor>

class QFontMetrics;
class QPainter;

namespace murtesk::platform::qt {

// Draws the level ticks of `g` with `p`: grid lines in `grid` across the plot, labels in `text` written
// with the painter's font (measured by `metrics`), their right ends `labelGap` pixels left of the plot.
// The ticks are spaced so that the labels never overlap; nothing is drawn when no spacing fits.
void DrawLevelTicks(QPainter& p, const ChartGeometry& g, const QFontMetrics& metrics, const QColor& grid,
                    const QColor& text, int labelGap);

}  // namespace murtesk::platform::qt
