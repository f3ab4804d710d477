// Offscreen checks of the calculation screen's views: the screen over a project (a channel chosen
// and the window scrolled through the widgets, the chart drawn), the range panels with 100,000
// ranges, the horizontal-line dialog, the date-range dialog over the date input dialog, the
// progress window of a video assignment, and the mark-range text output through the save dialog.
// With MURTESK_SCREENSHOT_DIR set the screen and the save dialog are also written there as PNG files.
#include "band_chart_widget.h"
#include "qt_test_app.h"
#include "calc_fixture.h"
#include "calcscreen_views.h"
#include "frmDateArea.h"
#include "frmHorizontalLine.h"
#include "frmInputDate.h"
#include "frmHorizontalLineView.h"
#include "frmOctCalcView.h"
#include "frmSetTestFileOut.h"
#include "frmSetTestFileOutView.h"
#include "frmVideoConvert.h"
#include "frmVideoConvertView.h"
#include "level_chart_widget.h"

#include "model/scopes.h"
#include "platform/text_encoding.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QRadioButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <thread>

namespace murtesk::testing {
namespace {

using ::murtesk::platform::qt::testing::TestApp;
using ::murtesk::platform::qt::testing::SavePicture;

// The screen on the first measurement of the project, shown through its view.
struct ShownScreen {
    ShownScreen() {
        RegisterCalcScreenViews(ui);
        g_frmMeasure = &main;
        ui.Load(calc);
        std::int32_t first = 1;
        calc.setForm(first);
        ui.Show(calc);
    }
    ~ShownScreen() {
        ui.Hide(calc);
        ui.DestroyAllViews();
        g_frmMeasure = nullptr;
    }
    frmOctCalcView* View() { return dynamic_cast<frmOctCalcView*>(ui.ViewOf(calc)); }

    platform::qt::QtUi ui;
    StandInMainScreen main{ui};
    frmOctCalc calc{ui};
};

TEST(CalcViews, ScreenShowsTheChartAndFollowsChannelAndScroll) {
    TestApp();
    CalcProject project("views");
    ChannelSpec spec;
    spec.values = 6000;
    ChannelSpec second = spec;
    second.windowStart = 100;
    project.AddMeasure(600, {spec, second});
    CScopes& excluded = CalcProject::Channel(1, 1).BandLCalcInfos.Item(2).Scopes;
    excluded.Add(CScope(Variant(std::int32_t{151}), Variant(std::int32_t{300})));
    ShownScreen shown;
    frmOctCalc& calc = shown.calc;
    frmOctCalcView* view = shown.View();
    ASSERT_NE(view, nullptr);
    view->Widget()->resize(1240, 820);
    EXPECT_EQ(view->Chart()->Background().size(), view->Chart()->size());
    SavePicture(*view->Widget(), "calc_screen.png");

    auto* channels = qobject_cast<QComboBox*>(view->Control("cmbCh"));
    ASSERT_NE(channels, nullptr);
    ASSERT_EQ(channels->count(), 2);
    emit channels->activated(1);
    EXPECT_EQ(calc.Shown().channel.get(), &CalcProject::Channel(1, 2));
    EXPECT_EQ(calc.Chart2DLevelWave.LevelPoint(1).y, LevelAt(1001));
    EXPECT_EQ(view->Scroll()->value(), calc.scrGraph.Value);

    view->Scroll()->triggerAction(QAbstractSlider::SliderPageStepAdd);  // 100 of 1000: a tenth of 600 s
    EXPECT_EQ(calc.Chart2DLevelWave.LevelPoint(1).y, LevelAt(1601));
    EXPECT_EQ(view->Scroll()->value(), calc.scrGraph.Value);
    EXPECT_EQ(qobject_cast<QLabel*>(view->Control("lblCLp"))->text(), QString("Ｌp 160.1dB"));
}

// The memo box through its widget: a TAB pasted into it is a space; Tab and Shift+Tab leave it and
// come back, typing nothing; leaving it with a memo the files cannot keep tells so, once.
TEST(CalcViews, TabLeavesTheMemoBoxWhichTellsWhatTheFilesCannotKeep) {
    TestApp();
    CalcProject project("memo");
    ChannelSpec spec;
    spec.values = 600;
    project.AddMeasure(60, {spec});
    ShownScreen shown;
    frmOctCalcView* view = shown.View();
    ASSERT_NE(view, nullptr);
    auto* memo = qobject_cast<QPlainTextEdit*>(view->Control("txtMEMO"));
    ASSERT_NE(memo, nullptr);
    QApplication::setActiveWindow(view->Widget());
    memo->setFocus();
    memo->selectAll();
    memo->insertPlainText(QStringLiteral("Café\tok"));
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("Café ok"));
    EXPECT_EQ(shown.calc.txtMEMO.Text, "Café ok");

