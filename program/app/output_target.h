// Where an output may not be written: over the open project's own files (model/project_parts.h).
// Every save dialog of an output asks through RefuseProjectFiles, so the dialog says why and stays
// open for another name; an output that forms further names from the chosen one (the mark ranges'
// WAV files) gives the dialog those names too, so that a name it would write is refused while the
// user can still choose another.
#pragma once

#include "ui_services.h"

#include <functional>
#include <string>
#include <vector>

namespace murtesk {

// Why `target` cannot be an output of the open project (the document's project file): the text to
// show, empty when it can.
std::string OutputRefusal(const std::string& target);

// The names an output forms from the file chosen and writes as well.
using MadeNames = std::function<std::vector<std::string>(const std::string& chosen)>;

// The first refusal of `chosen` and of the names `made` (when given) forms from it, after the file
// name of the one refused (the dialog shows it as it is, so the user sees which file the project
// keeps); empty when every one will do.
std::string OutputRefusal(const std::string& chosen, const MadeNames& made);

// The request's dialog refuses what the open project keeps, with the text of OutputRefusal(chosen,
// made): the file chosen, and each name `made` (when given) forms from it.
void RefuseProjectFiles(platform::FileDialogRequest& request, MadeNames made = {});

}  // namespace murtesk
