#include "hashing/OrderedJobs.h"

#include <exception>

TOrderedJobs::TOrderedJobs(int jobs, std::size_t window, TDeliver deliver)
    : m_jobs(jobs < 1 ? 1 : jobs), m_window(window < 1 ? 1 : window), m_deliver(std::move(deliver)) {
    if (m_jobs > 1) {
        m_threads.reserve(static_cast<std::size_t>(m_jobs));
        for (int worker = 0; worker < m_jobs; ++worker)
            m_threads.emplace_back([this, worker] { Work(worker); });
    }
}

TOrderedJobs::~TOrderedJobs() {
    Finish();
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

bool TOrderedJobs::Submit(TTask task) {
    if (m_jobs == 1) {
        if (m_stopped)
            return false;
        m_stopped = !m_deliver(Run(task, 0));
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
    m_tasks.emplace_back(m_submitted++, std::move(task));
    m_slots.emplace_back();
    if (m_idleWorkers > 0)
        m_taskReady.notify_one();
    return true;
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
                lock.unlock();
                const bool go = m_deliver(result);
                lock.lock();
                m_stopped = m_stopped || !go;
            }
            if (m_submitterWaiting && (m_stopped || m_submitted - m_delivered <= m_window / 2))
                m_slotFreed.notify_all();
        } while (!m_slots.empty() && m_slots.front().Done);
    }
    m_delivering = false;
}

bool TOrderedJobs::Finish() {
    if (m_jobs > 1) {
        {
            const std::lock_guard lock(m_mutex);
            m_closing = true;
        }
        m_taskReady.notify_all();
        for (std::thread& thread : m_threads)
            thread.join();
        m_threads.clear();
    }
    return !m_stopped;
}
