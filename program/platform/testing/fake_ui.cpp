#include "fake_ui.h"

#include <algorithm>

namespace murtesk::platform::testing {

namespace {

MsgAnswer DefaultAnswer(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::OK:
    case MsgButtons::OKCancel:
        return MsgAnswer::OK;
    case MsgButtons::AbortRetryIgnore:
        return MsgAnswer::Abort;
    case MsgButtons::YesNoCancel:
    case MsgButtons::YesNo:
        return MsgAnswer::Yes;
    case MsgButtons::RetryCancel:
        return MsgAnswer::Retry;
    }
    return MsgAnswer::OK;
}

class FakeWindowTarget final : public PumpedWindowTarget {
public:
    explicit FakeWindowTarget(std::shared_ptr<std::vector<PumpedWindowTarget*>> targets)
        : targets_(std::move(targets)) {
        targets_->push_back(this);
    }
    ~FakeWindowTarget() override { std::erase(*targets_, this); }

private:
    std::shared_ptr<std::vector<PumpedWindowTarget*>> targets_;
};

}  // namespace

FakeUi::FakeUi() = default;
FakeUi::~FakeUi() = default;

void FakeUi::OnModal(const std::string& formName, std::function<void(Form&)> script)
{
    modalScripts_[formName].push_back(std::move(script));
}

std::vector<std::string> FakeUi::MessageTexts() const
{
    std::vector<std::string> texts;
    for (const auto& m : messages_) {
        texts.push_back(m.Text);
    }
    return texts;
}

void FakeUi::ClearTranscript()
{
    messages_.clear();
    dialogs_.clear();
    events_.clear();
}

int FakeUi::UnusedScript() const
{
    std::size_t n = answers_.size() + choices_.size();
    for (const auto& [name, scripts] : modalScripts_) {
        n += scripts.size();
    }
    return static_cast<int>(n);
}

int FakeUi::RefreshCount(const Form& form) const
{
    auto it = refreshes_.find(&form);
    return it == refreshes_.end() ? 0 : it->second;
}

MsgAnswer FakeUi::ShowMessage(const MessageBoxRequest& request)
{
    MessageRecord record{request.Text, request.Title, request.Icon, request.Buttons,
                         request.Default.value_or(DefaultAnswer(request.Buttons)), request.Default};
    if (!answers_.empty()) {
        record.Answer = answers_.front();
        answers_.pop_front();
    } else if (request.Buttons != MsgButtons::OK) {
        ++unscripted_;
    }
    messages_.push_back(record);
    events_.push_back("msg " + request.Text);
    return record.Answer;
}

std::optional<std::string> FakeUi::NextChoice(DialogKind kind, const FileDialogRequest& request, const char* word)
{
    DialogRecord record{kind, request, std::nullopt};
    if (!choices_.empty()) {
        record.Result = choices_.front();
        choices_.pop_front();
    }
    dialogs_.push_back(record);
    events_.push_back(std::string(word) + " " + request.Title);
    return record.Result;
}

std::optional<std::string> FakeUi::ShowOpen(const FileDialogRequest& request)
{
    return NextChoice(DialogKind::Open, request, "open");
}

std::optional<std::string> FakeUi::ShowSave(const FileDialogRequest& request)
{
    std::optional<std::string> chosen = NextChoice(DialogKind::Save, request, "save");
    // A refused file is told over the dialog, which stays open: the next scripted choice answers it.
    while (chosen && request.Refusal) {
        const std::string refusal = request.Refusal(*chosen);
        if (refusal.empty()) {
            break;
        }
        messages_.push_back(MessageRecord{refusal, request.Title, MsgIcon::Exclamation, MsgButtons::OK, MsgAnswer::OK,
                                          std::nullopt});
        events_.push_back("msg " + refusal);
        chosen.reset();
        if (!choices_.empty()) {
            chosen = choices_.front();
            choices_.pop_front();
        }
        dialogs_.back().Result = chosen;
    }
    return chosen;
}

std::optional<std::string> FakeUi::BrowseFolder(std::string_view title, std::string_view initial)
{
    FileDialogRequest request;
    request.Title = std::string(title);
    request.FileName = std::string(initial);
    return NextChoice(DialogKind::Folder, request, "folder");
}

void FakeUi::SetBusy(bool busy)
{
    busy_ = busy;
    events_.push_back(busy ? "busy on" : "busy off");
}

