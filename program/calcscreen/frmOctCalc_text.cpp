// The calculation screen's text outputs: the frame every one of them runs in (the save dialog, the
// busy pointer, the writer of text_outputs.h, the result message), and the mark-range statistics
// files of the shown channel and of all channels. A writer that runs out of memory or cannot start a
// thread ends with the output's failure message, not the program.
#include "frmOctCalc.h"

#include "text_outputs.h"

#include <new>
#include <system_error>

namespace murtesk {

namespace {

constexpr const char* kTextTitle = "出力するﾌｧｲﾙ名を指定して下さい．";
constexpr const char* kTextWritten = "テキストファイルを出力しました．";
constexpr const char* kTextFailed = "テキストファイル出力が失敗しました．";
constexpr const char* kMarkFilter = "テキストファイル(*.csv;*.txt)|*.csv;*.txt";
constexpr const char* kAllChannelFilter = "ﾃｷｽﾄﾌｧｲﾙ (*.csv)|*.csv";

}  // namespace

bool frmOctCalc::TextOutput(const std::string& filter,
                            const std::function<std::optional<bool>(const std::string&)>& writer,
                            std::string_view title, const std::function<bool()>& before) {
    // An output writes the memo the box shows (the statistics' and the level series' headers).
    StoreMemo();
    dlgFileSave.DialogTitle = title.empty() ? std::string(kTextTitle) : std::string(title);
    dlgFileSave.Filter = filter;
    const std::optional<std::string> chosen = dlgFileSave.ShowSave();
    if (!chosen || chosen->empty()) {
        ui_.SetBusy(false);
        return false;
    }
    ui_.Refresh(*this);
    ui_.DoEvents();
    if (before && !before()) return false;
    platform::BusyPointer busy(ui_);
    std::optional<bool> written;
    try {
        written = writer(*chosen);
    } catch (const std::bad_alloc&) {
        written = false;  // the writer's output is discarded as it unwinds; the old file stays
    } catch (const std::system_error&) {
        written = false;  // no thread could be started for the writer
    }
    if (written) ui_.MsgBox(*written ? kTextWritten : kTextFailed);
    return written.value_or(false);
}

void frmOctCalc::cmdMarkTextOut_Click() {
    if (lstMarkArea.ListCount() < 1) return;
    TextOutput(kMarkFilter, [this](const std::string& path) {
        return chkAllBandMarkCalc.Value ? writeMarkAreaCalcAllBand(path) : writeMarkAreaCalcOneBand(path);
    });
}

void frmOctCalc::cmdAllChMarkTextOut_Click() {
    TextOutput(kAllChannelFilter, [this](const std::string& path) { return writeAllChMarkAreaCalc(path); });
}

bool frmOctCalc::writeMarkAreaCalcAllBand(const std::string& path) {
    return WriteMarkAreaCalc(path, shown_, true, chkCalcAreaInfluence.Value);
}

bool frmOctCalc::writeMarkAreaCalcOneBand(const std::string& path) {
    return WriteMarkAreaCalc(path, shown_, false, chkCalcAreaInfluence.Value);
}

bool frmOctCalc::writeAllChMarkAreaCalc(const std::string& path) {
    return WriteAllChMarkAreaCalc(path, shown_, chkCalcAreaInfluence.Value);
}

}  // namespace murtesk
