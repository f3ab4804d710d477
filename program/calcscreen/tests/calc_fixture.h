// A project for the calculation screen's form-model tests: a real project folder in the temporary
// folder with level files written value by value, the program's document over it, a stand-in of
// the main screen that saves the project as the main screen does, and the screen under test with
// a log of the procedures of its set-up cascade.
#pragma once

#include "frmOctCalc.h"
#include "globals.h"
#include "preserve_document.h"
#include "screens.h"
#include "time_window.h"

#include "fake_ui.h"
#include "model/band_slots.h"
#include "model/shared_procedures.h"
#include "platform/binary_file.h"
#include "platform/dates.h"
#include "platform/text_encoding.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace murtesk::testing {

namespace fs = std::filesystem;
using platform::testing::FakeUi;

inline const Date kMeasureStart = platform::DateFromParts(2023, 3, 15, 9, 0, 0);

// The level a test writes at position p (1-based) of every file: the position itself over ten.
inline float LevelAt(std::int64_t p) { return static_cast<float>(p) / 10.0f; }

// The bytes of a file; empty when it cannot be read.
inline std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The file a list of lines makes: CP932, CR LF after every line.
inline std::string FileOf(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return platform::Utf8ToCp932(text);
}

// Saves the project as the main screen does, and keeps its list of measurements.
class StandInMainScreen : public MainScreen {
public:
    explicit StandInMainScreen(platform::UiServices& ui) : MainScreen(ui, "frmMeasure") {}

    bool SaveData() override {
        ++saves;
        if (g_PreserveDoc().FileWrite(g_PreserveDoc().SaveFilePath())) {
            return true;
        }
        ui_.MsgBox("データ保存に失敗しました．");
        return false;
    }
    void EditForm() override {
        ++edits;
        list.Rows.assign(static_cast<std::size_t>(g_PreserveDoc().MeasureCount()), platform::ListRow{});
    }
    platform::ListView& MeasureList() override { return list; }

    platform::ListView list;
    int saves = 0;
    int edits = 0;
};

// The screen with each procedure of the set-up cascade written into a log as it runs.
class LoggedCalc : public frmOctCalc {
public:
    using frmOctCalc::frmOctCalc;

    std::vector<std::string> log;

    void setGraphOfForm() override {
        log.push_back("setGraphOfForm");
        frmOctCalc::setGraphOfForm();
    }
    void setFormOfCalcArea() override {
        log.push_back("setFormOfCalcArea");
        frmOctCalc::setFormOfCalcArea();
    }
    void setFormOfMarkArea() override {
        log.push_back("setFormOfMarkArea");
        frmOctCalc::setFormOfMarkArea();
    }
    void setFormOfLE() override {
        log.push_back("setFormOfLE");
        frmOctCalc::setFormOfLE();
    }
    void setFormOfGraphArea() override {
        log.push_back("setFormOfGraphArea");
        frmOctCalc::setFormOfGraphArea();
    }
    void cmbCalcL_Click() override { log.push_back("cmbCalcL_Click " + std::to_string(cmbCalcL.ListIndex)); }
    void cmbLx_Click() override { log.push_back("cmbLx_Click " + std::to_string(cmbLx.ListIndex)); }

    // The graph-axis dialog's stand-in: runs `edit` on g_ChMeasure and answers `ok`.
    std::function<void(CChMeasure&)> edit;
    bool ok = true;

    void setGraphAxisAndScroll() override {
        log.push_back("setGraphAxisAndScroll");
        frmOctCalc::setGraphAxisAndScroll();
    }

protected:
    void setGraphOfCSFFT() override { log.push_back("setGraphOfCSFFT"); }
    void setFormOfCSFFTLabel() override { log.push_back("setFormOfCSFFTLabel"); }
    void setGraphOfCalcFFT() override { log.push_back("setGraphOfCalcFFT"); }
    void setFormOfCalcFFTLabel() override { log.push_back("setFormOfCalcFFTLabel"); }
    void setFormOfCursorBandLevel() override { log.push_back("setFormOfCursorBandLevel"); }
    void ShowSetCalcGraph() override {
        log.push_back("frmSetCalcGraph");
        if (edit && g_ChMeasure) {
            edit(*g_ChMeasure);
        }
        g_bDialogOk = ok;
    }
};

// What a test's channel is made of.
struct ChannelSpec {
    std::int16_t oct1or3 = 3;
    double rate = 10.0;
    std::int64_t values = 0;        // level values written in every slot's file (0: no file)
    std::int64_t windowStart = 0;   // seconds after the measurement's start
    std::int64_t windowWidth = 60;  // seconds
    std::int16_t w = 3;             // A weighting
};

// A project folder with the program's document over it, and measurements made with level files.
class CalcProject {
public:
    explicit CalcProject(std::string name) : scratch_("calc-" + FolderTag(std::move(name))), folder(scratch_.path()) {
        g_NewDocument = [] { return std::make_unique<PreserveDocument>(); };
        g_ResetPreserve();
        g_PreserveDoc().SetSaveFilePath(ProjectPath());
    }
    ~CalcProject() {
        g_ChMeasure.reset();
        g_Preserve.reset();
    }
    CalcProject(const CalcProject&) = delete;
    CalcProject& operator=(const CalcProject&) = delete;

