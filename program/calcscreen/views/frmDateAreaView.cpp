#include "frmDateAreaView.h"

#include "frmDateArea.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace murtesk {

frmDateAreaView::frmDateAreaView(frmDateArea& form, platform::qt::QtUi& ui)
    : FormView(form, ui, std::make_unique<platform::qt::FormDialog>()) {
    QWidget* w = Widget();
    auto* layout = new QVBoxLayout(w);
    const auto frame = [&](platform::Label& caption, const char* buttonName, platform::CommandButton& button,
                           std::function<void()> onClick, const char* labelName, platform::Label& label) {
        auto* box = new QGroupBox(w);
        auto* row = new QHBoxLayout(box);
        auto* pick = new QPushButton(box);
        pick->setIcon(w->style()->standardIcon(QStyle::SP_FileDialogDetailedView));
        pick->setAutoDefault(false);
        Bind().Bind(pick, button, std::move(onClick));
        NameControl(buttonName, pick);
        row->addWidget(pick);
        auto* text = new QLabel(box);
        Bind().Bind(text, label);
        NameControl(labelName, text);
        row->addWidget(text, 1);
        box->setTitle(platform::qt::ToQ(caption.Caption));
        layout->addWidget(box);
    };
    frame(
        form.fraStartTime, "cmdStartTime", form.cmdStartTime, [&form] { form.cmdStartTime_Click(); }, "lblStartTime",
        form.lblStartTime);
    frame(
        form.fraEndTime, "cmdEndTime", form.cmdEndTime, [&form] { form.cmdEndTime_Click(); }, "lblEndTime",
        form.lblEndTime);

    AddDialogButtons(
        layout, form.cmdOK, [&form] { form.cmdOK_Click(); }, form.cmdCancel, [&form] { form.cmdCancel_Click(); });

    Refresh();
    w->setFixedSize(300, w->sizeHint().height());
    platform::qt::CenterOnScreen(w);
}

}  // namespace murtesk
