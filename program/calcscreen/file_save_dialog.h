// The calculation screen's one save dialog (dlgFileSave), shared by every output of the screen: each
// command names its title and filter. The dialog asks before overwriting a file, hides the read-only
// box, wants a folder that exists, and refuses a read-only file and the open project's own files
// (app/output_target.h); the platform's dialog adds the filter's extension to a name typed without
// one. It proposes the name last chosen for a file of the same kind (the extension of the filter's
// first pattern: ".mrk", ".csv" ...); for a kind not chosen yet, no name, in the folder of the last
// file chosen.
#pragma once

#include "output_target.h"
#include "ui_services.h"

#include <map>
#include <optional>
#include <string>

namespace murtesk {

class FileSaveDialog {
public:
    explicit FileSaveDialog(platform::UiServices& ui) : ui_(ui) {}

    std::string DialogTitle;
    // "description|patterns|..." as the file dialogs take it.
    std::string Filter;
    // The name last chosen, of whatever kind.
    std::string FileName;

    // Shows the dialog; the path chosen (possibly empty), or nothing when the user cancelled. `made`:
    // the names the command forms from the chosen one and writes too, refused as the chosen one is.
    std::optional<std::string> ShowSave(MadeNames made = {});
    // Shows the open dialog (the file must exist, the read-only box hidden); the same answers.
    std::optional<std::string> ShowOpen();

    // The kind of file a filter names: the extension of its first pattern ("csv" for
    // "テキストファイル(*.csv;*.txt)|*.csv;*.txt"), lower case; empty for "*.*".
    static std::string KindOf(const std::string& filter);

private:
    platform::FileDialogRequest Request() const;
    // Keeps the name chosen for the next time.
    std::optional<std::string> Remember(std::optional<std::string> chosen);

    platform::UiServices& ui_;
    std::map<std::string, std::string> names_;  // the name last chosen of each kind
};

}  // namespace murtesk
