// One file read at a time from each rotating disk. Several readers on one spindle make its head
// seek between their files, and together they read far slower than one alone; a file list's jobs
// therefore pass their files of such a disk through this gate, while hashing what they have read
// goes on side by side. Files of solid-state disks, and of file systems for which the system names
// no disk, are read freely.
#pragma once

#include "crypt/Stream.h"

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

// Told what the gate does, on the thread of the file concerned.
class TReadGateObserver {
public:
    virtual ~TReadGateObserver() = default;
    // A file of device waits while another file of it is read.
    virtual void Waiting(std::uint64_t device) = 0;
    // A file of device holds the gate: its reads begin.
    virtual void Held(std::uint64_t device) = 0;
    // That file is about to let the gate go: its reads have ended.
    virtual void Released(std::uint64_t device) = 0;
};

// Where the gate learns which disks rotate (DeviceIsRotational of platform/Storage.h) and whom
// it tells: the system's /sys and nobody, or a test's tree and observer.
struct TReadGateSeam {
    std::string SystemRoot = "/sys";
    TReadGateObserver* Observer = nullptr;
};

class TReadGate {
public:
    explicit TReadGate(TReadGateSeam seam = {});
    TReadGate(const TReadGate&) = delete;
    TReadGate& operator=(const TReadGate&) = delete;

    // stream, a file just opened whose identity names device, as it is when device does not
    // rotate or the system does not say; else, once no other file of device is held, stream
    // wrapped so that it holds device's gate until it is destroyed. Any thread; the wrapper may
    // be read on another thread than the one it was made on. The gate must outlive the wrapper.
    std::unique_ptr<TStream> Gated(std::unique_ptr<TStream> stream, std::uint64_t device);

private:
    class THeldStream;

    struct TDevice {
        bool Rotational = false;
        bool Held = false;
    };

    // Waits for device's gate and holds it; false when device is read freely.
    bool Enter(std::uint64_t device);
    void Leave(std::uint64_t device);

    const TReadGateSeam m_seam;
    std::mutex m_mutex;
    std::condition_variable m_released;
    // What the system said of each device met so far, asked once per device.
    std::map<std::uint64_t, TDevice> m_devices;
};
