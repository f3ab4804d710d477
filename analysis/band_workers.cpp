#include "band_workers.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <system_error>

#if defined(__linux__)
#include <sched.h>
#endif

namespace murtesk::analysis {

namespace {

// What waking a sleeping helper costs the process, about (the wake-up, the helper's start on a processor, its
// going back to sleep): ready work shorter than this waits for a thread that is awake.
constexpr double kWakeNs = 50e3;
// The work left in the blocks in flight per thread, from which one more thread is woken.
constexpr double kShareNs = 4 * kWakeNs;
// Helpers from which the calling thread leaves the filtering to them.
constexpr int kHelpersThatFilterAlone = 2;
// What a task's run is taken to cost before it has run once: worth a helper.
constexpr double kUnknownNs = 1e6;

}  // namespace

BandWorkers::BandWorkers(unsigned threads) {
    // The helpers count each other: they start once all are made.
    std::lock_guard lock(m_mutex);
    for (unsigned i = 1; i < threads; ++i) {
        try {
            m_helpers.emplace_back([this] { helperLoop(); });
        } catch (const std::system_error&) {
            break;
        }
    }
    m_allowed = static_cast<int>(m_helpers.size());
}

void BandWorkers::limitToFreeProcessors() {
    const unsigned busy = busyProcessors();
    int ours = 0;
    {
        std::lock_guard lock(m_mutex);
        ours = m_inside;  // the helpers at work (others may still be on their way to sleep)
    }
    const int others = std::max(static_cast<int>(busy) - ours, 0);
    limit(static_cast<unsigned>(std::max(static_cast<int>(threads()) - others, 1)));
}

void BandWorkers::limit(unsigned threads) {
    std::lock_guard lock(m_mutex);
    const int allowed = std::clamp(static_cast<int>(threads) - 1, 0, static_cast<int>(m_helpers.size()));
    const bool more = allowed > m_allowed;
    m_allowed = allowed;
    // Helpers let in again look for work (those with none sleep again).
    if (more && m_job != nullptr)
        for (int awake = static_cast<int>(m_helpers.size()) - (m_sleeping - m_waking); awake < m_allowed; ++awake)
            wakeOne();
}

BandWorkers::~BandWorkers() {
    {
        std::lock_guard lock(m_mutex);
        m_end = true;
    }
    m_wake.notify_all();
    for (std::thread& t : m_helpers) t.join();
}

void BandWorkers::helperLoop() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (m_end) return;
        // A helper beyond the limit sleeps.
        const int awake = static_cast<int>(m_helpers.size()) - (m_sleeping - m_waking);
        if (m_job != nullptr && awake <= m_allowed) {
            Job* job = m_job;
            ++m_inside;
            const bool worked = job->step(lock);
            if (--m_inside == 0 && m_callerWaits) m_caller.notify_one();
            if (worked) continue;
        }
        ++m_sleeping;
        m_wake.wait(lock);
        --m_sleeping;
        if (m_waking > 0) --m_waking;
    }
}

void BandWorkers::wakeOne() {
    const int awake = static_cast<int>(m_helpers.size()) - (m_sleeping - m_waking);
    if (m_sleeping > m_waking && awake < m_allowed) {
        ++m_waking;
        m_wake.notify_one();
    }
}

void BandWorkers::start(Job* job) {
    m_job = job;
}

void BandWorkers::stop(std::unique_lock<std::mutex>& lock) {
    m_job = nullptr;
    while (m_inside > 0) {
        m_callerWaits = true;
        m_caller.wait(lock);
        m_callerWaits = false;
    }
}

namespace {

// Independent tasks, each handed out once.
struct FlatJob {
    int count = 0;
    int next = 0;
    int done = 0;
    const std::function<void(int)>* task = nullptr;
};

}  // namespace

