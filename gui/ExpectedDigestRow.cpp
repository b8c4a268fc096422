#include "gui/ExpectedDigestRow.h"

#include "desktop/DesktopServices.h"
#include "gui/FitLabel.h"
#include "pipeline/DigestVerdict.h"
#include "pipeline/ExpectedDigest.h"
#include "tools/TextUtils.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include <algorithm>

namespace {

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
        UpdateVerdict();
    });
    connect(btnPasteExpected, &QToolButton::clicked, this, &TExpectedDigestRow::PasteClicked);
}

void TExpectedDigestRow::SetResult(const QString& digest, const QString& algorithm) {
    m_digest = digest;
    m_algorithm = algorithm;
    UpdateVerdict();
}

void TExpectedDigestRow::SetSelected(const QString& algorithm) {
    m_selected = algorithm;
    UpdateVerdict();
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
    const int wanted =
        m_verdictText.isEmpty() ? 0 : QFontMetrics(lblVerdict->font()).horizontalAdvance(m_verdictText) + 4;
    const int verdictWidth = std::clamp(wanted, 0, std::max(0, room - MinimumFieldWidth));
    const int fieldWidth = std::max(0, room - verdictWidth);
    edtExpected->setGeometry(field.x(), field.y(), fieldWidth, field.height());
    btnPasteExpected->move(field.x() + fieldWidth + FieldToPaste, btnPasteExpected->y());
    lblVerdict->setGeometry(end - verdictWidth, verdict.y(), verdictWidth, verdict.height());
}

bool TExpectedDigestRow::TakesListDigest() const {
    return !m_source.isEmpty() || Trim(edtExpected->text()).isEmpty();
}

void TExpectedDigestRow::OfferListDigest(const std::optional<TSidecarDigest>& found) {
    if (!TakesListDigest())
        return; // the user's own digest stays
    // A list named after the file is named by its extension: the file's name is on screen
    // already, and the verdict stays short enough to read whole.
    m_source = !found                  ? QString()
               : found->NamedAfterFile ? u'.' + QFileInfo(found->ListName).suffix() + QStringLiteral(" file")
                                       : found->ListName;
    edtExpected->setText(found ? found->Digest : QString());
    UpdateVerdict();
}

void TExpectedDigestRow::FieldChanged() {
    const TExpectedDigest expected = ParseExpectedDigest(edtExpected->text());
    if (expected.IsDigest())
        emit AlgorithmNamed(expected.Algorithm);
    UpdateVerdict();
}

void TExpectedDigestRow::PasteClicked() {
    m_source.clear();
    edtExpected->setText(Trim(ClipboardText()));
    UpdateVerdict();
}

void TExpectedDigestRow::UpdateVerdict() {
    const TDigestVerdict verdict =
        JudgeDigest(ParseExpectedDigest(edtExpected->text()), m_digest, m_algorithm, m_selected, m_source);
    m_verdictText = verdict.Text;
    QPalette palette = lblVerdict->palette();
    palette.setColor(QPalette::WindowText, VerdictColour(verdict.State));
    lblVerdict->setPalette(palette);
    lblVerdict->setText(verdict.Text);
    Arrange();
}
