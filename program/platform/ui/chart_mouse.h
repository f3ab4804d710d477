// The mouse on a chart as the form models take it: press, move and release in widget pixels with
// the button (1 left, 2 right, 4 middle; on a move the buttons held, added), and a click. A click
// is reported, before the release, only when the button went down and up on the same pixel with
// no move in between.
#pragma once

#include <cstdint>
#include <vector>

namespace murtesk::platform {

inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;

struct ChartMouseEvent {
    enum class Kind { Down, Move, Click, Up };
    Kind kind = Kind::Move;
    int button = 0;
    int x = 0;
    int y = 0;
    bool operator==(const ChartMouseEvent&) const = default;
};

class ChartMouseTranslator {
public:
    std::vector<ChartMouseEvent> Press(int button, int x, int y);
    std::vector<ChartMouseEvent> Move(int buttons, int x, int y);
    std::vector<ChartMouseEvent> Release(int button, int x, int y);

private:
    bool pressed_ = false;
    bool moved_ = false;
    int pressX_ = 0;
    int pressY_ = 0;
};

}  // namespace murtesk::platform
