#include "frmAboutView.h"

#include "frmAbout.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace murtesk {

namespace {

QFrame* SeparatingLine(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

}  // namespace

frmAboutView::frmAboutView(frmAbout& form, platform::qt::QtUi& ui)
    : FormView(form, ui, std::make_unique<platform::qt::FormDialog>(Qt::MSWindowsFixedSizeDialogHint)) {
    QWidget* w = Widget();
    picIcon = new QLabel(w);
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull()) icon = w->style()->standardIcon(QStyle::SP_ComputerIcon);
    picIcon->setPixmap(icon.pixmap(48, 48));
    picIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    lblTitle = new QLabel(w);
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    lblVersion = new QLabel(w);
    lblDescription = new QLabel(w);
    lblDescription->setWordWrap(true);
    lblDisclaimer = new QLabel(w);
    lblDisclaimer->setWordWrap(true);
    Text1 = new QPlainTextEdit(w);
    // Room for the list of libraries with FFmpeg's line wrapped once (its version and licence are as long as
    // its libraries report them); a longer list scrolls.
    Text1->setFixedHeight(Text1->fontMetrics().lineSpacing() * 7 + 12);
    cmdOK = new QPushButton(w);
    cmdSysInfo = new QPushButton(w);
    // Enter presses OK wherever the focus is, Esc as well (the window has nothing to cancel).
    cmdOK->setAutoDefault(false);
    cmdSysInfo->setAutoDefault(false);
    cmdOK->setDefault(true);
    static_cast<platform::qt::FormDialog*>(w)->SetCancelButton(cmdOK);
    NameControl("cmdOK", cmdOK);

    auto* texts = new QVBoxLayout;
    texts->addWidget(lblTitle);
    texts->addWidget(lblVersion);
    texts->addWidget(lblDescription);
    texts->addWidget(Text1);

    auto* top = new QHBoxLayout;
    top->addWidget(picIcon);
    top->addLayout(texts, 1);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    buttons->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblDisclaimer, 1);
    bottom->addLayout(buttons);

    auto* layout = new QVBoxLayout(w);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->addLayout(top);
    layout->addWidget(SeparatingLine(w));
    layout->addWidget(SeparatingLine(w));
    layout->addLayout(bottom);
    w->setMinimumWidth(520);

    Bind().Bind(lblTitle, form.lblTitle);
    Bind().Bind(lblVersion, form.lblVersion);
    Bind().Bind(lblDescription, form.lblDescription);
    Bind().Bind(lblDisclaimer, form.lblDisclaimer);
    Bind().Bind(Text1, form.Text1);
    Bind().Bind(cmdOK, form.cmdOK, [&form] { form.cmdOK_Click(); });
    Bind().Bind(cmdSysInfo, form.cmdSysInfo, [&form] { form.cmdSysInfo_Click(); });
    Refresh();
    w->setFixedSize(w->sizeHint());
}

}  // namespace murtesk
