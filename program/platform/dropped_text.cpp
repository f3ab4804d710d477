#include "dropped_text.h"

namespace murtesk::platform {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::string> PercentDecoded(std::string_view text) {
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            decoded += text[i];
            continue;
        }
        const int hi = i + 2 < text.size() ? HexValue(text[i + 1]) : -1;
        const int lo = i + 2 < text.size() ? HexValue(text[i + 2]) : -1;
        if (hi < 0 || lo < 0) {
            return std::nullopt;
        }
        decoded += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return decoded;
}

// The path one line names, or nothing when it can name no file.
std::optional<std::string> LinePath(std::string_view line) {
    if (line.size() >= 2 && line.front() == '"' && line.back() == '"') {
        line = line.substr(1, line.size() - 2);
    }
    std::string path(line);
    if (line.rfind("file:", 0) == 0) {
        std::string_view rest = line.substr(5);
        if (rest.rfind("//", 0) == 0) {
            rest = rest.substr(2);
            const std::size_t slash = rest.find('/');
            const std::string_view host = rest.substr(0, slash);
            // Only a file of this machine can be opened.
            if (slash == std::string_view::npos || !(host.empty() || host == "localhost")) {
                return std::nullopt;
            }
            rest = rest.substr(slash);
        }
        const std::optional<std::string> decoded = PercentDecoded(rest);
        if (!decoded) {
            return std::nullopt;
        }
        path = *decoded;
    }
    for (const char c : path) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || c == '"' || c == '<' || c == '>' || c == '|' || c == '*' || c == '?') {
            return std::nullopt;
        }
    }
    return path;
}

}  // namespace

std::optional<std::vector<std::string>> DroppedTextPaths(std::string_view text) {
    std::vector<std::string> paths;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.empty()) {
            continue;
        }
        std::optional<std::string> path = LinePath(line);
        if (!path) {
            return std::nullopt;
        }
        paths.push_back(std::move(*path));
    }
    return paths;
}

}  // namespace murtesk::platform
