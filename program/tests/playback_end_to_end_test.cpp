// A recording made by the samples tool, imported through the built analysis library with "全出力" (one
// WAV file per channel), opened on the calculation screen: its LE range is played in the partial
// playback window on the null device to the end, and its LE range and marks are written as WAV files,
// mono and with both channels merged, whose samples are those of the split recordings.
#include "WaveOut.h"
#include "frmMeasure.h"
#include "frmOctCalc.h"
#include "frmPlayPartOfWave.h"
#include "import_recordings.h"
#include "mainscreen_fixture.h"
#include "wav_fixture.h"

#include "model/scopes.h"
#include "model/shared_procedures.h"

#include <thread>

namespace murtesk::testing {
namespace {

class PlaybackEndToEnd : public MainScreenTest {
protected:
    PlaybackEndToEnd() {
        g_NewDocument = [] { return std::make_unique<PreserveDocument>(); };
        g_NewCalcScreen = [](platform::UiServices& u) { return std::make_unique<frmOctCalc>(u); };
        g_ShowPlayPartOfWave = playback::ShowPlayPartOfWave;
        playback::SetWaveOutSystem(null.get());
    }
    ~PlaybackEndToEnd() override {
        ui.OnDoEvents({});
        playback::SetWaveOutSystem(nullptr);
        g_ShowPlayPartOfWave = nullptr;
    }
    CPreserve& Records() { return static_cast<PreserveDocument&>(g_PreserveDoc()).Preserve(); }
    frmOctCalc& Calc() { return static_cast<frmOctCalc&>(*forms.octCalc); }
    std::string Out(const std::string& name) { return (home / "data" / name).string(); }

    const std::unique_ptr<platform::WaveOut> null = platform::MakeNullWaveOut();
};

std::string Body(const std::string& path, std::size_t offset, std::size_t bytes) {
    return ReadFile(path).substr(offset, bytes);
}

TEST_F(PlaybackEndToEnd, ImportedRecordingPlaysItsLERangeAndWritesItsRanges) {
    const std::string project = Data("road.qvd");
    {
        PreserveDocument empty;
        empty.SetSaveFilePath(project);
        ASSERT_TRUE(empty.FileWrite(project));
    }
    Start({project});
    ImportRecordings(ui, (home / "data").string(), {6.0}, true);
    ASSERT_EQ(Records().Measures.count(), 1);
    Main().ShowLastMeasure();
    Main().ListView1.SelectedIndex = 0;
    Main().cmdOK_Click();
    ASSERT_TRUE(Calc().Visible) << ::testing::PrintToString(ui.MessageTexts());

    CChMeasure& ch = Records().Measures.Item(1).ChMeasures.Item(1);
    const double levelHz = ch.ChMeasureCondition.LevelOutHz;
    const std::string recWav = GetRecWavFolder(project);
    const std::string split1 =
        recWav + "/ALL" + ch.LevelData.SaveFileName.substr(0, ch.LevelData.SaveFileName.size() - 4) + ".Wav";
    ASSERT_TRUE(fs::exists(split1));
    // The LE range, set through the screen's range editing: 1.5 s from 2 s on.
    CBandLCalcInfo& band = ch.BandLCalcInfos.Item(Calc().Shown().band);
    const auto at = [&](double seconds) { return static_cast<std::int32_t>(seconds * levelHz + 1); };
    Calc().setLEArea(at(2.0), at(3.5));
    ASSERT_EQ(band.LEScopes.count(), 1);

    // 再生, and the cursor loop runs on the null device until the span has been played.
    bool played = false;
    ui.OnModal("frmPlayPartOfWave", [&](platform::Form& form) {
        auto& window = static_cast<playback::frmPlayPartOfWave&>(form);
        ASSERT_TRUE(window.cmdStart.Enabled);
        ui.OnDoEvents([] { std::this_thread::sleep_for(std::chrono::milliseconds(5)); });
        window.cmdStart_Click();
        ui.AdvanceMs(500);
        played = playback::g_WaveOutState == 1;
        EXPECT_EQ(window.m_CursorSample, g_PlayStartSample + 48000);  // the last buffer's first sample
        ui.AdvanceMs(500);
        EXPECT_TRUE(window.cmdPlayX2.Enabled);
        window.cmdCancel_Click();
        ui.AdvanceMs(500);
    });
    Calc().cmdWavePlay_Click();
    EXPECT_TRUE(played);
    EXPECT_EQ(g_PlayWavePath, split1);
    EXPECT_EQ(g_PlayStartSample, 96000);
    EXPECT_EQ(g_PlayEndSample, 168000);
    EXPECT_TRUE(ui.Messages().empty()) << ::testing::PrintToString(ui.MessageTexts());

    // The LE range alone, then both channels merged.
    ui.AnswerNext(platform::MsgAnswer::No);
    ui.ChooseNext(Out("le.wav"));
    Calc().cmdLEWaveOut_Click();
    ASSERT_TRUE(fs::exists(Out("le.wav"))) << ::testing::PrintToString(ui.MessageTexts());
    EXPECT_EQ(Body(Out("le.wav"), 44, std::string::npos), Body(split1, 44 + 2 * 95999, 2 * 72001));
    ui.AnswerNext(platform::MsgAnswer::Yes);
    ui.ChooseNext(Out("both.wav"));
    Calc().cmdLEWaveOut_Click();
    const std::string& level2 = Records().Measures.Item(1).ChMeasures.Item(2).LevelData.SaveFileName;
    const std::string split2 = recWav + "/ALL" + level2.substr(0, level2.size() - 4) + ".Wav";
    ASSERT_TRUE(fs::exists(split2));
    const std::string merged = Body(Out("both.wav"), 44, std::string::npos);
    ASSERT_EQ(merged.size(), 4u * 72001);
    EXPECT_EQ(merged.substr(0, 2) + merged.substr(4, 2), Body(split1, 44 + 2 * 95999, 4));
    EXPECT_EQ(merged.substr(2, 2) + merged.substr(6, 2), Body(split2, 44 + 2 * 95999, 4));

    // Two marks set through the screen, both written merged.
    Calc().addMarkArea(at(0.0), at(1.0));
    Calc().addMarkArea(at(4.0), at(5.0));
    ASSERT_EQ(Calc().lstMarkArea.ListCount(), 2);
    ui.AnswerNext(platform::MsgAnswer::Yes);
    ui.AnswerNext(platform::MsgAnswer::Yes);
    ui.ChooseNext(Out("marks.wav"));
    Calc().cmdMarkWaveOut_Click();
    EXPECT_EQ(ui.MessageTexts().back(), "Ｗａｖｅファイル作成しました");
    EXPECT_EQ(Body(Out("marks_Mark1.Wav"), 22, 2), std::string("\x02\x00", 2));
    EXPECT_EQ(fs::file_size(Out("marks_Mark1.Wav")), 44u + 4 * 48000);
    EXPECT_EQ(fs::file_size(Out("marks_Mark2.Wav")), 44u + 4 * 48001);
}

}  // namespace
}  // namespace murtesk::testing
