// The form runtime and the fake services that every form-model test relies on.
#include "fake_ui.h"
#include "form.h"
#include "form_timer.h"
#include "window_target.h"

#include <gtest/gtest.h>

namespace murtesk::platform {
namespace {

using testing::FakeUi;

class RecordingForm : public Form {
public:
    RecordingForm(UiServices& ui, std::string name, std::vector<std::string>& log) : Form(ui, std::move(name)), log_(log) {}

    void Form_Load() override { log_.push_back(Name() + ".load"); }
    void Form_Activate() override { log_.push_back(Name() + ".activate"); }
    void Form_QueryUnload(bool& cancel, UnloadMode mode) override
    {
        log_.push_back(Name() + ".query" + std::to_string(static_cast<int>(mode)));
        cancel = refuseClose;
    }
    void Form_Unload(bool&) override
    {
        log_.push_back(Name() + ".unload");
        if (unloadAllOnUnload) {
            ui_.UnloadAll();
        }
    }

    bool refuseClose = false;
    bool unloadAllOnUnload = false;

private:
    std::vector<std::string>& log_;
};

TEST(FormRuntime, LoadsOnceShowsThenActivatesAndEndsWithTheLastForm)
{
    FakeUi ui;
    std::vector<std::string> log;
    RecordingForm a(ui, "a", log);
    ui.Load(a);
    ui.Load(a);
    ui.Show(a);
    EXPECT_TRUE(a.Visible);
    EXPECT_EQ(log, (std::vector<std::string>{"a.load"}));  // activation only comes from the event loop
    ui.RunPendingActivations();
    EXPECT_EQ(log.back(), "a.activate");

    a.refuseClose = true;
    EXPECT_FALSE(ui.CloseByFrame(a));
    EXPECT_TRUE(ui.IsLoaded(a));
    EXPECT_FALSE(ui.Ended());

    a.refuseClose = false;
    EXPECT_TRUE(ui.Unload(a));
    EXPECT_EQ(log[log.size() - 2], "a.query1");
    EXPECT_EQ(log.back(), "a.unload");
    EXPECT_FALSE(a.Visible);
    EXPECT_TRUE(ui.Ended());
}

TEST(FormRuntime, UnloadingAllFromAFormsOwnUnloadGoesBackwardsAndSkipsItself)
{
    FakeUi ui;
    std::vector<std::string> log;
    RecordingForm main(ui, "main", log), second(ui, "second", log), third(ui, "third", log);
    ui.Load(main);
    ui.Load(second);
    ui.Load(third);
    main.unloadAllOnUnload = true;
    log.clear();
    EXPECT_TRUE(ui.Unload(main, UnloadMode::FormControlMenu));
    EXPECT_EQ(log, (std::vector<std::string>{"main.query0", "main.unload", "third.query2", "third.unload",
                                             "second.query2", "second.unload"}));
    EXPECT_TRUE(ui.LoadedForms().empty());
    EXPECT_TRUE(ui.Ended());
}

TEST(FakeUi, UnscriptedModalFormIsClosedByItsFrame)
{
    FakeUi ui;
    std::vector<std::string> log;
    RecordingForm dialog(ui, "dlg", log);
    ui.ShowModal(dialog);
    EXPECT_EQ(log, (std::vector<std::string>{"dlg.load", "dlg.query0", "dlg.unload"}));

    log.clear();
    ui.OnModal("dlg", [&](Form& f) { ui.Hide(f); });
    ui.ShowModal(dialog);
    EXPECT_EQ(log, (std::vector<std::string>{"dlg.load", "dlg.activate"}));
    EXPECT_TRUE(ui.IsLoaded(dialog));
    EXPECT_FALSE(dialog.Visible);
}

TEST(FakeUi, MessageBoxTitleDefaultsToTheProgramAndAnswersFollowTheScript)
{
    FakeUi ui;
    ui.AnswerNext(MsgAnswer::No);
    EXPECT_EQ(ui.MsgBox("終了しますか？", MsgButtons::YesNo, MsgIcon::Question), MsgAnswer::No);
    EXPECT_EQ(ui.MsgBox("x", MsgButtons::OKCancel, MsgIcon::None, "お詫び"), MsgAnswer::OK);
    ASSERT_EQ(ui.Messages().size(), 2u);
    EXPECT_EQ(ui.Messages()[0].Title, "Murtesk");
    EXPECT_EQ(ui.Messages()[0].Icon, MsgIcon::Question);
    EXPECT_EQ(ui.Messages()[1].Title, "お詫び");
    EXPECT_EQ(ui.UnscriptedAnswers(), 1);
}

TEST(FakeUi, TimersFireInTimeOrderAndMayStopThemselves)
{
    FakeUi ui;
    std::vector<std::string> fired;
    TimerId repeating = 0;
    int repeats = 0;
    repeating = ui.StartTimer(200, false, [&] {
        fired.push_back("r");
        if (++repeats == 4) {
            ui.StopTimer(repeating);
        }
    });
    ui.StartTimer(500, true, [&] { fired.push_back("once"); });
    const double start = ui.Now();
    ui.AdvanceMs(450);
    EXPECT_EQ(fired, (std::vector<std::string>{"r", "r"}));
    ui.AdvanceMs(10'000);
    EXPECT_EQ(fired, (std::vector<std::string>{"r", "r", "once", "r", "r"}));
    EXPECT_NEAR((ui.Now() - start) * 86'400.0, 10.45, 1e-6);
}

// A window target's messages wait for DoEvents or WaitEvents; a WaitEvents with nothing to deliver
// lasts its time-out on the manual clock, so a repeating form timer ticks meanwhile.
TEST(FakeUi, TargetsDeliverInTheEventPumpAndAnIdleWaitMovesTheClock) {
    FakeUi ui;
    std::unique_ptr<WindowTarget> target = ui.NewWindowTarget();
    std::vector<std::intptr_t> seen;
    target->SetWindowProc([&](WindowTarget&, std::uint32_t, std::uintptr_t, std::intptr_t l) -> std::intptr_t {
        seen.push_back(l);
        return 0;
    });
    int ticks = 0;
    FormTimer timer(ui, 500, [&] { ++ticks; });
    timer.SetEnabled(true);
    MurteskWindow* h = target->Handle();
    h->post(h->context, 1, 0, 5);
    EXPECT_TRUE(seen.empty());
    ui.WaitEvents(1000);
    EXPECT_EQ(seen, std::vector<std::intptr_t>{5});
    EXPECT_EQ(ui.ElapsedMs(), 0);
    ui.WaitEvents(1000);
    EXPECT_EQ(ui.ElapsedMs(), 1000);
    EXPECT_EQ(ticks, 2);
    timer.SetEnabled(true);  // already running: no second timer
    ui.AdvanceMs(500);
    EXPECT_EQ(ticks, 3);
    timer.SetEnabled(false);
    ui.AdvanceMs(1000);
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(ui.Waits(), 2);
}

}  // namespace
}  // namespace murtesk::platform
