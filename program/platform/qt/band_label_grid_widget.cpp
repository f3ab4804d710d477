#include "band_label_grid_widget.h"

#include <QGridLayout>
#include <QLabel>

namespace murtesk::platform::qt {

BandLabelGridWidget::BandLabelGridWidget(const BandLabelGrid& grid, QWidget* parent) : QWidget(parent) {
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setHorizontalSpacing(2);
    layout->setVerticalSpacing(0);
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    const auto cell = [&](const GridPlace& place, QLabel*& name, QLabel*& value) {
        name = new QLabel(this);
        value = new QLabel(this);
        name->setFont(small);
        value->setFont(small);
        name->setAlignment(Qt::AlignCenter);
        value->setAlignment(Qt::AlignCenter);
        // Two grid rows per cell: the name above its value.
        layout->addWidget(name, 2 * (place.row - 1), place.column - 1);
        layout->addWidget(value, 2 * (place.row - 1) + 1, place.column - 1);
    };
    cell(grid.FPlace, fName_, fValue_);
    cell(grid.WPlace, wName_, wValue_);
    for (int k = 0; k < BandLabelGrid::kCells; ++k) {
        cell(grid.Places[static_cast<std::size_t>(k)], names_[static_cast<std::size_t>(k)],
             values_[static_cast<std::size_t>(k)]);
    }
    const QFontMetrics metrics(small);
    for (int r = 0; r < 2 * grid.Rows; ++r) {
        layout->setRowMinimumHeight(r, metrics.height());
    }
}

}  // namespace murtesk::platform::qt
