// A program run for the long-job tests: the program's own document over a project built in a
// scratch folder (measurements with level files in the band folders and their statistics), the
// fake services, start-up through Main, and helpers to run a job, to cancel it at a test point
// and to compute expected statistics straight from the level values.
#pragma once

#include "MainSub.h"
#include "fake_ui.h"
#include "frmLongJob.h"
#include "frmMeasure.h"
#include "globals.h"
#include "preserve_document.h"

#include "model/band_slots.h"
#include "model/preserve.h"
#include "platform/atomic_file.h"
#include "platform/dates.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace murtesk::testing {

namespace fs = std::filesystem;

// One channel of a measurement the tests build.
struct ChannelSpec {
    std::int16_t mode = 1;  // oct1or3
    std::int32_t values = 120;
    double rate = 10.0;
    std::int32_t bands = -1;  // band records; -1: one per slot
};

// Statistics computed in the test from the values themselves.
struct Expected {
    std::int64_t n = 0;
    double leq = -60.0;
    double lmax = -60.0;
};

inline Expected ExpectedOf(const std::vector<float>& values) {
    Expected e;
    double energy = 0.0;
    for (float v : values) {
        energy += std::pow(10.0, v / 10.0);
        e.lmax = std::max<double>(e.lmax, v);
    }
    e.n = static_cast<std::int64_t>(values.size());
    e.leq = values.empty() ? -60.0 : 10.0 * std::log10(energy / static_cast<double>(values.size()));
    return e;
}

// The ranges of a list as (S, E) pairs of numbers.
inline std::vector<std::pair<double, double>> RangesOf(const CScopes& scopes) {
    std::vector<std::pair<double, double>> out;
    for (const auto& r : scopes) {
        out.emplace_back(r->S.AsDouble(), r->E.AsDouble());
    }
    return out;
}

class JobsTest : public ::testing::Test {
protected:
    JobsTest() {
        fs::create_directories(home / "data");
        setenv("MURTESK_HOME", home.c_str(), 1);
        project = (home / "data" / "p.qvd").string();
        g_NewDocument = [] { return std::make_unique<PreserveDocument>(); };
        g_NewCalcScreen = {};
        g_Preserve.reset();
        g_CommandLine.clear();
        platform::SetWriteLimitForTests(-1);
        draft.SaveFilePath = project;
    }

    ~JobsTest() override {
        platform::SetWriteLimitForTests(-1);
        unsetenv("MURTESK_HOME");
        g_Preserve.reset();
        g_frmMeasure = nullptr;
        g_ChMeasure.reset();
    }

    // The level at position p (1-based) of slot k of channel c of measurement i: on a 0.1 dB grid
    // from 40 to 69.9 dB, different for every band.
    static float Level(int i, int c, int k, std::int64_t p) {
        return 40.0f + static_cast<float>((p * 37 + k * 11 + c * 5 + i * 3) % 300) / 10.0f;
    }
    static std::vector<float> Levels(int i, int c, int k, std::int32_t count) {
        std::vector<float> v;
        for (std::int64_t p = 1; p <= count; ++p) {
            v.push_back(Level(i, c, k, p));
        }
        return v;
    }
    // The values of a series inside 1-based inclusive ranges.
    static std::vector<float> Inside(const std::vector<float>& all, const std::vector<std::pair<int, int>>& ranges) {
        std::vector<float> v;
        for (const auto& [s, e] : ranges) {
            for (int p = s; p <= e && p <= static_cast<int>(all.size()); ++p) {
                v.push_back(all[static_cast<std::size_t>(p - 1)]);
            }
        }
        return v;
    }

    static void WriteFloats(const std::string& folder, const std::string& name, const std::vector<float>& values) {
        fs::create_directories(folder);
        std::ofstream out(fs::path(folder) / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(values.data()), static_cast<std::streamsize>(values.size() * 4));
    }
    static std::string Bytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // A measurement of the draft project with level files for every band record and statistics
    // over the whole series.
    CMeasure& AddMeasure(const std::vector<ChannelSpec>& channels) {
        CMeasure& m = draft.Measures.AddNew();
        const int i = draft.Measures.count();
        m.StartTime = 45000.5 + i;
        m.MeasureCondition.Account = "rec" + std::to_string(i) + ".wav";
        for (std::size_t ci = 0; ci < channels.size(); ++ci) {
            const ChannelSpec& spec = channels[ci];
            const int c = static_cast<int>(ci) + 1;
            CChMeasure& ch = m.ChMeasures.AddNew();
            ch.ChMeasureCondition.oct1or3 = spec.mode;
            ch.ChMeasureCondition.LevelOutHz = spec.rate;
            ch.LevelData.SaveFileName = "m" + std::to_string(i) + "c" + std::to_string(c) + ".lvl";
            const int slots = spec.bands >= 0 ? spec.bands : std::max<int>(SlotCount(spec.mode), 17);
            for (int k = 1; k <= slots; ++k) {
                CBandLCalcInfo& band = ch.BandLCalcInfos.AddNew();
                const std::string folder = draft.BandFolder(spec.mode == 3 ? 3 : 1, static_cast<std::int16_t>(k));
                WriteFloats(folder, ch.LevelData.SaveFileName, Levels(i, c, k, spec.values));
                CScopes whole;
                whole.Add(CScope(std::int32_t{1}, spec.values));
                band.AllLCalc.resetNew(whole, ch.LevelData, folder);
                band.LCalc.resetNew(whole, ch.LevelData, folder);
            }
        }
        return m;
    }

    // Writes the draft project and starts the program on it.
    void Start() {
        ASSERT_TRUE(draft.FileWrite(project));
        g_CommandLine = {project};
        murtesk::Main(ui, forms);
        ui.RunPendingActivations();
        ASSERT_FALSE(g_bStartSelect);
        // Test points only where the job has them, each letting events run.
        Main().m_JobSettings.testInterval = std::chrono::hours(1);
        Main().m_JobSettings.pumpInterval = std::chrono::milliseconds(0);
        ui.ClearTranscript();
    }

    CPreserve& Doc() { return *OpenPreserve(); }
    frmMeasure& Main() { return *forms.measure; }
    CChMeasure& Channel(int i, int c) { return Doc().Measures.Item(i).ChMeasures.Item(c); }
    CBandLCalcInfo& Band(int i, int c, int k) { return Channel(i, c).BandLCalcInfos.Item(k); }
    std::string BandFolder(int i, int c, int k) {
        return Doc().BandFolder(Channel(i, c).ChMeasureCondition.oct1or3, static_cast<std::int16_t>(k));
    }

    // The long-job windows of the next n jobs are activated (their jobs run).
    void RunJobs(int n = 1) {
        for (int j = 0; j < n; ++j) {
            ui.OnModal("frmLongJob", [](platform::Form&) {});
        }
    }
    // Cancel is clicked when the job reaches test point k (1-based; the window's first showing
    // lets events run once before the job starts).
    void CancelAtTestPoint(int k) {
        ui.OnDoEvents([this, k] {
            if (++pumps == k + 1 && g_frmLongJob != nullptr) {
                static_cast<frmLongJob*>(g_frmLongJob)->cmdCancel_Click();
            }
        });
    }

    test_support::ScratchFolder scratch_{"jobs"};
    fs::path home = scratch_.path();
    std::string project;
    // The project as the test builds it, with its own clock so its histogram names never meet the
    // program's.
    StatsContext draftContext{[this] { return project; }, [] { return 43831.25; }};
    CPreserve draft{draftContext};
    platform::testing::FakeUi ui;
    ProgramForms forms;
    int pumps = 0;
};

}  // namespace murtesk::testing
