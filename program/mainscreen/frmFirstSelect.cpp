#include "frmFirstSelect.h"

#include "globals.h"

namespace murtesk {

frmFirstSelect::frmFirstSelect(platform::UiServices& ui) : Form(ui, "frmFirstSelect")
{
    cmdNew.Caption = "新しいデータを作成する(&N)...";
    cmdOpen.Caption = "既存のデータを開く(&O)...";
    cmdEnd.Caption = "終了する(&X)";
}

void frmFirstSelect::Form_Load()
{
    Caption = std::string(platform::kProgramTitle) + " Ver" + std::to_string(kAppMajor) + "." +
              std::to_string(kAppMinor) + "." + std::to_string(kAppRevision);
}

void frmFirstSelect::Choose(std::int16_t choice)
{
    g_SelectNo = choice;
    ui_.Unload(*this);
}

void frmFirstSelect::cmdNew_Click() { Choose(1); }
void frmFirstSelect::cmdOpen_Click() { Choose(2); }
void frmFirstSelect::cmdEnd_Click() { Choose(0); }

}  // namespace murtesk