void FakeUi::RunPendingActivations()
{
    while (!pendingActivations_.empty()) {
        Form* form = pendingActivations_.front();
        pendingActivations_.erase(pendingActivations_.begin());
        if (IsLoaded(*form) && form->Visible) {
            events_.push_back("activate " + form->Name());
            form->Form_Activate();
        }
    }
}

void FakeUi::DoEvents()
{
    RunPendingActivations();
    if (doEventsHook_) {
        auto hook = doEventsHook_;
        hook();
    }
    DeliverMessages();
}

void FakeUi::WaitEvents(int timeoutMs) {
    ++waits_;
    RunPendingActivations();
    if (doEventsHook_) {
        auto hook = doEventsHook_;
        hook();
    }
    if (DeliverMessages() == 0) {
        AdvanceMs(timeoutMs);
    }
}

void FakeUi::DoEventsWithoutInput(int) {
    ++inputlessPumps_;
    if (doEventsHook_) {
        auto hook = doEventsHook_;
        hook();
    }
    DeliverMessages();
}

std::size_t FakeUi::DeliverMessages() {
    std::size_t count = 0;
    const std::vector<PumpedWindowTarget*> snapshot = *targets_;
    for (PumpedWindowTarget* target : snapshot) {
        // A message may have taken a target away.
        if (std::find(targets_->begin(), targets_->end(), target) != targets_->end()) {
            count += target->DeliverPending();
        }
    }
    return count;
}

std::unique_ptr<WindowTarget> FakeUi::NewWindowTarget() { return std::make_unique<FakeWindowTarget>(targets_); }

ShellOpenResult FakeUi::ShellOpen(const std::string& path)
{
    events_.push_back("shell " + path);
    return shellResult_;
}

TimerId FakeUi::StartTimer(int intervalMs, bool singleShot, std::function<void()> callback)
{
    const TimerId id = nextTimer_++;
    const long long interval = std::max(1, intervalMs);
    timers_.push_back(Timer{id, interval, singleShot, clockMs_ + interval, std::move(callback)});
    return id;
}

void FakeUi::StopTimer(TimerId id)
{
    timers_.erase(std::remove_if(timers_.begin(), timers_.end(), [id](const Timer& t) { return t.id == id; }),
                  timers_.end());
}

void FakeUi::AdvanceMs(long long ms)
{
    const long long end = clockMs_ + std::max(0LL, ms);
    for (;;) {
        auto due = std::min_element(timers_.begin(), timers_.end(),
                                    [](const Timer& a, const Timer& b) { return a.dueMs < b.dueMs; });
        if (due == timers_.end() || due->dueMs > end) {
            break;
        }
        now_ += static_cast<double>(due->dueMs - clockMs_) / 86'400'000.0;
        clockMs_ = due->dueMs;
        auto callback = due->callback;
        if (due->singleShot) {
            timers_.erase(due);
        } else {
            due->dueMs += due->intervalMs;
        }
        callback();  // may start or stop timers, or move the clock itself (a loop waiting for events)
    }
    if (end > clockMs_) {
        now_ += static_cast<double>(end - clockMs_) / 86'400'000.0;
        clockMs_ = end;
    }
}

void FakeUi::ShowView(Form& form)
{
    events_.push_back("show " + form.Name());
    pendingActivations_.push_back(&form);
}

void FakeUi::RunModal(Form& form)
{
    const Form* owner = OwnerOf(form);
    events_.push_back("modal " + form.Name() + (owner != nullptr ? " over " + owner->Name() : std::string()));
    auto it = modalScripts_.find(form.Name());
    if (it != modalScripts_.end() && !it->second.empty()) {
        auto script = std::move(it->second.front());
        it->second.pop_front();
        form.Form_Activate();
        script(form);
    }
    // A modal form still open after its script (or without one) is closed by its frame.
    if (IsLoaded(form) && form.Visible) {
        if (!Unload(form, UnloadMode::FormControlMenu)) {
            Hide(form);
        }
    }
}

void FakeUi::ActivateView(Form& form)
{
    events_.push_back("focus " + form.Name());
}

void FakeUi::HideView(Form& form)
{
    events_.push_back("hide " + form.Name());
}

void FakeUi::DestroyView(Form& form)
{
    events_.push_back("unload " + form.Name());
    pendingActivations_.erase(std::remove(pendingActivations_.begin(), pendingActivations_.end(), &form),
                              pendingActivations_.end());
}

void FakeUi::RefreshView(Form& form)
{
    ++refreshes_[&form];
}

void FakeUi::EndProgram()
{
    ended_ = true;
    events_.push_back("end");
}

}  // namespace murtesk::platform::testing
