#include "gui/ExpectedDigestRow.h"

#include "desktop/DesktopServices.h"
#include "pipeline/DigestVerdict.h"
#include "pipeline/ExpectedDigest.h"
#include "pipeline/SidecarDigest.h"
#include "tools/TextUtils.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

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
    lblVerdict = new QLabel(window);
    lblVerdict->setTextFormat(Qt::PlainText);
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

QString TExpectedDigestRow::OfferSidecar(const QString& filePath, const QString& algorithm) {
    if (m_source.isEmpty() && !Trim(edtExpected->text()).isEmpty())
        return {}; // the user's own digest stays
    const std::optional<TSidecarDigest> found = FindSidecarDigest(filePath, algorithm);
    m_source = found ? found->ListName : QString();
    edtExpected->setText(found ? found->Digest : QString());
    UpdateVerdict();
    return found ? found->Algorithm : QString();
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
        JudgeDigest(ParseExpectedDigest(edtExpected->text()), m_digest, m_algorithm, m_source);
    m_verdictText = verdict.Text;
    QPalette palette = lblVerdict->palette();
    palette.setColor(QPalette::WindowText, VerdictColour(verdict.State));
    lblVerdict->setPalette(palette);
    lblVerdict->setText(
        QFontMetrics(lblVerdict->font()).elidedText(verdict.Text, Qt::ElideMiddle, lblVerdict->width()));
    lblVerdict->setToolTip(verdict.Text);
}