    std::vector<QString> told;
    QTimer answer;
    answer.setInterval(20);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            told.push_back(box->text());
            box->findChild<QPushButton*>()->click();
        }
    });
    answer.start();
    // The window's own focus: a message box takes the active window's away while it is up.
    QWidget* window = view->Widget();
    const auto key = [window](Qt::Key code, Qt::KeyboardModifiers modifiers) {
        QApplication::setActiveWindow(window);
        QKeyEvent press(QEvent::KeyPress, code, modifiers, code == Qt::Key_Tab ? QStringLiteral("\t") : QString());
        QApplication::sendEvent(window->focusWidget(), &press);
        // Long enough for the message the leaving shows to come and be answered.
        for (int i = 0; i < 20; ++i) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    };
    key(Qt::Key_Tab, Qt::NoModifier);
    EXPECT_NE(window->focusWidget(), memo);
    key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(window->focusWidget(), memo);
    key(Qt::Key_Tab, Qt::NoModifier);
    EXPECT_NE(window->focusWidget(), memo);
    EXPECT_NE(window->focusWidget(), nullptr);
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("Café ok"));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_TRUE(told[0].contains(QStringLiteral("「é」→「?」"))) << told[0].toStdString();
}

// The window keeps its size and the bottom panels their place when the next measurement shows
// another band type with other values (levels of three digits).
TEST(CalcViews, TheWindowAndItsPanelsKeepTheirPlaceAsTheBandTypeChanges) {
    TestApp();
    CalcProject project("panels");
    ChannelSpec octave;
    octave.oct1or3 = 1;
    octave.values = 600;
    ChannelSpec third;
    third.values = 600;
    project.AddMeasure(60, {octave});
    project.AddMeasure(60, {third});
    for (const std::int16_t slot : {1, 2, 3, 5}) {  // levels of three digits
        project.WriteLevels(CalcProject::Channel(2, 1), slot, 600, [](std::int64_t p) { return 100.0f + LevelAt(p); });
    }
    ShownScreen shown;
    frmOctCalcView* view = shown.View();
    ASSERT_NE(view, nullptr);
    QWidget* window = view->Widget();
    const auto places = [&] {
        QApplication::processEvents();
        std::vector<QRect> rects{window->geometry()};
        for (const char* name : {"gridCursor", "gridCalc", "lblLeq", "tabAreas"}) {
            QWidget* panel = view->Control(name);
            if (qobject_cast<QTabWidget*>(panel) == nullptr) panel = panel->parentWidget();
            rects.emplace_back(panel->mapTo(window, QPoint(0, 0)), panel->size());
        }
        return rects;
    };
    const std::vector<QRect> octaves = places();
    shown.main.m_MeasureIndex = 1;
    shown.calc.cmdNext_Click();
    ASSERT_EQ(shown.calc.Shown().measureIndex, 2);
    shown.ui.RefreshAll();
    EXPECT_EQ(places(), octaves);
}

