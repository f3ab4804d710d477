#include "corner.h"

namespace murtesk {

void CCorner::AdjustMove(double& MoveX, double& MoveY, double RealWidth, double RealHeight) const {
    if (X + MoveX < 0) MoveX = -X;
    if (X + MoveX > RealWidth) MoveX = RealWidth - X;
    if (Y + MoveY < 0) MoveY = -Y;
    if (Y + MoveY > RealHeight) MoveY = RealHeight - Y;
}

bool CCorner::IsUnOverAfterMove(double MoveX, double MoveY, double RealWidth, double RealHeight) const {
    return IsUnOverPosition(X + MoveX, Y + MoveY, RealWidth, RealHeight);
}

bool CCorner::IsUnOverPosition(double ptX, double ptY, double RealWidth, double RealHeight) const {
    return 0 <= ptX && ptX <= RealWidth && 0 <= ptY && ptY <= RealHeight;
}

CCorner& CCorners::AddXY(double X, double Y) {
    CCorner corner;
    corner.X = X;
    corner.Y = Y;
    return Add(corner);
}

}  // namespace murtesk
