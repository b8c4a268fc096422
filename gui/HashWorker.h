// One hash request at a time on a thread of its own, so that the window stays responsive.
//
// Start hands the job to a new hashing thread; the result comes back as the Finished signal,
// on the thread that owns the worker (the window's), never on the hashing thread. A job may
// first look for a checksum list beside its file; when the list gives the file's digest in
// another algorithm, the file is hashed again with that one, so that the result compares like
// with like. While it runs, BytesDone, BytesTotal and PassText may be polled from the owning
// thread; Cancel makes the hash stop before its next chunk.
//
// Abandon (and destroying the worker) cancels and waits a short while for the thread; a
// thread still stuck in a read after that is left to end by itself. It holds its own copies of
// everything it touches and its result is dropped, so the worker and the window may be gone
// by then.
#pragma once

#include "hashing/HashProgress.h"
#include "pipeline/HashPipeline.h"
#include "pipeline/SidecarDigest.h"
#include "platform/ThreadStart.h"

#include <QObject>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <thread>

struct THashJob {
    HashRequest Request;
    // Look for a checksum list beside the file before hashing it (file requests only).
    bool LookUpList = false;
    // The item of Request.HashItems that a list's algorithm may take when no item names it (the
    // window's drop-down of further algorithms); -1 for none.
    int OtherItem = -1;
};

struct THashResult {
    // The request the outcome belongs to: the job's, or the job's with the list's algorithm
    // selected when the file was hashed again for it.
    HashRequest Hashed;
    HashOutcome Outcome;
    // The list's digest for the file, when the job looked one up and found it.
    std::optional<TSidecarDigest> Listed;
};

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
    // The hashing thread is started through start; the default is the system's StartThread.
    // Takes effect for the next Start.
    void SetThreadStarter(TStartThread start);

    // Starts job; false, and nothing started, while a hash is still running.
    // Throws std::system_error with the start's Failure, and stays idle, when no thread can be
    // made: the window words it as any other failure of a hash.
    bool Start(const THashJob& job);
    // True from Start until Finished has been emitted (or the hash was abandoned).
    bool IsBusy() const { return m_busy; }
    // Asks the running hash to stop before its next chunk; it then finishes as cancelled.
    void Cancel();
    // Cancels and waits up to wait for the hashing thread to end; past that the thread is left
    // to end by itself. No Finished follows either way.
    void Abandon(std::chrono::milliseconds wait);

    // Bytes hashed so far and the input's size (-1 until known) of the running pass.
    std::int64_t BytesDone() const;
    std::int64_t BytesTotal() const;
    // Why the running pass runs when it is not the one asked for ("Hashing again with MD5
    // for MD5SUMS..."); empty for the first pass.
    QString PassText() const;

    // How long a close waits for a hash to end before it leaves the thread behind.
    static constexpr std::chrono::milliseconds CloseWait{300};

signals:
    void Finished(const THashResult& result);

private slots:
    // Called on the worker's thread once a hashing thread has left its result.
    void Collect();

private:
    struct TShared;

    TFileOpener m_openFile;
    TStartThread m_startThread = StartThread;
    std::shared_ptr<TShared> m_shared;
    std::thread m_thread;
    bool m_busy = false;
};
