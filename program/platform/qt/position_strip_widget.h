// Draws a PositionStrip: its background lines into a cached picture, drawn again only when the
// background changed or the size did, and the inverted lines over it at every paint, so a cursor
// move costs one line. A mouse button released over it reports the point in the strip's scale.
#pragma once

#include "position_strip.h"

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <vector>

namespace murtesk::platform::qt {

class PositionStripWidget : public QWidget {
public:
    // button: 1 left, 2 right, 4 middle; x and y in the strip's scale.
    using MouseUp = std::function<void(int button, double x, double y)>;

    explicit PositionStripWidget(QWidget* parent = nullptr);

    void SetModel(const PositionStrip* model) { model_ = model; }
    void SetMouseUp(MouseUp onMouseUp) { onMouseUp_ = std::move(onMouseUp); }
    // Takes the model's state: repaints, drawing the background first when it changed.
    void Sync();

    // The pixel column of x in the strip's scale.
    double PixelOf(double x) const;
    // The strip's x at a pixel column.
    double ScaleXOf(double pixel) const;
    int BackgroundRenders() const { return renders_; }

protected:
    void paintEvent(class QPaintEvent* event) override;
    void mouseReleaseEvent(class QMouseEvent* event) override;

private:
    void RenderBackground();

    const PositionStrip* model_ = nullptr;
    MouseUp onMouseUp_;
    QImage background_;
    std::uint64_t drawnRevision_ = ~std::uint64_t{0};
    std::uint64_t syncedRevision_ = ~std::uint64_t{0};
    std::vector<double> syncedInverted_;
    int renders_ = 0;
};

}  // namespace murtesk::platform::qt
