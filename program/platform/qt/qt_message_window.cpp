#include "qt_message_window.h"

#include <QMetaObject>

namespace murtesk::platform::qt {

QtMessageWindow::QtMessageWindow(MessageWindow::Handler handler) : context_(std::make_unique<QObject>())
{
    QObject* context = context_.get();
    window_ = std::make_unique<MessageWindow>(std::move(handler), [this, context] {
        QMetaObject::invokeMethod(context, [this] { window_->DeliverPending(); }, Qt::QueuedConnection);
    });
}

QtMessageWindow::~QtMessageWindow()
{
    window_.reset();
}

}  // namespace murtesk::platform::qt
