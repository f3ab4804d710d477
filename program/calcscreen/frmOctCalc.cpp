#include "frmOctCalc.h"

#include "band_panel.h"
#include "globals.h"
#include "preserve_document.h"
#include "chooser_order.h"

#include "model/band_layout.h"
#include "model/band_slots.h"
#include "model/missing_data.h"
#include "model/shared_procedures.h"
#include "platform/dates.h"

#include <tuple>
#include <utility>
#include <vector>

namespace murtesk {

namespace {

constexpr const char* kSaveFailed = "保存できなくなりました.終了します.";
constexpr const char* kSaveFailedTitle = "お詫び";
constexpr const char* kCaption = "Murtesk 演算画面";
constexpr const char* kNoStatistic = "---dB";
constexpr const char* kNoStatistics = "次の測定とバンドの統計データがありません．\r\nその統計値は表示されません．\r\n";
constexpr const char* kNoLevels =
    "次の測定とバンドのレベル波形データがありません．\r\nレベル波形データから求める値は表示されません．\r\n";

void Set(platform::CommandButton& button, const char* caption, const char* tip = "") {
    button.Caption = caption;
    button.ToolTipText = tip;
}

// A band slot chosen under one band mode, moved to the other: each one-third-octave band to the
// octave band holding it, each octave band to the one-third-octave band of its centre frequency.
std::int16_t TranslateBand(std::int16_t band, std::int16_t from, std::int16_t to) {
    if (band <= 2 || from == to) {
        return band;
    }
    if (from == 3 && to == 1) {
        return static_cast<std::int16_t>(band / 3 + 2);
    }
    if (from == 1 && to == 3) {
        return static_cast<std::int16_t>(band * 3 - 5);
    }
    return band;
}

}  // namespace

frmOctCalc::frmOctCalc(platform::UiServices& ui) : CalcScreen(ui, "frmOctCalc") {
    Caption = kCaption;
    lblDisplayMeas.Caption = "<<演算測定データ>>";
    Set(cmdFirst, "Fir&st", "最初のﾃﾞｰﾀ表示");
    Set(cmdBack, "&Back", "前のﾃﾞｰﾀ表示");
    Set(cmdNext, "&Next", "次のﾃﾞｰﾀ表示");
    Set(cmdEnd, "&End", "最後のﾃﾞｰﾀ表示");
    Set(cmdREC, "戻る", "メイン画面...");

    cmdSetLevelWave.ToolTipText = "グラフ設定...";
    Set(cmbLeftScroll, "←", "左スクロール");
    Set(cmbRightScroll, "→", "右スクロール");
    cmbScrollSec.ToolTipText = "スクロール秒数";
    scrGraph.Max = 1000;

    optMouseAction.Buttons.resize(5);
    constexpr platform::ControlColor kLightGrey{192, 192, 192};
    constexpr platform::ControlColor kGrey{128, 128, 128};
    const std::tuple<const char*, platform::ControlColor, platform::ControlColor> actions[] = {
        {"計算除外範囲", {0, 0, 255}, kLightGrey},
        {"計算対象範囲", {255, 255, 255}, kGrey},
        {"ＬE計算範囲", {0, 255, 0}, kGrey},
        {"マーク範囲", {255, 255, 0}, kGrey},
        {"マーク範囲消去", {255, 255, 255}, kGrey}};
    for (int i = 0; i < 5; ++i) {
        std::tie(optMouseAction[i].Caption, optMouseAction[i].ForeColor, optMouseAction[i].BackColor) = actions[i];
    }
    optAreaBand.Buttons.resize(2);
    optAreaBand[0].Caption = "全バンド共通";
    optAreaBand[1].Caption = "表示バンド固有";

    PlaceBandGrid(gridCursor);
    PlaceBandGrid(gridCalc);
    cmdBarOrList.ToolTipText = "リスト";
    cmdBarOrList.Picture = platform::kIconList;
    vsElasticList.Visible = false;
    cmdACursor.Caption = "W特性";
    cmdCopyCursor.ToolTipText = "カーソルレベルコピー";
    cmdSearchLmax.ToolTipText = "Lmax位置検索";
    cmdCalcBarOrList.ToolTipText = "リスト";
    cmdCalcBarOrList.Picture = platform::kIconList;
    vsElasticCalcList.Visible = false;
    cmdACalc.Caption = "W特性";
    cmdCopyCalc.ToolTipText = "計算値コピー";

    for (platform::Label* label :
         {&lblLeq, &lblLmax, &lblL5, &lblL10, &lblL25, &lblL50, &lblL75, &lblL90, &lblL95, &lblLE, &lblLx}) {
        label->Caption = kNoStatistic;
    }

    Set(cmdAddDel, "除外範囲追加...");
    Set(cmdAddCalc, "対象範囲追加...");
    Set(cmdDelCalc, "全範囲除外");
    Set(cmdAllCalc, "全範囲対象");
    Set(cmdReverse, "削除", "表示バンド選択計算除外範囲削除");
    Set(cmdSearchDelCalc, "", "除外範囲位置検索");
    Set(cmdDelSave, "Save...", "上記一覧の計算除外範囲を保存します");
    Set(cmdDelOpen, "Open...", "保存した計算除外範囲を追加します");
    Set(cmdLinkChDelArea, "全ch", "計算除外範囲を他ｃｈに追加する");
    Set(cmdLevelOverDelete, "ｵﾚﾝｼﾞ範囲", "指定ﾚﾍﾞﾙ以上ｵﾚﾝｼﾞ範囲を計算除外範囲に変更");

    lblLEStart.Caption = "----/--/-- --:--:--";
    lblLEEnd.Caption = "----/--/-- --:--:--";
    Set(cmdChangeLEArea, "変更...");
    Set(cmdDelLE, "削除");
    Set(cmdSearchLE, "", "LE範囲位置検索");
    Set(cmdLinkCh, "全ch", "全chのﾚﾍﾞﾙ波形時間軸とＬE範囲を同じにする");
    Set(cmdWavePlay, "ＬE範囲&Wave再生...");
    Set(cmdVideoPlay, "ＬE範囲&Video再生...");
    Set(cmdVideoExtract, "ＬE範囲Video抽出...");
    Set(cmdLEWaveOut, "ＬE範囲Waveﾌｧｲﾙ作成...");
    Set(cmdLETextOut, "&ＬE範囲ﾃｷｽﾄOut...");
    Set(cmdRchMemoPlay, "ＬE範囲Rchメモ録再生...");
    cmdRchMemoPlay.Visible = false;

    Set(cmdAddMark, "追加...");
    Set(cmdClearAllMark, "全消去");
    Set(cmdSearchMark, "", "選択マーク範囲位置検索");
    Set(cmdLinkChMark, "全ch", "ﾏｰｸ範囲を他chに追加する");
    Set(cmdMarkSave, "Save...", "上記一覧のﾏｰｸ範囲を保存します");
    Set(cmdMarkOpen, "Open...", "保存したﾏｰｸ範囲を追加します");
    Set(cmdOrangeMark, "ｵﾚﾝｼﾞ範囲", "指定ﾚﾍﾞﾙ以上ｵﾚﾝｼﾞ範囲をマーク範囲に変更");
    Set(cmdShowMarkCalc, "選択マーク計算値表示...");
    chkCalcAreaInfluence.Caption = "計算除外範囲を有効とする";
    chkAllBandMarkCalc.Caption = "全Band";
    Set(cmdMarkTextOut, "TextOut...", "表示ﾁｬﾝﾈﾙのﾏｰｸ範囲情報をﾃｷｽﾄ出力します");
    Set(cmdAllChMarkTextOut, "全chTextOut...", "全ﾁｬﾝﾈﾙのﾏｰｸ範囲情報をﾃｷｽﾄ出力します");
    Set(cmdMarkWaveOut, "WaveOut...", "ﾏｰｸ範囲のWaveﾌｧｲﾙを出力します");

    Set(cmdAxisSame, "グラフ軸共通...", "グラフの軸を同じにする");

    mnuFile.Caption = "ファイル(&F)";
    mnuCalcTextFile.Caption = "計算値テキストファイル出力(&O)...";
    mnuFilePartitionAreaCSVOut.Caption = "分割計算値テキストファイル出力(&S)...";
    mnuTextFile.Caption = "レベルデータテキストファイル出力(&T)...";
    mnuLETextFile.Caption = "&ＬE範囲テキストファイル出力...";
    mnuTool.Caption = "ツール";
    mnuChangeDate.Caption = "実測開始日時の変更...";
    mnuHorizontalLine.Caption = "指定レベル水平線表示...";
    mnuLevelOverArea.Caption = "指定レベル以上ｵﾚﾝｼﾞ範囲表示...";
    mnuVideoFile.Caption = "動画ファイルの割り当て...";
    mnuToolVideo.Caption = "ビデオ観測...";
    mnuToolArea.Caption = "保存時間①②で範囲ドラッグ";

    tabAreas.Captions = {"計算除外範囲", "ＬE計算範囲", "マーク範囲"};
}

frmOctCalc::~frmOctCalc() = default;

CPreserve* frmOctCalc::Records() const {
    auto* document = dynamic_cast<PreserveDocument*>(&g_PreserveDoc());
    return document == nullptr ? nullptr : &document->Preserve();
}

void frmOctCalc::Form_Load() {
    m_TextFilePeriod = 1;
    m_TextFileArea = 0;

    cmbScrollSec.Clear();
    for (int s = 1; s <= 100; ++s) {
        cmbScrollSec.AddItem(std::to_string(s) + "秒", s);
    }
    cmbScrollSec.ListIndex = 0;

    optMouseAction.Select(0);
    optAreaBand.Select(0);

    cmbCalcL.Clear();
    for (const std::int32_t code : CalcStatisticCodes()) {
        cmbCalcL.AddItem(StatisticName(code), code);
    }

    cmbLx.Clear();
    for (int n = 1; n <= 99; ++n) {
        cmbLx.AddItem(std::to_string(n), n);
    }
    cmbLx.AddItem("min", 100);
}

void frmOctCalc::setForm(std::int32_t& MeasureIndex) {
    g_SaveTime = {-1, -1};
    const ProjectDocument& document = g_PreserveDoc();
    const std::int32_t count = document.MeasureCount();
    if (MeasureIndex < 1 || MeasureIndex > count) {
        return;
    }
    Caption = std::string(kCaption) + " " + document.SaveFilePath() + " 測定番号:" + std::to_string(MeasureIndex);
    shown_.measureIndex = MeasureIndex;
    CPreserve* records = Records();
    shown_.measure = records != nullptr ? records->Measures.ItemShared(MeasureIndex) : nullptr;

    const int keptChannel = cmbCh.ListIndex < 0 ? 0 : cmbCh.ListIndex;
    cmdFirst.Enabled = cmdBack.Enabled = MeasureIndex != 1;
    cmdNext.Enabled = cmdEnd.Enabled = MeasureIndex != count;
    lblDisplayMeas.Caption = "<<データ " + std::to_string(MeasureIndex) + "/" + std::to_string(count) + " >>";
    scrollGuard_ = true;
    cmbCh.Clear();
    shown_.channelNumber = 0;
    shown_.listedChannels = 0;
    if (!shown_.measure) {
        ShowNoChannel();
        return;
    }
    lblStartymdhms.Caption = platform::FormatDisplayDate(shown_.measure->StartTime);
    lblEndymdhms.Caption = platform::FormatDisplayDate(shown_.measure->EndTime);
    for (std::int32_t i = 1; i <= shown_.measure->ChMeasures.count(); ++i) {
        const std::int16_t mode = shown_.measure->ChMeasures.Item(i).ChMeasureCondition.oct1or3;
        if (mode != 1 && mode != 3) {
            break;
        }
        cmbCh.AddItem("ch" + std::to_string(i), i);
    }
    shown_.listedChannels = cmbCh.ListCount();
    const bool several = cmbCh.ListCount() > 1;
    cmdLinkCh.Visible = cmdLinkChMark.Visible = cmdLinkChDelArea.Visible = several;
    cmdAxisSame.Visible = several || count >= 2;

    cmbCh.ListIndex = -1;
    if (cmbCh.ListCount() == 0) {
        ShowNoChannel();
        return;
    }
    SetChannelCommandsEnabled(true);
    cmbCh.ListIndex = keptChannel < cmbCh.ListCount() ? keptChannel : 0;
    cmbCh_Click();
    if (toldOf_.lock() != shown_.measure) {
        toldOf_ = shown_.measure;
        missingToTell_.clear();
        for (const MissingData what : {MissingData::kStatistics, MissingData::kLevels}) {
            const std::string bands = MissingBandsText(*shown_.measure, records->SaveFilePath, what);
            if (bands.empty()) {
                continue;
            }
            missingToTell_ += std::string(missingToTell_.empty() ? "" : "\r\n\r\n") +
                              (what == MissingData::kStatistics ? kNoStatistics : kNoLevels) + "\r\n" +
                              MissingMeasureLine(MeasureIndex, *shown_.measure, bands);
        }
        if (Visible) {
            TellMissingData();
        }
    }
}

void frmOctCalc::Form_Activate() { TellMissingData(); }

void frmOctCalc::TellMissingData() {
    if (!missingToTell_.empty()) {
        ui_.MsgBox(std::exchange(missingToTell_, {}), platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
    }
}

void frmOctCalc::cmbCh_Click() {
    if (cmbCh.ListIndex < 0 || !shown_.measure) {
        return;
    }
    std::int16_t previousMode = 3;
    if (shown_.channel) {
        previousMode = shown_.channel->ChMeasureCondition.oct1or3;
        StoreMemo();
    }
    std::int16_t band = static_cast<std::int16_t>(cmbGraphBand.SelectedData(2));

    const std::int32_t number = cmbCh.SelectedData();
    if (number < 1 || number > shown_.measure->ChMeasures.count()) {
        return;
    }
    shown_.channel = shown_.measure->ChMeasures.ItemShared(number);
    shown_.channelNumber = number;
    const CChMeasureCondition& condition = shown_.channel->ChMeasureCondition;
    band = TranslateBand(band, previousMode, condition.oct1or3);

    lblOct1or3.Caption = condition.oct1or3 == 1   ? "１／１オクターブバンド"
                         : condition.oct1or3 == 3 ? "１／３オクターブバンド"
                                                  : "-----";
    lblTimeWeighting.Caption = condition.getTREName(true);
    txtMEMO.Text = condition.Account;
    txtMEMO.Enabled = true;
    memoShown_ = true;
    memoCheck_.Shown(txtMEMO.Text);
    chart_.ClearReadOut();
    ShowReadOut();

    setGraphOfCSFFT();
    setFormOfCSFFTLabel();
    setGraphOfCalcFFT();
    setFormOfCalcFFTLabel();

    cmbGraphBand.Clear();
    const std::int16_t slots = SlotCount(condition.oct1or3);
    for (std::int16_t slot = 1; slot <= slots; ++slot) {
        cmbGraphBand.AddItem(BandCaption(condition, slot), slot);
    }
    const bool weighted = condition.getWName(false, g_OriginalWs) != "---";
    cmdACursor.Visible = cmdACalc.Visible = weighted;

    cmbGraphBand.ListIndex = -1;
    if (band >= 1 && band <= slots) {
        cmbGraphBand.ListIndex = band - 1;
        cmbGraphBand_Click();
    }
}

void frmOctCalc::cmbGraphBand_Click() {
    scrollGuard_ = true;
    if (cmbGraphBand.ListIndex < 0) {
        return;
    }
    shown_.band = static_cast<std::int16_t>(cmbGraphBand.SelectedData());
    platform::ChartRedrawHold hold(Chart2DLevelWave);  // axes, levels and overlay: one repaint
    setGraphAxisAndScroll();
    setGraphOfForm();
    setFormOfCalcArea();
    setFormOfLE();
    setFormOfMarkArea();
    scrollGuard_ = false;
}

void frmOctCalc::txtMEMO_Change() {
    txtMEMO.Text = platform::MemoEntry(std::move(txtMEMO.Text));
    KeepMemo();
}

void frmOctCalc::txtMEMO_LostFocus() {
    if (shown_.channel && memoShown_) {
        memoCheck_.Tell(ui_, txtMEMO.Text);
    }
}

void frmOctCalc::StoreMemo() {
    txtMEMO_LostFocus();
    KeepMemo();
}

void frmOctCalc::KeepMemo() {
    if (shown_.channel && memoShown_) {
        shown_.channel->ChMeasureCondition.Account = txtMEMO.Text;
    }
}

void frmOctCalc::ShowNoChannel() {
    StoreMemo();
    memoShown_ = false;
    txtMEMO.Text.clear();
    txtMEMO.Enabled = false;
    lblOct1or3.Caption = "-----";
    lblTimeWeighting.Caption.clear();
    chart_.ClearReadOut();
    ShowReadOut();
    cmbGraphBand.Clear();
    cmdACursor.Visible = cmdACalc.Visible = false;
    // No values of another measurement stay in the band panels.
    setFormOfCSFFTLabel();
    setFormOfCalcFFTLabel();
    for (platform::BandBarChartModel* chart : {&chartCSFFT, &chartCalcFFT}) {
        chart->SetBars(chart->BarCount());
    }
    {
        platform::ChartRedrawHold hold(Chart2DLevelWave);
        chart_.Empty();
        Chart2DLevelWave.SetLine({});
        Chart2DLevelWave.SetLevelMarker(std::nullopt);
    }
    scrGraph.SetMax(0);
    scrGraph.Value = 0;
    lstCalcDelArea.Clear();
    lstMarkArea.Clear();
    SetChannelCommandsEnabled(false);
}

void frmOctCalc::SetChannelCommandsEnabled(bool enabled) {
    for (platform::ControlState* control : std::initializer_list<platform::ControlState*>{&cmbGraphBand,
                                                                                          &scrGraph,
                                                                                          &cmdSetLevelWave,
                                                                                          &cmbLeftScroll,
                                                                                          &cmbRightScroll,
                                                                                          &cmbScrollSec,
                                                                                          &optMouseAction,
                                                                                          &optAreaBand,
                                                                                          &cmdBarOrList,
                                                                                          &cmdACursor,
                                                                                          &cmdCopyCursor,
                                                                                          &cmdSearchLmax,
                                                                                          &cmbCalcL,
                                                                                          &cmdCalcBarOrList,
                                                                                          &cmdACalc,
                                                                                          &cmdCopyCalc,
                                                                                          &cmbLx,
                                                                                          &lstCalcDelArea,
                                                                                          &cmdAddDel,
                                                                                          &cmdAddCalc,
                                                                                          &cmdDelCalc,
                                                                                          &cmdAllCalc,
                                                                                          &cmdReverse,
                                                                                          &cmdSearchDelCalc,
                                                                                          &cmdDelSave,
                                                                                          &cmdDelOpen,
                                                                                          &cmdLinkChDelArea,
                                                                                          &cmdLevelOverDelete,
                                                                                          &cmdChangeLEArea,
                                                                                          &cmdDelLE,
                                                                                          &cmdSearchLE,
                                                                                          &cmdLinkCh,
                                                                                          &cmdWavePlay,
                                                                                          &cmdVideoPlay,
                                                                                          &cmdVideoExtract,
                                                                                          &cmdLEWaveOut,
                                                                                          &cmdLETextOut,
                                                                                          &cmdRchMemoPlay,
                                                                                          &lstMarkArea,
                                                                                          &cmdAddMark,
                                                                                          &cmdClearAllMark,
                                                                                          &cmdSearchMark,
                                                                                          &cmdLinkChMark,
                                                                                          &cmdMarkSave,
                                                                                          &cmdMarkOpen,
                                                                                          &cmdOrangeMark,
                                                                                          &cmdShowMarkCalc,
                                                                                          &chkCalcAreaInfluence,
                                                                                          &chkAllBandMarkCalc,
                                                                                          &cmdMarkTextOut,
                                                                                          &cmdAllChMarkTextOut,
                                                                                          &cmdMarkWaveOut,
                                                                                          &cmdAxisSame,
                                                                                          &mnuCalcTextFile,
                                                                                          &mnuFilePartitionAreaCSVOut,
                                                                                          &mnuTextFile,
                                                                                          &mnuLETextFile,
                                                                                          &mnuChangeDate,
                                                                                          &mnuHorizontalLine,
                                                                                          &mnuLevelOverArea,
                                                                                          &mnuVideoFile,
                                                                                          &mnuToolVideo,
                                                                                          &mnuToolArea}) {
        control->Enabled = enabled;
    }
    // A project opened without saving belongs to the program that holds it: its videos and their
    // side files are neither assigned, renamed nor counted into.
    if (g_bProjectReadOnly) {
        for (platform::ControlState* control : std::initializer_list<platform::ControlState*>{
                 &mnuChangeDate, &mnuVideoFile, &mnuToolVideo, &cmdVideoPlay}) {
            control->Enabled = false;
        }
    }
}

void frmOctCalc::cmdREC_Click() {
    StoreMemo();
    shown_.measure.reset();
    toldOf_.reset();
    missingToTell_.clear();
    bandFiles_.Forget();
    MainScreen* main = g_frmMeasure;
    if (main == nullptr) {
        return;
    }
    if (!main->SaveData()) {
        SaveFailed();
        return;
    }
    // The list is rebuilt from the document; its check marks stay by position.
    std::vector<bool> checks;
    for (const platform::ListRow& row : main->MeasureList().Rows) {
        checks.push_back(row.Checked);
    }
    main->EditForm();
    std::vector<platform::ListRow>& rows = main->MeasureList().Rows;
    for (std::size_t i = 0; i < checks.size() && i < rows.size(); ++i) {
        rows[i].Checked = checks[i];
    }
    ui_.Show(*main);
    ui_.Hide(*this);
}

void frmOctCalc::SaveFailed() {
    ui_.MsgBox(kSaveFailed, platform::MsgButtons::OK, platform::MsgIcon::Critical, kSaveFailedTitle);
    if (g_frmMeasure != nullptr) {
        ui_.Unload(*g_frmMeasure);
    }
}

void frmOctCalc::Form_QueryUnload(bool& cancel, platform::UnloadMode mode) {
    // The close box returns to the main screen; the end of the program closes for good.
    if (mode == platform::UnloadMode::FormControlMenu) {
        cancel = true;
        cmdREC_Click();
    }
}

void frmOctCalc::cmdFirst_Click() { NavigateTo(1); }

void frmOctCalc::cmdBack_Click() {
    if (g_frmMeasure != nullptr) {
        NavigateTo(g_frmMeasure->m_MeasureIndex - 1);
    }
}

void frmOctCalc::cmdNext_Click() {
    if (g_frmMeasure != nullptr) {
        NavigateTo(g_frmMeasure->m_MeasureIndex + 1);
    }
}

void frmOctCalc::cmdEnd_Click() {
    if (CPreserve* records = Records()) {
        NavigateTo(records->Measures.count());
    }
}

void frmOctCalc::NavigateTo(std::int32_t index) {
    CPreserve* records = Records();
    if (g_frmMeasure == nullptr || records == nullptr || index < 1 || index > records->Measures.count()) {
        return;
    }
    g_frmMeasure->m_MeasureIndex = index;
    records->Measures.Item(index).MeasureCondition.MeMove(records->MeasureCondition);
    saveAndShowMeasure();
}

void frmOctCalc::saveAndShowMeasure() {
    StoreMemo();
    shown_.measure.reset();
    if (!g_frmMeasure->SaveData()) {
        SaveFailed();
        return;
    }
    setForm(g_frmMeasure->m_MeasureIndex);
}

CBandLCalcInfo* frmOctCalc::ShownBandInfo() const { return shown_.BandInfo(); }

std::string frmOctCalc::BandFolder(std::int16_t slot) const {
    const CPreserve* records = Records();
    return records != nullptr ? shown_.BandFolder(records->SaveFilePath, slot) : std::string();
}

}  // namespace murtesk
