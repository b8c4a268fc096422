// TfrmQVMain: the program's only window. It turns its controls' state into a hash request,
// shows the digest on a dark result panel (a click copies it), takes the first file dropped
// on it as the input, and remembers its choices, its placement, the input text and the salt
// history between runs.
//
// Life of a window: the constructor lays out the controls and runs FormCreate, which shows
// "Loading..." and schedules init 500 ms later on the event loop. init restores the stored
// settings and shows "Ready.". A close request saves them again (FormCloseQuery); a close
// before init has run saves nothing, so the stored settings stay as they were. Once init is
// done the window says "loaded" on the logging category "quviro.window" (info level, off
// unless QT_LOGGING_RULES turns it on), so whoever drives the program knows its settings are
// in the controls.
//
// Hashing runs on a thread of its own (THashWorker): the window stays responsive, shows the
// progress a few times a second once a hash takes longer than a quarter of a second, and the
// # button (or Escape) stops it. While it runs, the controls that make up the request are
// locked (the text box read-only, the others disabled) and a dropped file is refused; the
// Expected digest row stays live. An outcome is shown only when the controls still hold the
// request it belongs to. Once a control of the request changes after a hash, the digest on
// the panel is greyed, the status line says it is the previous input's and the verdict
// compares nothing until # is pressed again; changing the control back restores it.
// A close while hashing saves as usual, stops the hash and leaves at once, even when a read
// is stuck: the hashing thread is then left to end by itself.
#pragma once

#include "gui/ControlStrings.h"
#include "gui/InputRow.h"
#include "gui/RequestState.h"
#include "gui/ResultPanel.h"
#include "gui/WindowSettings.h"
#include "pipeline/HashPipeline.h"
#include "platform/ThreadStart.h"

#include <QElapsedTimer>
#include <QMargins>
#include <QWidget>

#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QTimer;
class QToolButton;
class TAnchorLayout;
class TClickLabel;
class TExpectedDigestRow;
class TFitLabel;
class THashWorker;
class TAlgorithmChoice;
struct THashResult;
class TRadioGroup;
class TSaltRow;
class TShape;

class TfrmQVMain : public QWidget {
    Q_OBJECT
public:
    explicit TfrmQVMain(QWidget* parent = nullptr);
    ~TfrmQVMain() override;

    // Restores the stored settings and puts the window into its Ready state. The timer that
    // FormCreate starts calls it once; a window runs it to the end only once, so a later call
    // changes nothing.
    void init();
    bool IsLoaded() const { return m_initDone; }

    // A file given to the program: once init has restored the settings, the input type becomes
    // "File name (Hash the File)", path goes into the text box and is hashed at once.
    void OpenAtStart(const QString& path);

    // True while a hash runs.
    bool IsBusy() const;
    // Files are opened through openFile from the next hash on (tests slow reading down).
    void SetFileOpener(TFileOpener openFile);
    // The hashing thread is started through start from the next hash on (tests make it fail,
    // as the system does under a process limit).
    void SetThreadStarter(TStartThread start);
    // The open button and Ctrl+O ask for a file through dialog (tests answer without a person).
    void SetFileDialog(TInputRow::TFileDialog dialog);

    // Designed client area, start width and minimum size; the widths and the minimum are
    // outer sizes, frame included.
    static constexpr QSize DesignClientSize{634, 347};
    static constexpr int StartOuterWidth = 1072;
    static constexpr QSize MinimumOuterSize{650, 376};
    // Height of the Expected digest row below the memo; every control under it sits that much
    // lower than in the window without the row.
    static constexpr int ExpectedRowHeight = 26;

    // The controls, in their designed order; those of the rows are the rows' own.
    QPlainTextEdit* memVal;
    TRadioGroup* rgHashes;
    QCheckBox* chkTrim;
    TRadioGroup* rgInputType;
    QCheckBox* chkUpper;
    QComboBox* cbSalt;
    QLabel* Label1;
    QToolButton* btnSaltDel;
    TRadioGroup* rgSaltType;
    TClickLabel* lblHash;
    QToolButton* btnRefresh;
    TShape* shHash;
    QToolButton* btnSaltClear;
    TFitLabel* lblStatus;
    TClickLabel* lblHashType;
    // Shown under the busy text while a hash takes longer than a quarter of a second.
    QProgressBar* pbHash;
    // The Expected digest row: field, paste button and verdict.
    TExpectedDigestRow* rowExpected;

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateControls();
    void SetTabOrder();

    // The window and the controls whose state is kept between runs.
    TWindowSettingsControls SettingsControls();

    void FormCreate();
    void FormCloseQuery(bool& canClose);
    void FormDestroy();
    void btnRefreshClick();

    // Starts the hash of the controls' request; the outcome comes to HashFinished.
    void ComputeHash();
    void HashFinished(const THashResult& result);
    void CancelHash();
    void ShowProgress();
    void ShowBusy(bool busy);
    // The request the controls make up now.
    HashRequest CurrentRequest() const;
    // The table name of the selected algorithm ("SHA3-256"); empty when none is selected.
    QString SelectedAlgorithm() const;
    // A control of the request changed: grey the digest on show when it is not this
    // request's any more, or bring it back when it is again.
    void RequestControlsChanged();
    // level: one of the status levels of gui/ResultPanel.h.
    void ShowStatus(const QString& text, int level);

    // The frame around the client area, as far as the window system has told it.
    void UpdateFrameMargins();
    // Outer width 1072; the height as designed, or as the minimum size needs.
    void ApplyStartSize();

    TAnchorLayout* m_anchors = nullptr;
    // The input type and text, with the file drops.
    TInputRow* m_inputRow = nullptr;
    // The salt type, the salt box and its history.
    TSaltRow* m_saltRow = nullptr;
    // Owns the status line, the result panel's controls and their look.
    TResultPanel* m_resultPanel = nullptr;
    // The Algorithm group's items and its drop-down of the other algorithms; owned by rgHashes.
    TAlgorithmChoice* m_algorithmChoice = nullptr;

    THashWorker* m_worker = nullptr;
    // The running request, and the one whose digest is on the panel.
    TRequestState m_requestState;
    QTimer* m_progressTimer = nullptr;
    QElapsedTimer m_hashClock;
    QString m_startFile;

    bool m_initDone = false;
    // The start size follows the frame margins until init has restored the placement.
    bool m_startSizePending = false;
    QMargins m_frameMargins;
};
