#include "gui/ExpectedDigestRow.h"

#include "desktop/DesktopServices.h"
#include "gui/FitLabel.h"
#include "gui/TextColours.h"
#include "pipeline/DigestVerdict.h"
#include "pipeline/ExpectedDigest.h"
#include "pipeline/SidecarDigest.h"
#include "tools/TextUtils.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QRegularExpression>
#include <QToolButton>
#include <QUrl>

#include <algorithm>
#include <utility>

namespace {

// Whether expected's digest may be of the algorithm named.
bool MayBeOf(const TExpectedDigest& expected, const QString& algorithm) {
    const std::vector<std::u16string> algorithms = AlgorithmsOfDigest(expected);
    return std::find(algorithms.begin(), algorithms.end(), Utf16(algorithm)) != algorithms.end();
}

QColor VerdictColour(TVerdictState state) {
    switch (state) {
    case TVerdictState::Matches:
        return QColor(0, 140, 0);
    case TVerdictState::DoesNotMatch:
    case TVerdictState::NotADigest:
        return QColor(255, 0, 0);
    default:
        break;
    }
    return QColor(128, 128, 128);
}

} // namespace

TExpectedDigestRow::TExpectedDigestRow(QWidget* window) : QObject(window) {
    lblExpected = new QLabel(QStringLiteral("Expected digest:"), window);
    lblExpected->setTextFormat(Qt::PlainText);
    edtExpected = new QLineEdit(window);
    edtExpected->setToolTip(QStringLiteral("The digest you expect: a digest, or a line of a checksum list"));
    edtExpected->setClearButtonEnabled(true);
    lblExpected->setBuddy(edtExpected);
    btnPasteExpected = new QToolButton(window);
    btnPasteExpected->setText(QStringLiteral("Paste"));
    btnPasteExpected->setToolTip(QStringLiteral("Paste the expected digest from the clipboard"));
    btnPasteExpected->setFocusPolicy(Qt::StrongFocus);
    lblVerdict = new TFitLabel(window);
    lblVerdict->setTextFormat(Qt::PlainText);
    lblVerdict->SetFitting(MinimumVerdictPixelSize, Qt::ElideMiddle);
    lblVerdict->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont bold = lblVerdict->font();
    bold.setBold(true);
    lblVerdict->setFont(bold);

    lblExpected->setObjectName(QStringLiteral("lblExpected"));
    edtExpected->setObjectName(QStringLiteral("edtExpected"));
    btnPasteExpected->setObjectName(QStringLiteral("btnPasteExpected"));
    lblVerdict->setObjectName(QStringLiteral("lblVerdict"));

    connect(edtExpected, &QLineEdit::textChanged, this, &TExpectedDigestRow::FieldChanged);
    // What the user types is the user's own digest, not the list's any more.
    connect(edtExpected, &QLineEdit::textEdited, this, [this] {
        m_source.clear();
        m_listAlgorithm.clear();
        m_filledBeside = false;
        UpdateVerdict();
    });
    // Enter commits here before the key goes on to the window, which calculates.
    connect(edtExpected, &QLineEdit::returnPressed, this, &TExpectedDigestRow::Commit);
    connect(edtExpected, &QLineEdit::editingFinished, this, &TExpectedDigestRow::Commit);
    edtExpected->installEventFilter(this);
    window->installEventFilter(this);
    connect(btnPasteExpected, &QToolButton::clicked, this, &TExpectedDigestRow::PasteClicked);
}

// Typing goes on while a hash ends: only leaving the field or Enter ends it (Commit). A note
// is about the digest it was made beside; another one takes it away.
void TExpectedDigestRow::SetResult(const QString& digest, const QString& algorithm,
                                   const std::vector<TAlgorithmDigest>& extra) {
    if (digest != m_digest || algorithm != m_algorithm)
        m_note.clear();
    m_digest = digest;
    m_algorithm = algorithm;
    m_extra = extra;
    UpdateVerdict();
}

// A choice of algorithm is made elsewhere in the window: the user has left the field.
void TExpectedDigestRow::SetSelected(const QString& algorithm) {
    m_typing = false;
    m_selected = algorithm;
    UpdateVerdict();
}

std::vector<std::u16string> TExpectedDigestRow::AlgorithmsToTry() const {
    std::vector<std::u16string> algorithms = AlgorithmsOfDigest(Expected());
    if (algorithms.size() < 2)
        algorithms.clear();
    return algorithms;
}

