// libMurtesk.so loaded by its file name from the executable's folder, as the program loads it, with every
// export called through the loader.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "dynamic_library.h"
#include "exported_symbols.h"
#include "murtesk_analysis.h"
#include "recordings.h"
#include "temp_folder.h"
#include "test_window.h"

namespace murtesk::analysis {
namespace {

using platform::DynamicLibrary;
using platform::LibraryFunction;
using testing::TempFolder;
using testing::TestWindow;

TEST(Exports, EveryExportAnswersThroughTheLoader)
{
    DynamicLibrary lib("libMurtesk.so");
    TempFolder folder;
    TestWindow window;

    LibraryFunction<decltype(fnMurtesk)> fn(lib, "fnMurtesk", 0);
    EXPECT_EQ(fn(), 42);
    const auto* n = static_cast<const int32_t*>(lib.symbol("nMurtesk"));
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(*n, 0);

    // The probe of a calibration file: a 1 kHz tone of known peak.
    samples::CalibrationOptions cal;
    cal.rate = 8000;
    cal.seconds = 5.0;
    cal.amplitude = 0.5;
    const std::string calPath = folder.file("cal.wav");
    ASSERT_TRUE(samples::writeCalibration(calPath, cal));
    LibraryFunction<decltype(CALReadOfWAV)> calRead(lib, "CALReadOfWAV", 0);
    int32_t channels = 0, rate = 0, bits = 0, format = 0, frames = 0;
    std::vector<double> maxima(100), minima(100);
    ASSERT_EQ(calRead(calPath.c_str(), &channels, &rate, &bits, maxima.data(), minima.data(), &format, &frames), 1);
    EXPECT_EQ(channels, 1);
    EXPECT_EQ(rate, 8000);
    EXPECT_EQ(bits, 16);
    EXPECT_EQ(format, 1);
    EXPECT_EQ(frames, 40000);
    EXPECT_EQ(maxima[0], 16384);  // sin reaches ±1 at a quarter of each 8-sample period
    EXPECT_EQ(minima[0], -16384);
    EXPECT_EQ(calRead("", &channels, &rate, &bits, maxima.data(), minima.data(), &format, &frames), 0);
    EXPECT_EQ(calRead(calPath.c_str(), nullptr, &rate, &bits, maxima.data(), minima.data(), &format, &frames), 0);

    LibraryFunction<decltype(ReadPreOfWAV)> readPre(lib, "ReadPreOfWAV", 0);
    LibraryFunction<decltype(SetCalcConditionOfWAV)> setCalc(lib, "SetCalcConditionOfWAV", 0);
    LibraryFunction<decltype(SetFileOutPathOfWAV)> setPath(lib, "SetFileOutPathOfWAV", 0);
    LibraryFunction<decltype(ReadStartOfWAV)> readStart(lib, "ReadStartOfWAV", 0);
    LibraryFunction<decltype(DoStopOfWAV)> doStop(lib, "DoStopOfWAV", 0);
    LibraryFunction<decltype(GethStatusOfWAV)> status(lib, "GethStatusOfWAV", int16_t{-9811});
    LibraryFunction<decltype(GetFileOutOrderOfWAV)> order(lib, "GetFileOutOrderOfWAV", -1);
    LibraryFunction<decltype(SethWndOfWAV)> setWindow(lib, "SethWndOfWAV", 0);

    // CALReadOfWAV left an idle one-channel engine behind.
    EXPECT_EQ(status(), 0);
    ASSERT_EQ(readPre(1, 8000.0, 8000, nullptr), 1);
    ASSERT_EQ(setCalc(0, window.handle(), 3, 3, 0.125, 10.0, nullptr, 94.0, 11585.2, 0.0, 20000.0), 1);
    for (int o = 0; o < 47; ++o)
        ASSERT_EQ(setPath(0, o, folder.file("out" + std::to_string(o) + ".lvl").c_str()), 1);
    EXPECT_EQ(setPath(0, 47, folder.file("x.lvl").c_str()), 0);
    ASSERT_EQ(setWindow(window.handle()), 1);
    ASSERT_EQ(readStart(calPath.c_str()), 1);
    ASSERT_TRUE(window.pumpUntilFinal());
    EXPECT_EQ(window.statuses(), (std::vector<int>{300, 300, 300, 300, 300, 9899}));
    EXPECT_EQ(status(), 9899);
    EXPECT_EQ(order(0), 5);
    EXPECT_EQ(order(1), 0);
    EXPECT_EQ(doStop(), 1);
    EXPECT_EQ(std::filesystem::file_size(folder.file("out0.lvl")), 50 * sizeof(float));

    // The separation, cutting, merging and resampling exports (what they do is tested with their code).
    LibraryFunction<decltype(StartSeparateChWaveFile)> startSeparate(lib, "StartSeparateChWaveFile", 0);
    LibraryFunction<decltype(SeparateChWaveFile)> separate(lib, "SeparateChWaveFile", 0);
    LibraryFunction<decltype(CreateBigMonoWave)> cut(lib, "CreateBigMonoWave", 0);
    LibraryFunction<decltype(MergeMonoWave)> merge(lib, "MergeMonoWave", 0);
    LibraryFunction<decltype(ChgHz)> chgHz(lib, "ChgHz", 0);
    EXPECT_EQ(startSeparate(window.handle(), nullptr, "ALL.Wav", folder.file("").c_str()), 0);
    EXPECT_EQ(separate(folder.file("no-such.wav").c_str(), folder.file("ALL").c_str()), 0);
    EXPECT_EQ(separate(calPath.c_str(), folder.file("ALL").c_str()), 1);
    EXPECT_EQ(std::filesystem::file_size(folder.file("ALLcal_0ch.wav")), 44u + 5 * 16000);
    const std::string cutPath = folder.file("cut.wav");
    EXPECT_EQ(cut(cutPath.c_str(), 12, 1, 100, 1, 1, 8000, calPath.c_str()), 0);
    EXPECT_EQ(cut(cutPath.c_str(), 16, 1, 100, 1, 1, 8000, calPath.c_str()), 1);
    EXPECT_EQ(merge(folder.file("m.wav").c_str(), 16, 1, 100, 1, 8000, nullptr), 0);
    const char* list[] = {cutPath.c_str(), cutPath.c_str(), nullptr};
    EXPECT_EQ(merge(folder.file("m.wav").c_str(), 16, 1, 100, 2, 8000, list), 1);
    EXPECT_EQ(std::filesystem::file_size(folder.file("m.wav")), 44u + 400);
    const double series[] = {1.0, 2.0};
    EXPECT_EQ(chgHz(folder.file("no-such-folder/x.txt").c_str(), series, 2, 10.0, 100.0, 1), 0);
    EXPECT_EQ(chgHz(folder.file("levels.txt").c_str(), series, 2, 10.0, 20.0, 1), 1);
    EXPECT_EQ(std::filesystem::file_size(folder.file("levels.txt")), 4u * 10);  // "1.500000" and CR LF
    EXPECT_TRUE(window.statuses().size() == 6u);
}

TEST(Exports, OnlyTheExportsAreVisible)
{
    const auto path = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "libMurtesk.so";
    EXPECT_EQ(elf::ExportedSymbols(path.string()),
              (std::set<std::string>{"CALReadOfWAV", "ChgHz", "CreateBigMonoWave", "DoStopOfWAV",
                                     "GetFileOutOrderOfWAV", "GethStatusOfWAV", "MergeMonoWave", "ReadPreOfWAV",
                                     "ReadStartOfWAV", "SeparateChWaveFile", "SetCalcConditionOfWAV",
                                     "SetFileOutPathOfWAV", "SethWndOfWAV", "StartSeparateChWaveFile", "fnMurtesk",
                                     "nMurtesk"}));
}

}  // namespace
}  // namespace murtesk::analysis