// Sends one mouse event to a widget at a pixel, as the window system would.
void SendMouse(QWidget* widget, QEvent::Type type, int x, int y, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(x, y), widget->mapToGlobal(QPointF(x, y)), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

TEST(CalcViews, BandDisplaysAreDrawnAndADragOnTheChartMakesARange) {
    TestApp();
    CalcProject project("views-bands");
    ChannelSpec spec;
    spec.values = 600;
    project.AddMeasure(60, {spec});
    ShownScreen shown;
    frmOctCalc& calc = shown.calc;
    frmOctCalcView* view = shown.View();
    ASSERT_NE(view, nullptr);
    view->Widget()->resize(1240, 820);
    auto* bars = dynamic_cast<platform::qt::BandBarChartWidget*>(view->Control("chartCSFFT"));
    ASSERT_NE(bars, nullptr);
    auto* grid = view->Control("gridCursor");
    ASSERT_NE(grid, nullptr);
    // The cursor panel at position 1: F's value in red, the 20 kHz cell beside it.
    const auto labels = grid->findChildren<QLabel*>();
    const auto f = std::find_if(labels.begin(), labels.end(), [](QLabel* l) { return l->text() == "[F特AP]"; });
    ASSERT_NE(f, labels.end());
    EXPECT_EQ(std::count_if(labels.begin(), labels.end(), [](QLabel* l) { return l->text() == "0.1dB"; }), 4);
    const QImage picture = bars->grab().toImage();
    // A bar of 0.1 dB on a 40..100 axis stays below the axis: no bar; the picture is drawn.
    EXPECT_FALSE(picture.isNull());

    // A drag over the level chart's plot, from a quarter to the middle, with the left button.
    platform::qt::LevelChartWidget* chart = view->Chart();
    const platform::PlotRect plot = calc.Chart2DLevelWave.Geometry().Plot();
    ASSERT_FALSE(plot.Empty());
    const int y = plot.top + plot.height / 2;
    const int x1 = plot.left + plot.width / 4;
    const int x2 = plot.left + plot.width / 2;
    SendMouse(chart, QEvent::MouseButtonPress, x1, y, Qt::LeftButton, Qt::LeftButton);
    SendMouse(chart, QEvent::MouseMove, x2, y, Qt::NoButton, Qt::LeftButton);
    EXPECT_TRUE(calc.Chart2DLevelWave.RubberBandShown());
    SavePicture(*view->Widget(), "calc_screen_dragging.png");
    SendMouse(chart, QEvent::MouseButtonRelease, x2, y, Qt::LeftButton, Qt::NoButton);
    ASSERT_EQ(calc.lstCalcDelArea.ListCount(), 1);
    const CScope& range = CalcProject::Channel(1, 1).BandLCalcInfos.Item(2).Scopes.Item(1);
    EXPECT_EQ(range.S.AsDouble(), calc.Chart2DLevelWave.NearestPoint(x1));
    EXPECT_EQ(range.E.AsDouble(), calc.Chart2DLevelWave.NearestPoint(x2));
    EXPECT_NEAR(range.E.AsDouble() - range.S.AsDouble(), 150, 3);  // a quarter of the minute's 601 points
}

// The band axis names every octave centre, "AP" and "W" at the screen's own size, in both band modes: each
// label centred on its point, none over another; a narrow chart leaves some out, never "AP" or "W".
TEST(CalcViews, BandChartsShowEveryAxisLabel) {
    TestApp();
    const platform::qt::testing::ProgramFont font;
    struct Mark {
        const char* text;
        double octave;
        double third;
    };
    static constexpr Mark kMarks[] = {{"AP", 1.25, 1.25}, {"1", 2, 3},      {"2", 3, 6},      {"4", 4, 9},
                                      {"8", 5, 12},       {"16", 6, 15},    {"31.5", 7, 18},  {"63", 8, 21},
                                      {"125", 9, 24},     {"250", 10, 27},  {"500", 11, 30},  {"1k", 12, 33},
                                      {"2k", 13, 36},     {"4k", 14, 39},   {"8k", 15, 42},   {"16k", 16, 45},
                                      {"W", 16.75, 46.75}};
    for (const std::int16_t mode : {std::int16_t{1}, std::int16_t{3}}) {
        CalcProject project("views-axis-" + std::to_string(mode));
        ChannelSpec spec;
        spec.oct1or3 = mode;
        spec.values = 600;
        project.AddMeasure(60, {spec});
        ShownScreen shown;
        frmOctCalcView* view = shown.View();
        ASSERT_NE(view, nullptr);
        for (const char* name : {"chartCSFFT", "chartCalcFFT"}) {
            auto* bars = dynamic_cast<platform::qt::BandBarChartWidget*>(view->Control(name));
            ASSERT_NE(bars, nullptr);
            const auto labels = bars->AxisLabels();
            ASSERT_EQ(labels.size(), std::size(kMarks)) << name << " in band mode " << mode;
            for (std::size_t i = 0; i < labels.size(); ++i) {
                const QRect& rect = labels[i].rect;
                EXPECT_EQ(labels[i].text.toStdString(), kMarks[i].text);
                const double at = bars->Geometry().PixelX(mode == 1 ? kMarks[i].octave : kMarks[i].third);
                EXPECT_NEAR(rect.left() + rect.width() / 2.0, at, 1.0) << kMarks[i].text;
                EXPECT_TRUE(bars->rect().contains(rect)) << kMarks[i].text;
                for (std::size_t j = 0; j < i; ++j) {
                    EXPECT_FALSE(rect.intersects(labels[j].rect)) << kMarks[i].text << " over " << kMarks[j].text;
                }
            }
            bars->resize(160, bars->height());
            const auto thinned = bars->AxisLabels();
            ASSERT_GE(thinned.size(), 2u);
            EXPECT_EQ(thinned.front().text, QStringLiteral("AP"));
            EXPECT_EQ(thinned.back().text, QStringLiteral("W"));
            for (std::size_t i = 0; i < thinned.size(); ++i) {
                EXPECT_TRUE(bars->rect().contains(thinned[i].rect)) << thinned[i].text.toStdString();
                for (std::size_t j = 0; j < i; ++j) {
                    EXPECT_FALSE(thinned[i].rect.intersects(thinned[j].rect)) << thinned[i].text.toStdString();
                }
            }
        }
    }
}

// The chosen drag action stands out from the others whatever its colours: a dark frame around it alone, which
// follows the user's click to another action.
TEST(CalcViews, TheChosenDragActionIsFramed) {
    TestApp();
    CalcProject project("views-drag");
    ChannelSpec spec;
    spec.values = 600;
    project.AddMeasure(60, {spec});
    ShownScreen shown;
    frmOctCalcView* view = shown.View();
    ASSERT_NE(view, nullptr);
    const auto framed = [view](int action) {
        auto* button = qobject_cast<QRadioButton*>(view->Control("optMouseAction" + std::to_string(action)));
        const QImage picture = button->grab().toImage();
        int dark = 0;  // of the pixels along the button's edges
        for (int x = 0; x < picture.width(); ++x) {
            dark += qGray(picture.pixel(x, 0)) < 64 && qGray(picture.pixel(x, picture.height() - 1)) < 64;
        }
        for (int y = 0; y < picture.height(); ++y) {
            dark += qGray(picture.pixel(0, y)) < 64 && qGray(picture.pixel(picture.width() - 1, y)) < 64;
        }
        return dark >= (picture.width() + picture.height()) * 9 / 10;
    };
    for (const int chosen : {0, 2}) {
        if (chosen != 0) {
            qobject_cast<QRadioButton*>(view->Control("optMouseAction" + std::to_string(chosen)))->click();
        }
        for (int action = 0; action < 5; ++action) {
            EXPECT_EQ(framed(action), action == chosen) << "action " << action << " with " << chosen << " chosen";
        }
    }
}

TEST(CalcViews, HorizontalLineDialogWorksThroughItsWidgets) {
    TestApp();
    CalcProject project("views-line");
    project.AddMeasure(60, {ChannelSpec{}});
    g_ChMeasure = std::make_shared<CChMeasure>(CalcProject::Channel(1, 1));
    g_ChMeasure->HorizontalLine.RecLevel = 72.5;
    platform::qt::QtUi ui;
    RegisterCalcScreenViews(ui);
    frmHorizontalLine dialog(ui);
    ui.Show(dialog);
    auto* view = dynamic_cast<frmHorizontalLineView*>(ui.ViewOf(dialog));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->txtLevel->text(), "72.5");
    EXPECT_FALSE(view->txtLevel->isEnabled());
    view->chkOk->click();
    EXPECT_TRUE(view->txtLevel->isEnabled());
    view->txtLevel->setText("75");
    emit view->txtLevel->textEdited("75");
    g_bDialogOk = false;
    view->cmdOK->click();
    EXPECT_TRUE(g_bDialogOk);
    EXPECT_FALSE(ui.IsLoaded(dialog));
    EXPECT_EQ(g_ChMeasure->HorizontalLine.OkFlg, -1);
    EXPECT_EQ(g_ChMeasure->HorizontalLine.RecLevel, 75.0);
    ui.DestroyAllViews();
}

