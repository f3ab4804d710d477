#include "level_chart_widget.h"

#include "binders.h"
#include "chart_axis.h"
#include "platform/dates.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPolygonF>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>
#include <limits>

namespace murtesk::platform::qt {

namespace {

constexpr ChartMargins kMargins{48, 10, 14, 24};
const QColor kFrame(0xf0, 0xf0, 0xf0);
const QColor kPlot(0x10, 0x10, 0x10);
const QColor kGrid(0x48, 0x48, 0x48);
const QColor kText(0x20, 0x20, 0x20);
const QColor kSeries(0xf0, 0xf0, 0xf0);
const QColor kLine(255, 153, 0);
const QColor kMarker(0xff, 0x40, 0x40);
const QColor kCursor(0xff, 0x30, 0xff);
constexpr int kOverlayAlpha = 110;

QColor ToQColor(const ChartColor& c, int alpha = 255) { return QColor(c.red, c.green, c.blue, alpha); }

// A pixel coordinate painted safely: far-off values (-1000 dB on a 40..100 axis) are held just
// outside the plot, where the clip cuts them.
double Held(double v, double lo, double hi) { return std::isfinite(v) ? std::clamp(v, lo - 2.0, hi + 2.0) : lo - 2.0; }

}  // namespace

LevelChartWidget::LevelChartWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setMinimumSize(200, 120);
}

void LevelChartWidget::SetModel(LevelChartModel* model) {
    model_ = model;
    if (model_ != nullptr) {
        model_->SetPlotRect(PlotRectOf(width(), height(), kMargins));
    }
    stale_ = true;
    update();
}

void LevelChartWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (model_ != nullptr) {
        model_->SetPlotRect(PlotRectOf(width(), height(), kMargins));
    }
}

namespace {

int ButtonsOf(Qt::MouseButtons buttons) {
    return (buttons & Qt::LeftButton ? kLeftButton : 0) | (buttons & Qt::RightButton ? kRightButton : 0) |
           (buttons & Qt::MiddleButton ? kMiddleButton : 0);
}

}  // namespace

void LevelChartWidget::Deliver(const std::vector<ChartMouseEvent>& events) {
    for (const ChartMouseEvent& e : events) {
        if (mouse_) {
            mouse_(e);
        }
    }
}

void LevelChartWidget::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    Deliver(translator_.Press(ButtonsOf(event->button()), at.x(), at.y()));
}

void LevelChartWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    Deliver(translator_.Move(ButtonsOf(event->buttons()), at.x(), at.y()));
}

void LevelChartWidget::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    Deliver(translator_.Release(ButtonsOf(event->button()), at.x(), at.y()));
}

void LevelChartWidget::Sync() {
    if (model_ == nullptr) {
        return;
    }
    if (stale_ || model_->BackgroundRevision() != drawnRevision_) {
        stale_ = true;
        update();
        return;
    }
    if (model_->CursorRevision() != cursorRevision_) {
        cursorRevision_ = model_->CursorRevision();
        if (model_->RubberBandShown() != shownBand_) {
            update();
            return;
        }
        const int now = CursorPixel();
        if (now != cursorPixel_) {
            const PlotRect r = Geometry().Plot();
            for (const int x : {cursorPixel_, now}) {
                if (x >= 0) {
                    update(QRect(x - 1, r.top, 3, r.height));
                }
            }
            cursorPixel_ = now;
        }
    }
}

ChartGeometry LevelChartWidget::Geometry() const {
    const PlotRect plot = PlotRectOf(width(), height(), kMargins);
    if (model_ == nullptr) {
        return ChartGeometry(plot, 0.0, 1.0, 0.0, 1.0);
    }
    return ChartGeometry(plot, model_->XMin(), model_->XMax(), model_->YMin(), model_->YMax());
}

const QImage& LevelChartWidget::Background() {
    if (stale_ || background_.size() != size() ||
        (model_ != nullptr && model_->BackgroundRevision() != drawnRevision_)) {
        RenderBackground();
    }
    return background_;
}

