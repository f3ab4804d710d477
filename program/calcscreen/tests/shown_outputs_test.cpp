// The text outputs as functions of a shown selection and the project, with no form: the selection
// alone says which channel and band are written, and the LE range's dates come from its positions
// at that channel's rate.
#include "calc_fixture.h"
#include "text_outputs.h"

#include "platform/numbers.h"

namespace murtesk::testing {
namespace {

float Level(std::int64_t p) { return 40.0f + static_cast<float>(p * 13 % 71) / 10; }

class ShownOutputs : public ::testing::Test, public CalcProject {
protected:
    ShownOutputs() : CalcProject(::testing::UnitTest::GetInstance()->current_test_info()->name()) {
        ChannelSpec third;
        ChannelSpec octave;
        octave.oct1or3 = 1;
        octave.rate = 100.0;
        AddMeasure(60, {third, octave});
        for (int c = 1; c <= 2; ++c) WriteLevels(Channel(1, c), 1, c == 1 ? 600 : 6000, Level);
    }

    // Channel c of the measurement on slot 1 with the LE range S..E.
    static ShownSelection Shown(std::int32_t c, std::int32_t S, std::int32_t E) {
        ShownSelection shown;
        shown.measureIndex = 1;
        shown.measure = Records().Measures.ItemShared(1);
        shown.channel = shown.measure->ChMeasures.ItemShared(c);
        shown.channelNumber = c;
        shown.listedChannels = 2;
        shown.band = 1;
        shown.channel->BandLCalcInfos.Item(1).LEScopes.Add(CScope(S, E));
        shown.channel->BandLCalcInfos.Item(1).AllLCalc.LE = 71.26;
        return shown;
    }
    std::string Out(const std::string& name) const { return (folder / name).string(); }
};

TEST_F(ShownOutputs, LERangeDatesAreTheRangesAtTheShownChannelsRate) {
    struct Case {
        std::int32_t channel;
        double rate;
        std::int32_t S, E;
        const char* start;
        const char* end;
    };
    // Dates written out by hand from 09:00:00 and (p - 1) / rate.
    for (const Case& c : {Case{1, 10.0, 101, 104, "2023/03/15 09:00:10", "2023/03/15 09:00:10"},
                          Case{2, 100.0, 2599, 2601, "2023/03/15 09:00:25", "2023/03/15 09:00:26"}}) {
        const ShownSelection shown = Shown(c.channel, c.S, c.E);
        ASSERT_TRUE(WriteLETextFile(Out("le.csv"), Records(), shown)) << c.channel;
        std::vector<std::string> lines{std::string("'出力開始日時, ") + c.start,
                                       std::string("'出力終了日時, ") + c.end,
                                       c.rate == 10.0 ? "'出力サンプリング間隔, 100ms" : "'出力サンプリング間隔, 10ms",
                                       "'ＬE(dB), 71.3",
                                       "'--------------------",
                                       "'Ｆ特性",
                                       "'--------------------"};
        for (std::int64_t p = c.S; p <= c.E; ++p) lines.push_back(platform::FormatNumber(Level(p), "000.00"));
        EXPECT_EQ(Bytes(Out("le.csv")), FileOf(lines)) << c.channel;
    }
}

// The column output writes the selection's channel, whatever channel a list would show first.
TEST_F(ShownOutputs, LEColumnsOfTheSelectedChannelAlone) {
    const ShownSelection shown = Shown(2, 11, 13);
    int error = -1;
    ASSERT_TRUE(WriteLETextFileOfChBands(Out("c.csv"), Records(), shown, false, false, error));
    EXPECT_EQ(error, 0);
    std::vector<std::string> lines{"'出力開始日時, 2023/03/15 09:00:00", "'出力終了日時, 2023/03/15 09:00:00",
                                   "'--------------------", "'2ch-Ｆ特性(10ms間隔)", "'--------------------"};
    for (std::int64_t p = 11; p <= 13; ++p)
        lines.push_back(platform::NumberToText(std::stod(platform::FormatNumber(Level(p), "000.00"))));
    EXPECT_EQ(Bytes(Out("c.csv")), FileOf(lines));
}

}  // namespace
}  // namespace murtesk::testing
