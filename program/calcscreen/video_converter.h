// The video assignment's converter: a video made into an AVI file the player opens by the external
// converter "ffmpeg", under the progress window with Cancel, and the new video put in the place of
// the old one with the old video's side files set aside. Nothing here shows a message: the outcome
// is a result the calculation screen tells.
#pragma once

#include "frmVideoConvert.h"
#include "ui_services.h"

#include "platform/file_moves.h"
#include "platform/process_runner.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace murtesk {

enum class ConverterEnd { Converted, NotFound, Failed, Signalled, Unplayable, Cancelled };

struct ConverterRun {
    ConverterEnd end = ConverterEnd::NotFound;
    int code = 0;               // the exit code (Failed) or the signal (Signalled)
    std::string file;           // the playable AVI beside `target` (Converted)
    std::int32_t lengthMs = 0;  // its length as `plays` gave it (Converted)
};

// The length in milliseconds of a file that plays (0: not known); nothing for one that does not.
using PlayTest = std::function<std::optional<std::int32_t>(const std::string&)>;

// The converter's AVI of `source` beside `target` under the progress window shown over `owner`: the
// streams copied, or coded anew when the copy fails or `plays` refuses it. A failed or cancelled run
// leaves no file. The converter is started by `runner`; events pass while it runs.
ConverterRun ConvertVideo(platform::UiServices& ui, platform::Form& owner, platform::ProcessRunner& runner,
                          const PlayTest& plays, const std::string& source, const std::string& target,
                          std::int32_t lengthMs);
// Why a run gave no video, for the user; empty for a run that did.
std::string ConverterReason(const ConverterRun& run);
// Puts the file `ready` in the place of the video `target`, the old video's side files set aside
// (listed in `aside`); false, with everything as it was, when a rename failed.
bool InstallVideo(const std::string& ready, const std::string& target, std::vector<platform::FileMove>& aside);
// Whether a file or link of that name is there.
bool PathTaken(const std::string& path);

}  // namespace murtesk
