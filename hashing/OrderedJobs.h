// Runs tasks on several threads and hands their results on in the order the tasks were given.
//
// A result is delivered as soon as every earlier one has been: delivery never waits for later
// tasks. Submit blocks while `window` tasks are given but not yet delivered, so a slow task
// holds back at most that many finished results and memory stays bounded however many tasks
// come. With one job there are no threads: Submit runs the task and delivers at once. The same
// holds when no thread could be started (a process limit, or no memory for a start); when some
// could, the run goes on with those.
#pragma once

#include "platform/ThreadStart.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct TJobResult {
    std::string Output; // for standard output
    std::string Errors; // for standard error
    bool Failed = false;
    // A task that did several inputs at once: their results, for the deliverer to hand on after
    // this one's, each in its turn.
    std::vector<TJobResult> Parts{};
};

class TOrderedJobs {
public:
    // Runs on a worker thread; worker (0 .. Workers()-1) tells which, for per-thread buffers.
    // An exception thrown by a task becomes a failed result with its message as Errors.
    using TTask = std::function<TJobResult(int worker)>;
    // Receives every result in order, one call at a time; false stops the run: tasks not yet
    // started are dropped and Submit answers false from then on. An exception thrown by it
    // stops the run alike, and Finish throws it on the caller's thread.
    using TDeliver = std::function<bool(const TJobResult&)>;

    // Starts up to jobs threads through start; those that cannot be started are done without.
    TOrderedJobs(int jobs, std::size_t window, TDeliver deliver, const TStartThread& start = StartThread);
    // Waits for the tasks given (Finish).
    ~TOrderedJobs();
    TOrderedJobs(const TOrderedJobs&) = delete;
    TOrderedJobs& operator=(const TOrderedJobs&) = delete;

    // False once delivery has stopped the run; the task is then dropped. Throws std::bad_alloc
    // when the task cannot be queued, leaving the run as it was: the tasks given before it are
    // still delivered in order.
    bool Submit(TTask task);
    // Waits until every task given so far is delivered or dropped; the threads go on. Allocates
    // nothing, so that a caller whose Submit ran out of memory can let the held results go first.
    void WaitDelivered();
    // Waits until every task given is delivered or dropped and the threads have ended.
    // False when delivery stopped the run; throws what a delivery threw.
    bool Finish();

    // The workers tasks run on: the threads started, or 1 (the caller's) when none was.
    int Workers() const { return m_threads.empty() ? 1 : static_cast<int>(m_threads.size()); }

private:
    struct TSlot {
        TJobResult Result;
        bool Done = false;
    };

    void Work(int worker);
    TJobResult Run(const TTask& task, int worker) const;
    // Delivers the ready results in order while no other thread does; lock is held on entry
    // and on return, released around the calls of deliver.
    void DeliverReady(std::unique_lock<std::mutex>& lock);
    // m_deliver's answer; an exception counts as false and is kept for Finish.
    bool Deliver(const TJobResult& result);
    void JoinAll();

    const std::size_t m_window;
    TDeliver m_deliver;

    std::mutex m_mutex;
    std::condition_variable m_taskReady;
    std::condition_variable m_slotFreed;
    std::deque<std::pair<std::size_t, TTask>> m_tasks; // sequence number and task
    std::deque<TSlot> m_slots;                         // m_slots[i] is result m_delivered + i
    std::size_t m_submitted = 0;
    std::size_t m_delivered = 0;
    bool m_delivering = false;
    // Wake-ups cost system calls: workers are woken only when one waits, and a waiting
    // Submit only once half the window is free again.
    int m_idleWorkers = 0;
    bool m_submitterWaiting = false;
    bool m_stopped = false;
    bool m_closing = false;
    std::exception_ptr m_deliveryFailure;
    std::vector<std::thread> m_threads;
};