// Geometry is taken as x + width, so that a verdict of no width keeps its right edge.
void TExpectedDigestRow::Arrange() {
    constexpr int FieldToPaste = 4;
    constexpr int PasteToVerdict = 6;
    const QRect field = edtExpected->geometry();
    const QRect verdict = lblVerdict->geometry();
    const int end = verdict.x() + verdict.width();
    const int pasteWidth = btnPasteExpected->width();
    const int room = end - field.x() - pasteWidth - FieldToPaste - PasteToVerdict;
    const int most = std::max(0, room - MinimumFieldWidth);
    // The shorter form where even the smallest font leaves the whole verdict too wide; hovering
    // then shows the whole one.
    QFont smallest = lblVerdict->font();
    smallest.setPixelSize(MinimumVerdictPixelSize);
    const bool whole = m_verdictShort.isEmpty() || QFontMetrics(smallest).horizontalAdvance(m_verdictText) + 4 <= most;
    const QString shown = whole ? m_verdictText : m_verdictShort;
    if (lblVerdict->text() != shown)
        lblVerdict->setText(shown);
    lblVerdict->setToolTip(whole ? QString() : m_verdictText);
    const int wanted = shown.isEmpty() ? 0 : QFontMetrics(lblVerdict->font()).horizontalAdvance(shown) + 4;
    const int verdictWidth = std::clamp(wanted, 0, most);
    const int fieldWidth = std::max(0, room - verdictWidth);
    edtExpected->setGeometry(field.x(), field.y(), fieldWidth, field.height());
    btnPasteExpected->move(field.x() + fieldWidth + FieldToPaste, btnPasteExpected->y());
    lblVerdict->setGeometry(end - verdictWidth, verdict.y(), verdictWidth, verdict.height());
}

bool TExpectedDigestRow::TakesListDigest() const {
    return m_filledBeside || Trim(edtExpected->text()).isEmpty();
}

void TExpectedDigestRow::OfferListDigest(const std::optional<TSidecarDigest>& found) {
    if (!TakesListDigest())
        return; // the user's own digest stays
    m_listAlgorithm = found ? ToQString(found->Algorithm) : QString();
    edtExpected->setText(found ? ToQString(found->Digest) : QString());
    // A list named after the file is named by its extension: the file's name is on screen
    // already, and the verdict stays short enough to read whole.
    m_filledBeside = found.has_value();
    m_listInput = m_filePath;
    if (!found)
        m_source.clear();
    else if (found->NamedAfterFile)
        m_source = u'.' + QFileInfo(ToQString(found->ListName)).suffix() + QStringLiteral(" file");
    else
        m_source = ToQString(found->ListName);
    UpdateVerdict();
}

void TExpectedDigestRow::SetFileOnScreen(const QString& path) {
    if (path == m_filePath)
        return;
    // A list's note names the file it had no line for: another input makes it stale.
    m_note.clear();
    m_filePath = path;
    m_fileName = path.isEmpty() ? QString() : QFileInfo(path).fileName();
    const QString text = edtExpected->text();
    if (text.contains(u'\n') || text.contains(u'\r'))
        FieldChanged(); // pasted lines wait for a file to pick theirs
    else
        UpdateVerdict();
}

// Until the request starts, the list's digest stays beside a changed input: the verdict waits
// meanwhile, and changing the input back brings the match back.
void TExpectedDigestRow::RequestStarting() {
    if (m_source.isEmpty() || m_listInput == m_filePath)
        return;
    m_source.clear();
    m_listAlgorithm.clear();
    m_filledBeside = false;
    edtExpected->clear();
}

void TExpectedDigestRow::FieldChanged() {
    m_note.clear();
    m_typing = std::exchange(m_keyTyped, false);
    const QString text = edtExpected->text();
    const TExpectedDigest expected = Expected();
    // Of several pasted lines the field keeps the one that counts.
    if (!expected.Line.empty() && expected.Line != Utf16(text)) {
        edtExpected->setText(ToQString(expected.Line));
        return;
    }
    if (!m_typing)
        SelectIfOtherLength(expected);
    UpdateVerdict();
}

void TExpectedDigestRow::Commit() {
    if (!std::exchange(m_typing, false))
        return;
    SelectIfOtherLength(Expected());
    UpdateVerdict();
}

// A digest the selected algorithm may have given keeps it selected: a bare 64-digit digest
// leaves SHA3-256 as it is, and only one of another length selects SHA256, the common meaning.
void TExpectedDigestRow::SelectIfOtherLength(const TExpectedDigest& expected) {
    if (expected.IsDigest() && !MayBeOf(expected, m_selected))
        emit AlgorithmNamed(ToQString(expected.Algorithm));
}

