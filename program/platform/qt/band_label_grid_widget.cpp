#include "band_label_grid_widget.h"

#include <QGridLayout>
#include <QLabel>

#include <algorithm>
#include <string>
#include <vector>

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
    // Every row as high as a line and every column as wide as the widest text its cells may hold,
    // whatever they hold now (the labels' own sizes are ignored): the grid, and the panels beside
    // it, keep their size and place as the band type and the values change.
    std::vector<int> widths(static_cast<std::size_t>(std::max(grid.Columns, 1)), 0);
    const auto reserve = [&](const GridPlace& place, const std::vector<std::string>& texts) {
        if (place.column < 1 || place.column > static_cast<int>(widths.size())) {
            return;
        }
        int& width = widths[static_cast<std::size_t>(place.column - 1)];
        for (const std::string& text : texts) {
            width = std::max(width, metrics.horizontalAdvance(QString::fromStdString(text)));
        }
    };
    reserve(grid.FPlace, grid.FTexts);
    reserve(grid.WPlace, grid.WTexts);
    for (int k = 0; k < BandLabelGrid::kCells; ++k) {
        reserve(grid.Places[static_cast<std::size_t>(k)], grid.Texts[static_cast<std::size_t>(k)]);
    }
    if (*std::max_element(widths.begin(), widths.end()) == 0) {
        return;  // no texts given: the labels keep their own sizes
    }
    for (std::size_t c = 0; c < widths.size(); ++c) {
        layout->setColumnMinimumWidth(static_cast<int>(c), widths[c]);
    }
    for (QLabel* label : findChildren<QLabel*>()) {
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    }
}

}  // namespace murtesk::platform::qt
