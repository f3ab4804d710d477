#include "qt_ui.h"

#include "form_view.h"
#include "platform/dates.h"
#include "qt_message_window.h"
#include "window_target.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <algorithm>

namespace murtesk::platform::qt {

QStringList ToQtFilters(const std::string& filter)
{
    QStringList result;
    const QStringList parts = ToQ(filter).split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        // Qt reads the patterns from the last parentheses of a filter line, separated by spaces.
        const qsizetype open = description.lastIndexOf(QLatin1Char('('));
        if (open > 0 && description.endsWith(QLatin1Char(')'))) {
            description = description.left(open).trimmed();
        }
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        result << description + QStringLiteral(" (") + patterns.trimmed() + QLatin1Char(')');
    }
    return result;
}

QString DefaultSuffixOf(const QString& nameFilter)
{
    const qsizetype open = nameFilter.lastIndexOf(QLatin1Char('('));
    const qsizetype close = nameFilter.lastIndexOf(QLatin1Char(')'));
    const QString patterns = open >= 0 && close > open ? nameFilter.mid(open + 1, close - open - 1) : nameFilter;
    const QString first = patterns.trimmed().section(QLatin1Char(' '), 0, 0);
    if (!first.startsWith(QStringLiteral("*."))) {
        return {};
    }
    const QString suffix = first.mid(2);
    for (const QChar c : suffix) {
        if (c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('.')) {
            return {};
        }
    }
    return suffix;
}

namespace {

// A view whose form was unloaded, kept until Qt's deferred deletion takes it.
class RetiredView final : public QObject {
public:
    explicit RetiredView(std::unique_ptr<FormView> view) : view_(std::move(view)) {}

private:
    std::unique_ptr<FormView> view_;
};

}  // namespace

QtUi::QtUi() : context_(std::make_unique<QObject>()) {}

QtUi::~QtUi()
{
    DestroyAllViews();
}

namespace {

// Room a window manager's title bar takes beside the title: the window's icon, its buttons, margins.
constexpr int kTitleBarAllowance = 120;

// A window made at least as wide as its title bar needs, so the title shows whole (never wider than the
// screen: a long path in a title is cut there); a window placed in the middle of the screen stays there,
// one of fixed size keeps its height.
void FitTitle(QWidget& window) {
    int wanted = TitleBarWidth(window.windowTitle());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        wanted = std::min(wanted, screen->availableGeometry().width());
    }
    const int grow = wanted - window.width();
    if (!window.isWindow() || grow <= 0) {
        return;
    }
    if (window.minimumWidth() == window.maximumWidth()) {
        window.setFixedWidth(wanted);
    } else {
        window.resize(wanted, window.height());
    }
    if (window.testAttribute(Qt::WA_Moved)) {
        window.move(window.x() - grow / 2, window.y());
    }
}

}  // namespace

int TitleBarWidth(const QString& title) {
    QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
    titleFont.setBold(true);
    return QFontMetrics(titleFont).horizontalAdvance(title) + kTitleBarAllowance;
}

FormView* QtUi::ViewOf(Form& form)
{
    auto it = views_.find(&form);
    if (it != views_.end()) {
        return it->second.get();
    }
    auto factory = factories_.find(form.Name());
    if (factory == factories_.end()) {
        return nullptr;
    }
    std::unique_ptr<FormView> view = factory->second(form, *this);
    if (!view) {
        qWarning("no view for form %s: it is not of the type registered for its name", form.Name().c_str());
        return nullptr;
    }
    FormView* raw = view.get();
    views_[&form] = std::move(view);
    raw->Refresh();
    FitTitle(*raw->Widget());
    return raw;
}

void QtUi::RefreshAll() {
    ShowFormStates();
}

void QtUi::ShowFormStates() {
    if (refreshing_) {
        return;
    }
    refreshing_ = true;
    for (auto& [form, view] : views_) {
        view->Refresh();
    }
    refreshing_ = false;
}