bool TExpectedDigestRow::eventFilter(QObject* watched, QEvent* event) {
    // A change of the desktop theme gives the verdict its colour against the new background.
    if (watched == lblVerdict->parentWidget() && event->type() == QEvent::PaletteChange) {
        ShowVerdictColour();
        return false;
    }
    if (watched != edtExpected)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress: {
        // One printable character typed, or one taken away: the field is being typed in. A
        // paste (Ctrl+V, Shift+Insert) is no typing.
        const auto* press = static_cast<QKeyEvent*>(event);
        const QString text = press->text();
        const bool printable = text.size() == 1 && text[0] >= u' ' &&
                               (press->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == Qt::NoModifier;
        m_keyTyped = printable || press->key() == Qt::Key_Backspace || press->key() == Qt::Key_Delete;
        return false;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (!drag->mimeData()->hasUrls() || drag->mimeData()->urls().isEmpty() ||
            !drag->mimeData()->urls().front().isLocalFile())
            return false;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!drop->mimeData()->hasUrls() || drop->mimeData()->urls().isEmpty() ||
            !drop->mimeData()->urls().front().isLocalFile())
            return false;
        TakeDroppedList(drop->mimeData()->urls().front().toLocalFile());
        drop->acceptProposedAction();
        return true;
    }
    default:
        return false;
    }
}

// A dropped file is a checksum list: its line for the file on screen fills the field.
void TExpectedDigestRow::TakeDroppedList(const QString& listPath) {
    const QString listName = QFileInfo(listPath).fileName();
    const std::optional<TSidecarDigest> found = FindDigestInList(Utf16(listPath), Utf16(m_fileName));
    if (!found) {
        m_listAlgorithm.clear();
        edtExpected->clear();
        m_source.clear();
        m_filledBeside = false;
        m_note = m_fileName.isEmpty() ? listName + QStringLiteral(": hash a file to pick its line")
                                      : listName + QStringLiteral(" has no line for ") + m_fileName;
        m_noteNames = {listName, m_fileName};
        UpdateVerdict();
        return;
    }
    m_keyTyped = false;
    m_listAlgorithm = ToQString(found->Algorithm);
    edtExpected->setText(ToQString(found->Digest));
    m_source = listName;
    m_filledBeside = false;
    m_listInput = m_filePath;
    UpdateVerdict();
}

void TExpectedDigestRow::PasteClicked() {
    m_source.clear();
    m_listAlgorithm.clear();
    m_filledBeside = false;
    edtExpected->setText(Trim(ClipboardText()));
    UpdateVerdict();
}

TExpectedDigest TExpectedDigestRow::Expected() const {
    TExpectedDigest expected = ParseExpectedDigest(Utf16(edtExpected->text()), Utf16(m_fileName));
    // A list's digest is of the list's algorithm, whatever its length commonly means.
    if (expected.IsDigest() && !m_listAlgorithm.isEmpty()) {
        expected.Algorithm = Utf16(m_listAlgorithm);
        expected.ByLength = false;
    }
    return expected;
}

void TExpectedDigestRow::UpdateVerdict() {
    const QString text = Trim(edtExpected->text());
    const TExpectedDigest expected = Expected();
    TDigestVerdict verdict =
        JudgeDigest(expected, Utf16(m_digest), Utf16(m_algorithm), Utf16(m_selected), Utf16(m_source), m_extra);
    static const QRegularExpression hexDigits(QStringLiteral("^[0-9A-Fa-f]+$"));
    // A digest of the selected algorithm's length is judged at once: it selects nothing new.
    const bool ofSelected = MayBeOf(expected, m_selected);
    const TDigestVerdict typing = m_typing && !ofSelected && hexDigits.match(text).hasMatch()
                                      ? TypingVerdict(expected, text.size(), Utf16(m_selected))
                                      : TDigestVerdict();
    if (typing.State != TVerdictState::None) {
        verdict = typing;
    } else if (!m_note.isEmpty()) {
        verdict.State = TVerdictState::Waiting;
        verdict.Text = Utf16(m_note);
        verdict.ShortText.clear();
    }
    m_verdictText = ToQString(verdict.Text);
    m_verdictShort = ToQString(verdict.ShortText);
    m_verdictState = verdict.State;
    // Too long even in the smallest font, the verdict cuts the names it holds, never its words.
    lblVerdict->SetElidedParts(!m_note.isEmpty() && m_verdictText == m_note ? m_noteNames : QStringList{m_source});
    ShowVerdictColour();
    Arrange();
}

void TExpectedDigestRow::ShowVerdictColour() {
    QPalette palette = lblVerdict->palette();
    palette.setColor(QPalette::WindowText, ReadableOn(VerdictColour(m_verdictState),
                                                      lblVerdict->parentWidget()->palette().color(QPalette::Window)));
    lblVerdict->setPalette(palette);
}
