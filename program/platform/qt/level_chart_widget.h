// Draws a LevelChartModel: axes with time and level labels, the range overlay, the level series,
// the line and the level marker into a cached picture, and the cursor and the rubber band over it.
// A long series is drawn from the per-column summary (chart_decimation.h), so a picture costs the
// plot's width, not the number of points; a cursor move or a drag only repaints over the cached
// picture. The widget tells the model where its plot lies, and hands the mouse (press, move,
// release and click, in its pixels) to a handler.
#pragma once

#include "chart_decimation.h"
#include "chart_geometry.h"
#include "chart_mouse.h"
#include "level_chart_model.h"

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace murtesk::platform::qt {

class LevelChartWidget : public QWidget {
public:
    explicit LevelChartWidget(QWidget* parent = nullptr);

    void SetModel(LevelChartModel* model);
    using MouseHandler = std::function<void(const ChartMouseEvent&)>;
    void SetMouseHandler(MouseHandler handler) { mouse_ = std::move(handler); }
    // Takes the model's state: the picture is drawn again when the background changed; a cursor
    // change repaints over the cached picture.
    void Sync();

    // The plot area in this widget's pixels and its data ranges as drawn now.
    ChartGeometry Geometry() const;

    // The cached picture (for tests and pictures); drawn first when it is out of date.
    const QImage& Background();
    // Number of times the cached picture was drawn.
    int BackgroundRenders() const { return renders_; }

    QSize sizeHint() const override { return {800, 320}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void RenderBackground();
    void DrawAxes(class QPainter& p, const ChartGeometry& g);
    void DrawOverlay(QPainter& p, const ChartGeometry& g);
    void DrawLevels(QPainter& p, const ChartGeometry& g);
    void DrawLineAndMarker(QPainter& p, const ChartGeometry& g);
    void DrawLabels(QPainter& p, const ChartGeometry& g);
    int CursorPixel() const;
    void Deliver(const std::vector<ChartMouseEvent>& events);

    LevelChartModel* model_ = nullptr;
    MouseHandler mouse_;
    ChartMouseTranslator translator_;
    std::optional<RubberBand> shownBand_;
    QImage background_;
    std::uint64_t drawnRevision_ = 0;
    bool stale_ = true;
    std::uint64_t cursorRevision_ = 0;
    int cursorPixel_ = -1;
    int renders_ = 0;
    std::vector<ColumnExtent> columns_;
};

}  // namespace murtesk::platform::qt