void BandWorkers::run(int count, const std::function<void(int)>& task) {
    if (count <= 0) return;
    struct Flat final : Job {
        FlatJob j;
        BandWorkers* workers = nullptr;
        bool step(std::unique_lock<std::mutex>& lock) override {
            if (j.next >= j.count) return false;
            const int i = j.next++;
            lock.unlock();
            (*j.task)(i);
            lock.lock();
            if (++j.done == j.count && workers->m_callerWaits) workers->m_caller.notify_one();
            return true;
        }
    } flat;
    flat.j.count = count;
    flat.j.task = &task;
    flat.workers = this;
    std::unique_lock lock(m_mutex);
    if (m_helpers.empty() || count == 1) {
        lock.unlock();
        for (int i = 0; i < count; ++i) task(i);
        return;
    }
    start(&flat);
    // Each of these tasks is worth a wake-up (a file created, at least).
    for (int i = 1; i < count && i <= static_cast<int>(m_helpers.size()); ++i) wakeOne();
    while (flat.step(lock)) {
    }
    while (flat.j.done < count) {
        m_callerWaits = true;
        m_caller.wait(lock);
        m_callerWaits = false;
    }
    stop(lock);
}

struct BlockStream::Stream final : BandWorkers::Job {
    struct Unit {
        int64_t seq;
        int task;
        int slot;
        // The oldest block first, then the tasks in graph order.
        bool operator>(const Unit& o) const { return seq != o.seq ? seq > o.seq : task > o.task; }
    };

    BandWorkers& workers;
    std::vector<StreamTask> tasks;
    std::vector<std::vector<int>> dependents;  // per task: the tasks that read it
    std::function<void(int, int)> run;
    int slots = 0;
    std::vector<int64_t> seq;  // per slot: its block's place in the stream; -1 free
    std::vector<int> pending;  // per slot and task: inputs (and the task's block before) not through yet
    std::vector<int> left;     // per slot: tasks not through
    std::vector<int64_t> lastDone;  // per carrying task: the last block it ran on
    std::vector<double> costNs;     // per task: its runs' time, averaged
    std::vector<Unit> ready;        // min-heap
    double readyNs = 0.0;
    long long unitsLeft = 0;  // runs not through in the blocks in flight
    int running = 0;          // threads running a task
    int64_t nextSeq = 0, oldest = 0;
    bool cancelled = false;

    Stream(BandWorkers& w, std::vector<StreamTask> t, int s, std::function<void(int, int)> r)
        : workers(w), tasks(std::move(t)), run(std::move(r)), slots(s) {
        const int n = static_cast<int>(tasks.size());
        dependents.resize(tasks.size());
        for (int i = 0; i < n; ++i)
            for (int in : tasks[static_cast<size_t>(i)].inputs) dependents[static_cast<size_t>(in)].push_back(i);
        seq.assign(static_cast<size_t>(slots), -1);
        pending.assign(static_cast<size_t>(slots) * tasks.size(), 0);
        left.assign(static_cast<size_t>(slots), 0);
        lastDone.assign(tasks.size(), -1);
        costNs.assign(tasks.size(), kUnknownNs);
    }

    int& pendingOf(int slot, int task) { return pending[static_cast<size_t>(slot) * tasks.size() + task]; }

    int slotOf(int64_t q) const {
        for (int s = 0; s < slots; ++s)
            if (seq[static_cast<size_t>(s)] == q) return s;
        return -1;
    }

    void push(int task, int slot) {
        ready.push_back({seq[static_cast<size_t>(slot)], task, slot});
        std::push_heap(ready.begin(), ready.end(), std::greater<>());
        readyNs += costNs[static_cast<size_t>(task)];
    }

    Unit pop() {
        std::pop_heap(ready.begin(), ready.end(), std::greater<>());
        const Unit u = ready.back();
        ready.pop_back();
        readyNs = ready.empty() ? 0.0 : std::max(0.0, readyNs - costNs[static_cast<size_t>(u.task)]);
        return u;
    }

