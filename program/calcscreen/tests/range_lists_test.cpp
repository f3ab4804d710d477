// The three range panels of the calculation screen: which commands each enables or shows, the
// lines of the lists, the media commands against real files in RecWav, and the re-selection of
// the statistic choosers.
#include "calc_fixture.h"

namespace murtesk::testing {
namespace {

class RangeLists : public CalcScreenTest {
protected:
    // A one-third-octave channel at 10 values/s (and a second one when asked), slot 2 shown.
    void ShowChannels(int channels) {
        ChannelSpec spec;
        spec.values = 100;
        AddMeasure(60, std::vector<ChannelSpec>(static_cast<std::size_t>(channels), spec));
        Show(1);
        ChooseBand(2);
        calc.log.clear();
    }
    static CBandLCalcInfo& Band(std::int16_t slot) { return Channel(1, 1).BandLCalcInfos.Item(slot); }
    static void Add(CScopes& list, Variant s, Variant e) { list.Add(CScope(std::move(s), std::move(e))); }
    std::string RecWav() const { return GetRecWavFolder(ProjectPath()); }
    static void Touch(const std::string& path) {
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream(path) << "x";
    }
};

std::vector<bool> Enabled(std::initializer_list<const platform::ControlState*> controls) {
    std::vector<bool> out;
    for (const platform::ControlState* c : controls) {
        out.push_back(c->Enabled);
    }
    return out;
}

TEST_F(RangeLists, EachPanelEnablesItsCommandsOnlyWithRanges) {
    ShowChannels(1);
    const auto excluded = [&] {
        return Enabled({&calc.lstCalcDelArea, &calc.cmdAddCalc, &calc.cmdAllCalc, &calc.cmdReverse,
                        &calc.cmdSearchDelCalc, &calc.cmdDelSave, &calc.cmdLinkChDelArea, &calc.cmdAddDel,
                        &calc.cmdDelCalc, &calc.cmdDelOpen});
    };
    const auto marks = [&] {
        return Enabled({&calc.lstMarkArea, &calc.chkAllBandMarkCalc, &calc.chkCalcAreaInfluence, &calc.cmdShowMarkCalc,
                        &calc.cmdMarkTextOut, &calc.cmdMarkWaveOut, &calc.cmdClearAllMark, &calc.cmdSearchMark,
                        &calc.cmdLinkChMark, &calc.cmdMarkSave, &calc.cmdAddMark, &calc.cmdMarkOpen});
    };
    const auto le = [&] {
        return Enabled({&calc.cmdDelLE, &calc.cmdVideoPlay, &calc.cmdVideoExtract, &calc.cmdWavePlay,
                        &calc.cmdLEWaveOut, &calc.cmdRchMemoPlay, &calc.cmdSearchLE, &calc.cmdLETextOut,
                        &calc.mnuLETextFile, &calc.cmdLinkCh, &calc.cmdChangeLEArea});
    };
    const std::vector<bool> on(12, true);
    const auto offBut = [](std::size_t n, std::size_t untouched) {
        std::vector<bool> v(n, false);
        std::fill(v.end() - static_cast<std::ptrdiff_t>(untouched), v.end(), true);
        return v;
    };
    EXPECT_EQ(excluded(), offBut(10, 3));
    EXPECT_EQ(marks(), offBut(12, 2));
    EXPECT_EQ(le(), offBut(11, 1));
    EXPECT_EQ(calc.lstCalcDelArea.ListIndex, -1);
    EXPECT_FALSE(calc.cmdAllChMarkTextOut.Visible);

    Add(Band(2).Scopes, std::int32_t{1}, std::int32_t{5});
    Add(Band(2).MarkScopes, std::int32_t{3}, std::int32_t{4});
    Add(Band(2).LEScopes, std::int32_t{2}, std::int32_t{9});
    calc.setFormOfCalcArea();
    calc.setFormOfLE();
    calc.setFormOfMarkArea();
    EXPECT_EQ(excluded(), std::vector<bool>(10, true));
    EXPECT_EQ(marks(), on);
    EXPECT_EQ(le(), std::vector<bool>(11, true));
    EXPECT_EQ(calc.lstCalcDelArea.ListIndex, 0);
    EXPECT_EQ(calc.lstMarkArea.ListIndex, 0);
    EXPECT_FALSE(calc.cmdAllChMarkTextOut.Visible);  // one channel
    EXPECT_EQ(calc.lblLEStart.Caption, "2023/03/15 09:00:00");
    EXPECT_EQ(calc.lblLEEnd.Caption, "2023/03/15 09:00:00");  // 0.8 s later, the same second
}

TEST_F(RangeLists, AllChannelTextOutShowsWithMarksAndSeveralChannels) {
    ShowChannels(2);
    EXPECT_FALSE(calc.cmdAllChMarkTextOut.Visible);
    Add(Band(2).MarkScopes, std::int32_t{3}, std::int32_t{4});
    calc.setFormOfMarkArea();
    EXPECT_TRUE(calc.cmdAllChMarkTextOut.Visible);
}

TEST_F(RangeLists, LinesAreNumberedFromNo001AndMadeWhenAsked) {
    ShowChannels(1);
    CScopes& list = Band(2).Scopes;
    for (std::int32_t i = 0; i < 1000; ++i) {
        Add(list, 10 * i + 1, 10 * i + 10);
    }
    Add(list, Variant(), Variant::Null());  // a damaged project
    calc.setFormOfCalcArea();
    ASSERT_EQ(calc.lstCalcDelArea.ListCount(), 1001);
    EXPECT_EQ(calc.lstCalcDelArea.List(0), "No.001 2023/03/15 09:00:00 ～ 2023/03/15 09:00:00");
    EXPECT_EQ(calc.lstCalcDelArea.List(1), "No.002 2023/03/15 09:00:01 ～ 2023/03/15 09:00:01");
    EXPECT_EQ(calc.lstCalcDelArea.List(999), "No.1000 2023/03/15 09:16:39 ～ 2023/03/15 09:16:39");
    EXPECT_EQ(calc.lstCalcDelArea.List(1000), "No.1001 ----/--/-- --:--:-- ～ ----/--/-- --:--:--");
    EXPECT_EQ(calc.lstCalcDelArea.List(1001), "");
    // A line reads the list as it is now.
    list.Item(1).E = Variant(std::int32_t{31});
    EXPECT_EQ(calc.lstCalcDelArea.List(0), "No.001 2023/03/15 09:00:00 ～ 2023/03/15 09:00:03");
}

TEST_F(RangeLists, StatisticReadOutsShowTheTargetStatisticsAsNumbers) {
    ShowChannels(1);
    CBandLCalcInfo& band = Band(2);
    // The levels 0.1 .. 10.0 dB (position / 10).
    CScopes target;
    target.Add(CScope(Variant(std::int32_t{1}), Variant(std::int32_t{100})));
    band.LCalc.resetNew(target, Channel(1, 1).LevelData, GetBandFolder(ProjectPath(), 3, 2));
    calc.setFormOfCalcArea();
    EXPECT_EQ(calc.lblLmax.Caption, "10.0dB");
    EXPECT_EQ(calc.lblL50.Caption, "5.0dB");  // the 50th of the 100 levels from the lowest
    EXPECT_EQ(calc.lblL95.Caption, "0.5dB");
}

TEST_F(RangeLists, MediaCommandsShowOnlyForRegularFilesInRecWav) {
    ShowChannels(2);
    Add(Band(2).LEScopes, std::int32_t{2}, std::int32_t{9});
    const std::string video = RecWav() + "/23-3-15-9_0_0.avi";
    const std::string wave = RecWav() + "/ALLm1_1ch.Wav";  // from "m1_1ch.lvl"
    const auto shown = [&] {
        return std::vector<bool>{calc.cmdVideoPlay.Visible, calc.cmdVideoExtract.Visible, calc.mnuToolVideo.Visible,
                                 calc.mnuToolArea.Visible,  calc.mnuToolArea.Enabled,     calc.cmdWavePlay.Visible,
                                 calc.cmdLEWaveOut.Visible, calc.cmdMarkWaveOut.Visible,  calc.cmdRchMemoPlay.Visible};
    };
    fs::create_directories(video);  // a folder of that name is no video
    calc.setFormOfLE();
    calc.setFormOfMarkArea();
    EXPECT_EQ(g_VideoPath, video);
    EXPECT_EQ(g_PlayWavePath, wave);
    EXPECT_EQ(shown(), std::vector<bool>(9, false));

    fs::remove(video);
    Touch(video);
    Touch(wave);
    calc.setFormOfLE();
    calc.setFormOfMarkArea();
    EXPECT_EQ(shown(), (std::vector<bool>{true, true, true, true, true, true, true, true, false}));
    EXPECT_TRUE(calc.cmdWavePlay.Enabled && calc.cmdVideoPlay.Enabled);
    EXPECT_FALSE(calc.cmdMarkWaveOut.Enabled);  // no marks

    ChooseChannel(1);  // the second channel's split recording does not exist
    EXPECT_EQ(g_PlayWavePath, RecWav() + "/ALLm1_2ch.Wav");
    EXPECT_FALSE(calc.cmdWavePlay.Visible || calc.cmdMarkWaveOut.Visible);
    EXPECT_FALSE(calc.cmdWavePlay.Enabled);  // and the band there has no LE range
}

TEST_F(RangeLists, ThePlayPathTheLEPanelSetsDecidesTheMarkWaveOutput) {
    ShowChannels(1);
    calc.setFormOfLE();
    EXPECT_FALSE(calc.cmdWavePlay.Visible);
    Touch(g_PlayWavePath);  // appears between the two calls of the cascade
    calc.setFormOfMarkArea();
    EXPECT_TRUE(calc.cmdMarkWaveOut.Visible);
    EXPECT_FALSE(calc.cmdWavePlay.Visible);
}

TEST_F(RangeLists, ChoosersAreWorkedAgainAndTheStatisticChartOnlyUnderLE) {
    ShowChannels(1);
    Channel(1, 1).CalcXYAxis.Lx = 50;
    calc.cmbCalcL.ListIndex = 3;
    calc.setFormOfCalcArea();
    calc.setFormOfLE();
    EXPECT_EQ(calc.log,
              (std::vector<std::string>{"setFormOfCalcArea", "cmbCalcL_Click 3", "cmbLx_Click 49", "setFormOfLE"}));
    calc.log.clear();
    calc.cmbCalcL.ListIndex = 104;  // "ＬE"
    calc.setFormOfLE();
    EXPECT_EQ(calc.log, (std::vector<std::string>{"setFormOfLE", "cmbCalcL_Click 104"}));
}

}  // namespace
}  // namespace murtesk::testing
