#include "gui/QVMain.h"

#include "crypt/HashAlgorithm.h"
#include "desktop/DesktopServices.h"
#include "desktop/FormPlacement.h"
#include "gui/AlgorithmChoice.h"
#include "gui/Anchors.h"
#include "gui/ClickLabel.h"
#include "gui/ExpectedDigestRow.h"
#include "gui/FitLabel.h"
#include "gui/HashWorker.h"
#include "gui/InputRow.h"
#include "gui/RadioGroup.h"
#include "gui/RequestState.h"
#include "gui/ResultPanel.h"
#include "gui/SaltRow.h"
#include "gui/Shape.h"
#include "gui/WindowFonts.h"
#include "gui/WindowSettings.h"
#include "pipeline/HashPipeline.h"
#include "text/VersionInfo.h"
#include "tools/TextUtils.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <exception>
#include <initializer_list>
#include <new>
#include <utility>

namespace {

// Off unless QT_LOGGING_RULES turns "quviro.window.info" on.
Q_LOGGING_CATEGORY(WindowLifeLog, "quviro.window", QtWarningMsg)

constexpr TAnchors LeftTop = TAnchor::Left | TAnchor::Top;
constexpr TAnchors LeftTopRight = TAnchor::Left | TAnchor::Top | TAnchor::Right;
constexpr TAnchors AllEdges = TAnchor::Left | TAnchor::Top | TAnchor::Right | TAnchor::Bottom;
constexpr TAnchors LeftBottom = TAnchor::Left | TAnchor::Bottom;
constexpr TAnchors LeftRightBottom = TAnchor::Left | TAnchor::Right | TAnchor::Bottom;
constexpr TAnchors RightBottom = TAnchor::Right | TAnchor::Bottom;
constexpr TAnchors RightTop = TAnchor::Right | TAnchor::Top;

// A focused button is marked by a ring the eye finds at once: the style's own is a faint dotted
// line, lost on the dark result panel.
const QString FocusRing =
    QStringLiteral("QToolButton:focus { border: 2px solid palette(highlight); border-radius: 3px; }");
const QString PanelFocusRing =
    QStringLiteral("QToolButton:focus { border: 2px solid rgb(255, 200, 70); border-radius: 3px; }");

const QString StaleText =
    QStringLiteral("Changed since: the digest shown is the previous input's (press # to calculate)");

// Progress shows once a hash has run this long, and is refreshed at this interval.
constexpr int ProgressIntervalMs = 250;

} // namespace

TfrmQVMain::TfrmQVMain(QWidget* parent) : QWidget(parent, Qt::Window) {
    CreateControls();
    // The placement saved while maximised needs the normal state's frame, seen before init.
    TrackNormalFrame(this);
    FormCreate();
}

TfrmQVMain::~TfrmQVMain() {
    FormDestroy();
}

