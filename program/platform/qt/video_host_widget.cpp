#include "video_host_widget.h"

#include <QMessageBox>
#include <QMetaObject>
#include <QPainter>

#include <cstring>

#include "qt_message_window.h"
#include "ui_services.h"

namespace murtesk::platform::qt {

VideoHostWidget::VideoHostWidget(UiServices* ui, QWidget* parent) : QWidget(parent), m_ui(ui)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    m_window = std::make_unique<QtMessageWindow>([this](std::uint32_t message, std::uintptr_t wparam,
                                                        std::intptr_t lparam) -> std::intptr_t {
        return m_handler ? m_handler(message, wparam, lparam) : 0;
    });
    m_host.window = m_window->Handle();
    m_host.context = this;
    m_host.client_size = ClientSize;
    m_host.present = Present;
    m_host.clear = Clear;
    m_host.show = Show;
    m_host.message = Message;
}

VideoHostWidget::~VideoHostWidget()
{
    std::lock_guard lock(m_mutex);
    m_alive = false;
}

void VideoHostWidget::SetMessageHandler(MessageWindow::Handler handler)
{
    m_handler = std::move(handler);
}

QImage VideoHostWidget::Picture() const
{
    std::lock_guard lock(m_mutex);
    return m_picture.copy();
}

QRect VideoHostWidget::PictureRect() const
{
    std::lock_guard lock(m_mutex);
    return m_rect;
}

std::int32_t VideoHostWidget::ClientSize(void* context, std::int32_t* width, std::int32_t* height)
{
    auto* self = static_cast<VideoHostWidget*>(context);
    *width = self->width();
    *height = self->height();
    return 1;
}

void VideoHostWidget::Present(void* context, const KinemoFrame* frame)
{
    auto* self = static_cast<VideoHostWidget*>(context);
    std::lock_guard lock(self->m_mutex);
    if (!self->m_alive)
        return;
    if (self->m_picture.width() != frame->width || self->m_picture.height() != frame->height)
        self->m_picture = QImage(frame->width, frame->height, QImage::Format_RGB32);
    if (self->m_picture.isNull())
        return;
    // BGRA with alpha 255 is Format_RGB32's layout in memory on this (little-endian) machine.
    const std::size_t row = static_cast<std::size_t>(frame->width) * 4;
    for (std::int32_t y = 0; y < frame->height; ++y)
        std::memcpy(self->m_picture.scanLine(y), frame->pixels + static_cast<std::ptrdiff_t>(frame->stride) * y, row);
    self->m_rect = QRect(frame->x, frame->y, frame->width, frame->height);
    // Queued to the widget's thread; dropped should the widget go first.
    QMetaObject::invokeMethod(self, [self] { self->update(); }, Qt::QueuedConnection);
}

void VideoHostWidget::Clear(void* context)
{
    auto* self = static_cast<VideoHostWidget*>(context);
    {
        std::lock_guard lock(self->m_mutex);
        self->m_picture = QImage();
        self->m_rect = QRect();
    }
    self->update();
}

void VideoHostWidget::Show(void* context)
{
    auto* self = static_cast<VideoHostWidget*>(context);
    QWidget* top = self->window();
    top->show();
    top->raise();
    top->activateWindow();
    self->setFocus();
}

void VideoHostWidget::Message(void* context, const char* text, const char* title)
{
    auto* self = static_cast<VideoHostWidget*>(context);
    if (self->m_ui) {
        self->m_ui->MsgBox(text, MsgButtons::OK, MsgIcon::None, title);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(title), QString::fromUtf8(text), QMessageBox::Ok,
                    self->window());
    box.exec();
}

void VideoHostWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    std::lock_guard lock(m_mutex);
    if (!m_picture.isNull())
        painter.drawImage(m_rect.topLeft(), m_picture);
}

}  // namespace murtesk::platform::qt