    static CPreserve& Records() { return static_cast<PreserveDocument&>(g_PreserveDoc()).Preserve(); }
    std::string ProjectPath() const { return (folder / "project.qvd").string(); }

    // Appends a measurement of `lengthSec` seconds with the given channels; returns its number.
    std::int32_t AddMeasure(std::int64_t lengthSec, const std::vector<ChannelSpec>& channels,
                            Date start = kMeasureStart) {
        CMeasure& m = Records().Measures.AddNew();
        const std::int32_t number = Records().Measures.count();
        m.StartTime = start;
        m.EndTime = platform::AddSeconds(start, static_cast<double>(lengthSec));
        m.MeasureCondition.Account = "measure " + std::to_string(number);
        for (std::size_t i = 0; i < channels.size(); ++i) {
            const ChannelSpec& spec = channels[i];
            CChMeasure& ch = m.ChMeasures.AddNew();
            ch.ChMeasureCondition.oct1or3 = spec.oct1or3;
            ch.ChMeasureCondition.LevelOutHz = spec.rate;
            ch.ChMeasureCondition.w = spec.w;
            ch.ChMeasureCondition.Account = "memo " + std::to_string(number) + "-" + std::to_string(i + 1);
            ch.LevelData.SaveFileName = "m" + std::to_string(number) + "_" + std::to_string(i + 1) + "ch.lvl";
            SetWindow(ch, m.StartTime, spec.windowStart, spec.windowWidth);
            const bool analysed = spec.oct1or3 == 1 || spec.oct1or3 == 3;
            for (std::int16_t s = 1; analysed && s <= (spec.oct1or3 == 3 ? 47 : 17); ++s) {
                ch.BandLCalcInfos.AddNew();
            }
            if (spec.values > 0) {
                for (const std::int16_t s : {std::int16_t{1}, std::int16_t{2}, std::int16_t{3}, std::int16_t{5}}) {
                    WriteLevels(ch, s, spec.values);
                }
            }
        }
        return number;
    }

    static void SetWindow(CChMeasure& ch, Date measureStart, std::int64_t startSec, std::int64_t widthSec) {
        murtesk::SetWindow(ch.CalcXYAxis, platform::AddSeconds(measureStart, static_cast<double>(startSec)), widthSec);
        ch.CalcXYAxis.YAxisMin = 0.0;
        ch.CalcXYAxis.YAxisMax = 120.0;
    }

    // Writes n values level(1..n) as the channel's level file of `slot`.
    void WriteLevels(const CChMeasure& ch, std::int16_t slot, std::int64_t n, float (*level)(std::int64_t) = LevelAt) {
        const std::string dir = GetBandFolder(ProjectPath(), ch.ChMeasureCondition.oct1or3, slot);
        fs::create_directories(dir);
        std::vector<float> values(static_cast<std::size_t>(n));
        for (std::int64_t p = 1; p <= n; ++p) {
            values[static_cast<std::size_t>(p - 1)] = level(p);
        }
        std::ofstream out(*ch.LevelData.PathIn(dir), std::ios::binary);
        out.write(reinterpret_cast<const char*>(values.data()), static_cast<std::streamsize>(values.size() * 4));
    }

    static CChMeasure& Channel(std::int32_t measure, std::int32_t channel) {
        return Records().Measures.Item(measure).ChMeasures.Item(channel);
    }

private:
    // A parameterised test's name holds a "/", which cannot be part of a folder's name.
    static std::string FolderTag(std::string name) {
        std::replace(name.begin(), name.end(), '/', '-');
        return name;
    }
    test_support::ScratchFolder scratch_;

public:
    fs::path folder;
};

// The screen over a project, with the fake services and the stand-in main screen.
template <class Screen>
class ScreenTest : public ::testing::Test, public CalcProject {
protected:
    ScreenTest() : CalcProject(::testing::UnitTest::GetInstance()->current_test_info()->name()) {
        platform::SetWriteLimitForTests(-1);
        g_frmMeasure = &main;
        g_frmOctCalc = &calc;
        g_SaveTime = {5, 6};
        ui.Load(main);
        ui.Load(calc);
    }

    ~ScreenTest() override {
        platform::SetWriteLimitForTests(-1);
        g_frmMeasure = nullptr;
        g_frmOctCalc = nullptr;
    }

    void Show(std::int32_t measure) {
        main.m_MeasureIndex = measure;
        calc.setForm(measure);
    }

    void ChooseChannel(int listIndex) {
        calc.cmbCh.ListIndex = listIndex;
        calc.cmbCh_Click();
    }

    void ChooseBand(std::int16_t slot) {
        calc.cmbGraphBand.ListIndex = slot - 1;
        calc.cmbGraphBand_Click();
    }

    FakeUi ui;
    StandInMainScreen main{ui};
    Screen calc{ui};
};

// The screen with its set-up cascade logged and the band displays left out.
using CalcScreenTest = ScreenTest<LoggedCalc>;

}  // namespace murtesk::testing
