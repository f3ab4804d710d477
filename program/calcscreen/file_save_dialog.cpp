#include "file_save_dialog.h"

namespace murtesk {

std::optional<std::string> FileSaveDialog::ShowSave() {
    platform::FileDialogRequest request;
    request.Title = DialogTitle;
    request.Filter = Filter;
    request.FileName = FileName;
    request.OverwritePrompt = true;
    request.HideReadOnly = true;
    request.PathMustExist = true;
    request.NoReadOnlyReturn = true;
    std::optional<std::string> chosen = ui_.ShowSave(request);
    if (chosen) {
        FileName = *chosen;
    }
    return chosen;
}

}  // namespace murtesk
