#include "frmVideoConvert.h"

#include <algorithm>
#include <string>

namespace murtesk {

namespace {

std::string Seconds(std::int64_t ms) { return std::to_string(ms / 1000) + "秒"; }

}  // namespace

frmVideoConvert::frmVideoConvert(platform::UiServices& ui, std::function<void(frmVideoConvert&)> work)
    : Form(ui, "frmVideoConvert"), work_(std::move(work)) {
    Caption = "動画ファイルの変換";
    lblProgress.Caption = "「ffmpeg」で動画ファイルを変換しています.";
    cmdCancel.Caption = "Cancel";
}

void frmVideoConvert::Form_Activate() {
    if (started_) return;
    started_ = true;
    ui_.Refresh(*this);
    ui_.DoEvents();
    running_ = true;
    if (work_) work_(*this);
    running_ = false;
    ui_.Unload(*this);
}

void frmVideoConvert::Form_QueryUnload(bool& cancel, platform::UnloadMode) {
    if (running_) {
        cancelRequested_ = true;
        cancel = true;
    }
}

void frmVideoConvert::cmdCancel_Click() {
    cancelRequested_ = true;
    cmdCancel.Enabled = false;
    lblProgress.Caption = "変換を中止しています.";
}

void frmVideoConvert::ShowProgress(std::int64_t doneMs, std::int64_t lengthMs) {
    if (cancelRequested_) return;
    // The converter's time may pass the length the source declares: the figures stop at the length.
    doneMs = std::max<std::int64_t>(doneMs, 0);
    if (lengthMs > 0) doneMs = std::min(doneMs, lengthMs);
    std::string text = "変換中: " + Seconds(doneMs);
    if (lengthMs > 0) text += " / " + Seconds(lengthMs) + " (" + std::to_string(doneMs * 100 / lengthMs) + "%)";
    if (text == lblProgress.Caption) return;
    lblProgress.Caption = text;
    ui_.Refresh(*this);
}

}  // namespace murtesk