    // A run ready besides the next one the calling thread takes itself (keep): a sleeping helper is woken when no
    // helper is awake, or when the ready work is more than a wake-up, or the work left in the blocks in flight is
    // well beyond a wake-up for every helper awake and one more. Without helpers the caller runs everything.
    void wake(bool keep) {
        if (ready.size() <= (keep ? 1u : 0u)) return;
        if (workers.m_allowed == 0) {
            if (workers.m_callerWaits) workers.m_caller.notify_one();
            return;
        }
        const int awake = static_cast<int>(workers.m_helpers.size()) - (workers.m_sleeping - workers.m_waking);
        // Helpers awake between two runs look at the ready runs before they sleep: they take these first.
        if (static_cast<int>(ready.size()) <= awake - running) return;
        if (awake > 0) {
            const double kept = keep ? costNs[static_cast<size_t>(ready.front().task)] : 0.0;
            double blockNs = 0.0;
            for (double c : costNs) blockNs += c;
            const double leftNs = static_cast<double>(unitsLeft) * blockNs / static_cast<double>(tasks.size());
            if (readyNs - kept < kWakeNs && leftNs < kShareNs * (awake + 1)) return;
        }
        workers.wakeOne();
    }

    // The run of u is through: the runs it held back may go. Returns the task's run on the next block when that
    // became ready (not queued: the thread takes it itself), else a unit with task -1.
    Unit complete(const Unit& u) {
        const auto t = static_cast<size_t>(u.task);
        --unitsLeft;
        if (--left[static_cast<size_t>(u.slot)] == 0 && workers.m_callerWaits) workers.m_caller.notify_one();
        for (int d : dependents[t])
            if (--pendingOf(u.slot, d) == 0) push(d, u.slot);
        Unit mine{0, -1, -1};
        if (tasks[t].carries) {
            lastDone[t] = u.seq;
            const int s = slotOf(u.seq + 1);
            if (s >= 0 && --pendingOf(s, u.task) == 0) mine = {u.seq + 1, u.task, s};
        }
        return mine;
    }

    // Takes a ready run and runs it; a helper (keepOn) goes on with the same task's later blocks while they are
    // ready. false when nothing was ready.
    bool take(std::unique_lock<std::mutex>& lock, bool keepOn) {
        if (cancelled || ready.empty()) return false;
        Unit u = pop();
        ++running;
        wake(false);
        for (;;) {
            lock.unlock();
            const auto t0 = std::chrono::steady_clock::now();
            run(u.task, u.slot);
            const double ns = std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - t0).count();
            lock.lock();
            double& cost = costNs[static_cast<size_t>(u.task)];
            cost = cost == kUnknownNs ? ns : 0.75 * cost + 0.25 * ns;
            const Unit next = complete(u);
            if (next.task < 0) break;
            if (!keepOn || cancelled) {
                push(next.task, next.slot);
                break;
            }
            // This thread goes on with its task: the runs its one readied are for others.
            wake(false);
            u = next;
        }
        --running;
        wake(true);
        return true;
    }

    bool step(std::unique_lock<std::mutex>& lock) override { return take(lock, true); }
};

BlockStream::BlockStream(BandWorkers& workers, std::vector<StreamTask> tasks, int slots,
                         std::function<void(int, int)> run)
    : m_stream(std::make_unique<Stream>(workers, std::move(tasks), std::max(slots, 1), std::move(run))) {
    std::lock_guard lock(workers.m_mutex);
    workers.start(m_stream.get());
}

BlockStream::~BlockStream() {
    BandWorkers& w = m_stream->workers;
    std::unique_lock lock(w.m_mutex);
    m_stream->cancelled = true;
    w.stop(lock);
}

int BlockStream::freeSlot() const {
    const Stream& s = *m_stream;
    for (int i = 0; i < s.slots; ++i)
        if (s.seq[static_cast<size_t>(i)] < 0) return i;
    return -1;
}

