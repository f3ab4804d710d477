// The widget a video plays in: it is the host window (kinemo.h) that a window hands to the video library's
// OpenAvi. Frames arrive on the player's decoding thread; the newest is copied under a lock and the widget
// repaints on the user-interface thread, drawing it at its placed rectangle on black. Posts from the player
// (WM_AVIGRAPHEVENT) reach the message handler on the user-interface thread, after which the forms' views
// show their state again (when `ui` is the Qt one). The player must be closed
// (CloseAvi) before the widget goes; should a frame still come, it is dropped.
#pragma once

#include <QImage>
#include <QRect>
#include <QWidget>

#include <memory>
#include <mutex>

#include "kinemo.h"
#include "message_window.h"

namespace murtesk::platform {
class UiServices;
}

namespace murtesk::platform::qt {

class QtMessageWindow;

class VideoHostWidget : public QWidget {
public:
    // Messages of the player go through `ui` (null: a plain Qt message box).
    explicit VideoHostWidget(UiServices* ui = nullptr, QWidget* parent = nullptr);
    ~VideoHostWidget() override;

    // Valid for the widget's lifetime.
    const KinemoHost* Host() const { return &host_; }
    // What runs for each message posted to the host window (on the user-interface thread).
    void SetMessageHandler(MessageWindow::Handler handler);
    // The frame of a form, made before the form's window and placed into it by its view: the player's show
    // only gives it the focus, since the form runtime shows the window.
    void SetShownByForm(bool shownByForm) { shownByForm_ = shownByForm; }
    // The picture as it was last presented, and where (for tests).
    QImage Picture() const;
    QRect PictureRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static std::int32_t ClientSize(void* context, std::int32_t* width, std::int32_t* height);
    static void Present(void* context, const KinemoFrame* frame);
    static void Clear(void* context);
    static void Show(void* context);
    static void Message(void* context, const char* text, const char* title);

    UiServices* ui_;
    std::unique_ptr<QtMessageWindow> window_;
    MessageWindow::Handler handler_;
    bool shownByForm_ = false;
    KinemoHost host_{};
    mutable std::mutex mutex_;  // guards the picture, its rectangle and alive_ against the decoding thread
    QImage picture_;
    QRect rect_;
    bool alive_ = true;
};

}  // namespace murtesk::platform::qt
