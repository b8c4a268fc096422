#include "hashing/HashProgress.h"

#include <utility>

TObservedStream::TObservedStream(std::unique_ptr<TStream> inner, THashObserver& observer)
    : m_inner(std::move(inner)), m_observer(observer) {}

std::int64_t TObservedStream::Size() const {
    return m_inner->Size();
}

std::int64_t TObservedStream::Position() const {
    return m_inner->Position();
}

void TObservedStream::Seek(std::int64_t offset) {
    m_inner->Seek(offset);
}

std::int64_t TObservedStream::Read(void* buffer, std::int64_t count) {
    if (m_observer.CancelRequested())
        throw EHashCancelled();
    // Asked here rather than on construction, so that a failing size surfaces where reading
    // failures are handled.
    if (!m_total) {
        m_total = m_inner->Size();
        m_observer.BytesHashed(m_inner->Position(), *m_total);
    }
    const std::int64_t read = m_inner->Read(buffer, count);
    const std::int64_t position = m_inner->Position();
    // Files are read to their end, which for pseudo-files lies past the size they report.
    if (*m_total >= 0 && position > *m_total)
        m_total = -1;
    m_observer.BytesHashed(position, *m_total);
    return read;
}

std::int64_t TObservedStream::Write(const void* buffer, std::int64_t count) {
    return m_inner->Write(buffer, count);
}

void TObservedStream::CheckUnchanged() const {
    m_inner->CheckUnchanged();
}

void TProgressCounter::BytesHashed(std::int64_t bytesDone, std::int64_t bytesTotal) {
    m_total.store(bytesTotal, std::memory_order_relaxed);
    m_done.store(bytesDone, std::memory_order_relaxed);
}

bool TProgressCounter::CancelRequested() const {
    return m_cancel.load(std::memory_order_relaxed);
}

void TProgressCounter::Reset() {
    m_done.store(0, std::memory_order_relaxed);
    m_total.store(-1, std::memory_order_relaxed);
    m_cancel.store(false, std::memory_order_relaxed);
}

void TListProgress::TFileObserver::BytesHashed(std::int64_t bytesDone, std::int64_t /*bytesTotal*/) {
    // The first report is where reading starts: standard input given twice starts past 0.
    if (m_last >= 0 && bytesDone > m_last)
        m_list.m_bytesDone.fetch_add(bytesDone - m_last, std::memory_order_relaxed);
    m_last = bytesDone;
}

void TListProgress::SetTotals(std::int64_t files, std::int64_t bytes) {
    m_filesTotal.store(files, std::memory_order_relaxed);
    m_bytesTotal.store(bytes, std::memory_order_relaxed);
}
