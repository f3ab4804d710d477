// The Qt 6 implementation of the user-interface services: real message boxes and file
// dialogs, the clipboard, the wait cursor, timers, and the form runtime's views. A view is
// made for a form the first time the form is shown, by the view type registered for its name.
#pragma once

#include "form.h"
#include "ui_services.h"

#include <QDateTime>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

class QEventLoop;
class QTimer;

namespace murtesk::platform::qt {

class FormView;

class QtUi final : public UiServices {
public:
    QtUi();
    ~QtUi() override;

    // The view of every form named formName is a ViewT, made from the form as a FormT. A form of
    // that name but of another type gets no view.
    template <class FormT, class ViewT>
    void RegisterView(const std::string& formName)
    {
        static_assert(std::is_base_of_v<Form, FormT> && std::is_base_of_v<FormView, ViewT>);
        factories_[formName] = [](Form& form, QtUi& ui) -> std::unique_ptr<FormView> {
            auto* typed = dynamic_cast<FormT*>(&form);
            if (typed == nullptr) {
                return nullptr;
            }
            return std::make_unique<ViewT>(*typed, ui);
        };
    }
    // The view of a form, made on demand; null when no view is registered for it.
    FormView* ViewOf(Form& form);
    // Shows every view's state again; the binders call it after each handler they forward.
    void RefreshAll();
    // Drops the views (before the form models they point to go away).
    void DestroyAllViews();

    std::optional<std::string> ShowOpen(const FileDialogRequest& request) override;
    std::optional<std::string> ShowSave(const FileDialogRequest& request) override;
    std::optional<std::string> BrowseFolder(std::string_view title, std::string_view initial) override;
    bool SetClipboardText(std::string_view text) override;
    std::string ClipboardText() override;
    void SetBusy(bool busy) override;
    void DoEvents() override;
    void WaitEvents(int timeoutMs) override;
    std::unique_ptr<WindowTarget> NewWindowTarget() override;
    ShellOpenResult ShellOpen(const std::string& path) override;
    TimerId StartTimer(int intervalMs, bool singleShot, std::function<void()> callback) override;
    void StopTimer(TimerId id) override;
    void DoEventsWithoutInput(int timeoutMs) override;
    double Now() override;

protected:
    MsgAnswer ShowMessage(const MessageBoxRequest& request) override;
    void ShowView(Form& form) override;
    void RunModal(Form& form) override;
    void HideView(Form& form) override;
    void DestroyView(Form& form) override;
    void RefreshView(Form& form) override;
    void ActivateView(Form& form) override;
    void EndProgram() override;

private:
    using ViewFactory = std::function<std::unique_ptr<FormView>(Form&, QtUi&)>;

    QWidget* DialogParent() const;
    // Every view shows its form's state, before a box or dialog opens over it.
    void ShowFormStates();
    void QuitModalLoop(Form& form);

    // Context of the calls queued for later: they are dropped with the services.
    std::unique_ptr<QObject> context_;
    std::map<std::string, ViewFactory> factories_;
    std::map<Form*, std::unique_ptr<FormView>> views_;
    // Views of unloaded forms awaiting their deferred deletion; DestroyAllViews takes those left.
    std::vector<QPointer<QObject>> retired_;
    std::map<Form*, QEventLoop*> modalLoops_;
    std::map<TimerId, QPointer<QTimer>> timers_;
    TimerId nextTimer_ = 1;
    bool busy_ = false;
    bool refreshing_ = false;
};

// The width a window needs for its title to show whole in a window manager's title bar, beside the
// bar's icon and buttons. A form's window is made at least this wide when its view is made.
int TitleBarWidth(const QString& title);

// Filter text "description|patterns|..." as Qt writes it: "description (p1 p2)" per line.
QStringList ToQtFilters(const std::string& filter);
// The extension a save dialog adds to a name typed without one under a Qt filter line: that of its
// first pattern "*.ext" ("csv" for "ﾃｷｽﾄﾌｧｲﾙ (*.csv *.txt)"); none for "*.*" or "*".
QString DefaultSuffixOf(const QString& nameFilter);

}  // namespace murtesk::platform::qt
