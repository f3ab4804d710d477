// Offscreen checks of the band result windows through their real Qt views: the chooser, the
// bars/list toggle and the copy work through the widgets. With MURTESK_SCREENSHOT_DIR set the
// pictures are also written there.
#include "band_fixture.h"
#include "bandviews_views.h"
#include "form_view.h"
#include "frmALevel.h"
#include "frmAllBandL.h"
#include "frmOneBandL.h"

#include "qt_test_app.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace murtesk::testing {
namespace {

using platform::qt::testing::SavePicture;
using platform::qt::testing::TestApp;

template <class Window>
struct Shown {
    explicit Shown(platform::qt::QtUi& ui) : ui(ui), form(ui) {
        ui.Show(form);
        QApplication::processEvents();  // the activation
        w = ui.ViewOf(form)->Widget();
    }
    ~Shown() {
        ui.Unload(form);
        ui.DestroyAllViews();
    }
    template <class T>
    T* Find(const char* name) const {
        T* child = w->findChild<T*>(name);
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    platform::qt::QtUi& ui;
    Window form;
    QWidget* w = nullptr;
};

TEST(BandViews, AllBandChooserToggleAndCopyThroughTheWidgets) {
    TestApp();
    BandChannel channel(3);
    platform::qt::QtUi ui;
    RegisterBandViews(ui);
    Shown<frmAllBandL> shown(ui);
    EXPECT_EQ(shown.w->windowTitle(), QStringLiteral("マーク範囲全バンド計算値"));
    auto* chooser = shown.Find<QComboBox>("cmbCalcL");
    auto* toggle = shown.Find<QPushButton>("cmdCalcBarOrList");
    auto* list = shown.Find<QWidget>("vsElasticCalcList");
    auto* chart = shown.Find<QWidget>("chartCalcFFT");
    ASSERT_TRUE(chooser && toggle && list && chart);
    EXPECT_EQ(chooser->count(), 106);
    EXPECT_EQ(chooser->currentText(), QStringLiteral("Ｌeq"));
    EXPECT_FALSE(shown.Find<QPushButton>("cmdCopyCalc")->icon().isNull());
    EXPECT_TRUE(list->isHidden());
    SavePicture(*shown.w, "band_all_bars.png");

    chooser->setCurrentIndex(3);  // ＬE
    emit chooser->activated(3);
    const QString le = QString::fromStdString(Fixed(channel.Expected(1).le) + "dB");
    toggle->click();
    EXPECT_FALSE(list->isHidden());
    EXPECT_FALSE(chart->isVisibleTo(shown.w));
    EXPECT_EQ(toggle->toolTip(), QStringLiteral("バー"));
    const auto labels = list->findChildren<QLabel*>();
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [&](QLabel* l) { return l->text() == le; }));
    SavePicture(*shown.w, "band_all_list.png");

    shown.Find<QPushButton>("cmdCopyCalc")->click();
    EXPECT_TRUE(ui.ClipboardText().starts_with("//////////////////////////////\r\n動特性FAST ＬE\r\n"));
}

TEST(BandViews, OneBandAndWeightedWindowsShowTheirValues) {
    TestApp();
    BandChannel channel(1);
    g_BandIndex = 1;
    channel.channel_->BandLCalcInfos.Item(1).MarkScopes.SimpleAdd(std::make_shared<CScope>(Variant(kS), Variant(kE)));
    platform::qt::QtUi ui;
    RegisterBandViews(ui);
    {
        Shown<frmOneBandL> one(ui);
        EXPECT_EQ(one.Find<QLabel>("lblLeq")->text(), QString::fromStdString(Fixed(channel.Expected(1).leq) + "dB"));
        auto* chooser = one.Find<QComboBox>("cmbLx");
        chooser->setCurrentIndex(49);
        emit chooser->activated(49);
        EXPECT_EQ(one.Find<QLabel>("lblLx")->text(), one.Find<QLabel>("lblL50")->text());
        SavePicture(*one.w, "band_one.png");
    }
    EXPECT_EQ(channel.HistogramFiles(), 0u);

    frmALevel weighted(ui);
    ui.Load(weighted);
    weighted.m_OctaveBand1.emplace();
    weighted.m_OctaveBand1->SetdBInit(-60.0);
    weighted.m_OctaveBand1->dBAllPass(70.0);
    weighted.m_OctaveBand1->setdB(4, 61.3);  // 2 kHz
    ui.Show(weighted);
    QApplication::processEvents();
    QWidget* w = ui.ViewOf(weighted)->Widget();
    w->findChild<QPushButton*>("cmdCalcBarOrList")->click();
    const auto labels = w->findChild<QWidget*>("vsElasticCalcList")->findChildren<QLabel*>();
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [](QLabel* l) { return l->text() == "61.3dB"; }));
    w->findChild<QPushButton*>("cmdCopyCalc")->click();
    EXPECT_NE(ui.ClipboardText().find("[補正特性] , ---\r\n"), std::string::npos);
    SavePicture(*w, "band_weighted_list.png");
    ui.Unload(weighted);
    ui.DestroyAllViews();
}

}  // namespace
}  // namespace murtesk::testing