TEST(CalcViews, VideoConversionWindowShowsItsProgressAndItsCancelReachesTheWork) {
    TestApp();
    platform::qt::QtUi ui;
    RegisterCalcScreenViews(ui);
    std::vector<std::string> labels;
    bool cancelled = false;
    frmVideoConvert window(ui, [&](frmVideoConvert& running) {
        running.ShowProgress(1500, 2000);
        auto* view = dynamic_cast<frmVideoConvertView*>(ui.ViewOf(running));
        ASSERT_NE(view, nullptr);
        labels.push_back(view->lblProgress->text().toStdString());
        QTimer::singleShot(20, view->cmdCancel, [view] { view->cmdCancel->click(); });
        for (int pass = 0; pass < 500 && !running.CancelRequested(); ++pass) ui.WaitEvents(20);
        cancelled = running.CancelRequested();
        labels.push_back(view->lblProgress->text().toStdString());
    });
    ui.ShowModal(window);
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(labels, (std::vector<std::string>{"変換中: 1秒 / 2秒 (75%)", "変換を中止しています."}));
    EXPECT_FALSE(ui.IsLoaded(window));
    ui.DestroyAllViews();
}

TEST(CalcViews, RangePanelsWithAHundredThousandRanges) {
    TestApp();
    CalcProject project("views-panels");
    ChannelSpec spec;
    spec.values = 100;
    project.AddMeasure(86400, {spec});
    CBandLCalcInfo& band = CalcProject::Channel(1, 1).BandLCalcInfos.Item(2);
    for (std::int32_t i = 0; i < 100'000; ++i) {
        band.Scopes.SimpleAdd(std::make_shared<CScope>(Variant(8 * i + 1), Variant(8 * i + 4)));
        band.MarkScopes.SimpleAdd(std::make_shared<CScope>(Variant(8 * i + 5), Variant(8 * i + 6)));
    }
    ShownScreen shown;
    frmOctCalc& calc = shown.calc;
    frmOctCalcView* view = shown.View();
    ASSERT_NE(view, nullptr);
    auto* excluded = qobject_cast<QListView*>(view->Control("lstCalcDelArea"));
    auto* marks = qobject_cast<QListView*>(view->Control("lstMarkArea"));
    ASSERT_TRUE(excluded != nullptr && marks != nullptr);
    EXPECT_EQ(excluded->model()->rowCount(), 100'000);
    EXPECT_EQ(marks->model()->rowCount(), 100'000);
    EXPECT_EQ(excluded->currentIndex().row(), 0);
    EXPECT_EQ(marks->model()->index(99'999, 0).data().toString(),
              QStringLiteral("No.100000 2023/03/16 07:13:19 ～ 2023/03/16 07:13:19"));

    // The user picks the last range and deletes it.
    excluded->setCurrentIndex(excluded->model()->index(99'999, 0));
    EXPECT_EQ(calc.lstCalcDelArea.ListIndex, 99'999);
    qobject_cast<QPushButton*>(view->Control("cmdReverse"))->click();
    EXPECT_EQ(band.Scopes.count(), 99'999);
    EXPECT_EQ(excluded->model()->rowCount(), 99'999);
    EXPECT_EQ(excluded->currentIndex().row(), 0);
}

// The date-range dialog as a user works it: the start button opens the date input dialog, whose
// lists take the new date; OK closes both.
TEST(CalcViews, DateRangeDialogTakesADateThroughTheDateInputDialog) {
    TestApp();
    const double start = platform::DateFromParts(2023, 3, 15, 9, 0, 0);
    g_DateAreaScope = std::make_shared<CScope>(Variant::FromDate(start), Variant::FromDate(start + 1.0 / 24));
    g_DateAreaLimit = std::make_shared<CScope>(*g_DateAreaScope);
    platform::qt::QtUi ui;
    RegisterCalcScreenViews(ui);
    frmDateArea dialog(ui);
    ui.Show(dialog);
    QWidget* w = ui.ViewOf(dialog)->Widget();
    const auto titles = [w] {
        QStringList t;
        for (const QGroupBox* box : w->findChildren<QGroupBox*>()) {
            t << box->title();
        }
        return t;
    };
    EXPECT_EQ(titles(), (QStringList{QStringLiteral("開始日時"), QStringLiteral("終了日時")}));
    EXPECT_EQ(w->findChild<QPushButton*>("cmdEndTime")->toolTip(), QStringLiteral("表示開始日時指定..."));

    bool inputShown = false;
    QTimer::singleShot(0, [&] {
        QWidget* input = QApplication::activeModalWidget();
        ASSERT_NE(input, nullptr);
        inputShown = input->objectName() == "frmInputDate" && input->windowTitle() == "測定日時を指定してください";
        auto* year = input->findChild<QComboBox*>("cmbyyyy");
        EXPECT_EQ(year->currentText(), QStringLiteral("2023"));
        year->lineEdit()->setText(QStringLiteral("2023"));
        emit year->lineEdit()->textEdited(year->lineEdit()->text());
        auto* minute = input->findChild<QComboBox*>("cmbnn");
        minute->setCurrentIndex(30);
        emit minute->activated(30);
        input->findChild<QPushButton*>("cmdOK")->click();
    });
    w->findChild<QPushButton*>("cmdStartTime")->click();
    EXPECT_TRUE(inputShown);
    EXPECT_EQ(w->findChild<QLabel*>("lblStartTime")->text(), QStringLiteral("2023/03/15 09:30:00"));
    g_bDialogOk = false;
    w->findChild<QPushButton*>("cmdOK")->click();
    EXPECT_TRUE(g_bDialogOk);
    EXPECT_FALSE(ui.IsLoaded(dialog));
    EXPECT_EQ(platform::FormatDisplayDate(g_DateAreaScope->S.AsDouble()), "2023/03/15 09:30:00");
    ui.DestroyAllViews();
    g_DateAreaScope.reset();
    g_DateAreaLimit.reset();
}

// The number lists of the date input dialog take digits as a number typed, not as the next entry that
// starts with the digit (Qt's own search: "4" with 12 shown would give 40). Each number's first digit
// comes after a pause longer than the keyboard's interval, the next digits well within it, however
// slowly the test runs.
TEST(CalcViews, DateInputListsTakeTypedDigitsAsANumber) {
    TestApp();
    const int interval = QApplication::keyboardInputInterval();
    g_InputDate = platform::DateFromParts(2024, 5, 1, 10, 12, 30);
    platform::qt::QtUi ui;
    RegisterCalcScreenViews(ui);
    frmInputDate dialog(ui);
    ui.Show(dialog);
    QWidget* w = ui.ViewOf(dialog)->Widget();
    struct Typing {
        const char* list;
        const char* digits;
        const char* shown;
    };
    for (const Typing& t : {Typing{"cmbnn", "4", "4"}, Typing{"cmbnn", "45", "45"}, Typing{"cmbss", "07", "7"},
                            Typing{"cmbss", "75", "5"}, Typing{"cmbhh", "2", "2"}, Typing{"cmbdd", "3", "3"}}) {
        QApplication::setKeyboardInputInterval(20);
        std::this_thread::sleep_for(std::chrono::milliseconds(40));  // a pause: the next digits are a new number
        auto* list = w->findChild<QComboBox*>(t.list);
        for (const char* c = t.digits; *c != '\0'; ++c) {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_0 + (*c - '0'), Qt::NoModifier, QString(QChar(*c)));
            QApplication::sendEvent(list, &key);
            QApplication::setKeyboardInputInterval(3'600'000);  // the digits after the first follow at once
        }
        EXPECT_EQ(list->currentText().toStdString(), t.shown) << t.list << " typed " << t.digits;
    }
    w->findChild<QPushButton*>("cmdOK")->click();
    EXPECT_EQ(platform::FormatDisplayDate(g_InputDate), "2024/05/03 02:45:05");
    ui.DestroyAllViews();
    QApplication::setKeyboardInputInterval(interval);
}

TEST(CalcViews, TextOutWritesTheMarksThroughTheSaveDialogAndSaysSo) {
    TestApp();
    CalcProject project("textout");
    ChannelSpec spec;
    spec.values = 600;
    project.AddMeasure(60, {spec});
    CScopes& marks = CalcProject::Channel(1, 1).BandLCalcInfos.Item(2).MarkScopes;
    marks.Add(CScope(Variant(std::int32_t{11}), Variant(std::int32_t{200})));
    ShownScreen shown;
    frmOctCalcView* view = shown.View();
    ASSERT_NE(view, nullptr);
    const std::string out = (project.folder / "marks.csv").string();

    // Answers whichever modal window is up: the save dialog gets the name and is accepted, the
    // message box is read and closed.
    std::vector<QString> seen;
    QTimer answer;
    answer.setInterval(20);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr ||
            (!seen.empty() && seen.back() == modal->windowTitle() && !qobject_cast<QMessageBox*>(modal))) {
            return;
        }
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen.push_back(box->text());
            answer.stop();
            box->findChild<QPushButton*>()->click();
            return;
        }
        seen.push_back(modal->windowTitle());
        SavePicture(*view->Widget(), "calc_marks_text.png");
        SavePicture(*modal, "calc_marks_text_save.png");
        auto* name = modal->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setText(QString::fromStdString(out));
        QMetaObject::invokeMethod(modal, "accept", Qt::QueuedConnection);
    });
    answer.start();
    auto* button = qobject_cast<QPushButton*>(view->Control("cmdMarkTextOut"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), QStringLiteral("TextOut..."));
    button->click();
    EXPECT_EQ(seen, (std::vector<QString>{QStringLiteral("出力するﾌｧｲﾙ名を指定して下さい．"),
                                          QStringLiteral("テキストファイルを出力しました．")}));
    std::ifstream in(out, std::ios::binary);
    std::string first;
    std::getline(in, first);
    EXPECT_EQ(first, platform::Utf8ToCp932("============ 1, 動特性ＦＡＳＴ\r"));
}

// The level-series settings through their Qt view: the frames, the interval chosen in the list and
// OK; then Alt+A released over the dialog (Alt let go first) choosing the resampled output.
TEST(CalcViews, LevelSeriesSettingsThroughTheirWidgetsAndAltA) {
    TestApp();
    platform::qt::QtUi ui;
    RegisterCalcScreenViews(ui);
    std::int16_t period = 100;
    std::int16_t area = 0;
    {
        frmSetTestFileOut dialog(ui, period, area);
        ui.Show(dialog);
        auto* view = dynamic_cast<frmSetTestFileOutView*>(ui.ViewOf(dialog));
        ASSERT_NE(view, nullptr);
        QStringList frames;
        for (const QGroupBox* box : view->Widget()->findChildren<QGroupBox*>()) frames << box->title();
        EXPECT_EQ(frames, (QStringList{QStringLiteral("出力サンプリング間隔"), QStringLiteral("出力範囲")}));
        ASSERT_EQ(view->cmbTimeInterval->count(), 10);
        EXPECT_EQ(view->cmbTimeInterval->currentText(), QStringLiteral("1ms"));
        view->cmbTimeInterval->setCurrentIndex(9);
        emit view->cmbTimeInterval->activated(9);
        view->optArea[1]->click();
        SavePicture(*view->Widget(), "level_series_settings.png");
        g_bDialogOk = false;
        view->cmdOK->click();
        EXPECT_TRUE(g_bDialogOk);
        EXPECT_FALSE(ui.IsLoaded(dialog));
    }
    EXPECT_EQ(std::make_pair(period, area), std::make_pair(std::int16_t{1000}, std::int16_t{1}));
    {
        period = 1;
        area = 0;
        frmSetTestFileOut dialog(ui, period, area);
        ui.Show(dialog);
        QWidget* window = ui.ViewOf(dialog)->Widget();
        QWidget* target = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : window;
        // Alt down, A down, Alt up, A up (the order xdotool's alt+a sends): the chord counts.
        QKeyEvent altDown(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
        QKeyEvent aDown(QEvent::KeyPress, Qt::Key_A, Qt::AltModifier, QStringLiteral("a"));
        QKeyEvent altUp(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
        QKeyEvent aUp(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        for (QKeyEvent* event : {&altDown, &aDown, &altUp}) QApplication::sendEvent(target, event);
        EXPECT_TRUE(ui.IsLoaded(dialog));  // nothing before A comes up
        QApplication::sendEvent(target, &aUp);
        EXPECT_FALSE(ui.IsLoaded(dialog));
    }
    EXPECT_EQ(std::make_pair(period, area), std::make_pair(std::int16_t{-1}, std::int16_t{1}));
    ui.DestroyAllViews();
}

}  // namespace
}  // namespace murtesk::testing