void BlockStream::admit(int slot) {
    Stream& s = *m_stream;
    std::lock_guard lock(s.workers.m_mutex);
    const int64_t q = s.nextSeq++;
    s.seq[static_cast<size_t>(slot)] = q;
    s.left[static_cast<size_t>(slot)] = static_cast<int>(s.tasks.size());
    s.unitsLeft += static_cast<long long>(s.tasks.size());
    for (int t = 0; t < static_cast<int>(s.tasks.size()); ++t) {
        const StreamTask& task = s.tasks[static_cast<size_t>(t)];
        int& p = s.pendingOf(slot, t);
        p = static_cast<int>(task.inputs.size()) + (task.carries && s.lastDone[static_cast<size_t>(t)] < q - 1 ? 1 : 0);
        if (p == 0) s.push(t, slot);
    }
    ++m_inFlight;
    s.wake(false);
}

int BlockStream::next() {
    Stream& s = *m_stream;
    if (m_inFlight == 0) return -1;
    BandWorkers& w = s.workers;
    std::unique_lock lock(w.m_mutex);
    const int slot = s.slotOf(s.oldest);
    while (s.left[static_cast<size_t>(slot)] > 0) {
        // With several helpers, this thread only waits: it has the next blocks to read and this one to take out,
        // and the helpers have the processors. With one helper or none it runs tasks too, one at a time.
        if (w.m_allowed < kHelpersThatFilterAlone && s.take(lock, false)) continue;
        w.m_callerWaits = true;
        w.m_caller.wait(lock);
        w.m_callerWaits = false;
    }
    s.seq[static_cast<size_t>(slot)] = -1;
    ++s.oldest;
    --m_inFlight;
    return slot;
}

FusedGraph fuseTasks(const std::vector<StreamTask>& tasks, long long grain) {
    FusedGraph g;
    std::vector<int> fused(tasks.size());
    long long cost = 0;
    for (size_t t = 0; t < tasks.size(); ++t) {
        // A task that keeps nothing between blocks stays apart from those that do: it may run on several blocks
        // at once.
        if (g.first.empty() || tasks[t].opens || cost >= grain || tasks[t].carries != tasks[t - 1].carries) {
            g.first.push_back(static_cast<int>(t));
            g.tasks.emplace_back();
            g.tasks.back().carries = false;
            cost = 0;
        }
        StreamTask& f = g.tasks.back();
        const int self = static_cast<int>(g.tasks.size()) - 1;
        fused[t] = self;
        for (int in : tasks[t].inputs)
            if (fused[static_cast<size_t>(in)] != self &&
                std::find(f.inputs.begin(), f.inputs.end(), fused[static_cast<size_t>(in)]) == f.inputs.end())
                f.inputs.push_back(fused[static_cast<size_t>(in)]);
        f.carries = f.carries || tasks[t].carries;
        f.cost += tasks[t].cost;
        cost += tasks[t].cost;
    }
    g.first.push_back(static_cast<int>(tasks.size()));
    return g;
}

unsigned busyProcessors() {
#if defined(__linux__)
    // The fourth field of /proc/loadavg: the runnable tasks now (this thread among them) / all tasks.
    std::FILE* f = std::fopen("/proc/loadavg", "r");
    if (f == nullptr) return 0;
    double avg1 = 0.0, avg5 = 0.0, avg15 = 0.0;
    unsigned runnable = 0, tasks = 0;
    const int read = std::fscanf(f, "%lf %lf %lf %u/%u", &avg1, &avg5, &avg15, &runnable, &tasks);
    std::fclose(f);
    return read == 5 && runnable > 1 ? runnable - 1 : 0;
#else
    return 0;
#endif
}

unsigned availableProcessors() {
#if defined(__linux__)
    // The processors this process may run on (taskset, cgroups), not all the machine has.
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0) return std::max(static_cast<unsigned>(CPU_COUNT(&set)), 1u);
#endif
    return std::max(std::thread::hardware_concurrency(), 1u);
}

}  // namespace murtesk::analysis
