// Which request the digest on the window's panel belongs to, and whether the controls still
// make up that request. The window starts a hash of the controls' request, shows its outcome
// only when the controls still hold the request it was computed for, and greys the digest
// ("Changed since...") once a control of the request changes; changing it back brings the
// digest back. This class holds that state and decides; it touches no widget.
#pragma once

#include "pipeline/HashPipeline.h"

#include <QString>

#include <optional>

class TRequestState {
public:
    // Whether two requests hash the same: the selected algorithm counts, not the items beside
    // it (the drop-down may change while another item is selected), and trimming and the salt
    // only apply to a text value.
    static bool SameRequest(const HashRequest& a, const HashRequest& b);

    // A hash is about to start: nothing is on show any more.
    void ClearShown();
    // The hash of request has started.
    void Started(const HashRequest& request) { m_running = request; }
    // The request of the hash that runs, or ran last.
    const HashRequest& Running() const { return m_running; }

    // The hash ended with the request hashed while the controls make up current. The file was
    // hashed again with the algorithm of the list beside it when hashed differs from the
    // running request: the controls are to select that algorithm, as long as the user has not
    // changed them meanwhile.
    bool SelectsListAlgorithm(const HashRequest& hashed, const HashRequest& current) const;
    // Whether an outcome of hashed may be shown for controls that make up current.
    static bool Shows(const HashRequest& hashed, const HashRequest& current) { return SameRequest(hashed, current); }

    // The digest of hashed is on show, with its outcome and status line.
    void Show(const HashRequest& hashed, const HashOutcome& outcome, const QString& status);
    bool HasShown() const { return m_shown.has_value(); }
    const HashOutcome& ShownOutcome() const { return m_shownOutcome; }
    const QString& ShownStatus() const { return m_shownStatus; }

    // The controls now make up current: answers the new staleness of the digest on show when
    // it changed (true: it is the previous input's now, false: it is current again), nothing
    // when it did not or no digest is on show.
    std::optional<bool> ControlsChanged(const HashRequest& current);
    bool Stale() const { return m_stale; }

private:
    HashRequest m_running;
    std::optional<HashRequest> m_shown;
    HashOutcome m_shownOutcome;
    QString m_shownStatus;
    bool m_stale = false;
};