void LevelChartWidget::paintEvent(QPaintEvent* event) {
    const QImage& picture = Background();
    QPainter p(this);
    p.drawImage(event->rect(), picture, event->rect());
    cursorPixel_ = CursorPixel();
    if (model_ != nullptr) {
        cursorRevision_ = model_->CursorRevision();
    }
    if (cursorPixel_ >= 0) {
        const PlotRect r = Geometry().Plot();
        p.setPen(QPen(kCursor, 1));
        p.drawLine(cursorPixel_, r.top, cursorPixel_, r.top + r.height - 1);
    }
    shownBand_ = model_ != nullptr ? model_->RubberBandShown() : std::nullopt;
    if (shownBand_) {
        // The band inverts what lies under it, as a drag rectangle does.
        const QRect band =
            QRect(QPoint(shownBand_->left, shownBand_->top), QPoint(shownBand_->right, shownBand_->bottom))
                .normalized();
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.fillRect(band, QColor(0xff, 0xff, 0xff));
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        p.setPen(QPen(kCursor, 1, Qt::DashLine));
        p.drawRect(band.adjusted(0, 0, -1, -1));
    }
}

int LevelChartWidget::CursorPixel() const {
    if (model_ == nullptr || !model_->CursorShown()) {
        return -1;
    }
    const std::int32_t k = model_->CursorPoint();
    if (k < 1 || k > model_->LevelCount()) {
        return -1;
    }
    const ChartGeometry g = Geometry();
    if (!g.Usable()) {
        return -1;
    }
    const std::int64_t column = g.ColumnOfX(model_->LevelPoint(k).x);
    return column >= 0 && column < g.Plot().width ? g.Plot().left + static_cast<int>(column) : -1;
}

void LevelChartWidget::RenderBackground() {
    ++renders_;
    if (background_.size() != size()) {
        background_ = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    }
    background_.fill(kFrame);
    stale_ = false;
    if (model_ == nullptr) {
        return;
    }
    drawnRevision_ = model_->BackgroundRevision();
    const ChartGeometry g = Geometry();
    const PlotRect r = g.Plot();
    if (r.Empty()) {
        return;
    }
    QPainter p(&background_);
    p.fillRect(QRect(r.left, r.top, r.width, r.height), kPlot);
    if (!g.Usable()) {
        return;
    }
    DrawAxes(p, g);
    p.setClipRect(QRect(r.left, r.top, r.width, r.height));
    DrawOverlay(p, g);
    DrawLevels(p, g);
    DrawLineAndMarker(p, g);
    DrawLabels(p, g);
}

void LevelChartWidget::DrawAxes(QPainter& p, const ChartGeometry& g) {
    const PlotRect r = g.Plot();
    const QFontMetrics metrics(font());
    p.setFont(font());
    const double xStep = TimeTickStep(g.XMax() - g.XMin(), r.width,
                                      metrics.horizontalAdvance(ToQ(FormatChartTime(0.0, model_->TimeFormat()))));
    if (xStep > 0.0) {
        // Ticks on whole multiples of the step in clock time.
        const double baseSeconds = static_cast<double>(DateToMilliseconds(model_->TimeBase()) / 1000);
        const double origin = -std::fmod(baseSeconds, xStep);
        for (double x = FirstTick(g.XMin(), origin, xStep); x <= g.XMax() + 1e-9; x += xStep) {
            const int px = static_cast<int>(std::lround(g.PixelX(x)));
            p.setPen(QPen(kGrid, 1, Qt::DotLine));
            p.drawLine(px, r.top, px, r.top + r.height - 1);
            p.setPen(kText);
            const QString text = ToQ(model_->TimeLabel(x));
            const int w = metrics.horizontalAdvance(text);
            const int left = std::clamp(px - w / 2, 0, std::max(0, width() - w));
            p.drawText(left, r.top + r.height + metrics.ascent() + 4, text);
        }
    }
    DrawLevelTicks(p, g, metrics, kGrid, kText, 6);
}

