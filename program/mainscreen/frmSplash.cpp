#include "frmSplash.h"

#include "globals.h"

namespace murtesk {

frmSplash::frmSplash(platform::UiServices& ui) : Form(ui, "frmSplash")
{
    lblProductName.Caption = std::string(platform::kProgramTitle);
    lblVersion.Caption = "Ver" + std::to_string(kAppMajor) + "." + std::to_string(kAppMinor) + "." +
                         std::to_string(kAppRevision);
    lblStatus.Caption = "Waveファイル 1/1 ・ 1/3オクターブバンドレベル分析プログラム";
}

}  // namespace murtesk
