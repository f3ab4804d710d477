// The main screen and the calculation screen together, as the program wires them through the
// program-wide state: the hand-over of a measurement and the return to the main screen.
#include "frmOctCalc.h"
#include "mainscreen_fixture.h"

namespace murtesk::testing {
namespace {

using platform::MsgAnswer;
using platform::MsgIcon;

class Screens : public MainScreenTest {
protected:
    Screens() {
        g_NewCalcScreen = [](platform::UiServices& u) { return std::make_unique<frmOctCalc>(u); };
    }

    frmOctCalc& Calc() { return static_cast<frmOctCalc&>(*forms.octCalc); }
};

TEST_F(Screens, ReturnFromTheCalculationScreenSavesAndKeepsCheckMarks) {
    StartWith("p.qvd", 3);
    std::int32_t index = 2;
    forms.octCalc->setForm(index);
    EXPECT_EQ(forms.octCalc->Caption, "Murtesk 演算画面 " + Data("p.qvd") + " 測定番号:2");
    EXPECT_EQ(Calc().lblDisplayMeas.Caption, "<<データ 2/3 >>");
    ui.Show(*forms.octCalc);
    ui.Hide(Main());
    Main().ListView1.Rows[1].Checked = true;

    ui.CloseByFrame(*forms.octCalc);  // the close box returns like the button
    EXPECT_TRUE(Main().Visible);
    EXPECT_FALSE(forms.octCalc->Visible);
    EXPECT_TRUE(ui.IsLoaded(*forms.octCalc));
    EXPECT_TRUE(Main().ListView1.Rows[1].Checked);
    EXPECT_FALSE(Main().ListView1.Rows[0].Checked);
}

TEST_F(Screens, ReturnWhoseSaveFailsEndsTheRun) {
    StartWith("p.qvd", 1);
    std::int32_t index = 1;
    forms.octCalc->setForm(index);
    ui.Show(*forms.octCalc);
    FailWrites(true);
    ui.AnswerNext(MsgAnswer::OK);
    ui.AnswerNext(MsgAnswer::OK);
    ui.AnswerNext(MsgAnswer::Yes);
    Calc().cmdREC_Click();
    ASSERT_EQ(ui.Messages().size(), 4u);
    EXPECT_EQ(ui.Messages()[1].Text, "保存できなくなりました.終了します.");
    EXPECT_EQ(ui.Messages()[1].Title, "お詫び");
    EXPECT_EQ(ui.Messages()[1].Icon, MsgIcon::Critical);
    EXPECT_EQ(ui.Messages()[2].Text, "終了しますか？");
    EXPECT_TRUE(ui.Ended());
}

}  // namespace
}  // namespace murtesk::testing
