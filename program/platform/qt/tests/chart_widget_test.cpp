// Offscreen checks of the level chart widget and the binders of scroll bars, option groups and
// tab pages: what is painted where, and which changes reach the form's handlers.
#include "binders.h"
#include "qt_test_app.h"
#include "level_chart_widget.h"
#include "position_strip_widget.h"

#include <QApplication>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace murtesk::platform::qt {
namespace {

using ::murtesk::platform::qt::testing::TestApp;

bool Bluish(QRgb c) { return qBlue(c) > qRed(c) + 30 && qBlue(c) > qGreen(c) + 30; }

TEST(LevelChartWidget, PaintsRangesSeriesAndCursorWhereTheModelSays) {
    TestApp();
    LevelChartModel chart;
    {
        ChartRedrawHold hold(chart);
        chart.SetXAxis(0.0, 60.0);
        chart.SetYAxis(0.0, 100.0);
        chart.SetTimeBase(45000.0, "%d日 %H:%M:%S");
        // 6001 points (more than two per column: drawn from the column summary), 80 dB throughout.
        float* v = chart.PrepareLevels(6001);
        std::fill(v, v + 6001, 80.0f);
        chart.SetLevels(6001, 0.01);
        chart.SetRanges(1, {{1, 15.0, 30.0, {0, 0, 255}}});
        chart.SetCursorPoint(4501);  // X = 45 s
    }
    LevelChartWidget widget;
    widget.SetModel(&chart);
    widget.resize(700, 300);
    const QImage& image = widget.Background();
    const ChartGeometry g = widget.Geometry();
    ASSERT_TRUE(g.Usable());
    const int low = static_cast<int>(g.PixelY(20.0));
    const int seriesRow = static_cast<int>(g.PixelY(80.0));
    // Inside the band, away from the series: blue; beside it: not.
    for (const double x : {15.5, 22.5, 29.5}) {
        EXPECT_TRUE(Bluish(image.pixel(static_cast<int>(g.PixelX(x)), low))) << x;
    }
    for (const double x : {14.5, 30.5, 45.0}) {
        EXPECT_FALSE(Bluish(image.pixel(static_cast<int>(g.PixelX(x)), low))) << x;
    }
    // The series: a light row at 80 dB across the plot, nothing lit one row further down.
    for (const double x : {5.0, 40.0}) {
        EXPECT_GT(qGray(image.pixel(static_cast<int>(g.PixelX(x)), seriesRow)), 200) << x;
        EXPECT_LT(qGray(image.pixel(static_cast<int>(g.PixelX(x)), seriesRow + 3)), 60) << x;
    }
    // The cursor lies over the picture, not in it; a cursor move draws no new picture.
    const QImage painted = widget.grab().toImage();
    const QRgb cursor = painted.pixel(static_cast<int>(g.PixelX(45.0)), low);
    EXPECT_GT(qRed(cursor), 200);
    EXPECT_GT(qBlue(cursor), 200);
    const int renders = widget.BackgroundRenders();
    chart.SetCursorPoint(10);
    widget.Sync();
    widget.grab();
    EXPECT_EQ(widget.BackgroundRenders(), renders);
}

struct Controls {
    ScrollBar scr;
    OptionGroup opt;
    TabStrip tabs;
    int scrolls = 0;
    int lastOption = -1;
    int tabClicks = 0;
};

TEST(Binders, OnlyTheUsersChangesReachTheHandlers) {
    TestApp();
    Controls c;
    c.scr.Max = 1000;
    c.scr.LargeChange = 100;
    c.scr.SmallChange = 10;
    c.opt.Buttons.resize(3);
    c.opt.Select(0);
    c.tabs.Captions = {"一", "二"};
    QWidget parent;
    Binders binders([] {});
    auto* bar = new QScrollBar(Qt::Horizontal, &parent);
    binders.Bind(bar, c.scr, [&c] { ++c.scrolls; });
    std::vector<QRadioButton*> radios{new QRadioButton(&parent), new QRadioButton(&parent), new QRadioButton(&parent)};
    binders.Bind(radios, c.opt, [&c](int index) { c.lastOption = index; });
    auto* tabs = new QTabWidget(&parent);
    tabs->addTab(new QWidget, "a");
    tabs->addTab(new QWidget, "b");
    binders.Bind(tabs, c.tabs, [&c] { ++c.tabClicks; });
    binders.ShowAll();

    // Changes in code are shown and reach no handler, also a maximum that pulls the value in.
    c.scr.Value = 400;
    c.opt.Select(2);
    c.tabs.Tab = 1;
    binders.ShowAll();
    c.scr.SetMax(0);
    EXPECT_EQ(c.scr.Value, 0);
    binders.ShowAll();
    EXPECT_EQ(bar->maximum(), 0);
    EXPECT_TRUE(radios[2]->isChecked());
    EXPECT_FALSE(radios[0]->isChecked());
    EXPECT_EQ(tabs->tabText(1), "二");
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_EQ(c.scrolls + c.tabClicks, 0);
    EXPECT_EQ(c.lastOption, -1);

    // The user's moves do.
    c.scr.SetMax(1000);
    c.scr.Value = 400;
    binders.ShowAll();
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(c.scr.Value, 500);
    EXPECT_EQ(c.scrolls, 1);
    radios[1]->click();
    EXPECT_EQ(c.lastOption, 1);
    EXPECT_EQ(c.opt.Selected(), 1);
    binders.ShowAll();
    EXPECT_FALSE(radios[2]->isChecked());
    tabs->setCurrentIndex(0);
    EXPECT_EQ(c.tabs.Tab, 0);
    EXPECT_EQ(c.tabClicks, 1);
}

// A strip scaled in samples: the background line where its x lies, the inverted cursor over it
// (black on white, gone when inverted again), and a pixel's place in samples.
TEST(PositionStripWidget, DrawsInItsScale) {
    TestApp();
    PositionStrip strip;
    strip.Scale(1000, 32767, 1400, -32768);  // 400 samples over 400 pixels
    strip.Line(1100, 32767, 0, ChartColor{0, 255, 0}, 1);
    strip.InvertLine(1300);
    Binders binders({});
    PositionStripWidget widget;
    widget.resize(400, 40);
    binders.Bind(&widget, strip, {});
    binders.ShowAll();
    QImage image = widget.grab().toImage();
    EXPECT_EQ(image.pixel(100, 5), qRgb(0, 255, 0));       // upper half: the line
    EXPECT_EQ(image.pixel(100, 35), qRgb(255, 255, 255));  // below y 0: none
    EXPECT_EQ(image.pixel(300, 20), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(299, 20), qRgb(255, 255, 255));
    strip.InvertLine(1300);
    binders.ShowAll();
    image = widget.grab().toImage();
    EXPECT_EQ(image.pixel(300, 20), qRgb(255, 255, 255));
    EXPECT_EQ(widget.BackgroundRenders(), 1);
    EXPECT_EQ(widget.ScaleXOf(250), 1250.0);
}

}  // namespace
}  // namespace murtesk::platform::qt
