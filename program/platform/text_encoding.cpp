#include "text_encoding.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace murtesk::platform {
namespace {

// One iconv descriptor per direction and thread; iconv state is not shareable between threads.
class Converter {
public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    ~Converter() {
        if (valid()) iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Converts `input`, calling `on_bad(rest)` at every position iconv refuses; on_bad returns the
    // number of input bytes to skip and appends its replacement to `out`.
    template <class OnBad>
    std::string Run(std::string_view input, OnBad on_bad) {
        std::string out;
        out.reserve(input.size() * 3 / 2 + 8);
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(input.data());
        std::size_t in_left = input.size();
        char buffer[1024];
        while (in_left > 0) {
            char* dst = buffer;
            std::size_t dst_left = sizeof buffer;
            const std::size_t rc = iconv(handle_, &in, &in_left, &dst, &dst_left);
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            if (rc != static_cast<std::size_t>(-1)) continue;
            if (errno == E2BIG) continue;
            // EILSEQ (invalid or unmappable) or EINVAL (incomplete at the end): replace and go on.
            std::size_t skip = on_bad(std::string_view(in, in_left), out);
            if (skip == 0 || skip > in_left) skip = in_left < 1 ? in_left : 1;
            in += skip;
            in_left -= skip;
            iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

private:
    iconv_t handle_;
};

}  // namespace

std::size_t Utf8SequenceLength(std::string_view rest) {
    const auto lead = static_cast<unsigned char>(rest[0]);
    std::size_t length = 1;
    if (lead >= 0xC2 && lead <= 0xDF) length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4) length = 4;
    if (length > rest.size()) return 1;
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(rest[i]) & 0xC0) != 0x80) return 1;
    }
    return length;
}

std::string Utf8ToCp932(std::string_view utf8, std::size_t* replaced) {
    thread_local Converter converter("CP932", "UTF-8");
    std::size_t count = 0;
    std::string out;
    if (converter.valid()) {
        out = converter.Run(utf8, [&](std::string_view rest, std::string& sink) {
            ++count;
            sink.push_back('?');
            return Utf8SequenceLength(rest);
        });
    } else {
        // Without the converter only ASCII passes.
        for (std::size_t i = 0; i < utf8.size();) {
            const auto byte = static_cast<unsigned char>(utf8[i]);
            if (byte < 0x80) {
                out.push_back(static_cast<char>(byte));
                ++i;
            } else {
                out.push_back('?');
                ++count;
                i += Utf8SequenceLength(utf8.substr(i));
            }
        }
    }
    if (replaced) *replaced = count;
    return out;
}

std::string Cp932ToUtf8(std::string_view cp932, std::size_t* replaced) {
    thread_local Converter converter("UTF-8", "CP932");
    static constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
    std::size_t count = 0;
    std::string out;
    if (converter.valid()) {
        out = converter.Run(cp932, [&](std::string_view, std::string& sink) {
            ++count;
            sink.append(kReplacement);
            return std::size_t{1};
        });
    } else {
        for (const char c : cp932) {
            if (static_cast<unsigned char>(c) < 0x80) {
                out.push_back(c);
            } else {
                out.append(kReplacement);
                ++count;
            }
        }
    }
    if (replaced) *replaced = count;
    return out;
}

Cp932Fit FitToCp932(std::string_view utf8) {
    Cp932Fit fit;
    fit.stored = Cp932ToUtf8(Utf8ToCp932(utf8));
    if (fit.stored == utf8) return fit;
    // Character by character: CP932 has no shift states, so each converts as it does in the text.
    for (std::size_t i = 0; i < utf8.size();) {
        const std::string_view typed = utf8.substr(i, Utf8SequenceLength(utf8.substr(i)));
        i += typed.size();
        if (static_cast<unsigned char>(typed[0]) < 0x80) continue;
        std::string stored = Cp932ToUtf8(Utf8ToCp932(typed));
        if (stored == typed) continue;
        const bool known = std::any_of(fit.changes.begin(), fit.changes.end(),
                                       [&](const Cp932Fit::Change& change) { return change.typed == typed; });
        if (!known) fit.changes.push_back({std::string(typed), std::move(stored)});
    }
    return fit;
}

std::size_t Cp932CharacterCount(std::string_view cp932) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < cp932.size(); ++count) {
        i += IsCp932LeadByte(static_cast<unsigned char>(cp932[i])) ? 2 : 1;
    }
    return count;
}

}  // namespace murtesk::platform
