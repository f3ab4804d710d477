// The controls of the calculation screen under the names its design gives them, grouped as the
// screen shows them. frmOctCalc derives from this struct: the controls are the form's own members;
// they sit apart only so that the form's header reads as its procedures and handlers.
#pragma once

#include "band_chart_model.h"
#include "band_label_grid.h"
#include "chart_mouse.h"
#include "controls.h"
#include "level_chart_model.h"

#include <array>

namespace murtesk {

struct frmOctCalcControls {
    using LabelCells = std::array<platform::Label, platform::BandLabelGrid::kCells>;
    // Measurement and navigation
    platform::Label lblDisplayMeas, lblStartymdhms, lblEndymdhms;
    platform::CommandButton cmdFirst, cmdBack, cmdNext, cmdEnd, cmdREC;
    // Channel and band
    platform::ComboBox cmbCh;
    platform::Label lblOct1or3, lblTimeWeighting;
    platform::TextBox txtMEMO;
    platform::ComboBox cmbGraphBand;
    // Level chart
    platform::LevelChartModel Chart2DLevelWave;
    platform::ScrollBar scrGraph;
    platform::CommandButton cmdSetLevelWave;
    platform::Label lblCLp, lblCymdhms;
    platform::CommandButton cmbLeftScroll, cmbRightScroll;
    platform::ComboBox cmbScrollSec;
    // Drag action
    platform::OptionGroup optMouseAction, optAreaBand;
    // Cursor band panel: the chart and the labels (lblHz and lbldB elements 0..44 are the band cells)
    platform::BandBarChartModel chartCSFFT;
    platform::BandLabelGrid gridCursor;
    LabelCells &lblHz = gridCursor.Names, &lbldB = gridCursor.Values;
    platform::Label &lblFHz = gridCursor.FName, &lblFdB = gridCursor.FValue;
    platform::Label &lblAHz = gridCursor.WName, &lblAdB = gridCursor.WValue;
    platform::CommandButton cmdBarOrList;
    // The list of the panel's values shown in place of its chart.
    platform::ControlState vsElasticList;
    platform::CommandButton cmdACursor, cmdCopyCursor, cmdSearchLmax;
    // Statistic band panel
    platform::BandBarChartModel chartCalcFFT;
    platform::ComboBox cmbCalcL;
    platform::BandLabelGrid gridCalc;
    LabelCells &lblCalcHz = gridCalc.Names, &lblCalcdB = gridCalc.Values;
    platform::Label &lblCalcFHz = gridCalc.FName, &lblCalcFdB = gridCalc.FValue;
    platform::Label &lblCalcAHz = gridCalc.WName, &lblCalcAdB = gridCalc.WValue;
    platform::CommandButton cmdCalcBarOrList;
    platform::ControlState vsElasticCalcList;
    platform::CommandButton cmdACalc, cmdCopyCalc;
    // Statistics of the shown band
    platform::Label lblLeq, lblLmax, lblL5, lblL10, lblL25, lblL50, lblL75, lblL90, lblL95, lblLE;
    platform::ComboBox cmbLx;
    platform::Label lblLx;
    // Excluded ranges
    platform::VirtualListBox lstCalcDelArea;
    platform::CommandButton cmdAddDel, cmdAddCalc, cmdDelCalc, cmdAllCalc, cmdReverse, cmdSearchDelCalc, cmdDelSave,
        cmdDelOpen, cmdLinkChDelArea, cmdLevelOverDelete;
    // LE range
    platform::Label lblLEStart, lblLEEnd;
    platform::CommandButton cmdChangeLEArea, cmdDelLE, cmdSearchLE, cmdLinkCh, cmdWavePlay, cmdVideoPlay,
        cmdVideoExtract, cmdLEWaveOut, cmdLETextOut, cmdRchMemoPlay;
    // Mark ranges
    platform::VirtualListBox lstMarkArea;
    platform::CommandButton cmdAddMark, cmdClearAllMark, cmdSearchMark, cmdLinkChMark, cmdMarkSave, cmdMarkOpen,
        cmdOrangeMark, cmdShowMarkCalc;
    platform::CheckBox chkCalcAreaInfluence, chkAllBandMarkCalc;
    platform::CommandButton cmdMarkTextOut, cmdAllChMarkTextOut, cmdMarkWaveOut;
    // Axes of all channels
    platform::CommandButton cmdAxisSame;
    // Menus
    platform::MenuItem mnuFile, mnuCalcTextFile, mnuFilePartitionAreaCSVOut, mnuTextFile, mnuLETextFile, mnuTool,
        mnuChangeDate, mnuHorizontalLine, mnuLevelOverArea, mnuVideoFile, mnuToolVideo, mnuToolArea;
    // The range panels, one page each.
    platform::TabStrip tabAreas;
};

}  // namespace murtesk
