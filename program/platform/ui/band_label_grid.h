// The state of a panel of band labels, as a form model holds it: a name label above a value label
// in each cell of a grid; the F and W cells and 45 band cells (elements 0..44), each placed at a
// row and column (1-based) that the form gives. A hidden cell shows neither label.
#pragma once

#include "controls.h"

#include <array>
#include <string>
#include <vector>

namespace murtesk::platform {

struct GridPlace {
    int row = 0;
    int column = 0;
};

struct BandLabelGrid : ControlState {
    static constexpr int kCells = 45;

    Label FName;
    Label FValue;
    GridPlace FPlace;
    Label WName;
    Label WValue;
    GridPlace WPlace;
    std::array<Label, kCells> Names;
    std::array<Label, kCells> Values;
    std::array<GridPlace, kCells> Places;
    int Rows = 7;
    int Columns = 7;
    // Every text a cell may hold, its name or its value, whatever it holds now: the view keeps room
    // for the widest of each column, so that the grid keeps its size as the texts change.
    std::vector<std::string> FTexts;
    std::vector<std::string> WTexts;
    std::array<std::vector<std::string>, kCells> Texts;
};

}  // namespace murtesk::platform
