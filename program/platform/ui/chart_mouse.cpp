#include "chart_mouse.h"

namespace murtesk::platform {

using Kind = ChartMouseEvent::Kind;

std::vector<ChartMouseEvent> ChartMouseTranslator::Press(int button, int x, int y) {
    pressed_ = true;
    moved_ = false;
    pressX_ = x;
    pressY_ = y;
    return {{Kind::Down, button, x, y}};
}

std::vector<ChartMouseEvent> ChartMouseTranslator::Move(int buttons, int x, int y) {
    // A toolkit may report a move to the pixel the button went down on: that is no move.
    if (pressed_ && (x != pressX_ || y != pressY_)) {
        moved_ = true;
    }
    return {{Kind::Move, buttons, x, y}};
}

std::vector<ChartMouseEvent> ChartMouseTranslator::Release(int button, int x, int y) {
    const bool click = pressed_ && !moved_ && x == pressX_ && y == pressY_;
    pressed_ = false;
    if (click) {
        return {{Kind::Click, button, x, y}, {Kind::Up, button, x, y}};
    }
    return {{Kind::Up, button, x, y}};
}

}  // namespace murtesk::platform