void LevelChartWidget::DrawOverlay(QPainter& p, const ChartGeometry& g) {
    const ChartGeometry o(g.Plot(), g.XMin(), g.XMax(), kRangeLowerY, kRangeUpperY);
    for (const ChartRangeSpan& span : model_->ShownRanges()) {
        const double left = Held(o.PixelX(span.x1), g.Plot().left, g.Plot().left + g.Plot().width);
        const double right = Held(o.PixelX(span.x2), g.Plot().left, g.Plot().left + g.Plot().width);
        const double top = o.PixelY(kRangeUpperY);
        const double bottom = o.PixelY(kRangeLowerY);
        // At least one pixel wide, so a range of one position shows.
        const QRectF band(QPointF(std::floor(left), top),
                          QPointF(std::max(std::floor(right) + 1.0, std::floor(left) + 1.0), bottom));
        p.fillRect(band, ToQColor(span.color, kOverlayAlpha));
    }
}

void LevelChartWidget::DrawLevels(QPainter& p, const ChartGeometry& g) {
    const std::span<const float> levels = model_->Levels();
    const PlotRect r = g.Plot();
    const double top = r.top;
    const double bottom = r.top + r.height;
    p.setPen(QPen(kSeries, 1));
    if (levels.size() <= static_cast<std::size_t>(2 * r.width)) {
        // Few points: a polyline through all of them, broken where a value is not finite.
        QPolygonF run;
        const auto flush = [&] {
            if (run.size() == 1) {
                p.drawPoint(run.front());
            } else if (run.size() > 1) {
                p.drawPolyline(run);
            }
            run.clear();
        };
        for (std::size_t k = 0; k < levels.size(); ++k) {
            if (!std::isfinite(levels[k])) {
                flush();
                continue;
            }
            run << QPointF(g.PixelX(static_cast<double>(k) * model_->XStep()) + 0.5,
                           Held(g.PixelY(levels[k]), top, bottom));
        }
        flush();
        return;
    }
    SummariseColumns(levels, model_->XStep(), g, columns_);
    const ColumnExtent* previous = nullptr;
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        const ColumnExtent& e = columns_[c];
        if (!e.any) {
            previous = nullptr;
            continue;
        }
        float lo = e.min;
        float hi = e.max;
        if (previous != nullptr) {
            // Joined to the column before: the stroke reaches the last value drawn there.
            lo = std::min(lo, previous->last);
            hi = std::max(hi, previous->last);
        }
        const double x = r.left + static_cast<double>(c) + 0.5;
        p.drawLine(QPointF(x, Held(g.PixelY(hi), top, bottom)), QPointF(x, Held(g.PixelY(lo), top, bottom)));
        previous = &e;
    }
}

void LevelChartWidget::DrawLineAndMarker(QPainter& p, const ChartGeometry& g) {
    const PlotRect r = g.Plot();
    const double top = r.top;
    const double bottom = r.top + r.height;
    const std::vector<ChartPoint>& line = model_->Line();
    if (line.size() >= 2) {
        QPolygonF poly;
        for (const ChartPoint& point : line) {
            poly << QPointF(g.PixelX(point.x), Held(g.PixelY(point.y), top, bottom));
        }
        p.setPen(QPen(kLine, 2));
        p.drawPolyline(poly);
    }
    if (const auto level = model_->LevelMarker(); level && std::isfinite(*level)) {
        const double y = Held(g.PixelY(*level), top, bottom);
        p.setPen(QPen(kMarker, 1, Qt::DashLine));
        p.drawLine(QPointF(r.left, y), QPointF(r.left + r.width, y));
    }
}

void LevelChartWidget::DrawLabels(QPainter& p, const ChartGeometry& g) {
    const ChartLabelSource& labels = model_->Labels();
    const ChartGeometry o(g.Plot(), g.XMin(), g.XMax(), kRangeLowerY, kRangeUpperY);
    p.setPen(QColor(255, 255, 0));
    int lastRight = std::numeric_limits<int>::min();
    for (std::int32_t i = std::max(labels.firstShown, 1); i <= labels.lastShown && i <= labels.count; ++i) {
        const auto label = model_->Label(i);
        if (!label) {
            continue;
        }
        const int x = static_cast<int>(std::lround(o.PixelX(label->x)));
        // Labels that would overlap the one before are left out; the marks themselves show.
        if (x < lastRight) {
            continue;
        }
        const QString text = ToQ(label->text);
        p.drawText(x + 2, static_cast<int>(std::lround(o.PixelY(label->y))), text);
        lastRight = x + 2 + p.fontMetrics().horizontalAdvance(text) + 4;
    }
}

}  // namespace murtesk::platform::qt
