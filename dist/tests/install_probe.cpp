// Preloaded (LD_PRELOAD) into an installed program by the install test, it works the program as a new
// user would, with no display: creates a project in the first-run window, opens the manual, starts a WAV
// import, answers each message and ends the program with "yes"; started on a project, it ends the program
// once the project is open; in the video window tool it closes the window once the video is open. It
// appends what it sees to the file named by MURTESK_PROBE_REPORT, one fact a line:
//   icon WxH           the size of the windows' icon drawn at 64 pixels (0x0: no icon)
//   caption TEXT       the first-run window's caption
//   proposed PATH      the file name the project save dialog proposes
//   folder there       the proposed file's folder exists while the dialog shows it ("missing" if not)
//   message TEXT       a message box's text (newlines as "|")
//   weighting NAME     a weighting the import dialog offers
//   opened TEXT        the main screen's caption when the program started on a project
//   library PATH       one of the program's own libraries mapped into the process
// MURTESK_PROBE_PROJECT names the project to create, MURTESK_PROBE_WAV the recording to import. Without
// MURTESK_PROBE_REPORT it does nothing.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <set>
#include <string>

namespace {

class Probe {
public:
    explicit Probe(std::string report)
        : report_(std::move(report)),
          project_(QString::fromUtf8(Environment("MURTESK_PROBE_PROJECT"))),
          wav_(QString::fromUtf8(Environment("MURTESK_PROBE_WAV"))) {}

    void Tick() {
        if (pending_) return;  // the last action has not run yet
        if (!iconSeen_) {
            iconSeen_ = true;
            const QSize size = QApplication::windowIcon().pixmap(64, 64).size();
            Record("icon", QStringLiteral("%1x%2").arg(size.width()).arg(size.height()));
        }
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (!w->isVisible()) continue;
            if (auto* box = qobject_cast<QMessageBox*>(w)) return Answer(*box);
            if (auto* dialog = qobject_cast<QFileDialog*>(w)) return Choose(*dialog);
        }
        if (QWidget* first = Shown("frmFirstSelect")) {
            if (!projectChosen_) Record("caption", first->windowTitle());
            for (auto* button : first->findChildren<QPushButton*>())
                if (button->text().startsWith(QStringLiteral("新しいデータを作成する"))) Click(button);
            projectChosen_ = true;
            return;
        }
        if (QWidget* import = Shown("frmWavFileReadAD")) return Import(*import);
        if (QWidget* video = Shown("frmPlayAVI")) {
            RecordLibraries();
            Later(video, [video] { video->close(); });
            return;
        }
        QWidget* main = Shown("frmMeasure");
        if (main != nullptr && projectChosen_) Main(*main);
        if (main != nullptr && !projectChosen_ && !opened_ && main->windowTitle().endsWith(QStringLiteral(".qvd"))) {
            opened_ = true;  // started on a project: no first-run window
            Record("opened", main->windowTitle());
            Later(main, [main] { main->close(); });
        }
    }

private:
    static std::string Environment(const char* name) {
        const char* value = std::getenv(name);
        return value ? value : "";
    }

