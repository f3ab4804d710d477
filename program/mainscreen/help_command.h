// The Help menu's manual: "Murtesk.pdf" of the program folder, else "ReadMe.txt", opened with the
// desktop's program for it through xdg-open. The outcome is reported as a shell result code:
// above 32 the file was opened, 2 the file is missing, 31 no program opens such files.
#pragma once

#include "platform/process_runner.h"
#include "ui_services.h"

#include <cstdint>
#include <string>

namespace murtesk {

using platform::ProcessOutcome;
using platform::ProcessRunner;
using platform::SystemProcessRunner;

inline constexpr std::int32_t kShellOk = 33;
inline constexpr std::int32_t kShellFileNotFound = 2;
inline constexpr std::int32_t kShellNoAssociation = 31;
inline constexpr std::int32_t kShellUnknownFailure = 0;

// Opens `path` with the desktop's program for it and returns the shell result code.
std::int32_t ShellOpenFile(ProcessRunner& runner, const std::string& path);

// The message for a shell result code of 32 or less.
std::string ShellErrorText(std::int32_t code);

// The manual command: opens the manual, or the read-me file when there is no manual, from the program
// folder, or from the install's data folder when the program folder holds neither. A failure is reported
// in one message box: the manual's by its shell result code, the read-me file's naming the file.
void OpenManual(platform::UiServices& ui, ProcessRunner& runner);

}  // namespace murtesk
