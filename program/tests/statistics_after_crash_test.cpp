// Two range edits on the calculation screen and the save at "戻る", ended as a crash would end them at
// every change they make to the file system: a forked child runs them and dies (_exit) just before
// its k-th rename, link or deletion, or just after its k-th exclusive creation of a file, for k = 1, 2, …
// until a child gets to the end. After each, the
// project opened again shows for every band the statistics of the ranges its project file holds,
// computed here from the level files; a run that got to the end leaves no histogram file its project
// does not name, and after any run the next program that takes the project leaves none either.
#include "frmMeasure.h"
#include "frmOctCalc.h"
#include "import_recordings.h"
#include "mainscreen_fixture.h"

#include "model/shared_procedures.h"
#include "model/testing/level_oracle.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <fstream>
#include <set>

namespace {

// The change the child dies before (0: none) and the changes counted so far.
std::atomic<int> g_dieAt{0};
std::atomic<int> g_changes{0};
constexpr int kDied = 86;
// Where the child notes the name of the file it was to delete when it died.
std::string g_diedNote;

// `deleting`: the file a deletion is about to delete.
void BeforeChange(const char* deleting = nullptr) {
    if (g_dieAt.load() > 0 && ++g_changes == g_dieAt.load()) {
        if (deleting != nullptr) {
            const std::string name = std::filesystem::path(deleting).filename().string();
            const int fd = ::open(g_diedNote.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
            if (fd < 0 || ::write(fd, name.data(), name.size()) != static_cast<ssize_t>(name.size())) _exit(5);
            ::close(fd);
        }
        _exit(kDied);
    }
}

// Just after a file was made by an exclusive create: the moment before its maker can note it anywhere.
void AfterCreation(int fd, int flags) {
    if (fd >= 0 && (flags & O_CREAT) != 0 && (flags & O_EXCL) != 0 && g_dieAt.load() > 0 &&
        ++g_changes == g_dieAt.load())
        _exit(kDied);
}

template <class F>
F Next(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

}  // namespace

// Every way the program and the C++ library rename, link, delete or exclusively create a file.
extern "C" {
int open(const char* path, int flags, ...) {
    mode_t mode = 0;
    if ((flags & O_CREAT) != 0) {
        va_list args;
        va_start(args, flags);
        mode = static_cast<mode_t>(va_arg(args, int));
        va_end(args);
    }
    const int fd = Next<int (*)(const char*, int, ...)>("open")(path, flags, mode);
    AfterCreation(fd, flags);
    return fd;
}
int rename(const char* from, const char* to) {
    BeforeChange();
    return Next<int (*)(const char*, const char*)>("rename")(from, to);
}
int renameat(int fromDir, const char* from, int toDir, const char* to) {
    BeforeChange();
    return Next<int (*)(int, const char*, int, const char*)>("renameat")(fromDir, from, toDir, to);
}
int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) {
    BeforeChange();
    return Next<int (*)(int, const char*, int, const char*, unsigned)>("renameat2")(fromDir, from, toDir, to, flags);
}
int link(const char* from, const char* to) {
    BeforeChange();
    return Next<int (*)(const char*, const char*)>("link")(from, to);
}
int unlink(const char* path) {
    BeforeChange(path);
    return Next<int (*)(const char*)>("unlink")(path);
}
int unlinkat(int dir, const char* path, int flags) {
    BeforeChange(path);
    return Next<int (*)(int, const char*, int)>("unlinkat")(dir, path, flags);
}
int remove(const char* path) {
    BeforeChange(path);
    return Next<int (*)(const char*)>("remove")(path);
}
}

namespace murtesk::testing {
namespace {

class StatisticsAfterCrash : public MainScreenTest {
protected:
    StatisticsAfterCrash() {
        g_NewDocument = [] { return std::make_unique<PreserveDocument>(); };
        g_NewCalcScreen = [](platform::UiServices& u) { return std::make_unique<frmOctCalc>(u); };
    }
    frmOctCalc& Calc() { return static_cast<frmOctCalc&>(*forms.octCalc); }

