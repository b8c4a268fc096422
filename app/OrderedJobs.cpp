#include "OrderedJobs.h"

#include <exception>

TOrderedJobs::TOrderedJobs(int jobs, std::size_t window, TDeliver deliver, TIdle idle)
    : m_jobs(jobs < 1 ? 1 : jobs), m_window(window < 1 ? 1 : window), m_deliver(std::move(deliver)),
      m_idle(std::move(idle)) {
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
        m_stopped = !m_deliver(Run(task, 0)) || !m_idle();
        return !m_stopped;
    }
    std::unique_lock lock(m_mutex);
    m_slotFreed.wait(lock, [&] { return m_stopped || m_submitted - m_delivered < m_window; });
    if (m_stopped)
        return false;
    m_tasks.emplace_back(m_submitted++, std::move(task));
    m_slots.emplace_back();
    m_taskReady.notify_one();
    return true;
}

void TOrderedJobs::Work(int worker) {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_taskReady.wait(lock, [&] { return m_closing || !m_tasks.empty(); });
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
        } while (!m_slots.empty() && m_slots.front().Done);
        m_slotFreed.notify_all();
        if (!m_stopped) {
            lock.unlock();
            const bool go = m_idle();
            lock.lock();
            m_stopped = m_stopped || !go;
        }
    }
    m_delivering = false;
    m_slotFreed.notify_all();
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
