// Where an output may not be written: over the open project's own files (model/project_parts.h).
// Every save dialog of an output asks through RefuseProjectFiles, so the dialog says why and stays
// open for another name; an output that forms further names from the chosen one asks
// OutputRefusal of each.
#pragma once

#include "ui_services.h"

#include <string>

namespace murtesk {

// Why `target` cannot be an output of the open project (the document's project file): the text to
// show, empty when it can.
std::string OutputRefusal(const std::string& target);

// The request's dialog refuses, with OutputRefusal's text, what the open project keeps.
void RefuseProjectFiles(platform::FileDialogRequest& request);

}  // namespace murtesk
