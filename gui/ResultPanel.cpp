#include "gui/ResultPanel.h"

#include "crypt/HashAlgorithm.h"
#include "desktop/DesktopServices.h"
#include "gui/ClickLabel.h"
#include "gui/FitLabel.h"
#include "gui/Images.h"
#include "gui/Shape.h"
#include "gui/TextColours.h"
#include "gui/WindowFonts.h"
#include "pipeline/ProgressText.h"
#include "text/PlainText.h"
#include "tools/TextUtils.h"

#include <QEvent>
#include <QKeyEvent>
#include <QProgressBar>
#include <QShortcut>
#include <QToolButton>

#include <utility>

namespace {

const QColor ProgressColour(128, 128, 128);
const QColor SuccessColour(64, 192, 64);
const QColor FailureColour(255, 0, 0);
const QColor ClearedColour(192, 192, 192);
// The digest and its caption on the panel, and greyed once they are the previous input's.
const QColor PanelFill(54, 72, 84);
const QColor DigestColour(Qt::white);
const QColor HashTypeColour(172, 188, 202);
const QColor StaleColour(128, 140, 150);

const QString ComputeHint = QStringLiteral("Calculate the Hash (click the result or press Ctrl+Shift+C to copy it)");
const QString StopHint = QStringLiteral("Stop hashing (Esc)");
// What a screen reader says for the icon-only # button in its two roles.
const QString ComputeName = QStringLiteral("Calculate digest");
const QString StopName = QStringLiteral("Stop hashing");
// The digest shrinks to fit the result panel, on two lines where one is too narrow, down to
// this size before it is elided.
constexpr int MinimumDigestPixelSize = 12;

// Every caption the panel may show: each is drawn in the size the longest one needs.
QStringList AlgorithmCaptions() {
    QStringList captions;
    for (const TAlgorithmInfo& row : AlgorithmTable())
        captions.append(ToQString(Latin1(row.Name)) + u':');
    return captions;
}

void SetTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

TClickLabel* ResultLabel(QWidget* parent, const QFont& font, const QColor& colour, Qt::Alignment alignment) {
    auto* label = new TClickLabel(parent);
    label->setFont(font);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(alignment);
    SetTextColour(label, colour);
    label->setCursor(Qt::DragMoveCursor);
    label->setToolTip(QStringLiteral("Click to Copy"));
    return label;
}

} // namespace

TResultPanel::TResultPanel(QWidget* window) : QObject(window) {
    lblStatus = new TFitLabel(window);
    lblStatus->setTextFormat(Qt::PlainText);
    lblStatus->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    lblStatus->SetFitting(0, Qt::ElideRight);
    shHash = new TShape(PanelFill, QColor(128, 128, 128), window);
    lblHashType = ResultLabel(window, TahomaFont(19), HashTypeColour, Qt::AlignCenter);
    lblHash = ResultLabel(window, CourierNewFont(24), DigestColour, Qt::AlignLeft | Qt::AlignVCenter);
    lblHash->SetFitting(MinimumDigestPixelSize, Qt::ElideMiddle, 2);
    lblHash->SetSelectable(true);
    // A long algorithm name ("BLAKE2b-512:") breaks after its dash; all captions share a size.
    lblHashType->SetFitting(7, Qt::ElideRight, 2);
    lblHashType->SetFittedTogether(AlgorithmCaptions());
    // Focus on the result lets Ctrl+C copy the digest.
    lblHash->setFocusPolicy(Qt::StrongFocus);
    lblHashType->setFocusPolicy(Qt::ClickFocus);
    btnRefresh = ImageButton(window, QStringLiteral("hash-tag"), QSize(32, 32), ComputeName, ComputeHint);
    pbHash = new QProgressBar(window);
    pbHash->setRange(0, 1000);
    pbHash->setTextVisible(false);
    pbHash->setStyleSheet(QStringLiteral("QProgressBar { background: rgb(38, 51, 60); border: none; }"
                                         "QProgressBar::chunk { background: rgb(172, 188, 202); }"));
    pbHash->hide();

    const std::pair<QWidget*, const char*> names[] = {
        {lblStatus, "lblStatus"}, {shHash, "shHash"},         {lblHashType, "lblHashType"},
        {lblHash, "lblHash"},     {btnRefresh, "btnRefresh"}, {pbHash, "pbHash"},
    };
    for (const auto& [control, name] : names)
        control->setObjectName(QLatin1StringView(name));

    connect(lblHash, &TClickLabel::Clicked, this, &TResultPanel::CopyDigest);
    connect(lblHashType, &TClickLabel::Clicked, this, &TResultPanel::CopyDigest);
    // Copy from the keyboard: Ctrl+C on the result, Ctrl+Shift+C anywhere in the window.
    // Ctrl+C on the digest copies the part of it that is selected, if any.
    auto* copyHash = new QShortcut(QKeySequence::Copy, lblHash, this, &TResultPanel::CopySelectionOrDigest);
    copyHash->setContext(Qt::WidgetShortcut);
    auto* copyHashType = new QShortcut(QKeySequence::Copy, lblHashType, this, &TResultPanel::CopyDigest);
    copyHashType->setContext(Qt::WidgetShortcut);
    new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), window, this, &TResultPanel::CopyDigest);
    btnRefresh->installEventFilter(this);
    // A change of the desktop theme gives the texts their colours against its background.
    window->installEventFilter(this);
    SetStale(false);
}

