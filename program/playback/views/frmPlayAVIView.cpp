#include "frmPlayAVIView.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QVBoxLayout>

#include <tuple>
#include <vector>

#include "playback/frmPlayAVI.h"
#include "qt_ui.h"
#include "qt_video_frame.h"

namespace murtesk::playback {

using platform::qt::ToQ;

namespace {

constexpr int kTwipsPerPixel = 15;

}  // namespace

// The events a window's form hears of beyond its controls' own: the frame's layout changed, the window was
// resized or minimised, the distance box got or lost the focus.
class frmPlayAVIView::Events : public QObject {
public:
    Events(frmPlayAVIView& view, frmPlayAVI& form, platform::qt::QtUi& ui) : view_(view), form_(form), ui_(ui) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (watched == view_.frame_ && type == QEvent::Resize) {
            form_.vsElastic1_ResizeChildren();
        } else if (watched == view_.Widget() && (type == QEvent::Resize || type == QEvent::WindowStateChange)) {
            view_.WindowResized();
        } else if (watched == view_.distance_ && (type == QEvent::FocusIn || type == QEvent::FocusOut)) {
            if (type == QEvent::FocusIn)
                form_.txtDistance_GotFocus();
            else
                form_.txtDistance_LostFocus();
            ui_.RefreshAll();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    frmPlayAVIView& view_;
    frmPlayAVI& form_;
    platform::qt::QtUi& ui_;
};

frmPlayAVIView::frmPlayAVIView(frmPlayAVI& form, platform::qt::QtUi& ui)
    : FormView(form, ui, std::make_unique<QWidget>()), form_(form), ui_(ui) {
    QWidget* w = Widget();
    events_ = new Events(*this, form, ui);
    events_->setParent(w);
    auto* root = new QVBoxLayout(w);

    auto* bar = new QMenuBar(w);
    QMenu* file = bar->addMenu(ToQ(form.mnuFile.Caption));
    Bind().Bind(file->menuAction(), form.mnuFile, {});
    for (auto [name, state, handler] :
         {std::tuple{"mnuFileSaveCarNum", &form.mnuFileSaveCarNum, &frmPlayAVI::mnuFileSaveCarNum_Click},
          std::tuple{"mnuFileSaveSpeed", &form.mnuFileSaveSpeed, &frmPlayAVI::mnuFileSaveSpeed_Click}}) {
        QAction* action = file->addAction(QString());
        Bind().Bind(action, *state, [&form, handler] { (form.*handler)(); });
        actions_[name] = action;
    }
    root->setMenuBar(bar);

    root->addWidget(BuildPlayback(), 1);
    auto* panels = new QHBoxLayout();
    panels->addWidget(BuildCounting(), 3);
    panels->addWidget(BuildSpeeds(), 2);
    root->addLayout(panels);
    auto* closing = new QHBoxLayout();
    closing->addStretch(1);
    closing->addWidget(Button(w, "cmdOk", form.cmdOk, [&form] { form.cmdOk_Click(); }));
    closing->addWidget(Button(w, "cmdCancel", form.cmdCancel, [&form] { form.cmdCancel_Click(); }));
    root->addLayout(closing);

    w->installEventFilter(events_);
    Refresh();
    w->resize(860, 760);
    platform::qt::CenterOnScreen(w);
}

frmPlayAVIView::~frmPlayAVIView() {
    // The window's widgets go after this view: they tell nobody any more.
    delete events_;
    // The frame belongs to the form: out of the window before the window's widgets go, unless a newer
    // view of the form took it already.
    if (frame_ && Widget()->isAncestorOf(frame_)) {
        frame_->hide();
        frame_->setParent(nullptr);
    }
}

QAction* frmPlayAVIView::Menu(const std::string& name) const {
    const auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}

QPushButton* frmPlayAVIView::Button(QWidget* parent, const std::string& name, platform::CommandButton& state,
                                    std::function<void()> onClick) {
    auto* button = new QPushButton(parent);
    Bind().Bind(button, state, std::move(onClick));
    NameControl(name, button);
    return button;
}

QLabel* frmPlayAVIView::Label(QWidget* parent, const std::string& name, platform::Label& state) {
    auto* label = new QLabel(parent);
    Bind().Bind(label, state);
    NameControl(name, label);
    return label;
}

QWidget* frmPlayAVIView::BuildPlayback() {
    frmPlayAVI& f = form_;
    auto* panel = new QWidget(Widget());
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    if (auto* frame = dynamic_cast<QtVideoFrame*>(f.FrameAVI.get()); frame && frame->Widget()) {
        frame_ = frame->Widget();
        frame_->setParent(panel);
        frame_->setMinimumSize(160, 120);
        frame_->installEventFilter(events_);
        layout->addWidget(frame_, 1);
        NameControl("FrameAVI", frame_);
    } else {
        layout->addStretch(1);
    }

    auto* position = new QHBoxLayout();
    auto* slider = new QSlider(Qt::Horizontal, panel);
    Bind().Bind(slider, f.Slider1, [&f] { f.Slider1_Scroll(); });
    NameControl("Slider1", slider);
    position->addWidget(slider, 1);
    QLabel* time = Label(panel, "lblTime", f.lblTime);
    time->setMinimumWidth(220);
    position->addWidget(time);
    layout->addLayout(position);

    auto* commands = new QHBoxLayout();
    commands->addWidget(Button(panel, "cmdStart0", f.cmdStart[0], [&f] { f.cmdStart_Click(0); }));
    commands->addWidget(Button(panel, "cmdStop0", f.cmdStop[0], [&f] { f.cmdStop_Click(0); }));
    for (auto [name, state, handler] : {std::tuple{"cmdBack", &f.cmdBack, &frmPlayAVI::cmdBack_Click},
                                        std::tuple{"cmdForward", &f.cmdForward, &frmPlayAVI::cmdForward_Click}}) {
        QPushButton* step = Button(panel, name, *state, [&f, handler] { (f.*handler)(); });
        step->setMaximumWidth(40);
        commands->addWidget(step);
    }
    commands->addSpacing(12);
    for (int i = 0; i < 2; ++i) {
        const std::string index = std::to_string(i);
        commands->addWidget(Button(panel, "cmdSaveTime" + index, f.cmdSaveTime[static_cast<std::size_t>(i)],
                                   [&f, i] { f.cmdSaveTime_Click(i); }));
        QLabel* saved = Label(panel, "lblSaveTime" + index, f.lblSaveTime[static_cast<std::size_t>(i)]);
        saved->setMinimumWidth(130);
        saved->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        commands->addWidget(saved);
    }
    commands->addStretch(1);
    layout->addLayout(commands);
    return panel;
}

QWidget* frmPlayAVIView::BuildCounting() {
    frmPlayAVI& f = form_;
    auto* group = new QGroupBox(ToQ(f.fraCondition.Caption), Widget());
    auto* layout = new QVBoxLayout(group);

    auto* top = new QHBoxLayout();
    auto* course = new QGroupBox(ToQ(f.fraCourse.Caption), group);
    auto* courseLayout = new QHBoxLayout(course);
    std::vector<QRadioButton*> courses;
    for (int i = 0; i < f.optCourse.Count(); ++i) {
        courses.push_back(new QRadioButton(course));
        courseLayout->addWidget(courses.back());
        NameControl("optCourse" + std::to_string(i), courses.back());
    }
    Bind().Bind(courses, f.optCourse, [&f](int index) { f.optCourse_Click(index); });
    top->addWidget(course);
    top->addWidget(Label(group, "lblRoadNo", f.lblRoadNo));
    auto* lanes = new QComboBox(group);
    Bind().Bind(lanes, f.cmbRoadNo, [&f] { f.cmbRoadNo_Click(); });
    NameControl("cmbRoadNo", lanes);
    top->addWidget(lanes);
    top->addStretch(1);
    top->addWidget(Button(group, "cmdStart1", f.cmdStart[1], [&f] { f.cmdStart_Click(1); }));
    top->addWidget(Button(group, "cmdStop1", f.cmdStop[1], [&f] { f.cmdStop_Click(1); }));
    layout->addLayout(top);

    // The kinds: each label counts one vehicle when clicked; its counter below it. The total (3) stands last.
    auto* kinds = new QGridLayout();
    int column = 0;
    for (int k : {1, 2, 4, 5, 6, 7, 8}) {
        auto* kind = new QLabel(group);
        Bind().Bind(kind, f.lblCarKind[static_cast<std::size_t>(k)], [&f, k] { f.lblCarKind_Click(k); });
        kind->setFrameStyle(QFrame::Panel | QFrame::Raised);
        kind->setLineWidth(2);
        kind->setAlignment(Qt::AlignCenter);
        kind->setMinimumHeight(36);
        kind->setCursor(Qt::PointingHandCursor);
        NameControl("lblCarKind" + std::to_string(k), kind);
        kinds->addWidget(kind, 0, column);
        QLabel* count = Label(group, "lblCarNum" + std::to_string(k), f.lblCarNum[static_cast<std::size_t>(k)]);
        count->setAlignment(Qt::AlignCenter);
        kinds->addWidget(count, 1, column++);
    }
    QLabel* total = Label(group, "lblTotal", f.lblTotal);
    total->setAlignment(Qt::AlignCenter);
    kinds->addWidget(total, 0, column);
    QLabel* totalCount = Label(group, "lblCarNum3", f.lblCarNum[3]);
    totalCount->setAlignment(Qt::AlignCenter);
    totalCount->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    kinds->addWidget(totalCount, 1, column);
    layout->addLayout(kinds);

    auto* erase = new QGroupBox(ToQ(f.fraDelete.Caption), group);
    auto* eraseLayout = new QHBoxLayout(erase);
    std::vector<QRadioButton*> scopes;
    for (int i = 0; i < f.optDell.Count(); ++i) {
        scopes.push_back(new QRadioButton(erase));
        eraseLayout->addWidget(scopes.back());
        NameControl("optDell" + std::to_string(i), scopes.back());
    }
    Bind().Bind(scopes, f.optDell);
    eraseLayout->addWidget(Button(erase, "cmdBackErase", f.cmdBackErase, [&f] { f.cmdBackErase_Click(); }));
    eraseLayout->addWidget(Button(erase, "cmdAllErase", f.cmdAllErase, [&f] { f.cmdAllErase_Click(); }));
    auto* bottom = new QHBoxLayout();
    bottom->addWidget(erase, 1);
    auto* side = new QVBoxLayout();
    side->addWidget(Button(group, "cmdSearch", f.cmdSearch, [&f] { f.cmdSearch_Click(); }));
    side->addWidget(Button(group, "cmdSaveCarNum", f.cmdSaveCarNum, [&f] { f.cmdSaveCarNum_Click(); }));
    bottom->addLayout(side);
    layout->addLayout(bottom);
    return group;
}

QWidget* frmPlayAVIView::BuildSpeeds() {
    frmPlayAVI& f = form_;
    auto* group = new QGroupBox(ToQ(f.fraSpeed.Caption), Widget());
    auto* layout = new QGridLayout(group);
    auto* kinds = new QComboBox(group);
    Bind().Bind(kinds, f.cmbCarType);
    NameControl("cmbCarType", kinds);
    layout->addWidget(kinds, 0, 0, 1, 2);
    layout->addWidget(Label(group, "lblDistance", f.lblDistance), 1, 0);
    distance_ = new QLineEdit(group);
    Bind().Bind(distance_, f.txtDistance);
    distance_->installEventFilter(events_);
    // A click selects the distance too, as the focus by Tab does (the form asks for it on every focus).
    platform::qt::SelectAllOnFocus(distance_);
    NameControl("txtDistance", distance_);
    layout->addWidget(distance_, 1, 1);
    layout->addWidget(Button(group, "cmdCalcSpeed", f.cmdCalcSpeed, [&f] { f.cmdCalcSpeed_Click(); }), 2, 0, 1, 2);
    auto* list = new QListWidget(group);
    Bind().Bind(list, f.lstSpeed);
    NameControl("lstSpeed", list);
    // Wide enough for the longest row, so the kind of every speed can be read.
    list->setMinimumWidth(list->fontMetrics().horizontalAdvance(QStringLiteral("999.9km/h 小型車類(2車種分類)")) +
                          list->verticalScrollBar()->sizeHint().width() + 4 * list->frameWidth() + 8);
    layout->addWidget(list, 0, 2, 4, 1);
    layout->addWidget(Button(group, "cmdSaveSpeed", f.cmdSaveSpeed, [&f] { f.cmdSaveSpeed_Click(); }), 3, 0);
    layout->addWidget(Button(group, "cmdDelSpeed", f.cmdDelSpeed, [&f] { f.cmdDelSpeed_Click(); }), 3, 1);
    layout->setColumnStretch(2, 1);
    return group;
}

void frmPlayAVIView::WindowResized() {
    QWidget* w = Widget();
    const QSize outer = w->frameGeometry().size();
    form_.Minimized = w->isMinimized();
    form_.Width = outer.width() * kTwipsPerPixel;
    form_.Height = outer.height() * kTwipsPerPixel;
    form_.Form_Resize();
    const QSize wanted(form_.Width / kTwipsPerPixel, form_.Height / kTwipsPerPixel);
    if (!form_.Minimized && wanted != outer) w->resize(w->size() + (wanted - outer));
}

}  // namespace murtesk::playback
