// The user-interface services a form model may use: message boxes, file and folder dialogs, the
// clipboard, the busy cursor, the pending-event pump, shell open, timers, the clock, and the form
// runtime (load, show, modal show, hide, unload). The Qt implementation shows real widgets; the
// fake of platform/testing answers from a script and keeps a transcript.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace murtesk::platform {

class Form;
class WindowTarget;

// Shown by message boxes that name no title of their own.
inline constexpr std::string_view kProgramTitle = "Murtesk";

enum class MsgButtons { OK, OKCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };
enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgAnswer { OK, Cancel, Abort, Retry, Ignore, Yes, No };

struct MessageBoxRequest {
    std::string Text;
    MsgButtons Buttons = MsgButtons::OK;
    MsgIcon Icon = MsgIcon::None;
    std::string Title;  // never empty once it reaches an implementation
    // The button Enter presses; none: the box's first button.
    std::optional<MsgAnswer> Default;
};

// A file dialog. Filter is "description|patterns|description|patterns", patterns separated by ';';
// patterns match file names without regard to case ("*.wav" also lists "A.WAV").
struct FileDialogRequest {
    std::string Title;
    std::string Filter;
    std::string FileName;    // proposed name (may hold a folder)
    std::string InitialDir;  // empty: the folder of FileName, else the current folder
    bool HideReadOnly = false;
    bool PathMustExist = false;
    bool FileMustExist = false;
    bool NoReadOnlyReturn = false;
    bool OverwritePrompt = false;
    // Open only: several files may be chosen. One chosen file comes back as its full path; several
    // as the folder followed by each file name, all separated by NUL characters.
    bool MultiSelect = false;
    // Save only: a file the caller cannot take. Given the chosen path, the text that says why, naming
    // the file it is about (shown as it is over the dialog, which then stays open for another name),
    // or empty when the file will do. Asked before the question whether to overwrite.
    std::function<std::string(const std::string& path)> Refusal;
};

enum class ShellOpenResult { Opened, FileNotFound, NoHandler, Failed };

// Why a form is being unloaded (passed to its closing question).
enum class UnloadMode { FormControlMenu = 0, FormCode = 1, AppWindows = 2 };

using TimerId = std::uint64_t;

class UiServices {
public:
    UiServices() = default;
    UiServices(const UiServices&) = delete;
    UiServices& operator=(const UiServices&) = delete;
    virtual ~UiServices();

    // A message box; an empty title shows the program's title.
    MsgAnswer MsgBox(std::string_view text, MsgButtons buttons = MsgButtons::OK,
                     MsgIcon icon = MsgIcon::None, std::string_view title = {});
    // The same with the button that Enter presses (a question whose safe answer is No).
    MsgAnswer MsgBox(std::string_view text, MsgButtons buttons, MsgIcon icon, std::string_view title,
                     MsgAnswer defaultAnswer);

    // File dialogs: the chosen path, or nothing when the user cancelled.
    virtual std::optional<std::string> ShowOpen(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> ShowSave(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> BrowseFolder(std::string_view title, std::string_view initial) = 0;

    // Clears the clipboard and puts the text on it; false when the clipboard could not take it.
    virtual bool SetClipboardText(std::string_view text) = 0;
    virtual std::string ClipboardText() = 0;

    // Hourglass pointer on (true) or back to normal (false). Screens hold a BusyPointer (below) instead.
    virtual void SetBusy(bool busy) = 0;
    // Lets pending window events run once.
    virtual void DoEvents() = 0;
    // Lets pending window events run; when none is pending, waits up to timeoutMs for the next one and
    // lets it run. A loop that watches what events change waits here instead of spinning.
    virtual void WaitEvents(int timeoutMs) = 0;
    // A message target for a hidden control, owned by the caller; its messages run on this thread
    // while events are let through.
    virtual std::unique_ptr<WindowTarget> NewWindowTarget() = 0;
    // Opens a document with the desktop's program for it.
    virtual ShellOpenResult ShellOpen(const std::string& path) = 0;

    // A timer calling back on the user-interface thread every interval (once when singleShot).
    virtual TimerId StartTimer(int intervalMs, bool singleShot, std::function<void()> callback) = 0;
    virtual void StopTimer(TimerId id) = 0;
    // While the program waits for something outside (another program's end): lets pending window
    // events run except the user's input, which is dropped (keys, mouse, closing a window), so that
    // windows repaint and timers run but nothing starts; waits up to timeoutMs when none is pending.
    virtual void DoEventsWithoutInput(int timeoutMs) = 0;

    // Local time now as a day count (days since 1899-12-30).
    virtual double Now() = 0;

    // ---- Form runtime. These keep the rules a form program relies on explicit:
    // Load runs Form_Load once; Show loads, makes visible and lets activation follow;
    // ShowModal returns when the form has been hidden or unloaded; Unload asks
    // Form_QueryUnload, then runs Form_Unload; when the last loaded form is gone the program ends.
    void Load(Form& form);
    void Show(Form& form);
    void ShowModal(Form& form);
    // The same with an owner: the form stays above `owner` while it is shown (null: no owner).
    void ShowModal(Form& form, Form* owner);
    // Makes the form the active window again, as after a window it opened has closed.
    void Activate(Form& form);
    void Hide(Form& form);
    // False when the form's closing question or unload handler cancelled.
    bool Unload(Form& form, UnloadMode mode = UnloadMode::FormCode);
    // Shows the form's state again at once (a form's Refresh).
    void Refresh(Form& form) { RefreshView(form); }
    // Unloads every loaded form, the most recently loaded first.
    void UnloadAll();
    const std::vector<Form*>& LoadedForms() const { return loaded_; }
    bool IsLoaded(const Form& form) const;
    bool IsUnloading(const Form& form) const;

protected:
    virtual MsgAnswer ShowMessage(const MessageBoxRequest& request) = 0;
    // Implementation hooks of the form runtime.
    virtual void ShowView(Form& form) = 0;  // show without blocking, activation follows
    virtual void RunModal(Form& form) = 0;  // blocks until the form is no longer visible
    virtual void HideView(Form& form) = 0;
    virtual void DestroyView(Form& form) = 0;
    virtual void RefreshView(Form& form) = 0;
    virtual void ActivateView(Form& form) = 0;
    // The owner of a form shown modally with one; null otherwise.
    Form* OwnerOf(const Form& form) const;
    virtual void EndProgram() = 0;  // the last form has been unloaded

private:
    std::vector<Form*> loaded_;
    std::vector<Form*> unloading_;
    std::vector<std::pair<const Form*, Form*>> owners_;
};

// The busy pointer from construction to the end of the scope, also when the scope is left by an early
// return or an exception. End() puts the normal pointer back sooner (before a message, say); the end
// of the scope then does nothing more. A move hands the pointer on to a longer-lived holder.
class BusyPointer {
public:
    explicit BusyPointer(UiServices& ui) : ui_(&ui) { ui.SetBusy(true); }
    ~BusyPointer() { End(); }
    BusyPointer(BusyPointer&& other) noexcept : ui_(std::exchange(other.ui_, nullptr)) {}
    BusyPointer& operator=(BusyPointer&& other) noexcept {
        if (this != &other) {
            End();
            ui_ = std::exchange(other.ui_, nullptr);
        }
        return *this;
    }

    void End() {
        if (ui_ != nullptr) {
            std::exchange(ui_, nullptr)->SetBusy(false);
        }
    }

private:
    UiServices* ui_;
};

}  // namespace murtesk::platform
