#include "gui/HashWorker.h"

#include <QMetaObject>

#include <exception>
#include <memory>
#include <new>
#include <utility>

THashWorker::THashWorker(QObject* parent)
    : QObject(parent), m_openFile([](const std::string& path) { return std::make_unique<TFileStream>(path); }) {}

THashWorker::~THashWorker() {
    CancelAndWait();
}

void THashWorker::SetFileOpener(TFileOpener openFile) {
    m_openFile = std::move(openFile);
}

bool THashWorker::Start(const HashRequest& request) {
    if (m_busy)
        return false;
    Join();
    m_progress.Reset();
    const unsigned generation = ++m_generation;
    // The thread gets copies of everything it reads; only the observer's atomics are shared.
    m_thread = std::thread([this, request, openFile = m_openFile, generation] {
        HashOutcome outcome;
        try {
            outcome = RunHashRequest(request, openFile, &m_progress);
        } catch (const std::exception& failure) {
            // The pipeline turns its failures into outcomes; what is left is a failure to
            // build one, such as running out of memory.
            outcome = HashOutcome{};
            outcome.ErrorText = dynamic_cast<const std::bad_alloc*>(&failure) != nullptr
                                    ? OutOfMemoryText()
                                    : QStringLiteral("Error Hashing data: ") + QString::fromUtf8(failure.what());
        }
        QMetaObject::invokeMethod(
            this, [this, outcome, generation] { Deliver(outcome, generation); }, Qt::QueuedConnection);
    });
    // Only once the thread runs: a thread that could not be made leaves the worker idle.
    m_busy = true;
    return true;
}

void THashWorker::Cancel() {
    m_progress.Cancel();
}

void THashWorker::CancelAndWait() {
    Cancel();
    Join();
    m_busy = false;
}

void THashWorker::Deliver(const HashOutcome& outcome, unsigned generation) {
    if (!m_busy || generation != m_generation)
        return;
    Join();
    m_busy = false;
    emit Finished(outcome);
}

void THashWorker::Join() {
    if (m_thread.joinable())
        m_thread.join();
}
