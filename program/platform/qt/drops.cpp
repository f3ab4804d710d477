#include "drops.h"

#include "binders.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace murtesk::platform::qt {

namespace {

class DropFilter : public QObject {
public:
    DropFilter(QObject* parent, std::function<void(const DropData&)> onDrop, std::function<void()> after)
        : QObject(parent), onDrop_(std::move(onDrop)), after_(std::move(after)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (drag->mimeData()->hasUrls() || drag->mimeData()->hasText()) {
                drag->acceptProposedAction();
                return true;
            }
        } else if (event->type() == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(event);
            const DropData data = DropDataOf(*drop->mimeData());
            drop->acceptProposedAction();
            onDrop_(data);
            if (after_) {
                after_();
            }
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void(const DropData&)> onDrop_;
    std::function<void()> after_;
};

}  // namespace

DropData DropDataOf(const QMimeData& mime) {
    DropData data;
    for (const QUrl& url : mime.urls()) {
        if (url.isLocalFile()) {
            data.Files.push_back(FromQ(url.toLocalFile()));
        }
    }
    if (mime.hasText() && !mime.hasUrls()) {
        data.Text = FromQ(mime.text());
    }
    return data;
}

void AcceptDrops(QWidget* target, std::function<void(const DropData&)> onDrop, std::function<void()> after) {
    target->setAcceptDrops(true);
    target->installEventFilter(new DropFilter(target, std::move(onDrop), std::move(after)));
}

}  // namespace murtesk::platform::qt
