// Japanese look of the program: Qt's own texts (dialog buttons ...) in Japanese, and a
// font that holds Japanese glyphs.
#pragma once

class QApplication;

namespace murtesk::platform::qt {

// Loads Qt's Japanese translations and picks an installed Japanese font. Returns false when
// the translations were not found (the program still runs, with Qt's English button texts).
bool InstallJapaneseUi(QApplication& app);

}  // namespace murtesk::platform::qt