void TResultPanel::ShowStatus(const QString& text, int level) {
    m_statusLevel = level;
    ShowStatusColour();
    lblStatus->setText(text);
}

void TResultPanel::ShowStatusColour() {
    QColor colour = ClearedColour;
    if (m_statusLevel == StatusProgress)
        colour = ProgressColour;
    else if (m_statusLevel == StatusSuccess)
        colour = SuccessColour;
    else if (m_statusLevel == StatusFailure)
        colour = FailureColour;
    SetTextColour(lblStatus, ReadableOn(colour, lblStatus->parentWidget()->palette().color(QPalette::Window)));
}

void TResultPanel::ShowResult(const QString& text, const QString& caption) {
    lblHash->setText(text);
    lblHashType->setText(caption);
}

void TResultPanel::SetStale(bool stale) {
    SetTextColour(lblHash,
                  stale ? ReadableOn(StaleColour, PanelFill, GreyedTextContrast) : ReadableOn(DigestColour, PanelFill));
    SetTextColour(lblHashType, stale ? ReadableOn(StaleColour, PanelFill, GreyedTextContrast)
                                     : ReadableOn(HashTypeColour, PanelFill));
}

void TResultPanel::ShowBusy(bool busy) {
    btnRefresh->setIcon(
        PictureIcon(busy ? QStringLiteral("stop") : QStringLiteral("hash-tag"), btnRefresh->iconSize()));
    btnRefresh->setToolTip(busy ? StopHint : ComputeHint);
    btnRefresh->setAccessibleName(busy ? StopName : ComputeName);
    btnRefresh->setAccessibleDescription(busy ? StopHint : ComputeHint);
    if (!busy)
        pbHash->hide();
}

void TResultPanel::ShowProgress(std::int64_t done, std::int64_t total, const QString& pass, std::int64_t elapsedMs) {
    const int percent = ProgressPercent(done, total);
    if (percent < 0) {
        pbHash->setRange(0, 0); // size unknown: a moving bar
    } else {
        pbHash->setRange(0, 1000);
        pbHash->setValue(total > 0 ? static_cast<int>(static_cast<double>(done) * 1000.0 / static_cast<double>(total))
                                   : 0);
    }
    pbHash->show();
    pbHash->raise();
    ShowStatus((pass.isEmpty() ? QStringLiteral("Hashing...") : pass) + u' ' +
                   QString::fromStdString(ProgressText(done, total, elapsedMs)),
               StatusProgress);
}

void TResultPanel::RepaintNow() {
    lblHash->repaint();
    lblStatus->repaint();
    btnRefresh->repaint();
}

void TResultPanel::CopyDigest() {
    const QString text = Trim(lblHash->text());
    if (!text.isEmpty())
        CopyTextToClipboard(text);
}

void TResultPanel::CopySelectionOrDigest() {
    const QString selected = lblHash->SelectedText();
    if (selected.isEmpty())
        CopyDigest();
    else
        CopyTextToClipboard(selected);
}

bool TResultPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lblStatus->parentWidget() && event->type() == QEvent::PaletteChange) {
        ShowStatusColour();
        return QObject::eventFilter(watched, event);
    }
    if (watched == btnRefresh && event->type() == QEvent::KeyPress) {
        const auto* press = static_cast<QKeyEvent*>(event);
        if (press->key() == Qt::Key_Return || press->key() == Qt::Key_Enter) {
            if (!press->isAutoRepeat())
                btnRefresh->click();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
