// What the Qt tests of this program share: the one application, waiting on the event loop, and the
// pictures written for a person to look at.
#pragma once

#include <QApplication>
#include <QFont>
#include <QString>

#include <functional>

class QWidget;

namespace murtesk::platform::qt::testing {

// The test program's application, made at the first call; offscreen unless QT_QPA_PLATFORM names a
// platform. Never destroyed: at exit it would go after Qt's own statics and the input devices that
// synthesised mouse and key events create.
QApplication& TestApp();

// Runs the event loop until done() holds or `timeoutMs` have passed; returns done().
bool RunUntil(const std::function<bool()>& done, int timeoutMs = 15000);

// The program's font (the Japanese one main.cpp installs) while it lives; the test program's own font
// afterwards. For checks of what fits where.
class ProgramFont {
public:
    ProgramFont();
    ~ProgramFont();
    ProgramFont(const ProgramFont&) = delete;
    ProgramFont& operator=(const ProgramFont&) = delete;

private:
    QFont saved_;
};

// Writes the widget as `fileName` into MURTESK_SCREENSHOT_DIR when that is set, after the pending
// layout work; does nothing otherwise.
void SavePicture(QWidget& widget, const QString& fileName);

}  // namespace murtesk::platform::qt::testing