void TfrmQVMain::CreateControls() {
    // Title, system menu, minimise and close; no maximise button. The frame stays sizeable.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(TahomaFont(11));
    resize(DesignClientSize);
    m_anchors = new TAnchorLayout(this, DesignClientSize);

    m_inputRow = new TInputRow(this);
    rgInputType = m_inputRow->rgInputType;
    memVal = m_inputRow->memVal;
    rgHashes = new TRadioGroup(QStringLiteral("Select Algorithm"), this);
    chkTrim = new QCheckBox(QStringLiteral("Trim whitespace from Input"), this);
    chkTrim->setToolTip(QStringLiteral("Remove line-breaks, spaces and tabs that may be invisibly appended to the "
                                       "data. Whitespace inside the data remains"));
    chkUpper = new QCheckBox(QStringLiteral("Hash to upper-case"), this);
    chkUpper->setToolTip(QStringLiteral("Produce the Hashed output in upper-case"));
    m_saltRow = new TSaltRow(this);
    rgSaltType = m_saltRow->rgSaltType;
    Label1 = m_saltRow->Label1;
    cbSalt = m_saltRow->cbSalt;
    btnSaltDel = m_saltRow->btnSaltDel;
    btnSaltClear = m_saltRow->btnSaltClear;
    m_resultPanel = new TResultPanel(this);
    lblStatus = m_resultPanel->lblStatus;
    shHash = m_resultPanel->shHash;
    lblHashType = m_resultPanel->lblHashType;
    lblHash = m_resultPanel->lblHash;
    btnRefresh = m_resultPanel->btnRefresh;
    pbHash = m_resultPanel->pbHash;
    rowExpected = new TExpectedDigestRow(this);

    m_anchors->Place(rgInputType, {8, 8, 618, 42}, LeftTopRight);
    // The open button stands beside the memo's top; the memo reaches down to the Expected
    // digest row, so no blank band is left between them and the Algorithm group.
    m_anchors->Place(memVal, {8, 64, 590, 57}, AllEdges);
    m_anchors->Place(m_inputRow->btnOpenFile, {602, 64, 24, 24}, RightTop);
    // The Expected digest row sits under the memo; everything below moves down with it.
    constexpr int Row = ExpectedRowHeight;
    m_anchors->Place(rowExpected->lblExpected, {8, 129, 88, 13}, LeftBottom);
    m_anchors->Place(rowExpected->edtExpected, {100, 125, 258, 21}, LeftRightBottom);
    m_anchors->Place(rowExpected->btnPasteExpected, {362, 125, 40, 21}, RightBottom);
    m_anchors->Place(rowExpected->lblVerdict, {408, 125, 218, 21}, RightBottom);
    m_anchors->Place(rgHashes, {8, 136 + Row, 185, 109}, LeftBottom);
    // The trim box is as wide as its caption needs in the font at hand, and the salt group
    // keeps its distance to it.
    const int trimWidth = std::max(153, chkTrim->sizeHint().width());
    const int saltGroupLeft = 208 + trimWidth + 7;
    m_anchors->Place(chkTrim, {208, 136 + Row, trimWidth, 17}, LeftBottom);
    m_anchors->Place(rgSaltType, {saltGroupLeft, 136 + Row, 626 - saltGroupLeft, 45}, LeftRightBottom);
    m_anchors->Place(chkUpper, {208, 159 + Row, 146, 17}, LeftBottom);
    m_anchors->Place(btnSaltDel, {554, 187 + Row, 33, 31}, RightBottom);
    m_anchors->Place(btnSaltClear, {593, 187 + Row, 33, 31}, RightBottom);
    m_anchors->Place(Label1, {208, 205 + Row, Label1->sizeHint().width(), 13}, LeftBottom);
    m_anchors->Place(cbSalt, {208, 224 + Row, 418, 21}, LeftRightBottom);
    m_anchors->Place(lblStatus, {8, 250 + Row, 618, 13}, LeftRightBottom);
    m_anchors->Place(shHash, {8, 267 + Row, 622, 49}, LeftRightBottom);
    m_anchors->Place(lblHashType, {10, 270 + Row, 81, 41}, LeftBottom);
    m_anchors->Place(lblHash, {95, 271 + Row, 482, 41}, LeftRightBottom);
    m_anchors->Place(btnRefresh, {583, 271 + Row, 43, 41}, RightBottom);
    // A thin bar along the bottom of the digest's place, under the busy text.
    m_anchors->Place(pbHash, {95, 306 + Row, 482, 5}, LeftRightBottom);
    shHash->lower();

    // Named as in the code, for style sheets, accessibility tools and tests.
    rgHashes->setObjectName(QStringLiteral("rgHashes"));
    chkTrim->setObjectName(QStringLiteral("chkTrim"));
    chkUpper->setObjectName(QStringLiteral("chkUpper"));

    connect(btnRefresh, &QToolButton::clicked, this, &TfrmQVMain::btnRefreshClick);
    // A digest of another length or tag selects its algorithm for the next calculation.
    connect(rowExpected, &TExpectedDigestRow::AlgorithmNamed, this, [this](const QString& algorithm) {
        if (!m_worker->IsBusy()) // the request stays as it is while it runs
            m_algorithmChoice->Select(algorithm);
    });

    m_worker = new THashWorker(this);
    connect(m_worker, &THashWorker::Finished, this, &TfrmQVMain::HashFinished);
    connect(rgHashes, &TRadioGroup::Changed, this, [this] { rowExpected->SetSelected(SelectedAlgorithm()); });
    connect(memVal, &QPlainTextEdit::textChanged, this, &TfrmQVMain::RequestControlsChanged);
    for (TRadioGroup* group : {rgInputType, rgHashes, rgSaltType})
        connect(group, &TRadioGroup::Changed, this, &TfrmQVMain::RequestControlsChanged);
    for (QCheckBox* box : {chkTrim, chkUpper})
        connect(box, &QCheckBox::toggled, this, &TfrmQVMain::RequestControlsChanged);
    connect(cbSalt, &QComboBox::editTextChanged, this, &TfrmQVMain::RequestControlsChanged);
    m_progressTimer = new QTimer(this);
    m_progressTimer->setInterval(ProgressIntervalMs);
    connect(m_progressTimer, &QTimer::timeout, this, &TfrmQVMain::ShowProgress);

    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &TfrmQVMain::CancelHash);
    // Ctrl+Enter calculates from anywhere, the memo too, where Enter is a line break; Enter
    // itself comes to keyPressEvent from every control that has no use for it.
    for (const Qt::Key enter : {Qt::Key_Return, Qt::Key_Enter})
        new QShortcut(QKeySequence(Qt::CTRL | enter), this, this, &TfrmQVMain::ComputeHash);
    connect(m_saltRow, &TSaltRow::EnterPressed, this, &TfrmQVMain::ComputeHash);
    new QShortcut(QKeySequence::Open, this, m_inputRow, &TInputRow::OpenFile);
    connect(m_inputRow, &TInputRow::FileChosen, this, &TfrmQVMain::ComputeHash);
    for (QToolButton* button : {m_inputRow->btnOpenFile, rowExpected->btnPasteExpected, btnSaltDel, btnSaltClear})
        button->setStyleSheet(FocusRing);
    btnRefresh->setStyleSheet(PanelFocusRing);

    // The salt box takes text drops itself; a dropped file becomes the input instead.
    m_inputRow->TakeFileDrops(cbSalt->lineEdit());

    UpdateFrameMargins();
}

