// Alt+A and Alt+B in the level-series settings: the shown band's series resampled to ten times its
// rate by the built analysis library, through the command, into a file that takes the chosen name
// only once it is whole.
#include "calc_fixture.h"
#include "frmSetTestFileOut.h"

#include <cstdio>
#include <iterator>
#include <sstream>

namespace murtesk::testing {
namespace {

float Ramp(std::int64_t p) { return p % 5 == 0 ? -3.5f : 40.0f + static_cast<float>(p % 17); }

class LevelResample : public CalcScreenTest {};

TEST_F(LevelResample, AltKeysWriteTenValuesForEachLevel) {
    ChannelSpec spec;
    spec.rate = 100.0;
    AddMeasure(10, {spec});
    WriteLevels(Channel(1, 1), 1, 1000, Ramp);
    Show(1);
    ChooseBand(1);
    for (const int key : {'A', 'B'}) {
        ui.ClearTranscript();
        const std::string out = (folder / (key == 'A' ? "linear.txt" : "kernel.txt")).string();
        ui.OnModal("frmSetTestFileOut", [key](platform::Form& f) {
            int code = key;
            static_cast<frmSetTestFileOut&>(f).Form_KeyUp(code, platform::kAltMask);
        });
        ui.ChooseNext(out);
        calc.mnuTextFile_Click();
        EXPECT_EQ(calc.m_TextFileArea, key == 'A' ? 1 : 0);
        ASSERT_EQ(ui.MessageTexts(), std::vector<std::string>{"テキストファイルを出力しました．"});
        std::ifstream in(out, std::ios::binary);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        ASSERT_EQ(lines.size(), 10000u);
        // Fixed-point with six decimals and CR LF.
        const auto six = [](const std::string& l) {
            const std::size_t dot = l.find('.');
            return dot != std::string::npos && l.size() == dot + 8 && l.back() == '\r' &&
                   l.find_first_not_of("-0123456789") == dot &&
                   l.find_first_not_of("0123456789", dot + 1) == l.size() - 1;
        };
        EXPECT_TRUE(std::all_of(lines.begin(), lines.end(), six));
        // Both interpolations pass through the levels themselves at every tenth value.
        for (const std::int64_t p : {1, 5, 17, 500}) {
            char expected[32];
            std::snprintf(expected, sizeof expected, "%.6f\r", static_cast<double>(Ramp(p)));
            EXPECT_EQ(lines[static_cast<std::size_t>((p - 1) * 10)], expected) << key << " " << p;
        }
    }
    // Nothing but the outputs beside them: the temporary names are gone.
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        if (e.is_regular_file()) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"kernel.txt", "linear.txt"}));
}

}  // namespace
}  // namespace murtesk::testing
