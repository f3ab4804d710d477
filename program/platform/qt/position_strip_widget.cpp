#include "position_strip_widget.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace murtesk::platform::qt {

PositionStripWidget::PositionStripWidget(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

void PositionStripWidget::Sync() {
    // Only a change repaints: the views are shown again at every pass of an event loop.
    const std::uint64_t revision = model_ != nullptr ? model_->BackgroundRevision : 0;
    const std::vector<double> inverted = model_ != nullptr ? model_->Inverted : std::vector<double>{};
    if (revision != syncedRevision_ || inverted != syncedInverted_) {
        syncedRevision_ = revision;
        syncedInverted_ = inverted;
        update();
    }
}

double PositionStripWidget::PixelOf(double x) const {
    if (model_ == nullptr || model_->ScaleWidth == 0.0) {
        return 0.0;
    }
    return (x - model_->ScaleLeft) / model_->ScaleWidth * width();
}

double PositionStripWidget::ScaleXOf(double pixel) const {
    if (model_ == nullptr || width() == 0) {
        return 0.0;
    }
    return model_->ScaleLeft + pixel / width() * model_->ScaleWidth;
}

void PositionStripWidget::RenderBackground() {
    background_ = QImage(size(), QImage::Format_RGB32);
    background_.fill(Qt::white);
    ++renders_;
    QPainter p(&background_);
    p.setPen(QColor(128, 128, 128));
    p.drawRect(0, 0, width() - 1, height() - 1);
    if (model_ == nullptr || model_->ScaleHeight == 0.0) {
        return;
    }
    const auto pixelY = [this](double y) { return (y - model_->ScaleTop) / model_->ScaleHeight * height(); };
    for (const StripLine& line : model_->Lines) {
        QPen pen(QColor(line.color.red, line.color.green, line.color.blue));
        pen.setWidth(std::max(1, line.width));
        pen.setCapStyle(Qt::FlatCap);
        p.setPen(pen);
        const double x = std::floor(PixelOf(line.x)) + 0.5;
        p.drawLine(QPointF(x, pixelY(line.y1)), QPointF(x, pixelY(line.y2)));
    }
}

void PositionStripWidget::paintEvent(QPaintEvent*) {
    const std::uint64_t revision = model_ != nullptr ? model_->BackgroundRevision : 0;
    if (background_.size() != size() || revision != drawnRevision_) {
        RenderBackground();
        drawnRevision_ = revision;
    }
    QPainter p(this);
    p.drawImage(0, 0, background_);
    if (model_ == nullptr) {
        return;
    }
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setPen(QPen(Qt::white, 1));
    for (double x : model_->Inverted) {
        const int column = std::clamp(static_cast<int>(std::floor(PixelOf(x))), 0, width() - 1);
        p.drawLine(column, 0, column, height() - 1);
    }
}

void PositionStripWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (!onMouseUp_ || model_ == nullptr || height() == 0) {
        return;
    }
    int button = 1;
    if (event->button() == Qt::RightButton) {
        button = 2;
    } else if (event->button() == Qt::MiddleButton) {
        button = 4;
    }
    const QPointF at = event->position();
    const double y = model_->ScaleTop + at.y() / height() * model_->ScaleHeight;
    onMouseUp_(button, ScaleXOf(at.x()), y);
}

}  // namespace murtesk::platform::qt
