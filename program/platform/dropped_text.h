// The file paths a text dropped on a window names: a path or a "file:" address per line, as file
// managers and editors send them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace murtesk::platform {

// One path per line; line ends (LF or CR LF) and empty lines are passed over. A line in double
// quotes loses them; a "file:" address of this machine ("file:/p", "file:///p", "file://localhost/p")
// becomes its path with every percent escape decoded. Nothing when any line can name no file: a
// control character or one of " < > | * ? in the path, an address of another host, a malformed
// percent escape.
std::optional<std::vector<std::string>> DroppedTextPaths(std::string_view text);

}  // namespace murtesk::platform
