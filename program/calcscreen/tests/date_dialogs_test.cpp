// The date input dialog (the lists it opens with, the year and day checks, Cancel and the close
// box) and the date-range dialog over it (the limit, the order of start and end), with the inner
// dialog scripted through the fake services.
#include "date_scripts.h"
#include "globals.h"

#include "model/scopes.h"

#include <gtest/gtest.h>

namespace murtesk::testing {
namespace {

using platform::testing::FakeUi;

class InputDate : public ::testing::Test {
protected:
    void SetUp() override { g_bDialogOk = true; }

    FakeUi ui;
    frmInputDate dialog{ui};
};

TEST_F(InputDate, OpensOnTheShownDateWithItsYearListed) {
    struct Case {
        double shown;
        int firstYear, lastYear;
    };
    for (const Case c : {Case{platform::DateFromParts(2023, 3, 15, 9, 8, 7), 2001, 2033},
                         Case{platform::DateFromParts(1995, 12, 31, 23, 59, 59), 1995, 2005}}) {
        g_InputDate = c.shown;
        frmInputDate d(ui);
        ui.Load(d);
        const platform::DateParts p = platform::PartsFromDate(c.shown);
        EXPECT_EQ(d.cmbyyyy.Items.front(), std::to_string(c.firstYear));
        EXPECT_EQ(d.cmbyyyy.Items.back(), std::to_string(c.lastYear));
        EXPECT_EQ(d.cmbyyyy.Text, std::to_string(p.Year));
        EXPECT_EQ(d.cmbyyyy.SelectedData(), p.Year);
        EXPECT_EQ((std::vector<int>{d.cmbmm.SelectedData(), d.cmbdd.SelectedData(), d.cmbhh.SelectedData(),
                                    d.cmbnn.SelectedData(), d.cmbss.SelectedData()}),
                  (std::vector<int>{p.Month, p.Day, p.Hour, p.Minute, p.Second}));
        EXPECT_EQ(d.cmbdd.ListCount(), 31);
        EXPECT_EQ(d.cmbhh.Items.front(), "0");
        ui.Unload(d);
    }
}

struct DateCase {
    const char* year;  // typed
    int month, day;
    const char* message;  // empty: accepted
    const char* focus;
};

void PrintTo(const DateCase& c, std::ostream* os) { *os << c.year << "-" << c.month << "-" << c.day; }

class InputDateOk : public InputDate, public ::testing::WithParamInterface<DateCase> {};

TEST_P(InputDateOk, AcceptsOnlyARealDayOfAYearFrom1900To7000) {
    const DateCase& c = GetParam();
    const double before = platform::DateFromParts(2023, 3, 15, 9, 0, 0);
    g_InputDate = before;
    ui.Load(dialog);
    dialog.cmbyyyy.Text = c.year;
    dialog.cmbmm.Select(c.month - 1);
    dialog.cmbdd.Select(c.day - 1);
    dialog.cmbhh.Select(0);
    dialog.cmbnn.Select(0);
    dialog.cmbss.Select(0);
    dialog.cmdOK_Click();
    if (*c.message == '\0') {
        EXPECT_FALSE(ui.IsLoaded(dialog));
        EXPECT_TRUE(g_bDialogOk);
        EXPECT_EQ(g_InputDate, platform::DateFromParts(std::stoi(c.year), c.month, c.day));  // midnight exactly
        EXPECT_TRUE(ui.Messages().empty());
        return;
    }
    EXPECT_TRUE(ui.IsLoaded(dialog));
    EXPECT_EQ(g_InputDate, before);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].Text, c.message);
    EXPECT_EQ(ui.Messages()[0].Title, "入力訂正情報");
    EXPECT_EQ(ui.Messages()[0].Icon, platform::MsgIcon::Information);
    EXPECT_EQ(dialog.FocusedControl, c.focus);
    EXPECT_EQ(dialog.FocusSelectsAll, std::string(c.focus) == "cmbyyyy");
    EXPECT_EQ(dialog.cmbyyyy.Text, c.year);  // the user's choices stay
    EXPECT_EQ(dialog.cmbdd.ListIndex, c.day - 1);
}

