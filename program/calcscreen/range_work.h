// What the range commands of the calculation screen share: new ranges, the gaps of a list, the
// busy pointer for the life of a command (platform::BusyPointer), and statistics recomputed together
// on the cores.
#pragma once

#include "model/band_recalc.h"
#include "model/scopes.h"
#include "ui_services.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace murtesk::calc {

using Busy = platform::BusyPointer;

inline std::shared_ptr<CScope> NewRange(std::int32_t S, std::int32_t E) {
    return std::make_shared<CScope>(Variant(S), Variant(E));
}

// The gaps of a list within 1..n.
inline CScopes GapsWithin(const CScopes& list, std::int32_t n) {
    return list.getReverse(Variant(std::int32_t{1}), Variant(n));
}

// Told once per command when statistics could not be saved (a read-only project): the bands keep
// the statistics they had.
inline constexpr const char* kStatisticsNotSaved =
    "統計データを保存できませんでした．\r\n表示は前回保存した統計値のままです．";

// Tells the user once when a command's statistics were not all saved.
inline void TellIfNotSaved(platform::UiServices& ui, bool saved) {
    if (!saved) ui.MsgBox(kStatisticsNotSaved, platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
}

// Appends copies of the ranges of each `from` to its list and merges each once: on the cores, as a
// list of 10,000 marks may go to 7 × 47 bands. A list there is no memory for stays as it was.
inline void AppendAndMerge(const std::vector<std::pair<CScopes*, const CScopes*>>& lists) {
    OnCores(lists.size(), 0, [&](std::size_t i) {
        try {
            lists[i].first->AppendMerged(*lists[i].second);
        } catch (const std::bad_alloc&) {
        }
    });
}

// An edit of the excluded ranges of many bands with the statistics that hang on them, done whole or
// not at all. Each band's list is edited as a copy and its statistics are computed into a new object
// with a new histogram file; only once every band's statistics were saved do the lists and the
// statistics all take their new values. When one band cannot be saved (a full disk, no memory),
// every band keeps the list and the statistics it had and the files written for the edit go, so the
// project never holds ranges beside statistics of other ranges. The edits, the gaps and the
// recomputations of all bands run together on the cores: a list of 100,000 ranges given to 47 bands
// is merged 47 times at once rather than one band after another.
class Recalcs {
public:
    // `edit` makes the new excluded ranges of a band from its list `ranges` on a worker thread; it may
    // read any list (none changes before the end of Run). An empty `edit` leaves the list as it is.
    // Then, when n > 1, the band's statistics `calc` are recomputed over the gaps of the new list
    // within 1..n. A band whose level file is gone (n < 1) while its statistics counted values keeps
    // its list: those statistics cannot follow another.
    using Edit = std::function<CScopes(const CScopes&)>;
    void AddEdited(CScopes& ranges, Edit edit, std::int32_t n, CLCalc& calc,
                   const CData& levelData, std::string folder) {
        if (n < 1 && calc.Counted()) edit = {};
        jobs_.push_back({&ranges, std::move(edit), n, &calc, &levelData, std::move(folder), {}, {}, {}, true});
    }
    // True when the statistics of every band were saved and every band took its new list; false when
    // nothing changed.
    bool Run() {
        // Names and the histogram folder are taken on this thread.
        for (Job& job : jobs_) {
            job.lcalcFolder = job.calc->LxData.context().LCalcFolder();
            if (job.n > 1) job.result.emplace(job.calc->LxData.context());
        }
        OnCores(jobs_.size(), 0, [this](std::size_t i) {
            Job& job = jobs_[i];
            try {
                if (job.edit) job.edited = job.edit(*job.ranges);
                if (job.result) {
                    const CScopes& list = job.edit ? job.edited : *job.ranges;
                    job.saved = job.result->ResetNewIn(job.lcalcFolder, GapPositions(list, job.n), *job.levelData,
                                                       job.folder);
                }
            } catch (const std::bad_alloc&) {
                job.saved = false;
            }
        });
        const bool all = std::all_of(jobs_.begin(), jobs_.end(), [](const Job& job) { return job.saved; });
        for (Job& job : jobs_) {
            if (!all) {
                // Only a file this edit wrote goes: an unsaved result may name another run's file.
                if (job.result && job.saved) job.result->DeleteFile();
                continue;
            }
            if (job.edit) *job.ranges = std::move(job.edited);
            if (job.result) {
                job.calc->DeleteFile();
                *job.calc = std::move(*job.result);
            }
        }
        jobs_.clear();
        return all;
    }

private:
    struct Job {
        CScopes* ranges;
        Edit edit;
        std::int32_t n;
        CLCalc* calc;
        const CData* levelData;
        std::string folder;       // of the band's level file
        std::string lcalcFolder;  // of its histogram
        CScopes edited;           // the new list made by edit
        std::optional<CLCalc> result;
        bool saved;
    };
    std::deque<Job> jobs_;  // stable addresses
};

}  // namespace murtesk::calc
