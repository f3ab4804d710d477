#include "frmMeasureView.h"

#include "drops.h"
#include "frmMeasure.h"

#include <QAction>
#include <QKeyEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace murtesk {

namespace {

QLabel* WrappedLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setWordWrap(true);
    return label;
}

// Runs a function for the events of the widgets it watches; true consumes the event.
class EventHook : public QObject {
public:
    EventHook(QObject* parent, std::function<bool(QObject*, QEvent*)> hook) : QObject(parent), hook_(std::move(hook)) {}
    bool eventFilter(QObject* watched, QEvent* event) override { return hook_(watched, event) || QObject::eventFilter(watched, event); }

private:
    std::function<bool(QObject*, QEvent*)> hook_;
};

}  // namespace

frmMeasureView::frmMeasureView(frmMeasure& form, platform::qt::QtUi& ui)
    : FormView(form, ui, std::make_unique<QMainWindow>())
{
    auto* window = static_cast<QMainWindow*>(Widget());
    auto& b = Bind();

    // Menus, in the order of the form; separators are entries without a caption.
    const auto menu = [&](platform::MenuItem& top, std::initializer_list<std::pair<platform::MenuItem*, std::function<void()>>> entries) {
        QMenu* m = window->menuBar()->addMenu(QString());
        b.Bind(m->menuAction(), top, {});
        for (const auto& [item, handler] : entries) {
            QAction* action = m->addAction(QString());
            b.Bind(action, *item, handler);
        }
        return m;
    };
    fileMenu = menu(form.mnuFile, {{&form.mnuFileNew, [&form] { form.mnuFileNew_Click(); }},
                                   {&form.mnuFileOpen, [&form] { form.mnuFileOpen_Click(); }},
                                   {&form.mnuFileBar0, {}},
                                   {&form.mnuFileCalcValueTextOut, [&form] { form.mnuFileCalcValueTextOut_Click(); }},
                                   {&form.mnuFilePartitionAreaTextOut, [&form] { form.mnuFilePartitionAreaTextOut_Click(); }},
                                   {&form.mnuFileLmaxTextOut, [&form] { form.mnuFileLmaxTextOut_Click(); }},
                                   {&form.mnuFileBar2, {}},
                                   {&form.mnuFileWaveOpen, [&form] { form.mnuFileWaveOpen_Click(); }},
                                   {&form.mnuFileBar3, {}},
                                   {&form.mnuFileExit, [&form] { form.mnuFileExit_Click(); }}});
    QMenu* tools = menu(form.mnuTool, {{&form.mnuToolCalcPlural, [&form] { form.mnuToolCalcPlural_Click(); }}});
    // "一括処理" is a submenu of the three jobs over all measurements.
    QMenu* batch = tools->addMenu(QString());
    b.Bind(batch->menuAction(), form.mnuToolTestCommand, {});
    for (const auto& [item, handler] : std::initializer_list<std::pair<platform::MenuItem*, std::function<void()>>>{
             {&form.mnuToolAllCalc, [&form] { form.mnuToolAllCalc_Click(); }},
             {&form.mnuToolTestCommand2, [&form] { form.mnuToolTestCommand2_Click(); }},
             {&form.mnuToolTestCommand1, [&form] { form.mnuToolTestCommand1_Click(); }}}) {
        b.Bind(batch->addAction(QString()), *item, handler);
    }
    b.Bind(tools->addAction(QString()), form.mnuToolRestore, [&form] { form.mnuToolRestore_Click(); });
    menu(form.mnuHelp, {{&form.mnuHelpFile, [&form] { form.mnuHelpFile_Click(); }},
                        {&form.mnuHelpVer, [&form] { form.mnuHelpVer_Click(); }}});

    auto* central = new QWidget(window);
    window->setCentralWidget(central);
    auto* grid = new QGridLayout(central);
    grid->setContentsMargins(10, 8, 10, 10);
    grid->setHorizontalSpacing(12);

    auto* label1 = new QLabel(central);
    b.Bind(label1, form.Label1);
    grid->addWidget(label1, 0, 0);

    ListView1 = new QTreeWidget(central);
    ListView1->setAllColumnsShowFocus(true);
    b.Bind(ListView1, form.ListView1);
    grid->addWidget(ListView1, 1, 0);

    auto* side = new QVBoxLayout();
    cmdOK = new QPushButton(central);
    b.Bind(cmdOK, form.cmdOK, [&form] { form.cmdOK_Click(); });
    auto* label3 = WrappedLabel(central);
    b.Bind(label3, form.Label3);
    auto* cmdStart = new QPushButton(central);
    b.Bind(cmdStart, form.cmdStart, [&form] { form.mnuFileWaveOpen_Click(); });
    auto* cmdDEL = new QPushButton(central);
    b.Bind(cmdDEL, form.cmdDEL, [&form] { form.cmdDEL_Click(); });
    auto* label2 = WrappedLabel(central);
    b.Bind(label2, form.Label2);
    auto* moveRow = new QHBoxLayout();
    auto* label4 = WrappedLabel(central);
    b.Bind(label4, form.Label4);
    auto* cmdUp = new QPushButton(central);
    auto* cmdDown = new QPushButton(central);
    b.Bind(cmdUp, form.cmdUp, [&form] { form.cmdUp_Click(); });
    b.Bind(cmdDown, form.cmdDown, [&form] { form.cmdDown_Click(); });
    for (QPushButton* arrow : {cmdUp, cmdDown}) {
        arrow->setFixedWidth(40);
    }
    moveRow->addWidget(label4, 1);
    auto* arrows = new QVBoxLayout();
    arrows->addWidget(cmdUp);
    arrows->addWidget(cmdDown);
    moveRow->addLayout(arrows);
    auto* cmdAllON = new QPushButton(central);
    auto* cmdAllOFF = new QPushButton(central);
    b.Bind(cmdAllON, form.cmdAllON, [&form] { form.cmdAllON_Click(); });
    b.Bind(cmdAllOFF, form.cmdAllOFF, [&form] { form.cmdAllOFF_Click(); });
    auto* lblLp = new QLabel(central);
    b.Bind(lblLp, form.lblLp0);
    for (QPushButton* big : {cmdOK, cmdStart, cmdDEL}) {
        big->setMinimumHeight(36);
    }
    side->addWidget(cmdOK);
    side->addWidget(label3);
    side->addSpacing(10);
    side->addWidget(cmdStart);
    side->addSpacing(10);
    side->addWidget(cmdDEL);
    side->addWidget(label2);
    side->addSpacing(10);
    side->addLayout(moveRow);
    side->addSpacing(10);
    side->addWidget(cmdAllON);
    side->addWidget(cmdAllOFF);
    side->addWidget(lblLp);
    side->addStretch(1);
    auto* sideBox = new QWidget(central);
    sideBox->setLayout(side);
    sideBox->setFixedWidth(230);
    grid->addWidget(sideBox, 1, 1);

    auto* label9 = new QLabel(central);
    b.Bind(label9, form.Label9);
    grid->addWidget(label9, 2, 0, 1, 2);
    txtMEMO = new QPlainTextEdit(central);
    txtMEMO->setFixedHeight(64);
    b.Bind(
        txtMEMO, form.txtMEMO, [&form] { form.txtMEMO_Change(); }, [&form] { form.txtMEMO_LostFocus(); });
    grid->addWidget(txtMEMO, 3, 0, 1, 2);

    auto* label8 = new QLabel(central);
    b.Bind(label8, form.Label8);
    grid->addWidget(label8, 4, 0, 1, 2);
    auto* pathRow = new QHBoxLayout();
    txtSavePath = new QLineEdit(central);
    b.Bind(txtSavePath, form.txtSavePath);
    cmdSavePath = new QPushButton(central);
    cmdSavePath->setFixedWidth(40);
    b.Bind(cmdSavePath, form.cmdSavePath, [&form] { form.cmdSavePath_Click(); });
    pathRow->addWidget(txtSavePath, 1);
    pathRow->addWidget(cmdSavePath);
    grid->addLayout(pathRow, 5, 0, 1, 2);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(0, 1);

    // Alt with a letter on "演算".
    auto* hook = new EventHook(window, [this, &form](QObject* watched, QEvent* event) {
        if (watched != this->cmdOK || event->type() != QEvent::KeyPress) {
            return false;
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->modifiers() & Qt::AltModifier) && key->key() >= Qt::Key_A && key->key() <= Qt::Key_Z) {
            form.cmdOK_KeyDown(static_cast<char>('A' + (key->key() - Qt::Key_A)), true);
            Refresh();
            return true;
        }
        return false;
    });
    cmdOK->installEventFilter(hook);
    keyHook_ = hook;
    platform::qt::AcceptDrops(txtSavePath, [&form](const platform::DropData& data) { form.txtSavePath_Drop(data); },
                              [&ui] { ui.RefreshAll(); });

    Refresh();
    window->resize(1040, 640);
    platform::qt::CenterOnScreen(window);
}

frmMeasureView::~frmMeasureView()
{
    delete keyHook_;
}

}  // namespace murtesk
