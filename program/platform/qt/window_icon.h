// The program's icon on its windows: the desktop entry's icon (dist/murtesk.svg), built into the program,
// so that the build tree's program carries it too.
#pragma once

#include <QIcon>

namespace murtesk::platform::qt {

// The icon drawn at the sizes window managers and task bars ask for; a null icon if it cannot be drawn.
QIcon ProgramWindowIcon();

}  // namespace murtesk::platform::qt
