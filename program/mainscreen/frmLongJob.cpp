#include "frmLongJob.h"

#include "frmMeasure.h"
#include "globals.h"

#include <exception>

namespace murtesk {

using platform::MsgButtons;
using platform::MsgIcon;

namespace {

constexpr const char* kCancelled = "途中キャンセルしました．";
constexpr const char* kFailed = "処理中にエラーが発生しました．";
constexpr const char* kTextWritten = "テキストファイルを出力しました．";
constexpr const char* kTextFailed = "テキストファイル出力が失敗しました．";
constexpr const char* kCombinedAdded =
    "複数測定組合せ計算結果が、レベル波形の無い測定として追加されました.\r\n計算除外範囲などの変更はしないでください.";

}  // namespace

frmLongJob::frmLongJob(platform::UiServices& ui) : Form(ui, "frmLongJob") {
    Caption = "処理実行中";
    cmdCancel.Caption = "Cancel";
}

void frmLongJob::Form_Activate() {
    if (started_) {
        return;
    }
    started_ = true;
    g_bJobCancel = false;
    // The caption and the button show before the job starts.
    ui_.Refresh(*this);
    ui_.DoEvents();

    const LongJob* job = FindLongJob(g_JobNo);
    auto* main = dynamic_cast<frmMeasure*>(g_frmMeasure);
    if (job == nullptr || job->run == nullptr || main == nullptr) {
        g_frmLongJob = nullptr;
        ui_.Unload(*this);
        return;
    }
    running_ = true;
    JobOutcome outcome = JobOutcome::Failed;
    try {
        outcome = (main->*job->run)();
    } catch (const std::exception&) {
        outcome = JobOutcome::Failed;
    }
    main->HideJobProgress();
    EndJob(outcome);
}

void frmLongJob::Form_QueryUnload(bool& cancel, platform::UnloadMode) {
    if (running_) {
        g_bJobCancel = true;
        cancel = true;
    }
}

void frmLongJob::cmdCancel_Click() { g_bJobCancel = true; }

void frmLongJob::EndJob(JobOutcome outcome) {
    g_frmLongJob = nullptr;
    running_ = false;
    outcome_ = outcome;
    const LongJob* job = FindLongJob(g_JobNo);
    if (job != nullptr) {
        const bool text = job->end == JobEnd::TextFile;
        switch (outcome) {
        case JobOutcome::Cancelled: ui_.MsgBox(kCancelled); break;
        case JobOutcome::Reported: break;
        case JobOutcome::Failed:
            if (text) {
                ui_.MsgBox(kTextFailed);
            } else {
                ui_.MsgBox(kFailed, MsgButtons::OK, MsgIcon::Critical);
            }
            break;
        case JobOutcome::Done:
            if (text) {
                ui_.MsgBox(kTextWritten);
            } else if (job->end == JobEnd::CombinedMeasure) {
                ui_.MsgBox(kCombinedAdded, MsgButtons::OK, MsgIcon::Information, "お知らせ");
            } else {
                ui_.MsgBox(job->doneMessage);
            }
            break;
        }
    }
    ui_.Unload(*this);
}

}  // namespace murtesk
