#include "frmOctCalc.h"

#include "globals.h"

#include <vector>

namespace murtesk {

frmOctCalc::frmOctCalc(platform::UiServices& ui) : CalcScreen(ui, "frmOctCalc")
{
    Caption = "Murtesk 演算画面";
    cmdREC.Caption = "戻る";
    cmdREC.ToolTipText = "メイン画面...";
    lblDisplayMeas.Caption = "<<演算測定データ>>";
}

void frmOctCalc::Form_Load()
{
    m_TextFilePeriod = 1;
    m_TextFileArea = 0;
}

void frmOctCalc::setForm(std::int32_t& MeasureIndex)
{
    const ProjectDocument& doc = g_PreserveDoc();
    Caption = "Murtesk 演算画面 " + doc.SaveFilePath() + " 測定番号:" + std::to_string(MeasureIndex);
    measureIndex_ = MeasureIndex;
    lblDisplayMeas.Caption = "<<データ " + std::to_string(MeasureIndex) + "/" + std::to_string(doc.MeasureCount()) + " >>";
}

void frmOctCalc::cmdREC_Click()
{
    MainScreen* main = g_frmMeasure;
    if (main == nullptr) {
        return;
    }
    if (!main->SaveData()) {
        ui_.MsgBox("保存できなくなりました.終了します.", platform::MsgButtons::OK, platform::MsgIcon::Critical, "お詫び");
        ui_.Unload(*main);
        return;
    }
    // The list is rebuilt from the document; its check marks stay by position.
    std::vector<bool> checks;
    platform::ListView& list = main->MeasureList();
    for (const platform::ListRow& row : list.Rows) {
        checks.push_back(row.Checked);
    }
    main->EditForm();
    for (std::size_t i = 0; i < checks.size() && i < list.Rows.size(); ++i) {
        list.Rows[i].Checked = checks[i];
    }
    ui_.Show(*main);
    ui_.Hide(*this);
}

void frmOctCalc::Form_QueryUnload(bool& cancel, platform::UnloadMode mode)
{
    // The close box returns to the main screen; the end of the program closes for good.
    if (mode == platform::UnloadMode::FormControlMenu) {
        cancel = true;
        cmdREC_Click();
    }
}

}  // namespace murtesk
