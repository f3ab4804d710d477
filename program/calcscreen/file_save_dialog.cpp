#include "file_save_dialog.h"

namespace murtesk {

platform::FileDialogRequest FileSaveDialog::Request() const {
    platform::FileDialogRequest request;
    request.Title = DialogTitle;
    request.Filter = Filter;
    request.FileName = FileName;
    request.HideReadOnly = true;
    return request;
}

std::optional<std::string> FileSaveDialog::Remember(std::optional<std::string> chosen) {
    if (chosen) {
        FileName = *chosen;
    }
    return chosen;
}

std::optional<std::string> FileSaveDialog::ShowSave() {
    platform::FileDialogRequest request = Request();
    request.OverwritePrompt = true;
    request.PathMustExist = true;
    request.NoReadOnlyReturn = true;
    return Remember(ui_.ShowSave(request));
}

std::optional<std::string> FileSaveDialog::ShowOpen() {
    platform::FileDialogRequest request = Request();
    request.FileMustExist = true;
    return Remember(ui_.ShowOpen(request));
}

}  // namespace murtesk
