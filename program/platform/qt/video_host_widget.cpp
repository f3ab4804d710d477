#include "video_host_widget.h"

#include <QMessageBox>
#include <QMetaObject>
#include <QPainter>

#include <cstring>

#include "qt_message_window.h"
#include "qt_ui.h"
#include "ui_services.h"

namespace murtesk::platform::qt {

VideoHostWidget::VideoHostWidget(UiServices* ui, QWidget* parent) : QWidget(parent), ui_(ui) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    window_ = std::make_unique<QtMessageWindow>(
        [this](std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) -> std::intptr_t {
            if (!handler_) return 0;
            const std::intptr_t result = handler_(message, wparam, lparam);
            // The message may have changed a form (the end of playing): the windows show it now, as after
            // a timer's tick.
            if (auto* qtUi = dynamic_cast<QtUi*>(ui_)) qtUi->RefreshAll();
            return result;
        });
    host_.window = window_->Handle();
    host_.context = this;
    host_.client_size = ClientSize;
    host_.present = Present;
    host_.clear = Clear;
    host_.show = Show;
    host_.message = Message;
}

VideoHostWidget::~VideoHostWidget() {
    std::lock_guard lock(mutex_);
    alive_ = false;
}

void VideoHostWidget::SetMessageHandler(MessageWindow::Handler handler) { handler_ = std::move(handler); }

QImage VideoHostWidget::Picture() const {
    std::lock_guard lock(mutex_);
    return picture_.copy();
}

QRect VideoHostWidget::PictureRect() const {
    std::lock_guard lock(mutex_);
    return rect_;
}

std::int32_t VideoHostWidget::ClientSize(void* context, std::int32_t* width, std::int32_t* height) {
    auto* self = static_cast<VideoHostWidget*>(context);
    *width = self->width();
    *height = self->height();
    return 1;
}

void VideoHostWidget::Present(void* context, const KinemoFrame* frame) {
    auto* self = static_cast<VideoHostWidget*>(context);
    std::lock_guard lock(self->mutex_);
    if (!self->alive_) return;
    if (self->picture_.width() != frame->width || self->picture_.height() != frame->height)
        self->picture_ = QImage(frame->width, frame->height, QImage::Format_RGB32);
    if (self->picture_.isNull()) return;
    // BGRA with alpha 255 is Format_RGB32's layout in memory on this (little-endian) machine.
    const std::size_t row = static_cast<std::size_t>(frame->width) * 4;
    for (std::int32_t y = 0; y < frame->height; ++y)
        std::memcpy(self->picture_.scanLine(y), frame->pixels + static_cast<std::ptrdiff_t>(frame->stride) * y, row);
    self->rect_ = QRect(frame->x, frame->y, frame->width, frame->height);
    // Queued to the widget's thread; dropped should the widget go first.
    QMetaObject::invokeMethod(
        self, [self] { self->update(); }, Qt::QueuedConnection);
}

void VideoHostWidget::Clear(void* context) {
    auto* self = static_cast<VideoHostWidget*>(context);
    {
        std::lock_guard lock(self->mutex_);
        self->picture_ = QImage();
        self->rect_ = QRect();
    }
    self->update();
}

void VideoHostWidget::Show(void* context) {
    auto* self = static_cast<VideoHostWidget*>(context);
    if (self->shownByForm_) {
        self->setFocus();
        return;
    }
    QWidget* top = self->window();
    top->show();
    top->raise();
    top->activateWindow();
    self->setFocus();
}

void VideoHostWidget::Message(void* context, const char* text, const char* title) {
    auto* self = static_cast<VideoHostWidget*>(context);
    if (self->ui_) {
        self->ui_->MsgBox(text, MsgButtons::OK, MsgIcon::None, title);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(title), QString::fromUtf8(text), QMessageBox::Ok,
                    self->window());
    box.exec();
}

void VideoHostWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    std::lock_guard lock(mutex_);
    if (!picture_.isNull()) painter.drawImage(rect_.topLeft(), picture_);
}

}  // namespace murtesk::platform::qt
