#include "platform/dropped_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace murtesk::platform {
namespace {

using Paths = std::vector<std::string>;

struct DropCase {
    std::string text;
    std::optional<Paths> expected;  // nothing: the text can name no file
};

TEST(DroppedTextPaths, Table) {
    const DropCase cases[] = {
        {"/d/a.qvd", Paths{"/d/a.qvd"}},
        {"\"/d/a b.qvd\"", Paths{"/d/a b.qvd"}},
        {"/d/a.qvd\r\n", Paths{"/d/a.qvd"}},
        // File addresses: three spellings of this machine, escapes decoded after the host is read.
        {"file:///d/a%20b.qvd\r\n", Paths{"/d/a b.qvd"}},
        {"file://localhost/d/%E9%9F%B3.wav", Paths{"/d/\xE9\x9F\xB3.wav"}},  // 音 in UTF-8
        {"file:/d/%c3%a9.wav", Paths{"/d/\xC3\xA9.wav"}},                    // é, lower-case hex
        {"file:///100%25.wav", Paths{"/100%.wav"}},
        {"\"file:///q.wav\"", Paths{"/q.wav"}},
        // Several lines, empty ones passed over.
        {"file:///a.wav\r\nfile:///b%2Bc.wav\r\n", Paths{"/a.wav", "/b+c.wav"}},
        {"/a.wav\n\n/b.wav", Paths{"/a.wav", "/b.wav"}},
        {"", Paths{}},
        {"\r\n", Paths{}},
        // Texts that can name no file.
        {"a\"b.qvd", std::nullopt},
        {"\"", std::nullopt},
        {"a|b.wav", std::nullopt},
        {"tab\there.wav", std::nullopt},
        {"file://otherhost/x.qvd", std::nullopt},
        {"file://localhost", std::nullopt},
        {"file:///bad%zz.qvd", std::nullopt},
        {"file:///cut%2", std::nullopt},
        {"file:///nul%00.wav", std::nullopt},
        {"file:///q%22.wav", std::nullopt},
        {"/ok.wav\n/bad?.wav", std::nullopt},
    };
    for (const DropCase& c : cases) {
        EXPECT_EQ(DroppedTextPaths(c.text), c.expected) << "text: " << c.text;
    }
}

}  // namespace
}  // namespace murtesk::platform
