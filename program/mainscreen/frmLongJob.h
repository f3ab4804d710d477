// The long-job window: shown modally over the main screen while a job over all measurements runs.
// Its first activation runs the main screen's job for g_JobNo; its one button asks the job to
// stop; EndJob reports the job's end and closes it. The progress is shown on the main screen.
#pragma once

#include "controls.h"
#include "form.h"
#include "long_job.h"

#include <optional>

namespace murtesk {

class frmLongJob : public platform::Form {
public:
    explicit frmLongJob(platform::UiServices& ui);

    platform::CommandButton cmdCancel;

    void Form_Activate() override;
    // While the job runs the window stays: a close by its frame asks the job to stop, as Cancel.
    void Form_QueryUnload(bool& cancel, platform::UnloadMode mode) override;
    void cmdCancel_Click();
    // Tells the user how the job ended (by its outcome and g_JobNo), then unloads the window.
    void EndJob(JobOutcome outcome);
    // How the job ended; nothing while it has not, or when the code had no job.
    std::optional<JobOutcome> Outcome() const { return outcome_; }

private:
    std::optional<JobOutcome> outcome_;
    bool started_ = false;
    bool running_ = false;
};

}  // namespace murtesk