constexpr const char* kNoDay = "指定日付は存在しません.";
constexpr const char* kYearBounds = "1900以上、7000以下の数値を入力してください。";

INSTANTIATE_TEST_SUITE_P(
    Cases, InputDateOk,
    ::testing::Values(DateCase{"2004", 2, 29, "", ""}, DateCase{"2000", 2, 29, "", ""}, DateCase{"1950", 1, 31, "", ""},
                      DateCase{"7000", 12, 31, "", ""}, DateCase{"2004", 2, 30, kNoDay, "cmbdd"},
                      DateCase{"2005", 2, 29, kNoDay, "cmbdd"}, DateCase{"1900", 2, 29, kNoDay, "cmbdd"},
                      DateCase{"2023", 4, 31, kNoDay, "cmbdd"}, DateCase{"1899", 1, 1, kYearBounds, "cmbyyyy"},
                      DateCase{"7001", 1, 1, kYearBounds, "cmbyyyy"}, DateCase{"2023.5", 1, 1, kYearBounds, "cmbyyyy"},
                      DateCase{"abc", 1, 1, "数値を入力してください。", "cmbyyyy"}));

TEST_F(InputDate, CancelAndTheCloseBoxKeepTheDate) {
    for (const bool closeBox : {false, true}) {
        g_InputDate = 45000.5;
        g_bDialogOk = true;
        frmInputDate d(ui);
        ui.Load(d);
        d.cmbyyyy.Text = "2030";
        closeBox ? (void)ui.CloseByFrame(d) : d.cmdCancel_Click();
        EXPECT_FALSE(ui.IsLoaded(d));
        EXPECT_FALSE(g_bDialogOk);
        EXPECT_EQ(g_InputDate, 45000.5);
    }
}

// The date-range dialog over 2023-03-15 09:00:00 .. 10:00:00, both the range and the limit.
class DateArea : public ::testing::Test {
protected:
    void SetUp() override {
        g_bDialogOk = true;
        g_DateAreaScope = std::make_shared<CScope>(Variant::FromDate(kStart), Variant::FromDate(kEnd));
        g_DateAreaLimit = std::make_shared<CScope>(*g_DateAreaScope);
        ui.Load(dialog);
    }
    void TearDown() override {
        g_DateAreaScope.reset();
        g_DateAreaLimit.reset();
    }
    static double At(int minute, int second = 0) { return platform::DateFromParts(2023, 3, 15, 9, minute, second); }

    const double kStart = At(0);
    const double kEnd = platform::DateFromParts(2023, 3, 15, 10, 0, 0);
    FakeUi ui;
    frmDateArea dialog{ui};
};

TEST_F(DateArea, OpensOnTheHandedRangeAndOkKeepsIt) {
    EXPECT_EQ(dialog.lblStartTime.Caption, "2023/03/15 09:00:00");
    EXPECT_EQ(dialog.lblEndTime.Caption, "2023/03/15 10:00:00");
    EXPECT_EQ(dialog.cmdStartTime.ToolTipText, "表示開始日時指定...");
    EXPECT_EQ(dialog.cmdEndTime.ToolTipText, "表示開始日時指定...");
    dialog.cmdOK_Click();
    EXPECT_FALSE(ui.IsLoaded(dialog));
    EXPECT_TRUE(g_bDialogOk);
    EXPECT_EQ(g_DateAreaScope->S.AsDouble(), kStart);
    EXPECT_EQ(g_DateAreaScope->E.AsDouble(), kEnd);
}