void QtUi::DestroyAllViews()
{
    for (auto& [form, loop] : modalLoops_) {
        loop->quit();
    }
    views_.clear();
    for (const QPointer<QObject>& retired : retired_) {
        delete retired.data();
    }
    retired_.clear();
}

QWidget* QtUi::DialogParent() const
{
    // Never a hidden window: the window system may still call an unloaded form's window active, and its
    // view goes with its children at the next deferred deletion, a dialog running on the stack among them.
    for (QWidget* candidate : {QApplication::activeModalWidget(), QApplication::activeWindow()}) {
        if (candidate != nullptr && candidate->isVisible()) {
            return candidate;
        }
    }
    return nullptr;
}

namespace {

// Each answer and the button that gives it: the default button, the button pressed and the escape
// button all go through this one table.
constexpr std::pair<MsgAnswer, QMessageBox::StandardButton> kAnswerButtons[] = {
    {MsgAnswer::OK, QMessageBox::Ok},         {MsgAnswer::Cancel, QMessageBox::Cancel},
    {MsgAnswer::Abort, QMessageBox::Abort},   {MsgAnswer::Retry, QMessageBox::Retry},
    {MsgAnswer::Ignore, QMessageBox::Ignore}, {MsgAnswer::Yes, QMessageBox::Yes},
    {MsgAnswer::No, QMessageBox::No}};

// A box at least as wide as its title, which the title bar would otherwise cut short.
void FitTitle(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr) {
        return;
    }
    grid->addItem(new QSpacerItem(TitleBarWidth(box.windowTitle()), 0, QSizePolicy::Fixed, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

}  // namespace

MsgAnswer QtUi::ShowMessage(const MessageBoxRequest& request)
{
    // The box tells of what the form has just done: the form shows it first.
    ShowFormStates();
    QMessageBox box(DialogParent());
    box.setWindowTitle(ToQ(request.Title));
    box.setText(ToQ(request.Text));
    switch (request.Icon) {
    case MsgIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MsgIcon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton escape = QMessageBox::NoButton;
    switch (request.Buttons) {
    case MsgButtons::OK:
        buttons = QMessageBox::Ok;
        escape = QMessageBox::Ok;
        break;
    case MsgButtons::OKCancel:
        buttons = QMessageBox::Ok | QMessageBox::Cancel;
        escape = QMessageBox::Cancel;
        break;
    case MsgButtons::AbortRetryIgnore:
        buttons = QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
        escape = QMessageBox::Abort;
        break;
    case MsgButtons::YesNoCancel:
        buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        escape = QMessageBox::Cancel;
        break;
    case MsgButtons::YesNo:
        buttons = QMessageBox::Yes | QMessageBox::No;
        escape = QMessageBox::No;
        break;
    case MsgButtons::RetryCancel:
        buttons = QMessageBox::Retry | QMessageBox::Cancel;
        escape = QMessageBox::Cancel;
        break;
    }
    box.setStandardButtons(buttons);
    box.setEscapeButton(escape);
    if (request.Default) {
        for (const auto& [answer, button] : kAnswerButtons) {
            if (answer == *request.Default && (buttons & button) != 0) {
                box.setDefaultButton(button);
            }
        }
    }
    FitTitle(box);
    const bool wasBusy = busy_;
    if (wasBusy) {
        QApplication::restoreOverrideCursor();
    }
    const int answer = box.exec();
    if (wasBusy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    // Closed some other way than by a button: the escape button's answer.
    for (const int pressed : {answer, static_cast<int>(escape)}) {
        for (const auto& [given, button] : kAnswerButtons) {
            if (pressed == button) {
                return given;
            }
        }
    }
    return MsgAnswer::OK;
}

namespace {

// The caller's refusal of a chosen file (FileDialogRequest::Refusal); empty when it takes it.
QString CallerRefusal(const FileDialogRequest& request, const QStringList& files)
{
    if (!request.Refusal || files.size() != 1 || QFileInfo(files.front()).isDir()) {
        return {};
    }
    return ToQ(request.Refusal(FromQ(files.front())));
}

// A file dialog that refuses a name in a folder that does not exist when the request says the path
// must exist, and says so over itself, as it does for a missing file; and a file its caller
// refuses, before it asks whether to overwrite it, with the caller's text as it is (which names the
// file it is about: the chosen one, or one the caller forms from it).
class FileDialog : public QFileDialog {
public:
    FileDialog(QWidget* parent, const QString& title, const FileDialogRequest& request)
        : QFileDialog(parent, title), request_(request) {}

protected:
    void accept() override {
        const QStringList files = selectedFiles();
        if ((request_.PathMustExist || request_.FileMustExist) && !files.isEmpty()) {
            const QFileInfo chosen(files.front());
            if (!chosen.isDir() && !chosen.absoluteDir().exists()) {
                QMessageBox::warning(this, windowTitle(),
                                     QFileDialog::tr("%1\nDirectory not found.\nPlease verify the "
                                                     "correct directory name was given.")
                                         .arg(QDir::toNativeSeparators(chosen.absolutePath())));
                return;
            }
        }
        if (const QString refusal = acceptMode() == AcceptSave ? CallerRefusal(request_, files) : QString();
            !refusal.isEmpty()) {
            QMessageBox::warning(this, windowTitle(), refusal);
            return;
        }
        QFileDialog::accept();
    }

private:
    const FileDialogRequest& request_;
};

std::optional<std::string> RunFileDialog(QWidget* parent, const FileDialogRequest& request, bool save)
{
    FileDialog dialog(parent, ToQ(request.Title), request);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (save) {
        dialog.setFileMode(QFileDialog::AnyFile);
    } else if (request.MultiSelect) {
        dialog.setFileMode(QFileDialog::ExistingFiles);
    } else {
        dialog.setFileMode(request.FileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    }
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    if (save && !request.OverwritePrompt) {
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    }
    const QStringList filters = ToQtFilters(request.Filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        // A name typed without an extension takes the chosen filter's, before the overwrite question.
        if (save) {
            dialog.setDefaultSuffix(DefaultSuffixOf(filters.front()));
            QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                             [&dialog](const QString& chosen) { dialog.setDefaultSuffix(DefaultSuffixOf(chosen)); });
        }
    }
    const QFileInfo proposed(ToQ(request.FileName));
    if (!request.InitialDir.empty()) {
        dialog.setDirectory(ToQ(request.InitialDir));
    } else if (!request.FileName.empty() && proposed.dir().exists()) {
        dialog.setDirectory(proposed.absolutePath());
    }
    if (!request.FileName.empty()) {
        dialog.selectFile(proposed.fileName());
    }
    // A chosen file the request refuses (a folder that does not exist, a read-only file) is told and
    // the dialog shown again.
    QStringList files;
    for (;;) {
        if (dialog.exec() != QDialog::Accepted) {
            return std::nullopt;
        }
        files = dialog.selectedFiles();
        const QFileInfo chosen(files.isEmpty() ? QString() : files.front());
        QString refusal;
        if (files.size() == 1 && request.PathMustExist && !chosen.absoluteDir().exists()) {
            refusal = QStringLiteral("フォルダーが見つかりません。\nパスが正しいかどうかを確認してください。");
        } else if (files.size() == 1 && request.NoReadOnlyReturn && chosen.exists() && !chosen.isWritable()) {
            refusal = QStringLiteral("このファイルは読み取り専用です。\n別の名前を指定してください。");
        }
        if (!refusal.isEmpty()) {
            refusal = chosen.fileName() + QLatin1Char('\n') + refusal;
        } else if (save) {
            refusal = CallerRefusal(request, files);  // names the file it is about itself
        }
        if (refusal.isEmpty()) {
            break;
        }
        QMessageBox::warning(&dialog, dialog.windowTitle(), refusal);
    }
    if (files.isEmpty()) {
        return std::string();
    }
    if (files.size() == 1) {
        return FromQ(files.front());
    }
    // Several files: the folder, then each name, NUL-separated.
    std::string joined = FromQ(QFileInfo(files.front()).absolutePath());
    for (const QString& file : files) {
        joined.push_back('\0');
        joined += FromQ(QFileInfo(file).fileName());
    }
    return joined;
}

}  // namespace

std::optional<std::string> QtUi::ShowOpen(const FileDialogRequest& request)
{
    ShowFormStates();
    return RunFileDialog(DialogParent(), request, false);
}

std::optional<std::string> QtUi::ShowSave(const FileDialogRequest& request)
{
    ShowFormStates();
    return RunFileDialog(DialogParent(), request, true);
}

std::optional<std::string> QtUi::BrowseFolder(std::string_view title, std::string_view initial)
{
    ShowFormStates();
    const QString folder = QFileDialog::getExistingDirectory(DialogParent(), ToQ(std::string(title)), ToQ(std::string(initial)),
                                                             QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    return FromQ(folder);
}

bool QtUi::SetClipboardText(std::string_view text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) {
        return false;
    }
    const QString q = ToQ(std::string(text));
    clipboard->clear();
    clipboard->setText(q);
    // A clipboard that another program holds or that the system lacks does not keep the text.
    return clipboard->text() == q;
}

std::string QtUi::ClipboardText()
{
    return FromQ(QGuiApplication::clipboard()->text());
}

void QtUi::SetBusy(bool busy)
{
    if (busy == busy_) {
        return;
    }
    busy_ = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void QtUi::DoEvents()
{
    RefreshAll();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtUi::WaitEvents(int timeoutMs) {
    RefreshAll();
    // The timer's event ends the wait when nothing else comes.
    QTimer wake;
    wake.setSingleShot(true);
    wake.start(std::max(0, timeoutMs));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

namespace {

// A window target whose messages run on the Qt event loop of the thread that made it; the views show the
// forms' state again after each (a played buffer's completion may end a playback).
class QtWindowTarget final : public WindowTarget {
public:
    explicit QtWindowTarget(QtUi& ui)
        : window_([this, &ui](std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) {
              const std::intptr_t result = Dispatch(message, wparam, lparam);
              ui.RefreshAll();
              return result;
          }) {}
    MurteskWindow* Handle() override { return window_.Handle(); }

private:
    QtMessageWindow window_;
};

}  // namespace

std::unique_ptr<WindowTarget> QtUi::NewWindowTarget() { return std::make_unique<QtWindowTarget>(*this); }

ShellOpenResult QtUi::ShellOpen(const std::string& path)
{
    const QFileInfo info(ToQ(path));
    if (!info.exists()) {
        return ShellOpenResult::FileNotFound;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath())) ? ShellOpenResult::Opened
                                                                                   : ShellOpenResult::NoHandler;
}

TimerId QtUi::StartTimer(int intervalMs, bool singleShot, std::function<void()> callback)
{
    const TimerId id = nextTimer_++;
    auto* timer = new QTimer(QCoreApplication::instance());
    timer->setSingleShot(singleShot);
    timer->setInterval(intervalMs);
    QObject::connect(timer, &QTimer::timeout, timer, [this, id, singleShot, callback = std::move(callback)] {
        if (singleShot) {
            StopTimer(id);
        }
        callback();
        RefreshAll();
    });
    timers_[id] = timer;
    timer->start();
    return id;
}

namespace {

// Drops what the user does to any window: keys, the mouse, the wheel, touches, drops and the close box.
class InputDropper final : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        (void)watched;
        if (!event->spontaneous()) {
            return false;
        }
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::ContextMenu:
        case QEvent::Drop:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Close:
        case QEvent::InputMethod:
            return true;
        default:
            return false;
        }
    }
};

}  // namespace

void QtUi::DoEventsWithoutInput(int timeoutMs)
{
    RefreshAll();
    InputDropper dropper;
    QCoreApplication::instance()->installEventFilter(&dropper);
    // The timer's event ends the wait when nothing else comes.
    QTimer wake;
    wake.setSingleShot(true);
    wake.start(std::max(0, timeoutMs));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    QCoreApplication::instance()->removeEventFilter(&dropper);
}

void QtUi::StopTimer(TimerId id)
{
    auto it = timers_.find(id);
    if (it == timers_.end()) {
        return;
    }
    if (it->second) {
        it->second->stop();
        it->second->deleteLater();
    }
    timers_.erase(it);
}

double QtUi::Now()
{
    return platform::Now();
}

void QtUi::ShowView(Form& form)
{
    FormView* view = ViewOf(form);
    if (view == nullptr) {
        return;
    }
    view->Refresh();
    view->Widget()->show();
    view->Widget()->raise();
    view->Widget()->activateWindow();
    // Activation follows showing, once the event loop runs.
    QPointer<QWidget> widget = view->Widget();
    QMetaObject::invokeMethod(
        view->Widget(),
        [this, &form, widget] {
            if (widget && IsLoaded(form) && form.Visible) {
                form.Form_Activate();
                RefreshAll();
            }
        },
        Qt::QueuedConnection);
}

void QtUi::RunModal(Form& form)
{
    FormView* view = ViewOf(form);
    if (view == nullptr) {
        Unload(form, UnloadMode::FormControlMenu);
        return;
    }
    QWidget* widget = view->Widget();
    widget->setWindowModality(Qt::ApplicationModal);
    // An owned window stays above its owner's window and is placed by the window manager over it.
    if (Form* owner = OwnerOf(form)) {
        auto it = views_.find(owner);
        if (it != views_.end()) {
            widget->winId();  // makes the native window that takes the owner
            it->second->Widget()->winId();
            widget->windowHandle()->setTransientParent(it->second->Widget()->windowHandle());
        }
    }
    view->Refresh();
    widget->show();
    widget->raise();
    widget->activateWindow();
    form.Form_Activate();
    RefreshAll();
    if (!IsLoaded(form) || !form.Visible) {
        return;
    }
    QEventLoop loop;
    modalLoops_[&form] = &loop;
    loop.exec(QEventLoop::DialogExec);
    modalLoops_.erase(&form);
}

void QtUi::ActivateView(Form& form)
{
    auto it = views_.find(&form);
    if (it != views_.end()) {
        it->second->Widget()->raise();
        it->second->Widget()->activateWindow();
    }
}

void QtUi::QuitModalLoop(Form& form)
{
    auto it = modalLoops_.find(&form);
    if (it != modalLoops_.end()) {
        it->second->quit();
    }
}

void QtUi::HideView(Form& form)
{
    auto it = views_.find(&form);
    if (it != views_.end()) {
        it->second->Widget()->hide();
    }
    QuitModalLoop(form);
}

void QtUi::DestroyView(Form& form)
{
    QuitModalLoop(form);
    auto it = views_.find(&form);
    if (it == views_.end()) {
        return;
    }
    it->second->Widget()->hide();
    it->second->Retire();
    // The view may be the one whose menu, button or key runs the unloading handler now, with Qt's own
    // code still to run on its widgets when the handler returns: it goes once control is back in the
    // event loop that delivered that event (a dialog's loop run from the handler does not count).
    auto* retired = new RetiredView(std::move(it->second));
    views_.erase(it);
    std::erase_if(retired_, [](const QPointer<QObject>& p) { return p.isNull(); });
    retired_.emplace_back(retired);
    retired->deleteLater();
}

void QtUi::RefreshView(Form& form)
{
    auto it = views_.find(&form);
    if (it != views_.end()) {
        it->second->Refresh();
        it->second->Widget()->repaint();
    }
}

void QtUi::EndProgram()
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), [] { QCoreApplication::quit(); }, Qt::QueuedConnection);
}

}  // namespace murtesk::platform::qt
