// Files and text dropped on a widget, handed to the form model as DropData.
#pragma once

#include "controls.h"

#include <functional>

class QMimeData;
class QWidget;

namespace murtesk::platform::qt {

// The local files of a drop's addresses, in the order dropped, and its text only when it carries
// no addresses: a file manager sends its file list as text as well.
DropData DropDataOf(const QMimeData& mime);

// Makes target take drops of files and text: each drop goes to onDrop, then after runs (it shows
// the views again). For a list or another scroll area, target is its viewport.
void AcceptDrops(QWidget* target, std::function<void(const DropData&)> onDrop, std::function<void()> after);

}  // namespace murtesk::platform::qt