// The chain follows the screen, top to bottom and left to right. Radio groups enter the chain with their buttons; arrow
// keys move between those.
void TfrmQVMain::SetTabOrder() {
    QList<QWidget*> chain;
    const auto addGroup = [&chain](TRadioGroup* group) {
        for (QWidget* button : group->Buttons())
            chain.append(button);
    };
    addGroup(rgInputType);
    chain.append({memVal, m_inputRow->btnOpenFile, rowExpected->edtExpected, rowExpected->btnPasteExpected});
    addGroup(rgHashes);
    chain.append(m_algorithmChoice->Combo());
    chain.append(chkTrim);
    addGroup(rgSaltType);
    chain.append({chkUpper, btnSaltDel, btnSaltClear, cbSalt, btnRefresh, lblHash});
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void TfrmQVMain::FormCreate() {
    lblHash->setText(QStringLiteral("Loading..."));
    m_startSizePending = true;
    ApplyStartSize();
    setWindowTitle(QStringLiteral("Quviro :: Data hashing algorithms : v") + QString::fromStdString(GetVersionText()));
    m_algorithmChoice = new TAlgorithmChoice(rgHashes);
    // The drop-down's algorithm is the selected one, or is hashed once its item is selected.
    connect(m_algorithmChoice->Combo(), &QComboBox::currentTextChanged, this, [this] {
        rowExpected->SetSelected(SelectedAlgorithm());
        RequestControlsChanged();
    });
    SetTabOrder();
    memVal->clear();
    cbSalt->setEditText(QString());
    lblHashType->setText(QString());
    setAcceptDrops(true);
    // Typing right after the window opens goes into the text box.
    memVal->setFocus();
    ShowStatus(QStringLiteral("Loading..."), StatusProgress);
    StartPulses(500, 1, this, &TfrmQVMain::init);
}

void TfrmQVMain::FormDestroy() {
    setAcceptDrops(false);
}

void TfrmQVMain::init() {
    if (m_initDone)
        return;
    m_startSizePending = false;
    const bool otherUnderstood = RestoreWindowSettings(SettingsControls());
    lblHash->setText(QStringLiteral("Ready."));
    ShowStatus(otherUnderstood ? QString() : TAlgorithmChoice::NotUnderstoodText(),
               otherUnderstood ? StatusCleared : StatusFailure);
    m_initDone = true;
    if (!m_startFile.isEmpty()) {
        rgInputType->SetItemIndex(InputTypeFile);
        memVal->setPlainText(m_startFile);
        ComputeHash();
    }
    qCInfo(WindowLifeLog, "loaded");
}

void TfrmQVMain::OpenAtStart(const QString& path) {
    m_startFile = path;
}

bool TfrmQVMain::IsBusy() const {
    return m_worker->IsBusy();
}

void TfrmQVMain::SetFileOpener(TFileOpener openFile) {
    m_worker->SetFileOpener(std::move(openFile));
}

void TfrmQVMain::SetThreadStarter(TStartThread start) {
    m_worker->SetThreadStarter(std::move(start));
}

void TfrmQVMain::SetFileDialog(TInputRow::TFileDialog dialog) {
    m_inputRow->SetFileDialog(std::move(dialog));
}

// The close always proceeds: canClose stays as it comes in.
void TfrmQVMain::FormCloseQuery([[maybe_unused]] bool& canClose) {
    // Before init the controls hold nothing of the stored settings; saving them would wipe
    // the stored ones.
    if (!m_initDone)
        return;
    StoreWindowSettings(SettingsControls());
}

TWindowSettingsControls TfrmQVMain::SettingsControls() {
    return {this,    cbSalt,   rgSaltType,          rgInputType,         rgHashes, m_algorithmChoice,
            chkTrim, chkUpper, m_inputRow->Lines(), m_saltRow->History()};
}

void TfrmQVMain::closeEvent(QCloseEvent* event) {
    // The hash stops at its next chunk while the settings are saved; the wait for it is
    // bounded, since a read stuck on a dead mount may never return and the window must close
    // anyway. The outcome is dropped, so no salt is remembered.
    m_worker->Cancel();
    bool canClose = true;
    FormCloseQuery(canClose);
    if (!canClose) {
        event->ignore();
        return;
    }
    if (m_worker->IsBusy()) {
        m_worker->Abandon(THashWorker::CloseWait);
        ShowBusy(false);
    }
    event->accept();
}

// While busy the button is a stop button.
void TfrmQVMain::btnRefreshClick() {
    if (m_worker->IsBusy())
        CancelHash();
    else
        ComputeHash();
}

HashRequest TfrmQVMain::CurrentRequest() const {
    HashRequest request;
    request.InputType = rgInputType->ItemIndex();
    request.InputText = Utf16(m_inputRow->Text());
    request.TrimInput = chkTrim->isChecked();
    request.SaltType = rgSaltType->ItemIndex();
    request.SaltText = Utf16(cbSalt->currentText());
    request.HashItems = Utf16List(m_algorithmChoice->RequestItems());
    request.HashType = rgHashes->ItemIndex();
    request.UpperHash = chkUpper->isChecked();
    return request;
}

QString TfrmQVMain::SelectedAlgorithm() const {
    if (m_algorithmChoice == nullptr)
        return {};
    const std::optional<THashAlgorithm> algorithm =
        AlgorithmByTypedName(m_algorithmChoice->RequestItems().value(rgHashes->ItemIndex()).toStdString());
    if (!algorithm)
        return {};
    const std::string_view name = HashAlgorithmName(*algorithm);
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

void TfrmQVMain::RequestControlsChanged() {
    if (m_worker->IsBusy())
        return;
    const HashRequest request = CurrentRequest();
    rowExpected->SetFileOnScreen(request.InputType == InputTypeFile ? Trim(ToQString(request.InputText)) : QString());
    const std::optional<bool> stale = m_requestState.ControlsChanged(request);
    if (!stale)
        return;
    m_resultPanel->SetStale(*stale);
    if (*stale) {
        ShowStatus(StaleText, StatusProgress);
        rowExpected->SetResult(QString(), QString());
    } else {
        const HashOutcome& shown = m_requestState.ShownOutcome();
        ShowStatus(m_requestState.ShownStatus(), StatusSuccess);
        rowExpected->SetResult(ToQString(shown.Digest), ToQString(shown.Algorithm), shown.ExtraDigests);
    }
}

void TfrmQVMain::ComputeHash() {
    if (m_worker->IsBusy())
        return;
    m_requestState.ClearShown();
    m_resultPanel->SetStale(false);
    m_resultPanel->ShowResult(QStringLiteral("Hashing... (Please wait)"), QString());
    rowExpected->SetResult(QString(), QString());
    rowExpected->RequestStarting();
    ShowStatus(QStringLiteral("Hashing..."), StatusProgress);

    try {
        THashJob job;
        job.Request = CurrentRequest();
        // A digest in the field that may be of several algorithms is compared with each of them.
        job.Request.ExtraAlgorithms = rowExpected->AlgorithmsToTry();
        job.LookUpList = job.Request.InputType == InputTypeFile && rowExpected->TakesListDigest();
        job.OtherItem = TAlgorithmChoice::OtherItem;
        m_requestState.Started(job.Request);
        m_worker->Start(job);
    } catch (const std::exception& failure) {
        // No thread to hash on (the system's limit reached), or no memory for a copy of a huge
        // input text: a failure like any other.
        THashResult result;
        result.Hashed = m_requestState.Running();
        result.Outcome.ErrorText =
            dynamic_cast<const std::bad_alloc*>(&failure) != nullptr
                ? OutOfMemoryText()
                : std::u16string(Utf16(QStringLiteral("Error Hashing data: ") + QString::fromUtf8(failure.what())));
        HashFinished(result);
        return;
    }
    m_hashClock.start();
    ShowBusy(true);
    m_resultPanel->RepaintNow();
}

void TfrmQVMain::HashFinished(const THashResult& result) {
    ShowBusy(false);
    const HashOutcome& outcome = result.Outcome;
    // The file was hashed again with the algorithm of the list beside it: select that one, so
    // that the controls show the request the digest belongs to.
    if (m_requestState.SelectsListAlgorithm(result.Hashed, CurrentRequest()))
        m_algorithmChoice->Select(ToQString(result.Outcome.Algorithm));
    if (!TRequestState::Shows(result.Hashed, CurrentRequest())) {
        ShowStatus(QStringLiteral("The input changed while it was hashed: press # to calculate"), StatusProgress);
        m_resultPanel->ShowResult(QString(), QString());
        rowExpected->SetResult(QString(), QString());
        return;
    }
    m_saltRow->Remember(ToQString(outcome.SaltToRemember));
    if (!outcome.Succeeded()) {
        // A stop is the user's choice, not a failure: neutral grey instead of red.
        ShowStatus(ToQString(outcome.ErrorText), outcome.Cancelled ? StatusProgress : StatusFailure);
        m_resultPanel->ShowResult(QString(), QString());
        rowExpected->SetResult(QString(), QString());
        return;
    }
    const QString digest = ToQString(outcome.Digest);
    const QString algorithm = ToQString(outcome.Algorithm);
    const QString status = QStringLiteral("Success creating ") + algorithm + QStringLiteral(" hash.");
    ShowStatus(status, StatusSuccess);
    m_resultPanel->ShowResult(digest, algorithm + u':');
    m_requestState.Show(result.Hashed, outcome, status);
    if (result.Hashed.InputType == InputTypeFile)
        rowExpected->OfferListDigest(result.Listed);
    rowExpected->SetResult(digest, algorithm, outcome.ExtraDigests);
}

void TfrmQVMain::CancelHash() {
    if (m_worker->IsBusy())
        m_worker->Cancel();
}

// The # button turns into a stop button; the progress timer runs while busy.
void TfrmQVMain::ShowBusy(bool busy) {
    m_resultPanel->ShowBusy(busy);
    // The request's controls hold still while it runs; the text box stays readable and
    // scrollable. Focus in a control about to be disabled goes to the stop button, rather than
    // wherever the chain would pass it on to.
    QWidget* focus = QApplication::focusWidget();
    if (busy && focus != nullptr && focus != memVal && focus != rowExpected->edtExpected &&
        focus != rowExpected->btnPasteExpected && focus->window() == this && focus != btnRefresh && focus != lblHash)
        btnRefresh->setFocus(Qt::OtherFocusReason);
    m_inputRow->ShowBusy(busy);
    m_saltRow->ShowBusy(busy);
    for (QWidget* control : std::initializer_list<QWidget*>{rgHashes, chkTrim, chkUpper})
        control->setEnabled(!busy);
    if (busy)
        m_progressTimer->start();
    else
        m_progressTimer->stop();
}

void TfrmQVMain::ShowProgress() {
    if (!m_worker->IsBusy())
        return;
    m_resultPanel->ShowProgress(m_worker->BytesDone(), m_worker->BytesTotal(), m_worker->PassText(),
                                m_hashClock.elapsed());
}

void TfrmQVMain::ShowStatus(const QString& text, int level) {
    m_resultPanel->ShowStatus(text, level);
}

// A file dropped on the window itself; text boxes pass theirs to the input row.
void TfrmQVMain::dragEnterEvent(QDragEnterEvent* event) {
    m_inputRow->FileDragEvent(event);
}

void TfrmQVMain::dragMoveEvent(QDragMoveEvent* event) {
    if (!m_inputRow->FileDragEvent(event))
        event->ignore();
}

void TfrmQVMain::dropEvent(QDropEvent* event) {
    if (!m_inputRow->FileDragEvent(event))
        event->ignore();
}

// Enter that no control took (radio buttons, check boxes, the algorithm drop-down, the fields)
// calculates.
void TfrmQVMain::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (!event->isAutoRepeat())
            ComputeHash();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TfrmQVMain::event(QEvent* event) {
    const bool result = QWidget::event(event);
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowStateChange:
        UpdateFrameMargins();
        // The anchors have just placed the Expected digest row; share its width anew.
        rowExpected->Arrange();
        break;
    default:
        break;
    }
    return result;
}

// The window system tells the frame's size only once the window is on screen, sometimes a
// little later; the minimum and the start width are outer sizes, so follow it.
void TfrmQVMain::UpdateFrameMargins() {
    const QRect inner = geometry();
    const QRect outer = frameGeometry();
    const QMargins margins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                           outer.bottom() - inner.bottom());
    if (margins == m_frameMargins && minimumWidth() > 0)
        return;
    m_frameMargins = margins;
    setMinimumSize(MinimumOuterSize.width() - margins.left() - margins.right(),
                   MinimumOuterSize.height() - margins.top() - margins.bottom());
    if (m_startSizePending)
        ApplyStartSize();
}

// The designed client height, unless the minimum outer height asks for more.
void TfrmQVMain::ApplyStartSize() {
    const int frameWidth = m_frameMargins.left() + m_frameMargins.right();
    const int frameHeight = m_frameMargins.top() + m_frameMargins.bottom();
    resize(StartOuterWidth - frameWidth, std::max(DesignClientSize.height(), MinimumOuterSize.height() - frameHeight));
}
