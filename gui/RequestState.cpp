#include "gui/RequestState.h"

bool TRequestState::SameRequest(const HashRequest& a, const HashRequest& b) {
    if (a.InputType != b.InputType || a.InputText != b.InputText || a.HashType != b.HashType ||
        SelectedHashItem(a) != SelectedHashItem(b) || a.UpperHash != b.UpperHash)
        return false;
    return a.InputType != InputTypeText ||
           (a.TrimInput == b.TrimInput && a.SaltType == b.SaltType && a.SaltText == b.SaltText);
}

void TRequestState::ClearShown() {
    m_shown.reset();
    m_stale = false;
}

bool TRequestState::SelectsListAlgorithm(const HashRequest& hashed, const HashRequest& current) const {
    return !SameRequest(hashed, m_running) && SameRequest(current, m_running);
}

void TRequestState::Show(const HashRequest& hashed, const HashOutcome& outcome, const QString& status) {
    m_shown = hashed;
    m_shownOutcome = outcome;
    m_shownStatus = status;
    m_stale = false;
}

std::optional<bool> TRequestState::ControlsChanged(const HashRequest& current) {
    if (!m_shown)
        return std::nullopt;
    const bool stale = !SameRequest(current, *m_shown);
    if (stale == m_stale)
        return std::nullopt;
    m_stale = stale;
    return stale;
}
