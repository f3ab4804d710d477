// The threads that filter a run's blocks: a fixed set of helpers beside the calling thread (the run's worker).
//
// A run streams its blocks through a graph of tasks (BlockStream): every block goes through every task; a task
// reads the outputs of other tasks of the same block (its inputs) and, when it carries memories from block to
// block (a filter), runs on each block after it ran on the one before. Several blocks are in flight at once, each
// in a slot of buffers, so the tasks of later blocks keep the threads busy while a block's last tasks wait for its
// first ones: the band chains' lane passes become a pipeline across blocks. A task runs on a whole block at a time
// and each run is handed over once, never in slices that others wait for.
//
// Helpers sleep on a condition until there is work, and are woken only for work worth their wake-up: a ready
// task whose runs have taken (so far) less than a wake-up's cost waits for a thread that is awake already. A
// thread that ends a task's run on a block takes the same task's run on the next block itself when it is ready,
// so a task's memories stay in one core's cache. The order in which tasks run does not change what they compute
// (each task sees its blocks in order, and its inputs whole), so the results are those of one thread.
//
// Threads: one BandWorkers per analysis run, used from one thread (the run's worker); the helpers live as long as
// the object. A BlockStream is used from the thread that made it.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace murtesk::analysis {

class BlockStream;

class BandWorkers {
public:
    // threads: how many threads work, the caller included (at least 1). Helpers that cannot be created leave
    // their share to the others.
    explicit BandWorkers(unsigned threads);
    ~BandWorkers();
    BandWorkers(const BandWorkers&) = delete;
    BandWorkers& operator=(const BandWorkers&) = delete;

    unsigned threads() const { return static_cast<unsigned>(m_helpers.size()) + 1; }

    // Threads that may work at once from now on, the caller included (1 .. threads()): the other helpers sleep
    // once their current run ends, and are not woken until the limit rises again.
    void limit(unsigned threads);
    // limit() to the processors that no other task is running or waiting for now (busyProcessors, less these
    // helpers at work), at least 1.
    void limitToFreeProcessors();

    // Runs task(0) .. task(count - 1), independent of each other, on the helpers and the calling thread; returns
    // when all have run. task must not throw.
    void run(int count, const std::function<void(int)>& task);

private:
    friend class BlockStream;
    // What the helpers work on: called with the workers' mutex held.
    struct Job {
        virtual ~Job() = default;
        // Runs one piece of work (it may unlock and lock again); false when there is none to take.
        virtual bool step(std::unique_lock<std::mutex>& lock) = 0;
    };
    void helperLoop();
    void start(Job* job);
    // Waits until no helper is inside the job, and takes it away.
    void stop(std::unique_lock<std::mutex>& lock);
    // Wakes one sleeping helper, if any (called with the mutex held).
    void wakeOne();

    std::mutex m_mutex;
    std::condition_variable m_wake;    // work for the helpers, or the end
    std::condition_variable m_caller;  // for the calling thread: a block through, a job left, work
    Job* m_job = nullptr;
    int m_inside = 0;    // helpers inside m_job
    int m_sleeping = 0;  // helpers waiting on m_wake
    int m_waking = 0;    // of them, woken and not yet running
    int m_allowed = 0;   // helpers that may be awake (limit)
    bool m_callerWaits = false;
    bool m_end = false;
    std::vector<std::thread> m_helpers;
};

// One task of a stream's graph.
struct StreamTask {
    std::vector<int> inputs;  // tasks (earlier in the list) whose outputs of the same block it reads
    bool carries = true;      // runs on each block after its run on the block before
    long long cost = 0;       // its work on a block, in any unit common to the graph (fuseTasks)
    bool opens = false;       // starts a part of the graph that fuseTasks keeps apart from the tasks before
};

// A graph whose runs of consecutive tasks are fused into one task each, so that a hand-over between threads
// carries work worth it: each fused task runs tasks first[i] .. first[i + 1] - 1 (first.back() is the count).
struct FusedGraph {
    std::vector<StreamTask> tasks;
    std::vector<int> first;
};
// Fuses runs of at least `grain` cost; a task that opens a part starts a new run, and so does a task that carries
// nothing between blocks after one that does, or the other way round.
FusedGraph fuseTasks(const std::vector<StreamTask>& tasks, long long grain);

// Blocks streamed through a graph of tasks on a BandWorkers' threads. The caller puts each block in a free slot
// (admit), then takes the blocks out in the order they went in once all their tasks ran (next). run(task, slot)
// runs a task on the block in a slot; it must not throw.
class BlockStream {
public:
    BlockStream(BandWorkers& workers, std::vector<StreamTask> tasks, int slots,
                std::function<void(int task, int slot)> run);
    // Waits until no task runs any more (the blocks still in flight are dropped).
    ~BlockStream();
    BlockStream(const BlockStream&) = delete;
    BlockStream& operator=(const BlockStream&) = delete;

    // A slot for the next block, or -1 when every slot holds a block in flight.
    int freeSlot() const;
    // The block whose inputs are in `slot` (from freeSlot) goes in after the blocks before it.
    void admit(int slot);
    // Blocks in flight.
    int inFlight() const { return m_inFlight; }
    // Runs tasks on this thread too until the oldest block in flight is through, and takes it out: returns its
    // slot, now free; -1 when no block is in flight.
    int next();

private:
    struct Stream;
    std::unique_ptr<Stream> m_stream;
    int m_inFlight = 0;
};

// The processors this process may run on (at least 1).
unsigned availableProcessors();
// The tasks of the whole machine running or waiting for a processor now, besides the calling thread (0 when it
// cannot be told).
unsigned busyProcessors();

}  // namespace murtesk::analysis
