#include "gui/FitLabel.h"

#include <QEvent>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QPainter>
#include <QPen>
#include <QToolTip>

#include <algorithm>
#include <cstdlib>

namespace {

// Where a text breaks into two lines: after the '-' or '/' nearest its middle ("BLAKE2b-" and
// "512:"), else in the middle, which halves a digest.
qsizetype BreakPosition(const QString& text) {
    const qsizetype middle = (text.size() + 1) / 2;
    qsizetype best = -1;
    for (qsizetype i = 1; i + 1 < text.size(); ++i) {
        if ((text[i] == u'-' || text[i] == u'/') && (best < 0 || std::abs(i + 1 - middle) < std::abs(best - middle)))
            best = i + 1;
    }
    return best > 0 ? best : middle;
}

// A few pixels cover what shaping adds or takes where an elided part meets its neighbours.
constexpr int MaxSlack = 3;

} // namespace

void TFitLabel::SetFitting(int minimumPixelSize, Qt::TextElideMode elide, int maxLines) {
    m_fitting = true;
    m_minimumPixelSize = minimumPixelSize;
    m_elide = elide;
    m_maxLines = std::clamp(maxLines, 1, 2);
    update();
}

void TFitLabel::SetFittedTogether(const QStringList& texts) {
    m_together = texts;
    update();
}

void TFitLabel::SetElidedParts(const QStringList& parts) {
    m_elidedParts = parts;
    update();
}

QString TFitLabel::WithPartsElided(const QFontMetrics& metrics, int width) const {
    QStringList parts = m_elidedParts;
    std::stable_sort(parts.begin(), parts.end(),
                     [](const QString& a, const QString& b) { return a.size() > b.size(); });
    QString shown = text();
    for (const QString& part : parts) {
        const qsizetype at = part.isEmpty() ? -1 : shown.lastIndexOf(part);
        if (at < 0)
            continue;
        const QString before = shown.left(at);
        const QString after = shown.mid(at + part.size());
        // Measured whole, as it is drawn: the pieces' advances need not add up exactly, so the
        // part gets a pixel less until the whole fits.
        const int room = width - metrics.horizontalAdvance(before + after);
        for (int slack = 0; slack <= MaxSlack; ++slack) {
            const QString elided = metrics.elidedText(part, Qt::ElideMiddle, room - slack);
            if (elided.isEmpty())
                break;
            shown = before + elided + after;
            if (metrics.horizontalAdvance(shown) <= width)
                return shown;
        }
    }
    return {};
}

QStringList TFitLabel::LinesIn(const QString& text, const QFont& font) const {
    const QFontMetrics metrics(font);
    const QRect room = contentsRect();
    if (metrics.horizontalAdvance(text) <= room.width())
        return {text};
    if (m_maxLines < 2 || 2 * metrics.lineSpacing() > room.height())
        return {};
    const qsizetype at = BreakPosition(text);
    const QStringList lines = {text.left(at), text.mid(at)};
    for (const QString& line : lines)
        if (metrics.horizontalAdvance(line) > room.width())
            return {};
    return lines;
}

QFont TFitLabel::ShownFont() const {
    QFont shown = font();
    // Pixel sizes only: the window's fonts are all given in pixels.
    if (!m_fitting || shown.pixelSize() <= 0)
        return shown;
    const int smallest = m_minimumPixelSize > 0 ? std::min(m_minimumPixelSize, shown.pixelSize()) : shown.pixelSize();
    for (int size = shown.pixelSize(); size > smallest; --size) {
        shown.setPixelSize(size);
        const auto fits = [this, &shown](const QString& text) { return !LinesIn(text, shown).isEmpty(); };
        if (fits(text()) && std::all_of(m_together.begin(), m_together.end(), fits))
            return shown;
    }
    shown.setPixelSize(smallest);
    return shown;
}

QStringList TFitLabel::ShownLines() const {
    if (!m_fitting)
        return {text()};
    const QFont shown = ShownFont();
    const QStringList lines = LinesIn(text(), shown);
    if (!lines.isEmpty())
        return lines;
    const QFontMetrics metrics(shown);
    const QString partsElided = WithPartsElided(metrics, contentsRect().width());
    if (!partsElided.isEmpty())
        return {partsElided};
    return {metrics.elidedText(text(), m_elide, contentsRect().width())};
}

QString TFitLabel::ShownToolTip() const {
    if (!IsElided())
        return toolTip();
    return toolTip().isEmpty() ? text() : text() + u'\n' + toolTip();
}

QList<QPointF> TFitLabel::ShownLineOrigins() const {
    const QStringList lines = ShownLines();
    const QFontMetricsF metrics(ShownFont());
    const QRectF room = contentsRect();
    const Qt::Alignment align = alignment();
    const qreal height = static_cast<qreal>(lines.size()) * metrics.lineSpacing() - metrics.leading();
    qreal top = room.top();
    if (align & Qt::AlignBottom)
        top = room.bottom() + 1 - height;
    else if (align & Qt::AlignVCenter)
        top = room.top() + (room.height() - height) / 2;
    QList<QPointF> origins;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const qreal width = metrics.horizontalAdvance(lines[i]);
        qreal left = room.left();
        if (align & Qt::AlignRight)
            left = room.right() + 1 - width;
        else if (align & Qt::AlignHCenter)
            left = room.left() + (room.width() - width) / 2;
        origins.append(QPointF(left, top + static_cast<qreal>(i) * metrics.lineSpacing() + metrics.ascent()));
    }
    return origins;
}

qsizetype TFitLabel::PositionAt(QPointF point) const {
    const QStringList lines = ShownLines();
    if (lines.join(QString()) != text())
        return -1;
    const QFontMetricsF metrics(ShownFont());
    const QList<QPointF> origins = ShownLineOrigins();
    qsizetype row = 0;
    qsizetype start = 0;
    while (row + 1 < lines.size() && point.y() >= origins[row + 1].y() - metrics.ascent()) {
        start += lines[row].size();
        ++row;
    }
    const QString& line = lines[row];
    qsizetype nearest = 0;
    for (qsizetype i = 1; i <= line.size(); ++i) {
        const auto distance = [&](qsizetype at) {
            return std::abs(origins[row].x() + metrics.horizontalAdvance(line.left(at)) - point.x());
        };
        if (distance(i) < distance(nearest))
            nearest = i;
    }
    return start + nearest;
}

bool TFitLabel::event(QEvent* event) {
    if (m_fitting && event->type() == QEvent::ToolTip && IsElided()) {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), ShownToolTip(), this);
        return true;
    }
    return QLabel::event(event);
}

void TFitLabel::paintEvent(QPaintEvent* event) {
    if (!m_fitting) {
        QLabel::paintEvent(event);
    } else {
        // Line by line at the origins that PositionAt reads, so that a point finds the character
        // drawn under it.
        QPainter painter(this);
        painter.setFont(ShownFont());
        painter.setPen(isEnabled() ? palette().color(foregroundRole())
                                   : palette().color(QPalette::Disabled, foregroundRole()));
        const QStringList lines = ShownLines();
        const QList<QPointF> origins = ShownLineOrigins();
        for (qsizetype i = 0; i < lines.size(); ++i)
            painter.drawText(origins[i], lines[i]);
    }
    // Focus is otherwise invisible on a label; it matters where Ctrl+C copies from it. A dotted
    // frame in the text's colour shows on any background, the dark result panel included.
    if (hasFocus()) {
        QPainter painter(this);
        painter.setPen(QPen(palette().color(foregroundRole()), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}
