#include "frmOctCalcView.h"

#include "band_chart_widget.h"
#include "band_label_grid_widget.h"
#include "frmOctCalc.h"
#include "level_chart_widget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

namespace murtesk {

using platform::qt::BandBarChartWidget;
using platform::qt::BandLabelGridWidget;
using platform::qt::LevelChartWidget;

frmOctCalcView::frmOctCalcView(frmOctCalc& form, platform::qt::QtUi& ui)
    : FormView(form, ui, std::make_unique<QWidget>()), form_(form) {
    QWidget* w = Widget();
    auto* root = new QVBoxLayout(w);
    root->setContentsMargins(6, 4, 6, 6);
    root->setSpacing(4);
    BuildMenus(root);
    BuildHeader(root);

    auto* middle = new QHBoxLayout();
    auto* chartColumn = new QVBoxLayout();
    BuildChart(chartColumn);
    middle->addLayout(chartColumn, 1);
    BuildDragAction(middle);
    root->addLayout(middle, 3);

    auto* bottom = new QHBoxLayout();
    BuildBandPanels(bottom);
    BuildStatistics(bottom);
    BuildRangePanels(bottom);
    root->addLayout(bottom, 2);

    Refresh();
    w->resize(1240, 820);
    platform::qt::CenterOnScreen(w);
}

QPushButton* frmOctCalcView::Button(QWidget* parent, const std::string& name, platform::CommandButton& state,
                                    std::function<void()> onClick) {
    auto* button = new QPushButton(parent);
    Bind().Bind(button, state, std::move(onClick));
    NameControl(name, button);
    return button;
}

QLabel* frmOctCalcView::Label(QWidget* parent, const std::string& name, platform::Label& state) {
    auto* label = new QLabel(parent);
    Bind().Bind(label, state);
    NameControl(name, label);
    return label;
}

QComboBox* frmOctCalcView::Combo(QWidget* parent, const std::string& name, platform::ComboBox& state,
                                 std::function<void()> onClick) {
    auto* combo = new QComboBox(parent);
    Bind().Bind(combo, state, std::move(onClick));
    NameControl(name, combo);
    return combo;
}

void frmOctCalcView::BuildMenus(QVBoxLayout* root) {
    frmOctCalc& f = form_;
    auto* bar = new QMenuBar(Widget());
    const auto item = [&](QMenu* menu, const std::string& name, platform::MenuItem& state,
                          std::function<void()> onClick) {
        QAction* action = menu->addAction(QString());
        Bind().Bind(action, state, std::move(onClick));
        actions_[name] = action;
    };
    QMenu* file = bar->addMenu(platform::qt::ToQ(f.mnuFile.Caption));
    item(file, "mnuCalcTextFile", f.mnuCalcTextFile, [&f] { f.mnuCalcTextFile_Click(); });
    item(file, "mnuFilePartitionAreaCSVOut", f.mnuFilePartitionAreaCSVOut,
         [&f] { f.mnuFilePartitionAreaCSVOut_Click(); });
    item(file, "mnuTextFile", f.mnuTextFile, [&f] { f.mnuTextFile_Click(); });
    item(file, "mnuLETextFile", f.mnuLETextFile, [&f] { f.mnuLETextFile_Click(); });
    QMenu* tool = bar->addMenu(platform::qt::ToQ(f.mnuTool.Caption));
    item(tool, "mnuChangeDate", f.mnuChangeDate, [&f] { f.mnuChangeDate_Click(); });
    item(tool, "mnuHorizontalLine", f.mnuHorizontalLine, [&f] { f.mnuHorizontalLine_Click(); });
    item(tool, "mnuLevelOverArea", f.mnuLevelOverArea, [&f] { f.mnuLevelOverArea_Click(); });
    item(tool, "mnuVideoFile", f.mnuVideoFile, [&f] { f.mnuVideoFile_Click(); });
    item(tool, "mnuToolVideo", f.mnuToolVideo, [&f] { f.mnuToolVideo_Click(); });
    item(tool, "mnuToolArea", f.mnuToolArea, [&f] { f.mnuToolArea_Click(); });
    root->setMenuBar(bar);
}

void frmOctCalcView::BuildHeader(QVBoxLayout* root) {
    frmOctCalc& f = form_;
    QWidget* w = Widget();
    auto* top = new QHBoxLayout();
    QLabel* measure = Label(w, "lblDisplayMeas", f.lblDisplayMeas);
    measure->setStyleSheet("font-weight: bold");
    top->addWidget(measure);
    top->addWidget(Label(w, "lblStartymdhms", f.lblStartymdhms));
    top->addWidget(new QLabel(QStringLiteral("～"), w));
    top->addWidget(Label(w, "lblEndymdhms", f.lblEndymdhms));
    top->addSpacing(12);
    top->addWidget(Button(w, "cmdFirst", f.cmdFirst, [&f] { f.cmdFirst_Click(); }));
    top->addWidget(Button(w, "cmdBack", f.cmdBack, [&f] { f.cmdBack_Click(); }));
    top->addWidget(Button(w, "cmdNext", f.cmdNext, [&f] { f.cmdNext_Click(); }));
    top->addWidget(Button(w, "cmdEnd", f.cmdEnd, [&f] { f.cmdEnd_Click(); }));
    top->addStretch(1);
    top->addWidget(Button(w, "cmdAxisSame", f.cmdAxisSame, [&f] { f.cmdAxisSame_Click(); }));
    cmdREC = Button(w, "cmdREC", f.cmdREC, [&f] { f.cmdREC_Click(); });
    cmdREC->setMinimumSize(90, 30);
    top->addWidget(cmdREC);
    root->addLayout(top);

    auto* channel = new QHBoxLayout();
    channel->addWidget(new QLabel(QStringLiteral("チャンネル"), w));
    QComboBox* ch = Combo(w, "cmbCh", f.cmbCh, [&f] { f.cmbCh_Click(); });
    ch->setMinimumWidth(70);
    channel->addWidget(ch);
    channel->addWidget(Label(w, "lblOct1or3", f.lblOct1or3));
    channel->addWidget(Label(w, "lblTimeWeighting", f.lblTimeWeighting));
    channel->addSpacing(12);
    channel->addWidget(new QLabel(QStringLiteral("バンド"), w));
    QComboBox* band = Combo(w, "cmbGraphBand", f.cmbGraphBand, [&f] { f.cmbGraphBand_Click(); });
    band->setMinimumWidth(150);
    band->setMaxVisibleItems(20);
    channel->addWidget(band);
    channel->addSpacing(12);
    channel->addWidget(new QLabel(QStringLiteral("メモ"), w));
    auto* memo = new QPlainTextEdit(w);
    memo->setFixedHeight(40);
    Bind().Bind(
        memo, f.txtMEMO, [&f] { f.txtMEMO_Change(); }, [&f] { f.txtMEMO_LostFocus(); });
    NameControl("txtMEMO", memo);
    channel->addWidget(memo, 1);
    root->addLayout(channel);
}

void frmOctCalcView::BuildChart(QVBoxLayout* column) {
    frmOctCalc& f = form_;
    QWidget* w = Widget();
    auto* readouts = new QHBoxLayout();
    QPushButton* settings = Button(w, "cmdSetLevelWave", f.cmdSetLevelWave, [&f] { f.cmdSetLevelWave_Click(); });
    settings->setIcon(w->style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    readouts->addWidget(settings);
    QLabel* level = Label(w, "lblCLp", f.lblCLp);
    level->setMinimumWidth(130);
    level->setStyleSheet("font-weight: bold");
    readouts->addWidget(level);
    readouts->addWidget(Label(w, "lblCymdhms", f.lblCymdhms));
    readouts->addStretch(1);
    readouts->addWidget(Button(w, "cmbLeftScroll", f.cmbLeftScroll, [&f] { f.cmbLeftScroll_Click(); }));
    readouts->addWidget(Combo(w, "cmbScrollSec", f.cmbScrollSec, {}));
    readouts->addWidget(Button(w, "cmbRightScroll", f.cmbRightScroll, [&f] { f.cmbRightScroll_Click(); }));
    column->addLayout(readouts);

    chart_ = new LevelChartWidget(w);
    Bind().Bind(chart_, f.Chart2DLevelWave, [&f](const platform::ChartMouseEvent& e) {
        using Kind = platform::ChartMouseEvent::Kind;
        switch (e.kind) {
        case Kind::Down: f.Chart2DLevelWave_MouseDown(e.button, e.x, e.y); break;
        case Kind::Move: f.Chart2DLevelWave_MouseMove(e.button, e.x, e.y); break;
        case Kind::Click: f.Chart2DLevelWave_Click(); break;
        case Kind::Up: f.Chart2DLevelWave_MouseUp(e.button, e.x, e.y); break;
        }
    });
    NameControl("Chart2DLevelWave", chart_);
    column->addWidget(chart_, 1);

    scroll_ = new QScrollBar(Qt::Horizontal, w);
    Bind().Bind(scroll_, f.scrGraph, [&f] { f.scrGraph_Change(); });
    NameControl("scrGraph", scroll_);
    column->addWidget(scroll_);
}

void frmOctCalcView::BuildDragAction(QHBoxLayout* row) {
    frmOctCalc& f = form_;
    auto* box = new QGroupBox(QStringLiteral("ドラッグ"), Widget());
    auto* layout = new QVBoxLayout(box);
    std::vector<QRadioButton*> actions;
    for (int i = 0; i < f.optMouseAction.Count(); ++i) {
        actions.push_back(new QRadioButton(box));
        layout->addWidget(actions.back());
        NameControl("optMouseAction" + std::to_string(i), actions.back());
    }
    Bind().Bind(actions, f.optMouseAction);
    auto* line = new QFrame(box);
    line->setFrameShape(QFrame::HLine);
    layout->addWidget(line);
    std::vector<QRadioButton*> bands;
    for (int i = 0; i < f.optAreaBand.Count(); ++i) {
        bands.push_back(new QRadioButton(box));
        layout->addWidget(bands.back());
        NameControl("optAreaBand" + std::to_string(i), bands.back());
    }
    Bind().Bind(bands, f.optAreaBand);
    layout->addStretch(1);
    row->addWidget(box);
}

void frmOctCalcView::BuildBandPanels(QHBoxLayout* row) {
    frmOctCalc& f = form_;
    QWidget* w = Widget();
    const auto panel = [&](const QString& title, const std::string& chartName, platform::BandBarChartModel& chart,
                           const std::string& gridName, platform::BandLabelGrid& grid, const std::string& listName,
                           platform::ControlState& listState) {
        auto* box = new QGroupBox(title, w);
        auto* layout = new QVBoxLayout(box);
        // Narrow side margins: the band names of a whole row fit the window's first width.
        const QMargins margins = layout->contentsMargins();
        layout->setContentsMargins(4, margins.top(), 4, margins.bottom());
        auto* bars = new BandBarChartWidget(box);
        Bind().Bind(bars, chart);
        NameControl(chartName, bars);
        layout->addWidget(bars, 1);
        // The list of the panel's values, shown in the chart's place.
        auto* list = new QListWidget(box);
        list->setSelectionMode(QAbstractItemView::NoSelection);
        NameControl(listName, list);
        layout->addWidget(list, 1);
        Bind().Bind(list, listState, [bars, list, &grid, &listState] {
            bars->setVisible(!listState.Visible);
            if (!listState.Visible) {
                return;
            }
            QStringList rows;
            const auto row = [&rows](const platform::Label& name, const platform::Label& value) {
                rows << platform::qt::ToQ(name.Caption + "  " + value.Caption);
            };
            row(grid.FName, grid.FValue);
            row(grid.WName, grid.WValue);
            for (std::size_t k = 0; k < grid.Names.size(); ++k) {
                if (grid.Names[k].Visible) {
                    row(grid.Names[k], grid.Values[k]);
                }
            }
            QStringList shown;
            for (int i = 0; i < list->count(); ++i) {
                shown << list->item(i)->text();
            }
            if (shown != rows) {
                list->clear();
                list->addItems(rows);
            }
        });
        auto* labels = new BandLabelGridWidget(grid, box);
        Bind().Bind(labels, grid);
        NameControl(gridName, labels);
        layout->addWidget(labels);
        row->addWidget(box, 1);
        return std::make_pair(box, layout);
    };
    const QIcon search = w->style()->standardIcon(QStyle::SP_FileDialogContentsView);

    auto [cursorBox, cursor] =
        panel(QStringLiteral("カーソル位置"), "chartCSFFT", f.chartCSFFT, "gridCursor", f.gridCursor, "vsElasticList",
              f.vsElasticList);
    auto* cursorButtons = new QHBoxLayout();
    cursorButtons->addWidget(Button(cursorBox, "cmdBarOrList", f.cmdBarOrList, [&f] { f.cmdBarOrList_Click(); }));
    cursorButtons->addWidget(Button(cursorBox, "cmdACursor", f.cmdACursor, [&f] { f.cmdACursor_Click(); }));
    QPushButton* copy = Button(cursorBox, "cmdCopyCursor", f.cmdCopyCursor, [&f] { f.cmdCopyCursor_Click(); });
    copy->setIcon(w->style()->standardIcon(QStyle::SP_DialogSaveButton));
    cursorButtons->addWidget(copy);
    QPushButton* lmax = Button(cursorBox, "cmdSearchLmax", f.cmdSearchLmax, [&f] { f.cmdSearchLmax_Click(); });
    lmax->setIcon(search);
    cursorButtons->addWidget(lmax);
    cursor->addLayout(cursorButtons);

    auto [calcBox, calc] = panel(QStringLiteral("計算値"), "chartCalcFFT", f.chartCalcFFT, "gridCalc", f.gridCalc,
                                 "vsElasticCalcList", f.vsElasticCalcList);
    calc->insertWidget(0, Combo(calcBox, "cmbCalcL", f.cmbCalcL, [&f] { f.cmbCalcL_Click(); }));
    auto* calcButtons = new QHBoxLayout();
    QPushButton* list = Button(calcBox, "cmdCalcBarOrList", f.cmdCalcBarOrList, [&f] { f.cmdCalcBarOrList_Click(); });
    calcButtons->addWidget(list);
    calcButtons->addWidget(Button(calcBox, "cmdACalc", f.cmdACalc, [&f] { f.cmdACalc_Click(); }));
    QPushButton* copyCalc = Button(calcBox, "cmdCopyCalc", f.cmdCopyCalc, [&f] { f.cmdCopyCalc_Click(); });
    copyCalc->setIcon(w->style()->standardIcon(QStyle::SP_DialogSaveButton));
    calcButtons->addWidget(copyCalc);
    calc->addLayout(calcButtons);
}

void frmOctCalcView::BuildStatistics(QHBoxLayout* row) {
    frmOctCalc& f = form_;
    auto* box = new QGroupBox(QStringLiteral("表示バンド"), Widget());
    auto* grid = new QGridLayout(box);
    const std::pair<const char*, platform::Label*> rows[] = {
        {"Leq", &f.lblLeq}, {"Lmax", &f.lblLmax}, {"L5", &f.lblL5},   {"L10", &f.lblL10}, {"L25", &f.lblL25},
        {"L50", &f.lblL50}, {"L75", &f.lblL75},   {"L90", &f.lblL90}, {"L95", &f.lblL95}, {"LE", &f.lblLE}};
    // The values' column is as wide as the widest value, whatever is shown: the panels beside it
    // keep their place.
    const int valueWidth = box->fontMetrics().horizontalAdvance(QStringLiteral("100.0dB"));
    grid->setColumnMinimumWidth(1, valueWidth);
    int r = 0;
    for (const auto& [name, label] : rows) {
        grid->addWidget(new QLabel(QString::fromUtf8(name), box), r, 0);
        QLabel* value = Label(box, std::string("lbl") + name, *label);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        grid->addWidget(value, r, 1);
        ++r;
    }
    auto* lx = new QHBoxLayout();
    lx->addWidget(new QLabel(QStringLiteral("L"), box));
    lx->addWidget(Combo(box, "cmbLx", f.cmbLx, [&f] { f.cmbLx_Click(); }));
    grid->addLayout(lx, r, 0);
    QLabel* lxValue = Label(box, "lblLx", f.lblLx);
    lxValue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lxValue->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    grid->addWidget(lxValue, r, 1);
    row->addWidget(box);
}

namespace {

// A range list wide enough for a whole line.
QListView* RangeList(QWidget* parent) {
    auto* list = new QListView(parent);
    const int line =
        list->fontMetrics().horizontalAdvance(QStringLiteral("No.00000 2000/00/00 00:00:00 ～ 2000/00/00 00:00:00"));
    list->setMinimumWidth(line + list->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 12);
    return list;
}

}  // namespace

void frmOctCalcView::BuildRangePanels(QHBoxLayout* row) {
    frmOctCalc& f = form_;
    auto* tabs = new QTabWidget(Widget());
    NameControl("tabAreas", tabs);
    const QIcon search = Widget()->style()->standardIcon(QStyle::SP_FileDialogContentsView);

    auto* excluded = new QWidget(tabs);
    {
        auto* layout = new QVBoxLayout(excluded);
        auto* list = RangeList(excluded);
        Bind().Bind(list, f.lstCalcDelArea);
        NameControl("lstCalcDelArea", list);
        layout->addWidget(list, 1);
        auto* buttons = new QGridLayout();
        buttons->addWidget(Button(excluded, "cmdAddDel", f.cmdAddDel, [&f] { f.cmdAddDel_Click(); }), 0, 0);
        buttons->addWidget(Button(excluded, "cmdAddCalc", f.cmdAddCalc, [&f] { f.cmdAddCalc_Click(); }), 0, 1);
        buttons->addWidget(Button(excluded, "cmdDelCalc", f.cmdDelCalc, [&f] { f.cmdDelCalc_Click(); }), 0, 2);
        buttons->addWidget(Button(excluded, "cmdAllCalc", f.cmdAllCalc, [&f] { f.cmdAllCalc_Click(); }), 0, 3);
        buttons->addWidget(Button(excluded, "cmdReverse", f.cmdReverse, [&f] { f.cmdReverse_Click(); }), 1, 0);
        QPushButton* find =
            Button(excluded, "cmdSearchDelCalc", f.cmdSearchDelCalc, [&f] { f.cmdSearchDelCalc_Click(); });
        find->setIcon(search);
        buttons->addWidget(find, 1, 1);
        buttons->addWidget(Button(excluded, "cmdDelSave", f.cmdDelSave, [&f] { f.cmdDelSave_Click(); }), 1, 2);
        buttons->addWidget(Button(excluded, "cmdDelOpen", f.cmdDelOpen, [&f] { f.cmdDelOpen_Click(); }), 1, 3);
        buttons->addWidget(
            Button(excluded, "cmdLinkChDelArea", f.cmdLinkChDelArea, [&f] { f.cmdLinkChDelArea_Click(); }), 2, 0);
        buttons->addWidget(
            Button(excluded, "cmdLevelOverDelete", f.cmdLevelOverDelete, [&f] { f.cmdLevelOverDelete_Click(); }), 2, 1);
        layout->addLayout(buttons);
    }
    tabs->addTab(excluded, QString());

    auto* le = new QWidget(tabs);
    {
        auto* layout = new QGridLayout(le);
        layout->addWidget(new QLabel(QStringLiteral("開始時刻"), le), 0, 0);
        layout->addWidget(Label(le, "lblLEStart", f.lblLEStart), 0, 1);
        layout->addWidget(new QLabel(QStringLiteral("終了時刻"), le), 1, 0);
        layout->addWidget(Label(le, "lblLEEnd", f.lblLEEnd), 1, 1);
        auto* edit = new QHBoxLayout();
        edit->addWidget(Button(le, "cmdChangeLEArea", f.cmdChangeLEArea, [&f] { f.cmdChangeLEArea_Click(); }));
        edit->addWidget(Button(le, "cmdDelLE", f.cmdDelLE, [&f] { f.cmdDelLE_Click(); }));
        QPushButton* find = Button(le, "cmdSearchLE", f.cmdSearchLE, [&f] { f.cmdSearchLE_Click(); });
        find->setIcon(search);
        edit->addWidget(find);
        edit->addWidget(Button(le, "cmdLinkCh", f.cmdLinkCh, [&f] { f.cmdLinkCh_Click(); }));
        layout->addLayout(edit, 2, 0, 1, 2);
        auto* outputs = new QGridLayout();
        outputs->addWidget(Button(le, "cmdWavePlay", f.cmdWavePlay, [&f] { f.cmdWavePlay_Click(); }), 0, 0);
        outputs->addWidget(Button(le, "cmdRchMemoPlay", f.cmdRchMemoPlay, [&f] { f.cmdRchMemoPlay_Click(); }), 0, 1);
        outputs->addWidget(Button(le, "cmdVideoPlay", f.cmdVideoPlay, [&f] { f.cmdVideoPlay_Click(); }), 1, 0);
        outputs->addWidget(Button(le, "cmdVideoExtract", f.cmdVideoExtract, [&f] { f.cmdVideoExtract_Click(); }), 1, 1);
        outputs->addWidget(Button(le, "cmdLEWaveOut", f.cmdLEWaveOut, [&f] { f.cmdLEWaveOut_Click(); }), 2, 0);
        outputs->addWidget(Button(le, "cmdLETextOut", f.cmdLETextOut, [&f] { f.cmdLETextOut_Click(); }), 2, 1);
        layout->addLayout(outputs, 3, 0, 1, 2);
        layout->setRowStretch(4, 1);
    }
    tabs->addTab(le, QString());

    auto* marks = new QWidget(tabs);
    {
        auto* layout = new QVBoxLayout(marks);
        auto* list = RangeList(marks);
        Bind().Bind(list, f.lstMarkArea);
        NameControl("lstMarkArea", list);
        layout->addWidget(list, 1);
        auto* buttons = new QGridLayout();
        buttons->addWidget(Button(marks, "cmdAddMark", f.cmdAddMark, [&f] { f.cmdAddMark_Click(); }), 0, 0);
        buttons->addWidget(Button(marks, "cmdClearAllMark", f.cmdClearAllMark, [&f] { f.cmdClearAllMark_Click(); }), 0,
                           1);
        QPushButton* find = Button(marks, "cmdSearchMark", f.cmdSearchMark, [&f] { f.cmdSearchMark_Click(); });
        find->setIcon(search);
        buttons->addWidget(find, 0, 2);
        buttons->addWidget(Button(marks, "cmdLinkChMark", f.cmdLinkChMark, [&f] { f.cmdLinkChMark_Click(); }), 0, 3);
        buttons->addWidget(Button(marks, "cmdMarkSave", f.cmdMarkSave, [&f] { f.cmdMarkSave_Click(); }), 1, 0);
        buttons->addWidget(Button(marks, "cmdMarkOpen", f.cmdMarkOpen, [&f] { f.cmdMarkOpen_Click(); }), 1, 1);
        buttons->addWidget(Button(marks, "cmdOrangeMark", f.cmdOrangeMark, [&f] { f.cmdOrangeMark_Click(); }), 1, 2);
        buttons->addWidget(Button(marks, "cmdShowMarkCalc", f.cmdShowMarkCalc, [&f] { f.cmdShowMarkCalc_Click(); }), 1,
                           3);
        auto* influence = new QCheckBox(marks);
        Bind().Bind(influence, f.chkCalcAreaInfluence);
        NameControl("chkCalcAreaInfluence", influence);
        buttons->addWidget(influence, 2, 0, 1, 2);
        auto* allBands = new QCheckBox(marks);
        Bind().Bind(allBands, f.chkAllBandMarkCalc);
        NameControl("chkAllBandMarkCalc", allBands);
        buttons->addWidget(allBands, 2, 2);
        buttons->addWidget(Button(marks, "cmdMarkTextOut", f.cmdMarkTextOut, [&f] { f.cmdMarkTextOut_Click(); }), 3, 0);
        buttons->addWidget(
            Button(marks, "cmdAllChMarkTextOut", f.cmdAllChMarkTextOut, [&f] { f.cmdAllChMarkTextOut_Click(); }), 3, 1);
        buttons->addWidget(Button(marks, "cmdMarkWaveOut", f.cmdMarkWaveOut, [&f] { f.cmdMarkWaveOut_Click(); }), 3, 2);
        layout->addLayout(buttons);
    }
    tabs->addTab(marks, QString());
    Bind().Bind(tabs, f.tabAreas);
    row->addWidget(tabs, 2);
}

}  // namespace murtesk
