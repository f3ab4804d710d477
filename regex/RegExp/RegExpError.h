// The error a bad pattern raises inside the engine: a fixed message and the number of pattern
// bytes read when the fault was found. The exports turn it into the result -1 and the position.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace sarnik {

namespace msg {
inline constexpr const char* ExtraText = "正規表現に余分な文字があります";
inline constexpr const char* NeedRParen = "右(閉じ)括弧が必要です";
inline constexpr const char* NeedRBracket = "右ブラケット\"]\"が必要です";
inline constexpr const char* NeedPrimary = "普通の文字、または左括弧\"(\"が必要です";
inline constexpr const char* BadRange = "不正なキャラクタ範囲です";
inline constexpr const char* NeedEscaped = "\"\\\"の次には文字が必要です。";
// A pattern whose automaton would exceed the state budget.
inline constexpr const char* TooComplex = "正規表現が複雑すぎます";
}  // namespace msg

class ERegExpParser : public std::runtime_error {
public:
    ERegExpParser(const char* message, uint32_t position)
        : std::runtime_error(message), position_(position) {}
    uint32_t position() const { return position_; }

private:
    uint32_t position_;
};

}  // namespace sarnik
