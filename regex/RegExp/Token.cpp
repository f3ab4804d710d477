#include "Token.h"

#include "Cp932.h"
#include "Escapes.h"
#include "RegExpError.h"

namespace sarnik {

void TToken::readEscapeValue() {
    const auto v = readEscape(pattern_, pos_, fullWidth_);
    if (!v) throw ERegExpParser(msg::NeedEscaped, consumed());
    // The reserved codes would pose as anchors or as the empty move.
    if (*v >= LineStartCode) throw ERegExpParser(msg::BadRange, consumed());
    kind_ = TokenKind::Char;
    value_ = *v;
}

void TToken::next() {
    start_ = pos_;
    const Char c = step(pattern_, pos_);
    pos_ += c.width;
    value_ = c.code;
    kind_ = TokenKind::Char;
    uint16_t code = c.code;
    if (c.width == 0) {
        kind_ = TokenKind::End;
        return;
    }
    if (fullWidth_) {
        switch (code) {
        case fw::Bar: code = '|'; break;
        case fw::LParen: code = '('; break;
        case fw::RParen: code = ')'; break;
        case fw::Star: code = '*'; break;
        case fw::Plus: code = '+'; break;
        case fw::Question: code = '?'; break;
        case fw::RBracket: code = ']'; break;
        case fw::Dot: code = '.'; break;
        case fw::LBracket: code = '['; break;
        case fw::Yen: code = '\\'; break;
        case fw::Dollar: code = '$'; break;
        case fw::Caret: code = '^'; break;
        default: break;
        }
    }
    switch (code) {
    case '|': kind_ = TokenKind::Bar; break;
    case '(': kind_ = TokenKind::LParen; break;
    case ')': kind_ = TokenKind::RParen; break;
    case '*': kind_ = TokenKind::Star; break;
    case '+': kind_ = TokenKind::Plus; break;
    case '?': kind_ = TokenKind::Question; break;
    case ']': kind_ = TokenKind::RBracket; break;
    case '.': kind_ = TokenKind::Dot; break;
    case '$': value_ = LineEndCode; break;
    case '^': value_ = LineStartCode; break;
    case '\\': readEscapeValue(); break;
    case '[': {
        const Char n = step(pattern_, pos_);
        if (n.width && (n.code == '^' || (fullWidth_ && n.code == fw::Caret))) {
            pos_ += n.width;
            kind_ = TokenKind::LBracketCaret;
        } else {
            kind_ = TokenKind::LBracket;
        }
        break;
    }
    default: break;
    }
}

void TToken::nextInBracket() {
    start_ = pos_;
    const Char c = step(pattern_, pos_);
    pos_ += c.width;
    kind_ = TokenKind::Char;
    value_ = c.code;
    if (c.width == 0)
        kind_ = TokenKind::End;
    else if (c.code == ']' || (fullWidth_ && c.code == fw::RBracket))
        kind_ = TokenKind::RBracket;
    else if (c.code == '-' || (fullWidth_ && c.code == fw::Minus))
        kind_ = TokenKind::Minus;
    else if (c.code == '\\' || (fullWidth_ && c.code == fw::Yen))
        readEscapeValue();
}

}  // namespace sarnik
