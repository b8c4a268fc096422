// One hash request at a time on a thread of its own, so that the window stays responsive.
//
// Start hands the request to a new hashing thread; the outcome comes back as the Finished
// signal, on the thread that owns the worker (the window's), never on the hashing thread.
// While it runs, BytesDone and BytesTotal may be polled from any thread (they are atomics the
// hashing thread updates after every chunk); Cancel makes the hash stop before its next chunk.
// Destroying the worker cancels a running hash and waits for its thread; the outcome of that
// hash is dropped.
#pragma once

#include "hashing/HashProgress.h"
#include "pipeline/HashPipeline.h"

#include <QObject>

#include <cstdint>
#include <thread>

class THashWorker : public QObject {
    Q_OBJECT
public:
    explicit THashWorker(QObject* parent = nullptr);
    ~THashWorker() override;
    THashWorker(const THashWorker&) = delete;
    THashWorker& operator=(const THashWorker&) = delete;

    // Files are opened through openFile (as RunHashRequest does); the default opens a
    // TFileStream. Takes effect for the next Start.
    void SetFileOpener(TFileOpener openFile);

    // Starts hashing request; false, and nothing started, while a hash is still running.
    // Throws std::system_error, and stays idle, when no thread can be made.
    bool Start(const HashRequest& request);
    // True from Start until Finished has been emitted.
    bool IsBusy() const { return m_busy; }
    // Asks the running hash to stop before its next chunk; it then finishes as cancelled.
    void Cancel();
    // Cancels, then blocks until the hashing thread has ended. No Finished follows.
    void CancelAndWait();

    // Bytes hashed so far and the input's size (-1 until known) of the running or last hash.
    std::int64_t BytesDone() const { return m_progress.Done(); }
    std::int64_t BytesTotal() const { return m_progress.Total(); }

signals:
    void Finished(const HashOutcome& outcome);

private:
    void Deliver(const HashOutcome& outcome, unsigned generation);
    void Join();

    TFileOpener m_openFile;
    TProgressCounter m_progress;
    std::thread m_thread;
    bool m_busy = false;
    // Counts Starts, so that an outcome still queued from a hash that CancelAndWait dropped
    // is not taken for the outcome of the next one.
    unsigned m_generation = 0;
};
