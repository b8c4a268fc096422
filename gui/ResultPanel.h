// The window's result panel: the status line above it, the dark panel with the algorithm's
// caption and the digest, the # button and the thin progress bar under the busy text. A click
// on the digest or its caption, Ctrl+C on them or Ctrl+Shift+C anywhere in the window copies
// the digest; a drag over the digest (or Ctrl+A on it) selects it as text, and Ctrl+C on it
// then copies the selected part; Enter on the # button presses it, as Space does. While a hash runs the # button
// is a stop button. The panel shows what the window tells it; it starts and stops nothing.
#pragma once

#include <QObject>
#include <QString>

#include <cstdint>

class QProgressBar;
class QToolButton;
class QWidget;
class TClickLabel;
class TFitLabel;
class TShape;

// Status levels of ShowStatus, each with the colour of the status line; any other level
// (StatusCleared) shows it in the cleared colour. Every colour is made readable on the window's
// background (gui/TextColours.h), and follows a change of the desktop theme.
inline constexpr int StatusCleared = 0;
inline constexpr int StatusProgress = 1;
inline constexpr int StatusSuccess = 2;
inline constexpr int StatusFailure = 3;

class TResultPanel : public QObject {
    Q_OBJECT
public:
    // The controls become children of window; the window places them.
    explicit TResultPanel(QWidget* window);

    TFitLabel* lblStatus;
    TShape* shHash;
    TClickLabel* lblHashType;
    TClickLabel* lblHash;
    QToolButton* btnRefresh;
    QProgressBar* pbHash;

    // level: one of the status levels above.
    void ShowStatus(const QString& text, int level);
    // The panel's text (a digest, "Ready.", the busy text) and the caption beside it ("SHA1:").
    void ShowResult(const QString& text, const QString& caption);
    // Greys the digest and its caption once they are the previous input's; false gives them
    // their own colours back.
    void SetStale(bool stale);
    // The # button becomes the stop button, or the calculate button again with the progress
    // bar hidden.
    void ShowBusy(bool busy);
    // How far a running hash is: the bar (moving when total is unknown, negative) and the
    // status line, after pass ("Hashing again with MD5 for MD5SUMS...") or "Hashing...".
    void ShowProgress(std::int64_t done, std::int64_t total, const QString& pass, std::int64_t elapsedMs);
    // Paints the busy state now: the outcome of a short hash is already on its way through the
    // event queue and would otherwise replace it before the window ever showed it.
    void RepaintNow();
    // Copies the digest on show to the clipboard; nothing when the panel shows none.
    void CopyDigest();
    // Copies the selected part of the digest, or the whole digest when none is selected.
    void CopySelectionOrDigest();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowStatusColour();

    int m_statusLevel = StatusCleared;
};
