// A program run for form-model tests: a scratch program folder, the fake services, the fake
// document and a stand-in for the calculation screen, start-up through Main, and helpers to
// script the first-run window.
#pragma once

#include "MainSub.h"
#include "fake_document.h"
#include "fake_ui.h"
#include "frmFirstSelect.h"
#include "frmMeasure.h"
#include "globals.h"
#include "preserve_document.h"
#include "screens.h"
#include "platform/binary_file.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace murtesk::testing {

namespace fs = std::filesystem;

// The calculation screen as the main screen reaches it: it keeps the measurement it was handed.
class FakeCalcScreen : public CalcScreen {
public:
    explicit FakeCalcScreen(platform::UiServices& ui) : CalcScreen(ui, "frmOctCalc") {}
    void setForm(std::int32_t& MeasureIndex) override { shown_ = MeasureIndex; }
    std::int32_t ShownMeasureIndex() const { return shown_; }

private:
    std::int32_t shown_ = 0;
};

class MainScreenTest : public ::testing::Test {
protected:
    MainScreenTest()
    {
        fs::create_directories(home / "data");
        setenv("MURTESK_HOME", home.c_str(), 1);
        g_NewDocument = [this] { return std::make_unique<FakeDocument>(AppFile("DefaultQVD.qvd")); };
        g_NewCalcScreen = [](platform::UiServices& u) { return std::make_unique<FakeCalcScreen>(u); };
        g_Preserve.reset();
        g_CommandLine.clear();
        g_SelFileName.clear();
        g_bStartSelect = true;
        g_bProjectReadOnly = false;
        g_SelectNo = -1;
        ProgramStatsContext().g_LdtFileNo = 99;
        g_WaveOutDevice = 0;
        platform::SetWriteLimitForTests(-1);
    }

    ~MainScreenTest() override
    {
        platform::SetWriteLimitForTests(-1);
        unsetenv("MURTESK_HOME");
        g_Preserve.reset();
        g_frmMeasure = nullptr;
        g_frmOctCalc = nullptr;
        g_NewCalcScreen = {};
    }

    // Every write to disk fails from now on (as on a full disk), or works again.
    static void FailWrites(bool fail) { platform::SetWriteLimitForTests(fail ? 0 : -1); }

    std::string Data(const std::string& name) const { return (home / "data" / name).string(); }

    // A project file of n measurements with the given memo, channel tag "file".
    std::string WriteProject(const std::string& name, int n, const std::string& memo = "project memo")
    {
        FakeDocument d(Data(name));
        d.memo = memo;
        for (int i = 1; i <= n; ++i) {
            d.measures.push_back({"rec" + std::to_string(i) + ".wav", "2024/05/0" + std::to_string(i) + " 10:00:00",
                                  "ch1 note " + std::to_string(i), "condition " + std::to_string(i)});
        }
        EXPECT_TRUE(d.FileWrite(Data(name)));
        return Data(name);
    }

    static std::string Bytes(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    FakeDocument& Doc() { return static_cast<FakeDocument&>(g_PreserveDoc()); }
    frmMeasure& Main() { return *forms.measure; }

    // The next first-run window answers with this button (1 new, 2 open, 0 end).
    void Choose(int button)
    {
        ui.OnModal("frmFirstSelect", [button](platform::Form& f) {
            auto& w = static_cast<frmFirstSelect&>(f);
            if (button == 1) {
                w.cmdNew_Click();
            } else if (button == 2) {
                w.cmdOpen_Click();
            } else {
                w.cmdEnd_Click();
            }
        });
    }

    // Start-up and the main screen's first activation.
    void Start(std::vector<std::string> args = {})
    {
        g_CommandLine = std::move(args);
        murtesk::Main(ui, forms);
        ui.RunPendingActivations();
    }

    // Start-up straight into an open project of n measurements.
    std::string StartWith(const std::string& name, int n)
    {
        const std::string project = WriteProject(name, n);
        Start({project});
        EXPECT_FALSE(g_bStartSelect);
        ui.ClearTranscript();
        return project;
    }

    int Count(const std::string& event) const
    {
        int n = 0;
        for (const auto& e : ui.Events()) {
            n += e == event ? 1 : 0;
        }
        return n;
    }

    test_support::ScratchFolder scratch_{"mainscreen"};
    fs::path home = scratch_.path();
    platform::testing::FakeUi ui;
    ProgramForms forms;
};

}  // namespace murtesk::testing
