// The calculation screen's one save dialog (dlgFileSave), shared by every output of the screen: each
// command names its title and filter. The dialog asks before overwriting a file, hides the read-only
// box, wants a folder that exists, refuses a read-only file, adds no extension, and keeps the name
// last chosen to propose it the next time.
#pragma once

#include "ui_services.h"

#include <optional>
#include <string>

namespace murtesk {

class FileSaveDialog {
public:
    explicit FileSaveDialog(platform::UiServices& ui) : ui_(ui) {}

    std::string DialogTitle;
    // "description|patterns|..." as the file dialogs take it.
    std::string Filter;
    // The name proposed; the name chosen once the user has chosen one.
    std::string FileName;

    // Shows the dialog; the path chosen (possibly empty), or nothing when the user cancelled.
    std::optional<std::string> ShowSave();
    // Shows the open dialog (the file must exist, the read-only box hidden); the same answers.
    std::optional<std::string> ShowOpen();

private:
    platform::FileDialogRequest Request() const;
    // Keeps the name chosen for the next time.
    std::optional<std::string> Remember(std::optional<std::string> chosen);

    platform::UiServices& ui_;
};

}  // namespace murtesk
