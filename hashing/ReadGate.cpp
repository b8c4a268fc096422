#include "hashing/ReadGate.h"

#include "platform/Storage.h"

#include <utility>

// The stream of a file of a rotating disk: reads through to inner while holding its device's gate.
class TReadGate::THeldStream final : public TStream {
public:
    THeldStream(std::unique_ptr<TStream> inner, TReadGate& gate, std::uint64_t device)
        : m_inner(std::move(inner)), m_gate(gate), m_device(device) {}
    ~THeldStream() override {
        // Closed first, so that the next file's reads find the disk's queue empty.
        m_inner.reset();
        m_gate.Leave(m_device);
    }
    THeldStream(const THeldStream&) = delete;
    THeldStream& operator=(const THeldStream&) = delete;

    std::int64_t Size() const override { return m_inner->Size(); }
    std::int64_t Position() const override { return m_inner->Position(); }
    void Seek(std::int64_t offset) override { m_inner->Seek(offset); }
    std::int64_t Read(void* buffer, std::int64_t count) override { return m_inner->Read(buffer, count); }
    std::int64_t Write(const void* buffer, std::int64_t count) override { return m_inner->Write(buffer, count); }
    void CheckUnchanged() const override { m_inner->CheckUnchanged(); }

private:
    std::unique_ptr<TStream> m_inner;
    TReadGate& m_gate;
    std::uint64_t m_device;
};

TReadGate::TReadGate(TReadGateSeam seam) : m_seam(std::move(seam)) {}

std::unique_ptr<TStream> TReadGate::Gated(std::unique_ptr<TStream> stream, std::uint64_t device) {
    if (!Enter(device))
        return stream;
    try {
        return std::make_unique<THeldStream>(std::move(stream), *this, device);
    } catch (...) {
        Leave(device);
        throw;
    }
}

bool TReadGate::Enter(std::uint64_t device) {
    std::unique_lock lock(m_mutex);
    auto found = m_devices.find(device);
    if (found == m_devices.end())
        found = m_devices.emplace(device, TDevice{DeviceIsRotational(device, m_seam.SystemRoot).value_or(false)}).first;
    TDevice& entry = found->second;
    if (!entry.Rotational)
        return false;
    if (entry.Held) {
        if (m_seam.Observer) {
            lock.unlock();
            m_seam.Observer->Waiting(device);
            lock.lock();
        }
        m_released.wait(lock, [&] { return !entry.Held; });
    }
    entry.Held = true;
    lock.unlock();
    if (m_seam.Observer)
        m_seam.Observer->Held(device);
    return true;
}

void TReadGate::Leave(std::uint64_t device) {
    if (m_seam.Observer)
        m_seam.Observer->Released(device);
    {
        const std::lock_guard lock(m_mutex);
        m_devices.find(device)->second.Held = false;
    }
    // Waiters of every device share the one condition.
    m_released.notify_all();
}
