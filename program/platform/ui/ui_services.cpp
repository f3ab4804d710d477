#include "ui_services.h"

#include "form.h"

#include <algorithm>

namespace murtesk::platform {

UiServices::~UiServices() = default;

MsgAnswer UiServices::MsgBox(std::string_view text, MsgButtons buttons, MsgIcon icon, std::string_view title)
{
    MessageBoxRequest request;
    request.Text = std::string(text);
    request.Buttons = buttons;
    request.Icon = icon;
    request.Title = std::string(title.empty() ? kProgramTitle : title);
    return ShowMessage(request);
}

MsgAnswer UiServices::MsgBox(std::string_view text, MsgButtons buttons, MsgIcon icon, std::string_view title,
                             MsgAnswer defaultAnswer)
{
    MessageBoxRequest request;
    request.Text = std::string(text);
    request.Buttons = buttons;
    request.Icon = icon;
    request.Title = std::string(title.empty() ? kProgramTitle : title);
    request.Default = defaultAnswer;
    return ShowMessage(request);
}

bool UiServices::IsLoaded(const Form& form) const
{
    return std::find(loaded_.begin(), loaded_.end(), &form) != loaded_.end();
}

void UiServices::Load(Form& form)
{
    if (IsLoaded(form)) {
        return;
    }
    loaded_.push_back(&form);
    form.Form_Load();
}

void UiServices::Show(Form& form)
{
    Load(form);
    if (!IsLoaded(form)) {
        return;  // its load handler unloaded it again
    }
    form.Visible = true;
    ShowView(form);
}

void UiServices::ShowModal(Form& form)
{
    Load(form);
    if (!IsLoaded(form)) {
        return;
    }
    form.Visible = true;
    RunModal(form);
}

void UiServices::ShowModal(Form& form, Form* owner)
{
    owners_.emplace_back(&form, owner);
    ShowModal(form);
    owners_.pop_back();
}

void UiServices::Activate(Form& form)
{
    if (IsLoaded(form) && form.Visible) {
        ActivateView(form);
    }
}

Form* UiServices::OwnerOf(const Form& form) const
{
    for (auto it = owners_.rbegin(); it != owners_.rend(); ++it) {
        if (it->first == &form) {
            return it->second;
        }
    }
    return nullptr;
}

void UiServices::Hide(Form& form)
{
    if (!form.Visible) {
        return;
    }
    form.Visible = false;
    HideView(form);
}

bool UiServices::IsUnloading(const Form& form) const
{
    return std::find(unloading_.begin(), unloading_.end(), &form) != unloading_.end();
}

bool UiServices::Unload(Form& form, UnloadMode mode)
{
    // A form whose unloading is under way (its handlers may unload every form, itself included)
    // is left to finish it.
    if (!IsLoaded(form) || IsUnloading(form)) {
        return true;
    }
    unloading_.push_back(&form);
    bool cancel = false;
    form.Form_QueryUnload(cancel, mode);
    if (!cancel && IsLoaded(form)) {
        form.Form_Unload(cancel);
    }
    unloading_.erase(std::remove(unloading_.begin(), unloading_.end(), &form), unloading_.end());
    if (cancel) {
        return !IsLoaded(form);
    }
    if (!IsLoaded(form)) {
        return true;
    }
    form.Visible = false;
    loaded_.erase(std::remove(loaded_.begin(), loaded_.end(), &form), loaded_.end());
    DestroyView(form);
    if (loaded_.empty()) {
        EndProgram();
    }
    return true;
}

void UiServices::UnloadAll()
{
    const std::vector<Form*> snapshot = loaded_;
    for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
        if (IsLoaded(**it) && !IsUnloading(**it)) {
            Unload(**it, UnloadMode::AppWindows);
        }
    }
}

}  // namespace murtesk::platform