    // In a child: opens the project, excludes seconds 1 to 3 of every band of channel 1 as a drag does,
    // twice (the second writes again the histograms the first wrote), and returns to the main screen,
    // dying at change `dieAt`. How the child ended.
    int EditInChild(const std::string& project, int dieAt) {
        std::fflush(nullptr);
        const pid_t pid = fork();
        if (pid == 0) {
            std::string path = project;
            g_diedNote = (fs::path(project).parent_path() / "died-deleting").string();
            if (!Main().OpenProject(path)) _exit(2);
            Main().ListView1.SelectedIndex = 0;
            Main().cmdOK_Click();
            if (!Calc().Visible) _exit(3);
            const double rate = Calc().Shown().channel->ChMeasureCondition.LevelOutHz;
            Calc().optMouseAction.Select(0);
            Calc().optAreaBand.Select(0);
            g_dieAt = dieAt;
            Calc().DoMouseAction(static_cast<std::int32_t>(rate) + 1, static_cast<std::int32_t>(3 * rate));
            Calc().DoMouseAction(static_cast<std::int32_t>(rate) + 1, static_cast<std::int32_t>(3 * rate));
            Calc().cmdREC_Click();
            g_dieAt = 0;
            _exit(Main().Visible && ui.Messages().empty() ? 0 : 4);
        }
        int status = 0;
        EXPECT_EQ(waitpid(pid, &status, 0), pid);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

// The files of the statistics folder of `project` that its project file does not name.
std::vector<std::string> Unnamed(const std::string& project) {
    StatsContext context([&] { return project; }, [] { return 45400.0; });
    CPreserve saved(context);
    if (!saved.FileRead(project)) return {"(the project file cannot be read)"};
    const std::vector<std::string> names = saved.HistogramFileNames();
    const std::set<std::string> named(names.begin(), names.end());
    std::vector<std::string> unnamed;
    for (const auto& entry : fs::directory_iterator(GetLCalcFolder(project))) {
        if (!named.contains(entry.path().filename())) unnamed.push_back(entry.path().filename());
    }
    return unnamed;
}

// The statistics a band shows against those of its level file over the gaps of its saved excluded ranges.
void ExpectStatisticsOfSavedRanges(const std::string& project, int k) {
    StatsContext context([&] { return project; }, [] { return 45400.0; });
    CPreserve saved(context);
    ASSERT_TRUE(saved.FileRead(project)) << k;
    const CChMeasure& ch = saved.Measures.Item(1).ChMeasures.Item(1);
    for (std::int16_t slot = 1; slot <= ch.BandLCalcInfos.count(); ++slot) {
        const std::vector<float> levels =
            ReadFloats(*ch.LevelData.PathIn(GetBandFolder(project, ch.ChMeasureCondition.oct1or3, slot)));
        const CBandLCalcInfo& band = ch.BandLCalcInfos.Item(slot);
        std::vector<bool> excluded(levels.size() + 1, false);
        for (const auto& range : band.Scopes) {
            const auto last =
                std::min<std::int64_t>(*ScopePosition(range->E), static_cast<std::int64_t>(levels.size()));
            for (std::int64_t p = std::max<std::int64_t>(*ScopePosition(range->S), 1); p <= last; ++p) {
                excluded[static_cast<std::size_t>(p)] = true;
            }
        }
        std::vector<std::pair<std::int64_t, float>> kept;
        for (std::size_t p = 1; p <= levels.size(); ++p) {
            if (!excluded[p]) kept.emplace_back(static_cast<std::int64_t>(p), levels[p - 1]);
        }
        const OracleStats expected = Oracle(kept, ch.ChMeasureCondition.LevelOutHz);
        const CLCalc& shown = band.LCalc;
        SCOPED_TRACE("died at change " + std::to_string(k) + ", slot " + std::to_string(slot));
        EXPECT_EQ(shown.getNum(), expected.count);
        // 1e-6 dB: the engine sums the energy in another order.
        EXPECT_NEAR(shown.getLeq(), expected.leq, 1e-6);
        for (const int x : {5, 10, 50, 90, 95}) EXPECT_DOUBLE_EQ(shown.getLx(x), expected.Lx(x)) << "L" << x;
    }
}

TEST_F(StatisticsAfterCrash, EveryBandShowsTheStatisticsOfItsSavedRangesWhereverTheEditDied) {
    const std::string pristine = Data("road.qvd");
    PreserveDocument empty;
    empty.SetSaveFilePath(pristine);
    ASSERT_TRUE(empty.FileWrite(pristine));
    Start({pristine});
    ImportRecordings(ui, (home / "data").string(), {4.0});
    ASSERT_EQ(OpenPreserve()->Measures.count(), 1);
    ASSERT_TRUE(Main().SaveData());

    bool ended = false;
    for (int k = 1; k <= 200 && !ended; ++k) {
        const fs::path run = home / ("run" + std::to_string(k));
        fs::copy(home / "data", run, fs::copy_options::recursive);
        const std::string project = (run / "road.qvd").string();
        const int end = EditInChild(project, k);
        ASSERT_TRUE(end == 0 || end == kDied) << "child ended with " << end << " at change " << k;
        ended = end == 0;
        ExpectStatisticsOfSavedRanges(project, k);
        if (ended) {
            StatsContext context([&] { return project; }, [] { return 45400.0; });
            CPreserve saved(context);
            ASSERT_TRUE(saved.FileRead(project));
            EXPECT_EQ(saved.Measures.Item(1).ChMeasures.Item(1).BandLCalcInfos.Item(1).Scopes.count(), 1);
            // No histogram file is left that the project does not name (the statistics over whole
            // series name files that are never written), nor a record of any.
            EXPECT_EQ(Unnamed(project), std::vector<std::string>{});
            EXPECT_FALSE(fs::exists(project + ".pending"));
            EXPECT_GT(k, 34);  // a change per band at the second edit and per file let go at the save
        }
        // The next program to take the project deletes what the dead one left of its own, and only that:
        // a file the dead one no longer listed because it was deleting it stays.
        const std::string other = "99-1-1-0_0_0_1.ldt";
        std::ofstream(run / "LCalc" / other) << "another project's";
        std::set<std::string> left{other};
        std::ifstream note(run / "died-deleting");
        for (std::string deleting; std::getline(note, deleting);) {
            if (fs::exists(run / "LCalc" / deleting)) left.insert(deleting);
        }
        std::string path = project;
        ASSERT_TRUE(Main().OpenProject(path)) << k;
        const std::vector<std::string> unnamed = Unnamed(project);
        EXPECT_EQ(std::set<std::string>(unnamed.begin(), unnamed.end()), left) << "died at change " << k;
        EXPECT_FALSE(fs::exists(project + ".pending")) << k;
        fs::remove_all(run);
    }
    EXPECT_TRUE(ended);
}

}  // namespace
}  // namespace murtesk::testing
