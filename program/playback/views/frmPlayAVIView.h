// The video observation window: the menu, the video frame with the position slider and read-out and the playback
// commands above; below, the counting panel (direction, lane, the kind labels that count when clicked, the
// counters, search and erasing) beside the speed panel; OK and Cancel at the bottom.
#pragma once

#include <QPointer>

#include <functional>
#include <map>
#include <string>

#include "form_view.h"

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;

namespace murtesk::platform::qt {
class QtUi;
class VideoHostWidget;
}  // namespace murtesk::platform::qt

namespace murtesk::playback {

class frmPlayAVI;

class frmPlayAVIView : public platform::qt::FormView {
public:
    frmPlayAVIView(frmPlayAVI& form, platform::qt::QtUi& ui);
    // Gives the video frame back to the form before the window goes.
    ~frmPlayAVIView() override;

    // The menu command of a menu item by its name (for tests and pictures); null when unknown.
    QAction* Menu(const std::string& name) const;

private:
    class Events;

    QPushButton* Button(QWidget* parent, const std::string& name, platform::CommandButton& state,
                        std::function<void()> onClick);
    QLabel* Label(QWidget* parent, const std::string& name, platform::Label& state);
    QWidget* BuildPlayback();
    QWidget* BuildCounting();
    QWidget* BuildSpeeds();
    // The window's outer size went to the form; it may have sprung back to the least size.
    void WindowResized();

    frmPlayAVI& form_;
    platform::qt::QtUi& ui_;
    std::map<std::string, QAction*> actions_;
    // The video frame's widget, held as a plain widget: its events reach Events also while it is being
    // destroyed, when it is no longer a VideoHostWidget.
    QPointer<QWidget> frame_;
    QLineEdit* distance_ = nullptr;
    Events* events_ = nullptr;
};

}  // namespace murtesk::playback
