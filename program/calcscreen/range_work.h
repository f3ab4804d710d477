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

// Statistics to recompute over lists made for the purpose, kept until the work is done. A band's
// excluded ranges may be edited first (AddEdited); the edits, the gaps and the recomputations of all
// bands run together on the cores, so a list of 100,000 ranges given to 47 bands is merged 47
// times at once rather than one band after another. A band whose statistics cannot be saved keeps
// its last ones, and Run says so.
class Recalcs {
public:
    void Add(CLCalc& calc, CScopes scopes, const CData& levelData, std::string folder) {
        jobs_.push_back({&calc,
                         nullptr,
                         {},
                         0,
                         std::move(scopes),
                         &levelData,
                         std::move(folder),
                         calc.LxData.context().LCalcFolder()});
    }
    // `edit` changes `ranges` on a worker thread: it may touch that band's lists alone, and read
    // lists no edit changes. Then, when n > 1, the band's statistics are recomputed over the gaps of
    // `ranges` within 1..n.
    void AddEdited(CScopes& ranges, std::function<void(CScopes&)> edit, std::int32_t n, CLCalc& calc,
                   const CData& levelData, std::string folder) {
        jobs_.push_back({&calc,
                         &ranges,
                         std::move(edit),
                         n,
                         {},
                         &levelData,
                         std::move(folder),
                         calc.LxData.context().LCalcFolder()});
    }
    const CScopes& LastList() const { return jobs_.back().list; }
    // True when the statistics of every band were saved.
    bool Run() {
        OnCores(jobs_.size(), 0, [this](std::size_t i) {
            Job& job = jobs_[i];
            try {
                if (job.ranges != nullptr) {
                    if (job.edit) {
                        job.edit(*job.ranges);
                    }
                    if (job.n > 1) {
                        job.saved = job.calc->ResetNewIn(job.lcalcFolder, GapPositions(*job.ranges, job.n),
                                                         *job.levelData, job.folder);
                    }
                } else {
                    job.saved = job.calc->ResetNewIn(job.lcalcFolder, job.list, *job.levelData, job.folder);
                }
            } catch (const std::bad_alloc&) {
                // No memory for the band's lists or pass: its statistics stay as they were.
                job.saved = false;
            }
        });
        return std::all_of(jobs_.begin(), jobs_.end(), [](const Job& job) { return job.saved; });
    }

private:
    struct Job {
        CLCalc* calc;
        CScopes* ranges;  // edited, then the statistics computed over their gaps
        std::function<void(CScopes&)> edit;
        std::int32_t n;
        CScopes list;  // without `ranges`: the ranges the statistics are computed over
        const CData* levelData;
        std::string folder;       // of the band's level file
        std::string lcalcFolder;  // of its histogram, read on the calling thread
        bool saved = true;
    };
    std::deque<Job> jobs_;  // stable addresses
};

}  // namespace murtesk::calc
