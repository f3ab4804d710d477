// A point in a bounded drawing area, with the tests and the correction that keep it (or a move of
// it) inside the area, and a list of such points.
#pragma once

#include <tuple>

#include "model/record_stream.h"
#include "model/standard_collection.h"

namespace murtesk {

class CCorner : public Record<CCorner> {
public:
    double X = 0.0;
    double Y = 0.0;

    template <class Self, class Io>
    static bool Fields(Self& self, Io& io) {
        return io.Magic() && io(self.X) && io(self.Y);
    }
    static auto Compared(const CCorner& c) { return std::tie(c.X, c.Y); }

    // Corrects a proposed move so that the moved point stays within [0, RealWidth] x
    // [0, RealHeight]; the corner itself does not move.
    void AdjustMove(double& MoveX, double& MoveY, double RealWidth, double RealHeight) const;
    // The moved point lies within the area (its edges included).
    bool IsUnOverAfterMove(double MoveX, double MoveY, double RealWidth, double RealHeight) const;
    // The point (ptX, ptY) lies within the area, whatever this corner's own position.
    bool IsUnOverPosition(double ptX, double ptY, double RealWidth, double RealHeight) const;
};

class CCorners : public StandardCollection<CCorner, CCorners> {
public:
    // Appends a new corner at (X, Y) and returns it.
    CCorner& AddXY(double X, double Y);
};

}  // namespace murtesk
