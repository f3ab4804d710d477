#include "model/band_recalc.h"

#include <algorithm>
#include <atomic>
#include <system_error>

namespace murtesk {

BandRecalcQueue::BandRecalcQueue(unsigned threads, std::int32_t sliceLength) : sliceLength_(sliceLength) {
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    workers_.reserve(threads);
    try {
        for (unsigned t = 0; t < threads; ++t) workers_.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
        // The bands go to the workers the system could start; with none, the queue cannot work.
        if (workers_.empty()) throw;
    }
}

BandRecalcQueue::~BandRecalcQueue() {
    {
        std::unique_lock lock(mutex_);
        done_.wait(lock, [this] { return pending_ == 0; });
        ending_ = true;
    }
    wake_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

void BandRecalcQueue::Start(BandRecalc& band) {
    Item item{&band, band.LCalc->LxData.context().LCalcFolder()};
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(item));
        ++pending_;
    }
    wake_.notify_one();
}

std::size_t BandRecalcQueue::Pending() const {
    std::lock_guard lock(mutex_);
    return pending_;
}

bool BandRecalcQueue::WaitUntilAtMost(std::size_t pending, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return done_.wait_for(lock, timeout, [&] { return pending_ <= pending; });
}

void BandRecalcQueue::Work() {
    for (;;) {
        Item item;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return ending_ || !queue_.empty(); });
            if (queue_.empty()) return;
            item = std::move(queue_.front());
            queue_.pop_front();
        }
        BandRecalc& band = *item.band;
        bool saved = false;
        try {
            saved = band.LCalc->ResetNewIn(item.lcalcFolder, *band.CalcScopes, *band.LevelData, band.SaveDir,
                                           sliceLength_);
        } catch (...) {
            saved = false;  // out of memory in the pass: reported as a band not saved
        }
        {
            std::lock_guard lock(mutex_);
            band.Saved = saved;
            --pending_;
        }
        done_.notify_all();
    }
}

bool ResetNewBands(std::span<BandRecalc> bands, unsigned threads, std::int32_t sliceLength) {
    if (bands.empty()) return true;
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    threads = static_cast<unsigned>(std::min<std::size_t>(threads, bands.size()));
    {
        BandRecalcQueue queue(threads, sliceLength);
        for (BandRecalc& band : bands) queue.Start(band);
    }
    return std::all_of(bands.begin(), bands.end(), [](const BandRecalc& b) { return b.Saved; });
}

void GetLEBands(std::span<BandLE> bands, unsigned threads, std::int32_t sliceLength) {
    OnCores(bands.size(), threads, [&](std::size_t i) {
        BandLE& band = bands[i];
        band.LCalc->getLEArea(*band.LevelData, band.S, band.E, band.SaveDir, band.LevelOutHz, sliceLength);
    });
}

}  // namespace murtesk
