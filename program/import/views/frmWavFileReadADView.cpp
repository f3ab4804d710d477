#include "frmWavFileReadADView.h"

#include "dialog_keys.h"
#include "drops.h"
#include "qt_ui.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace murtesk::import {

namespace {

QLabel* Caption(QWidget* parent, const char* text)
{
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

}  // namespace

frmWavFileReadADView::frmWavFileReadADView(frmWavFileReadAD& form, platform::qt::QtUi& ui)
    : FormView(form, ui, std::make_unique<platform::qt::FormDialog>()), form_(form), ui_(ui) {
    auto* layout = new QVBoxLayout(Widget());
    filePage_ = new QWidget(Widget());
    conditionPage_ = new QWidget(Widget());
    layout->addWidget(filePage_);
    layout->addWidget(conditionPage_);
    BuildFilePage(filePage_);
    BuildConditionPage(conditionPage_);

    Refresh();
    Widget()->resize(640, 420);
}

QPushButton* frmWavFileReadADView::Button(QWidget* parent, const std::string& name, platform::CommandButton& state,
                                          std::function<void()> onClick)
{
    auto* button = new QPushButton(parent);
    button->setAutoDefault(false);
    Bind().Bind(button, state, std::move(onClick));
    NameControl(name, button);
    return button;
}

QComboBox* frmWavFileReadADView::Combo(QWidget* parent, const std::string& name, platform::ComboBox& state,
                                       std::function<void()> onClick)
{
    auto* combo = new QComboBox(parent);
    combo->setMinimumContentsLength(14);
    Bind().Bind(combo, state, std::move(onClick));
    NameControl(name, combo);
    return combo;
}

QLineEdit* frmWavFileReadADView::Edit(QWidget* parent, const std::string& name, platform::TextBox& state)
{
    auto* edit = new QLineEdit(parent);
    platform::qt::SelectAllOnFocus(edit);
    Bind().Bind(edit, state);
    NameControl(name, edit);
    return edit;
}

void frmWavFileReadADView::BuildFilePage(QWidget* page)
{
    frmWavFileReadAD& f = form_;
    auto after = [this] { ui_.RefreshAll(); };
    auto* grid = new QGridLayout(page);

    auto* label1 = new QLabel(page);
    Bind().Bind(label1, f.Label1);
    grid->addWidget(label1, 0, 0, 1, 2);

    auto* list = new QListWidget(page);
    list->setDragDropMode(QAbstractItemView::DropOnly);
    platform::qt::AcceptDrops(list->viewport(), [&f](const platform::DropData& d) { f.lstWaveFile_OLEDragDrop(d); }, after);
    Bind().Bind(list, f.lstWaveFile);
    NameControl("lstWaveFile", list);
    grid->addWidget(list, 1, 0, 5, 1);

    grid->addWidget(Button(page, "cmdWaveFiles", f.cmdWaveFiles, [&f] { f.cmdWaveFiles_Click(); }), 1, 1);
    grid->addWidget(Button(page, "cmdDeleteFile", f.cmdDeleteFile, [&f] { f.cmdDeleteFile_Click(); }), 2, 1);
    grid->addWidget(Button(page, "cmdUp", f.cmdUp, [&f] { f.cmdUp_Click(); }), 3, 1);
    grid->addWidget(Button(page, "cmdDown", f.cmdDown, [&f] { f.cmdDown_Click(); }), 4, 1);

    auto* label2 = new QLabel(page);
    Bind().Bind(label2, f.Label2);
    grid->addWidget(label2, 6, 0, 1, 2);
    QLineEdit* path = Edit(page, "txtCSVPathName", f.txtCSVPathName);
    platform::qt::AcceptDrops(path, [&f](const platform::DropData& d) { f.txtCSVPathName_OLEDragDrop(d); }, after);
    grid->addWidget(path, 7, 0);
    grid->addWidget(Button(page, "cmdCalWaveFile", f.cmdCalWaveFile, [&f] { f.cmdCalWaveFile_Click(); }), 7, 1);

    auto* check = new QCheckBox(page);
    Bind().Bind(check, f.chkWaveOut);
    NameControl("chkWaveOut", check);
    grid->addWidget(check, 8, 0, 1, 2);

    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    buttons->addWidget(Button(page, "cmdNext", f.cmdNext, [&f] { f.cmdNext_Click(); }));
    buttons->addWidget(Button(page, "cmdCancel0", f.cmdCancel[0], [&f] { f.cmdCancel_Click(0); }));
    grid->addLayout(buttons, 9, 0, 1, 2);
    grid->setColumnStretch(0, 1);
}

void frmWavFileReadADView::BuildConditionPage(QWidget* page)
{
    frmWavFileReadAD& f = form_;
    auto* grid = new QGridLayout(page);
    int row = 0;
    auto line = [&](const char* caption, QWidget* field, QPushButton* common) {
        grid->addWidget(Caption(page, caption), row, 0);
        grid->addWidget(field, row, 1);
        if (common != nullptr) {
            grid->addWidget(common, row, 2);
        }
        ++row;
    };
    line("ＣＨ番号", Combo(page, "cmbCh", f.cmbCh, [&f] { f.cmbCh_Click(); }), nullptr);
    line("分析Band幅 : ", Combo(page, "cmbOct1or3", f.cmbOct1or3, [&f] { f.cmbOct1or3_Click(); }),
         Button(page, "cmdComonBand", f.cmdComonBand, [&f] { f.cmdComonBand_Click(); }));
    line("開始分析Band : ", Combo(page, "cmbStartBand", f.cmbStartBand, [&f] { f.cmbStartBand_Click(); }), nullptr);
    line("終了分析Band : ", Combo(page, "cmbEndBand", f.cmbEndBand, {}), nullptr);
    line("補正特性 : ", Combo(page, "cmbW", f.cmbW, {}),
         Button(page, "cmdCommonW", f.cmdCommonW, [&f] { f.cmdCommonW_Click(); }));
    line("動特性 : ", Combo(page, "cmbTimeWeighting", f.cmbTimeWeighting, {}),
         Button(page, "cmdCommonTW", f.cmdCommonTW, [&f] { f.cmdCommonTW_Click(); }));
    line("生成レベル波形間隔時間 : ", Combo(page, "cmbLevelIntervalMS", f.cmbLevelIntervalMS, {}),
         Button(page, "cmdCommonLevelIntervalMS", f.cmdCommonLevelIntervalMS, [&f] { f.cmdCommonLevelIntervalMS_Click(); }));
    line("CAL信号波形 : ", Combo(page, "cmbCALWavePattern", f.cmbCALWavePattern, {}),
         Button(page, "cmdCommonCALWave", f.cmdCommonCALWave, [&f] { f.cmdCommonCALWave_Click(); }));
    line("CAL片振幅最大値 : ", Edit(page, "txtCAL0p", f.txtCAL0p),
         Button(page, "cmdCommonCAL0p", f.cmdCommonCAL0p, [&f] { f.cmdCommonCAL0p_Click(); }));
    line("CALのレベル(dB) : ", Edit(page, "txtCalLevel", f.txtCalLevel),
         Button(page, "cmdCommonLevel", f.cmdCommonLevel, [&f] { f.cmdCommonLevel_Click(); }));
    line("ゼロ補正値 : ", Edit(page, "txtZeroPlus", f.txtZeroPlus),
         Button(page, "cmdCommonZeroPlus", f.cmdCommonZeroPlus, [&f] { f.cmdCommonZeroPlus_Click(); }));

    auto* format = new QHBoxLayout();
    for (platform::Label* state : {&f.lblFs, &f.lblBit}) {
        auto* label = new QLabel(page);
        Bind().Bind(label, *state);
        format->addWidget(label);
    }
    format->addStretch();
    grid->addLayout(format, row++, 1, 1, 2);
    auto* progress = new QLabel(page);
    Bind().Bind(progress, f.lblSate);
    NameControl("lblSate", progress);
    grid->addWidget(progress, row++, 0, 1, 3);

    auto* buttons = new QHBoxLayout();
    buttons->addWidget(Button(page, "cmdBack", f.cmdBack, [&f] { f.cmdBack_Click(); }));
    buttons->addStretch();
    buttons->addWidget(Button(page, "cmdStart", f.cmdStart, [&f] { f.cmdStart_Click(); }));
    buttons->addWidget(Button(page, "cmdCancel1", f.cmdCancel[1], [&f] { f.cmdCancel_Click(1); }));
    grid->addLayout(buttons, row, 0, 1, 3);
    grid->setColumnStretch(1, 1);
}

void frmWavFileReadADView::OnRefresh()
{
    // The page that goes is hidden before the other shows: for a moment both would need room, and
    // the window would grow to hold them.
    const std::pair<QWidget*, bool> pages[] = {{filePage_, form_.vsElastic1.Visible},
                                               {conditionPage_, form_.vsElastic2.Visible}};
    for (const bool show : {false, true}) {
        for (const auto& [page, visible] : pages) {
            if (visible == show && page->isHidden() == visible) {
                page->setVisible(visible);
            }
        }
    }
    if (auto* start = static_cast<QPushButton*>(Control("cmdStart"))) {
        const bool stops = form_.cmdStartIcon == kStopIcon;
        if (start->property("stops").toBool() != stops || start->icon().isNull()) {
            start->setIcon(start->style()->standardIcon(stops ? QStyle::SP_MediaStop : QStyle::SP_MediaPlay));
            start->setProperty("stops", stops);
        }
    }
    for (const char* name : {"cmdNext", "cmdStart"}) {
        if (auto* button = static_cast<QPushButton*>(Control(name))) {
            button->setDefault(form_.DefaultButton == name);
        }
    }
    static_cast<platform::qt::FormDialog*>(Widget())->SetCancelButton(
        static_cast<QPushButton*>(Control(form_.CancelButton)));
}

}  // namespace murtesk::import
