#include "gui/HashWorker.h"

#include "crypt/HashAlgorithm.h"
#include "hashing/FileStream.h"
#include "text/PlainText.h"
#include "text/TextEncoding.h"
#include "tools/TextUtils.h"

#include <QMetaObject>

#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <new>
#include <system_error>
#include <utility>

// What the hashing thread shares with the worker. The thread holds it too, so it outlives a
// worker that left the thread behind.
struct THashWorker::TShared {
    TProgressCounter Progress;
    // Set by Cancel before it reaches Progress, so that a pass started later still sees it.
    std::atomic<bool> Stop{false};
    std::mutex Mutex;
    std::condition_variable Changed;
    // Guarded by Mutex: the worker to deliver to, null once it let the thread go; the thread
    // has left its result (or dropped it); the result until the worker collects it; the text
    // of the running pass.
    THashWorker* Owner = nullptr;
    bool Ended = false;
    std::optional<THashResult> Result;
    QString PassText;
};

namespace {

QString FailureText(const std::exception& failure) {
    return dynamic_cast<const std::bad_alloc*>(&failure) != nullptr
               ? ToQString(OutOfMemoryText())
               : QStringLiteral("Error Hashing data: ") + QString::fromUtf8(failure.what());
}

// The pipeline turns its failures into outcomes; what is left is a failure to build one, such
// as running out of memory.
HashOutcome RunGuarded(const HashRequest& request, const TFileOpener& openFile, THashObserver* observer) {
    try {
        return RunHashRequest(request, openFile, observer);
    } catch (const std::exception& failure) {
        HashOutcome outcome;
        outcome.ErrorText = Utf16(FailureText(failure));
        return outcome;
    }
}

// The request for hashing again with the list's algorithm: the item that names it, else the
// job's other item set to it; nothing when the request cannot name it.
std::optional<HashRequest> RequestForList(const THashJob& job, const std::u16string& algorithm) {
    HashRequest request = job.Request;
    const int count = static_cast<int>(request.HashItems.size());
    for (int i = 0; i < count; ++i) {
        if (SameAlgorithmName(EncodeUtf8(request.HashItems[i]), EncodeUtf8(algorithm))) {
            request.HashType = i;
            return request;
        }
    }
    if (job.OtherItem < 0 || job.OtherItem >= count)
        return std::nullopt;
    request.HashItems[job.OtherItem] = algorithm;
    request.HashType = job.OtherItem;
    return request;
}

} // namespace

THashWorker::THashWorker(QObject* parent)
    : QObject(parent), m_openFile([](const std::string& path) { return std::make_unique<TFileStream>(path); }),
      m_shared(std::make_shared<TShared>()) {}

THashWorker::~THashWorker() {
    Abandon(CloseWait);
}

void THashWorker::SetFileOpener(TFileOpener openFile) {
    m_openFile = std::move(openFile);
}

void THashWorker::SetThreadStarter(TStartThread start) {
    m_startThread = std::move(start);
}

bool THashWorker::Start(const THashJob& job) {
    if (m_busy)
        return false;
    if (m_thread.joinable())
        m_thread.join();
    auto shared = std::make_shared<TShared>();
    shared->Owner = this;
    // The thread gets copies of everything it reads.
    TStartedThread started = m_startThread([shared, job, openFile = m_openFile] {
        THashResult result;
        result.Hashed = job.Request;
        try {
            if (job.LookUpList && job.Request.InputType == InputTypeFile)
                result.Listed = FindSidecarDigest(Trim(std::u16string_view(job.Request.InputText)),
                                                  NormalizeName(SelectedHashItem(job.Request)));
        } catch (const std::exception&) {
            // A list that cannot be read is no list; the hash itself goes on.
            result.Listed.reset();
        }
        result.Outcome = RunGuarded(job.Request, openFile, &shared->Progress);
        const std::optional<HashRequest> again =
            result.Listed && result.Outcome.Succeeded() && result.Listed->Algorithm != result.Outcome.Algorithm
                ? RequestForList(job, result.Listed->Algorithm)
                : std::nullopt;
        if (again) {
            {
                std::lock_guard lock(shared->Mutex);
                shared->PassText = QStringLiteral("Hashing again with ") + ToQString(result.Listed->Algorithm) +
                                   QStringLiteral(" for ") + ToQString(result.Listed->ListName) + QStringLiteral("...");
            }
            shared->Progress.Reset();
            if (shared->Stop)
                shared->Progress.Cancel();
            result.Hashed = *again;
            result.Outcome = RunGuarded(result.Hashed, openFile, &shared->Progress);
        }
        {
            // The result goes over in this record, under its lock; Qt's event only wakes the
            // worker and carries nothing, so no object made on this thread is read on the other.
            // A wake-up for a worker destroyed before it arrives is dropped by Qt.
            std::lock_guard lock(shared->Mutex);
            if (THashWorker* owner = shared->Owner) {
                shared->Result = std::move(result);
                QMetaObject::invokeMethod(owner, "Collect", Qt::QueuedConnection);
            }
            shared->Ended = true;
        }
        shared->Changed.notify_all();
    });
    // Only once the thread runs: a thread that could not be made leaves the worker idle.
    if (!started.Started())
        throw std::system_error(started.Failure);
    m_thread = std::move(started.Thread);
    m_shared = std::move(shared);
    m_busy = true;
    return true;
}

void THashWorker::Cancel() {
    m_shared->Stop = true;
    m_shared->Progress.Cancel();
}

void THashWorker::Abandon(std::chrono::milliseconds wait) {
    Cancel();
    m_busy = false;
    if (!m_thread.joinable())
        return;
    std::unique_lock lock(m_shared->Mutex);
    const bool ended = m_shared->Changed.wait_for(lock, wait, [this] { return m_shared->Ended; });
    m_shared->Owner = nullptr;
    lock.unlock();
    if (ended)
        m_thread.join();
    else
        m_thread.detach();
}

std::int64_t THashWorker::BytesDone() const {
    return m_shared->Progress.Done();
}

std::int64_t THashWorker::BytesTotal() const {
    return m_shared->Progress.Total();
}

QString THashWorker::PassText() const {
    std::lock_guard lock(m_shared->Mutex);
    return m_shared->PassText;
}

void THashWorker::Collect() {
    if (!m_busy)
        return;
    std::optional<THashResult> result;
    {
        std::lock_guard lock(m_shared->Mutex);
        result.swap(m_shared->Result);
    }
    // A wake-up left over from an abandoned hash finds the running hash's record still empty.
    if (!result)
        return;
    if (m_thread.joinable())
        m_thread.join();
    m_busy = false;
    emit Finished(*result);
}
