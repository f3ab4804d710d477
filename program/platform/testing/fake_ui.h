// Fake user-interface services for tests: answers come from a script, every message box,
// dialog and form event goes into a transcript, the clock is manual, timers fire when the
// test advances the clock, and activation is delivered when the test (or DoEvents) asks.
// Messages posted to its window targets run in DoEvents and WaitEvents; a WaitEvents that finds
// nothing to deliver lasts its time-out on the manual clock.
#pragma once

#include "form.h"
#include "ui_services.h"
#include "window_target.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace murtesk::platform::testing {

struct MessageRecord {
    std::string Text;
    std::string Title;
    MsgIcon Icon = MsgIcon::None;
    MsgButtons Buttons = MsgButtons::OK;
    MsgAnswer Answer = MsgAnswer::OK;
    std::optional<MsgAnswer> Default;  // the button Enter presses, when the caller named one
};

enum class DialogKind { Open, Save, Folder };

struct DialogRecord {
    DialogKind Kind = DialogKind::Open;
    FileDialogRequest Request;  // Folder: Title and FileName (the initial folder)
    std::optional<std::string> Result;
};

class FakeUi final : public UiServices {
public:
    FakeUi();
    ~FakeUi() override;

    // ---- Script
    void AnswerNext(MsgAnswer answer) { answers_.push_back(answer); }
    // The next file or folder dialog returns this path; nothing means Cancel. A save dialog whose
    // request refuses the path records the refusal as a message and takes the next choice.
    void ChooseNext(std::optional<std::string> path) { choices_.push_back(std::move(path)); }
    // The next modal showing of the named form runs this with the form; it should end by
    // unloading or hiding the form. Without a script the form is closed by its frame.
    void OnModal(const std::string& formName, std::function<void(Form&)> script);
    void SetShellOpenResult(ShellOpenResult result) { shellResult_ = result; }
    // Called by every DoEvents and WaitEvents, after the pending activations and before the
    // window targets' messages are delivered.
    void OnDoEvents(std::function<void()> hook) { doEventsHook_ = std::move(hook); }

    // ---- Transcript
    const std::vector<MessageRecord>& Messages() const { return messages_; }
    const std::vector<DialogRecord>& Dialogs() const { return dialogs_; }
    // Every event in order: "msg <text>", "open <title>", "save <title>", "folder <title>",
    // "modal <form>" ("modal <form> over <owner>" when shown with an owner), "show <form>",
    // "hide <form>", "unload <form>", "activate <form>", "focus <form>" (made active again by the
    // program), "shell <path>", "busy on", "busy off", "end".
    const std::vector<std::string>& Events() const { return events_; }
    std::vector<std::string> MessageTexts() const;
    void ClearTranscript();
    // Questions (boxes with more than an OK button) that found no scripted answer.
    int UnscriptedAnswers() const { return unscripted_; }
    int UnusedScript() const;

    bool Busy() const { return busy_; }
    bool Ended() const { return ended_; }
    int RefreshCount(const Form& form) const;
    int InputlessPumps() const { return inputlessPumps_; }

    // ---- Events the test delivers
    // Runs the activation of every form shown since the last call, in order.
    void RunPendingActivations();
    // Frame close of a form (the user's close box).
    bool CloseByFrame(Form& form) { return Unload(form, UnloadMode::FormControlMenu); }

    // ---- Clock and timers
    void SetNow(double dayCount) { now_ = dayCount; }
    // Moves the clock and fires due timers in time order.
    void AdvanceMs(long long ms);
    // Milliseconds the manual clock has moved since the fake was made.
    long long ElapsedMs() const { return clockMs_; }
    // Number of WaitEvents calls so far.
    int Waits() const { return waits_; }
    // Runs the messages posted to the window targets; returns how many ran.
    std::size_t DeliverMessages();

    // ---- UiServices
    std::optional<std::string> ShowOpen(const FileDialogRequest& request) override;
    std::optional<std::string> ShowSave(const FileDialogRequest& request) override;
    std::optional<std::string> BrowseFolder(std::string_view title, std::string_view initial) override;
    bool SetClipboardText(std::string_view text) override {
        if (clipboardFails_) {
            return false;
        }
        clipboard_ = std::string(text);
        return true;
    }
    // The clipboard refuses every text while set.
    void FailClipboard(bool fail) { clipboardFails_ = fail; }
    std::string ClipboardText() override { return clipboard_; }
    void SetBusy(bool busy) override;
    void DoEvents() override;
    void WaitEvents(int timeoutMs) override;
    std::unique_ptr<WindowTarget> NewWindowTarget() override;
    ShellOpenResult ShellOpen(const std::string& path) override;
    TimerId StartTimer(int intervalMs, bool singleShot, std::function<void()> callback) override;
    void StopTimer(TimerId id) override;
    // Counted, and runs the DoEvents hook.
    void DoEventsWithoutInput(int timeoutMs) override;
    double Now() override { return now_; }

protected:
    MsgAnswer ShowMessage(const MessageBoxRequest& request) override;
    void ShowView(Form& form) override;
    void RunModal(Form& form) override;
    void ActivateView(Form& form) override;
    void HideView(Form& form) override;
    void DestroyView(Form& form) override;
    void RefreshView(Form& form) override;
    void EndProgram() override;

private:
    std::optional<std::string> NextChoice(DialogKind kind, const FileDialogRequest& request, const char* word);

    struct Timer {
        TimerId id;
        long long intervalMs;
        bool singleShot;
        long long dueMs;
        std::function<void()> callback;
    };

    std::deque<MsgAnswer> answers_;
    std::deque<std::optional<std::string>> choices_;
    std::map<std::string, std::deque<std::function<void(Form&)>>> modalScripts_;
    std::function<void()> doEventsHook_;
    ShellOpenResult shellResult_ = ShellOpenResult::Opened;

    std::vector<MessageRecord> messages_;
    std::vector<DialogRecord> dialogs_;
    std::vector<std::string> events_;
    std::vector<Form*> pendingActivations_;
    std::map<const Form*, int> refreshes_;
    std::string clipboard_;
    bool clipboardFails_ = false;
    int unscripted_ = 0;
    int waits_ = 0;
    int inputlessPumps_ = 0;
    // The window targets alive, shared with them so that each takes itself out when it goes.
    std::shared_ptr<std::vector<PumpedWindowTarget*>> targets_ = std::make_shared<std::vector<PumpedWindowTarget*>>();
    bool busy_ = false;
    bool ended_ = false;

    double now_ = 45000.0;  // 2023-03-15
    long long clockMs_ = 0;
    TimerId nextTimer_ = 1;
    std::vector<Timer> timers_;
};

}  // namespace murtesk::platform::testing