    static QWidget* Shown(const char* name) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->objectName() == QLatin1String(name)) return w;
        return nullptr;
    }

    // Every action runs from the event loop, so that a modal window it opens runs outside the tick; no
    // tick acts before it has started.
    void Later(QObject* target, std::function<void()> action) {
        pending_ = true;
        QMetaObject::invokeMethod(
            qApp,
            [this, guard = QPointer<QObject>(target), action] {
                pending_ = false;
                if (guard) action();
            },
            Qt::QueuedConnection);
    }

    void Click(QAbstractButton* button) {
        if (button) Later(button, [button] { button->click(); });
    }

    // False while the window does not offer the command yet (a loaded machine may show the main screen
    // before its project is open): the step is tried again at the next tick.
    bool Trigger(QWidget& window, const QString& menuText) {
        for (QAction* action : window.findChildren<QAction*>()) {
            if (action->text() != menuText || !action->isEnabled()) continue;
            Later(action, [action] { action->trigger(); });
            return true;
        }
        return false;
    }

    void Record(const std::string& kind, const QString& text) {
        std::ofstream out(report_, std::ios::app);
        out << kind << ' ' << text.toStdString() << '\n';
    }

    void RecordLibraries() {
        std::ifstream maps("/proc/self/maps");
        std::set<std::string> seen;
        for (std::string line; std::getline(maps, line);) {
            const std::size_t slash = line.find('/');
            if (slash == std::string::npos) continue;
            const std::string path = line.substr(slash);
            const std::string name = path.substr(path.find_last_of('/') + 1);
            if (name == "libMurtesk.so" || name == "libSarnik.so" || name == "libKinemo.so") seen.insert(path);
        }
        for (const std::string& path : seen) Record("library", QString::fromStdString(path));
    }

    void Answer(QMessageBox& box) {
        QString text = box.text();
        text.replace(QLatin1Char('\n'), QLatin1Char('|'));
        Record("message", text);
        QAbstractButton* button =
            box.text() == QStringLiteral("終了しますか？") ? box.button(QMessageBox::Yes) : box.defaultButton();
        Click(button ? button : box.escapeButton());
    }

    void Choose(QFileDialog& dialog) {
        const bool save = dialog.acceptMode() == QFileDialog::AcceptSave;
        if (save) {
            const QString proposed = dialog.selectedFiles().value(0);
            Record("proposed", proposed);
            Record("folder", QFileInfo(proposed).dir().exists() ? QStringLiteral("there") : QStringLiteral("missing"));
        }
        // Typed as a user types a whole path into the name box.
        if (auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            name->setText(save ? project_ : wav_);
        Later(&dialog, [&dialog] { static_cast<QDialog&>(dialog).accept(); });
    }

    void Main(QWidget& main) {
        switch (mainStep_) {
        case 0:
            if (Trigger(main, QStringLiteral("説明ファイル(&R)..."))) ++mainStep_;
            break;
        case 1:
            if (Trigger(main, QStringLiteral("Ａ/Ｄ変換データをWaveファイルから読込む..."))) ++mainStep_;
            break;
        case 2:
            ++mainStep_;
            RecordLibraries();
            Later(&main, [&main] { main.close(); });
            break;
        default: break;
        }
    }

    void Import(QWidget& import) {
        switch (importStep_++) {
        case 0:
            if (auto* weightings = import.findChild<QComboBox*>(QStringLiteral("cmbW")))
                for (int i = 0; i < weightings->count(); ++i) Record("weighting", weightings->itemText(i));
            Click(import.findChild<QPushButton*>(QStringLiteral("cmdCalWaveFile")));
            break;
        case 1: Click(import.findChild<QPushButton*>(QStringLiteral("cmdWaveFiles"))); break;
        case 2: Click(import.findChild<QPushButton*>(QStringLiteral("cmdNext"))); break;
        default:
            for (const char* name : {"cmdCancel1", "cmdCancel0"}) {
                auto* cancel = import.findChild<QPushButton*>(QLatin1String(name));
                if (cancel && cancel->isVisible()) {
                    Click(cancel);
                    break;
                }
            }
            break;
        }
    }

    std::string report_;
    QString project_;
    QString wav_;
    bool pending_ = false;
    bool iconSeen_ = false;
    bool projectChosen_ = false;
    bool opened_ = false;
    int mainStep_ = 0;
    int importStep_ = 0;
};

void StartProbe() {
    const char* report = std::getenv("MURTESK_PROBE_REPORT");
    if (!report || !*report) return;
    auto* timer = new QTimer(qApp);
    auto* probe = new Probe(report);
    QObject::connect(timer, &QTimer::timeout, [probe] { probe->Tick(); });
    QObject::connect(qApp, &QObject::destroyed, [probe] { delete probe; });
    timer->start(100);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(StartProbe)
