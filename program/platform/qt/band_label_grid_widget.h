// The widgets of a BandLabelGrid: in each cell of the grid a name label above a value label, the
// F and W cells and the 45 band cells placed where the grid state says. The labels are bound one
// by one (Binders::Bind of a grid), so hiding a cell hides both of its labels.
#pragma once

#include "band_label_grid.h"

#include <QWidget>

#include <array>

class QLabel;

namespace murtesk::platform::qt {

class BandLabelGridWidget : public QWidget {
public:
    // Lays the cells out as `grid` places them.
    BandLabelGridWidget(const BandLabelGrid& grid, QWidget* parent = nullptr);

    QLabel* FName() const { return fName_; }
    QLabel* FValue() const { return fValue_; }
    QLabel* WName() const { return wName_; }
    QLabel* WValue() const { return wValue_; }
    QLabel* Name(int k) const { return names_[static_cast<std::size_t>(k)]; }
    QLabel* Value(int k) const { return values_[static_cast<std::size_t>(k)]; }

private:
    QLabel* fName_ = nullptr;
    QLabel* fValue_ = nullptr;
    QLabel* wName_ = nullptr;
    QLabel* wValue_ = nullptr;
    std::array<QLabel*, BandLabelGrid::kCells> names_{};
    std::array<QLabel*, BandLabelGrid::kCells> values_{};
};

}  // namespace murtesk::platform::qt
