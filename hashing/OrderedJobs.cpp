#include "hashing/OrderedJobs.h"

#include <new>
#include <utility>

TOrderedJobs::TOrderedJobs(int jobs, std::size_t window, TDeliver deliver, const TStartThread& start)
    : m_window(window < 1 ? 1 : window), m_deliver(std::move(deliver)) {
    if (jobs <= 1)
        return;
    m_threads.reserve(static_cast<std::size_t>(jobs));
    for (int worker = 0; worker < jobs; ++worker) {
        TStartedThread started;
        try {
            started = start([this, worker] { Work(worker); });
        } catch (const std::bad_alloc&) {
            // Alike a process limit; thrown on, it would leave the threads started unjoined.
        }
        // A process limit: the threads that did start do the work, or the caller's alone.
        if (!started.Started())
            break;
        m_threads.push_back(std::move(started.Thread));
    }
}

TOrderedJobs::~TOrderedJobs() {
    JoinAll();
}

TJobResult TOrderedJobs::Run(const TTask& task, int worker) const {
    try {
        return task(worker);
    } catch (const std::exception& failure) {
        return {{}, failure.what(), true};
    } catch (...) {
        return {{}, "Unknown failure", true};
    }
}

bool TOrderedJobs::Deliver(const TJobResult& result) {
    try {
        return m_deliver(result);
    } catch (...) {
        if (!m_deliveryFailure)
            m_deliveryFailure = std::current_exception();
        return false;
    }
}

bool TOrderedJobs::Submit(TTask task) {
    if (m_threads.empty()) {
        if (m_stopped)
            return false;
        m_stopped = !Deliver(Run(task, 0));
        return !m_stopped;
    }
    std::unique_lock lock(m_mutex);
    if (!m_stopped && m_submitted - m_delivered >= m_window) {
        m_submitterWaiting = true;
        m_slotFreed.wait(lock, [&] { return m_stopped || m_submitted - m_delivered < m_window; });
        m_submitterWaiting = false;
    }
    if (m_stopped)
        return false;
    // The slot first, then the task: a worker writes its result into the task's slot, so a task
    // is queued only once its slot exists, and a failed allocation leaves neither behind.
    m_slots.emplace_back();
    try {
        m_tasks.emplace_back(m_submitted, std::move(task));
    } catch (...) {
        m_slots.pop_back();
        throw;
    }
    ++m_submitted;
    if (m_idleWorkers > 0)
        m_taskReady.notify_one();
    return true;
}

void TOrderedJobs::WaitDelivered() {
    if (m_threads.empty())
        return;
    std::unique_lock lock(m_mutex);
    if (m_stopped || m_submitted == m_delivered)
        return;
    m_submitterWaiting = true;
    m_slotFreed.wait(lock, [&] { return m_stopped || m_submitted == m_delivered; });
    m_submitterWaiting = false;
}

void TOrderedJobs::Work(int worker) {
    std::unique_lock lock(m_mutex);
    for (;;) {
        ++m_idleWorkers;
        m_taskReady.wait(lock, [&] { return m_closing || !m_tasks.empty(); });
        --m_idleWorkers;
        if (m_tasks.empty())
            return;
        auto [sequence, task] = std::move(m_tasks.front());
        m_tasks.pop_front();
        TJobResult result;
        if (!m_stopped) {
            lock.unlock();
            result = Run(task, worker);
            task = nullptr;
            lock.lock();
        }
        TSlot& slot = m_slots[sequence - m_delivered];
        slot.Result = std::move(result);
        slot.Done = true;
        DeliverReady(lock);
    }
}

void TOrderedJobs::DeliverReady(std::unique_lock<std::mutex>& lock) {
    if (m_delivering)
        return;
    m_delivering = true;
    while (!m_slots.empty() && m_slots.front().Done) {
        do {
            const TJobResult result = std::move(m_slots.front().Result);
            m_slots.pop_front();
            ++m_delivered;
            if (!m_stopped) {
                // Only the thread that set m_delivering gets here, so Deliver's record of a
                // failure needs no lock.
                lock.unlock();
                const bool go = Deliver(result);
                lock.lock();
                m_stopped = m_stopped || !go;
            }
            if (m_submitterWaiting && (m_stopped || m_submitted - m_delivered <= m_window / 2))
                m_slotFreed.notify_all();
        } while (!m_slots.empty() && m_slots.front().Done);
    }
    m_delivering = false;
}

void TOrderedJobs::JoinAll() {
    if (m_threads.empty())
        return;
    {
        const std::lock_guard lock(m_mutex);
        m_closing = true;
    }
    m_taskReady.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
    m_threads.clear();
}

bool TOrderedJobs::Finish() {
    JoinAll();
    if (m_deliveryFailure)
        std::rethrow_exception(std::exchange(m_deliveryFailure, nullptr));
    return !m_stopped;
}
