#include "PartialPlaybackView.h"

#include "PartialPlayback.h"
#include "position_strip_widget.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace murtesk::playback {

namespace {

constexpr int kStripWidth = 441;  // 6615 twips at 15 twips a pixel

}  // namespace

PartialPlaybackView::PartialPlaybackView(PartialPlayback& form, platform::qt::QtUi& ui, int stripHeight)
    : FormView(form, ui, std::make_unique<QWidget>()) {
    QWidget* w = Widget();
    auto* layout = new QVBoxLayout(w);

    picWave = new platform::qt::PositionStripWidget(w);
    picWave->setFixedSize(kStripWidth, stripHeight);
    picWave->setCursor(Qt::CrossCursor);
    Bind().Bind(picWave, form.picWave, [&form](int button, double x, double y) { form.picWave_MouseUp(button, x, y); });
    layout->addWidget(picWave);

    auto* labels = new QHBoxLayout();
    Label1 = new QLabel(w);
    Bind().Bind(Label1, form.Label1);
    lblTime = new QLabel(w);
    Bind().Bind(lblTime, form.lblTime);
    labels->addWidget(Label1);
    labels->addSpacing(12);
    labels->addWidget(lblTime, 1);
    layout->addLayout(labels);

    auto* buttons = new QHBoxLayout();
    const auto button = [&](QPushButton*& widget, platform::CommandButton& state, void (PartialPlayback::*click)()) {
        widget = new QPushButton(w);
        widget->setCursor(Qt::PointingHandCursor);
        Bind().Bind(widget, state, [&form, click] { (form.*click)(); });
        buttons->addWidget(widget);
    };
    button(cmdStart, form.cmdStart, &PartialPlayback::cmdStart_Click);
    button(cmdPlayX2, form.cmdPlayX2, &PartialPlayback::cmdPlayX2_Click);
    button(cmdStop, form.cmdStop, &PartialPlayback::cmdStop_Click);
    button(cmdCancel, form.cmdCancel, &PartialPlayback::cmdCancel_Click);
    cmdStart->setDefault(true);
    layout->addLayout(buttons);
    for (const auto& [key, target] : {std::pair{Qt::Key_Return, cmdStart}, std::pair{Qt::Key_Enter, cmdStart},
                                      std::pair{Qt::Key_Escape, cmdCancel}}) {
        auto* shortcut = new QShortcut(QKeySequence(key), w);
        QObject::connect(shortcut, &QShortcut::activated, target, &QPushButton::animateClick);
    }

    Refresh();
    w->setFixedSize(w->sizeHint());
    platform::qt::CenterOnScreen(w);
}

}  // namespace murtesk::playback