TEST_F(DateArea, ADateOutsideTheLimitIsAskedAgainShowingTheRejectedDate) {
    const double late = platform::DateFromParts(2023, 3, 15, 10, 0, 1);
    ChooseDateNext(ui, late);
    double reshown = 0.0;
    ui.OnModal("frmInputDate", [&](platform::Form& form) {
        reshown = g_InputDate;
        static_cast<frmInputDate&>(form).cmdCancel_Click();
    });
    dialog.cmdEndTime_Click();
    EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{"範囲外の日時です. 以下の範囲で指定してください.\r\n"
                                                           "2023/03/15  09:00:00～2023/03/15  10:00:00"}));
    EXPECT_EQ(ui.Messages()[0].Title, "入力訂正情報");
    EXPECT_EQ(ui.Messages()[0].Icon, platform::MsgIcon::Information);
    EXPECT_EQ(reshown, late);
    EXPECT_EQ(g_DateAreaScope->E.AsDouble(), kEnd);  // the input was cancelled: the end stays
    EXPECT_EQ(dialog.lblEndTime.Caption, "2023/03/15 10:00:00");
    EXPECT_TRUE(ui.IsLoaded(dialog));

    // The limit's own ends are inside.
    ChooseDateNext(ui, kEnd);
    dialog.cmdStartTime_Click();
    EXPECT_EQ(g_DateAreaScope->S.AsDouble(), kEnd);
    EXPECT_EQ(dialog.lblStartTime.Caption, "2023/03/15 10:00:00");
    EXPECT_EQ(ui.Messages().size(), 1u);
}

// A limit with a part of a second (a measurement of a project saved before starts were whole
// seconds) takes the dates it shows: 09:00:00 and 10:00:00 for 09:00:00.7 .. 10:00:00.7.
TEST_F(DateArea, TheShownEndsOfAFractionalLimitAreInside) {
    g_DateAreaLimit = std::make_shared<CScope>(Variant::FromDate(platform::AddSeconds(kStart, 0.7)),
                                               Variant::FromDate(platform::AddSeconds(kEnd, 0.7)));
    g_DateAreaScope = std::make_shared<CScope>(Variant::FromDate(At(10)), Variant::FromDate(At(20)));
    ChooseDateNext(ui, kStart);
    dialog.cmdStartTime_Click();
    ChooseDateNext(ui, kEnd);
    dialog.cmdEndTime_Click();
    EXPECT_TRUE(ui.Messages().empty()) << ::testing::PrintToString(ui.MessageTexts());
    EXPECT_EQ(g_DateAreaScope->S.AsDouble(), kStart);
    EXPECT_EQ(g_DateAreaScope->E.AsDouble(), kEnd);
}

TEST_F(DateArea, OkRefusesAnEndThatIsNotAfterTheStart) {
    ChooseDateNext(ui, At(30));
    dialog.cmdEndTime_Click();
    for (const double start : {At(30), At(45)}) {  // equal, later: each taken by the start button
        ChooseDateNext(ui, start);
        dialog.cmdStartTime_Click();
        EXPECT_EQ(g_DateAreaScope->S.AsDouble(), start);
        ui.ClearTranscript();
        dialog.cmdOK_Click();
        EXPECT_TRUE(ui.IsLoaded(dialog));
        EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{"終了日時が開始日時より過去になっています。"}));
        EXPECT_EQ(ui.Messages()[0].Title, "入力訂正情報");
        EXPECT_EQ(dialog.FocusedControl, "cmdEndTime");
    }
    ChooseDateNext(ui, At(29, 59));
    dialog.cmdStartTime_Click();
    dialog.cmdOK_Click();
    EXPECT_FALSE(ui.IsLoaded(dialog));
    EXPECT_TRUE(g_bDialogOk);
}

TEST_F(DateArea, CancelAndTheCloseBoxAnswerCancel) {
    dialog.cmdCancel_Click();
    EXPECT_FALSE(g_bDialogOk);
    g_bDialogOk = true;
    frmDateArea again(ui);
    ui.Load(again);
    EXPECT_TRUE(ui.CloseByFrame(again));
    EXPECT_FALSE(g_bDialogOk);
}

}  // namespace
}  // namespace murtesk::testing
