#include "file_save_dialog.h"

#include "model/shared_procedures.h"

#include <algorithm>
#include <cctype>

namespace murtesk {

std::string FileSaveDialog::KindOf(const std::string& filter) {
    const std::size_t bar = filter.find('|');
    if (bar == std::string::npos) return {};
    const std::string patterns = filter.substr(bar + 1, filter.find('|', bar + 1) - bar - 1);
    const std::string first = patterns.substr(0, patterns.find(';'));
    if (first.size() < 3 || first.compare(0, 2, "*.") != 0 || first.find_first_of("*?.", 2) != std::string::npos) {
        return {};
    }
    std::string kind = first.substr(2);
    std::transform(kind.begin(), kind.end(), kind.begin(), [](unsigned char c) { return std::tolower(c); });
    return kind;
}

platform::FileDialogRequest FileSaveDialog::Request() const {
    platform::FileDialogRequest request;
    request.Title = DialogTitle;
    request.Filter = Filter;
    if (const auto name = names_.find(KindOf(Filter)); name != names_.end()) {
        request.FileName = name->second;
    } else if (!FileName.empty()) {
        request.InitialDir = GetParentPath(FileName);
    }
    request.HideReadOnly = true;
    return request;
}

std::optional<std::string> FileSaveDialog::Remember(std::optional<std::string> chosen) {
    if (chosen && !chosen->empty()) {
        FileName = *chosen;
        names_[KindOf(Filter)] = *chosen;
    }
    return chosen;
}

std::optional<std::string> FileSaveDialog::ShowSave(MadeNames made) {
    platform::FileDialogRequest request = Request();
    request.OverwritePrompt = true;
    request.PathMustExist = true;
    request.NoReadOnlyReturn = true;
    RefuseProjectFiles(request, std::move(made));
    return Remember(ui_.ShowSave(request));
}

std::optional<std::string> FileSaveDialog::ShowOpen() {
    platform::FileDialogRequest request = Request();
    request.FileMustExist = true;
    return Remember(ui_.ShowOpen(request));
}

}  // namespace murtesk
