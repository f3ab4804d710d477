#include "qt_test_app.h"

#include "japanese.h"

#include <QElapsedTimer>
#include <QWidget>

namespace murtesk::platform::qt::testing {

QApplication& TestApp() {
    static int argc = 1;
    static char name[] = "murtesk_test";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance() == nullptr && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

bool RunUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) return done();
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

ProgramFont::ProgramFont() : saved_(QApplication::font()) { InstallJapaneseUi(TestApp()); }

ProgramFont::~ProgramFont() { QApplication::setFont(saved_); }

void SavePicture(QWidget& widget, const QString& fileName) {
    const QString dir = qEnvironmentVariable("MURTESK_SCREENSHOT_DIR");
    if (dir.isEmpty()) return;
    QApplication::processEvents();  // the layout follows the widgets shown and hidden
    widget.grab().save(dir + "/" + fileName);
}

}  // namespace murtesk::platform::qt::testing
