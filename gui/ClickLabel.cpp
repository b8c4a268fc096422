#include "gui/ClickLabel.h"

#include "desktop/DesktopServices.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

void TClickLabel::SetSelectable(bool selectable) {
    m_selectable = selectable;
    Select(0, 0);
}

QString TClickLabel::SelectedText() const {
    if (m_selectedIn != text())
        return {};
    const qsizetype from = std::min(m_anchor, m_end);
    return m_selectedIn.mid(from, std::max(m_anchor, m_end) - from);
}

void TClickLabel::SelectAll() {
    if (m_selectable && PositionAt(QPointF()) >= 0) {
        Select(0, text().size());
        OfferSelection();
    }
}

void TClickLabel::Select(qsizetype anchor, qsizetype end) {
    m_anchor = anchor;
    m_end = end;
    m_selectedIn = text();
    update();
}

void TClickLabel::OfferSelection() const {
    const QString selected = SelectedText();
    if (!selected.isEmpty())
        OfferTextAsSelection(selected);
}

void TClickLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        m_dragging = false;
        m_pressedAt = event->position().toPoint();
        m_pressedPosition = m_selectable ? PositionAt(event->position()) : -1;
        event->accept();
        return;
    }
    TFitLabel::mousePressEvent(event);
}

void TClickLabel::mouseMoveEvent(QMouseEvent* event) {
    if (!m_pressed || m_pressedPosition < 0) {
        TFitLabel::mouseMoveEvent(event);
        return;
    }
    // Moving less than the drag distance is still a click: a hand is seldom quite still.
    if ((event->position().toPoint() - m_pressedAt).manhattanLength() >= QApplication::startDragDistance())
        m_dragging = true;
    if (m_dragging) {
        const qsizetype at = PositionAt(event->position());
        if (at >= 0)
            Select(m_pressedPosition, at);
    }
    event->accept();
}

void TClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_pressed) {
        m_pressed = false;
        event->accept();
        if (m_dragging) {
            m_dragging = false;
            OfferSelection();
            return;
        }
        if (rect().contains(event->position().toPoint())) {
            Select(0, 0);
            emit Clicked();
        }
        return;
    }
    TFitLabel::mouseReleaseEvent(event);
}

void TClickLabel::keyPressEvent(QKeyEvent* event) {
    if (m_selectable && event->matches(QKeySequence::SelectAll)) {
        SelectAll();
        event->accept();
        return;
    }
    TFitLabel::keyPressEvent(event);
}

void TClickLabel::paintEvent(QPaintEvent* event) {
    TFitLabel::paintEvent(event);
    if (SelectedText().isEmpty())
        return;
    // The selected characters again over the highlight, at the places the label drew them.
    const qsizetype from = std::min(m_anchor, m_end);
    const qsizetype to = std::max(m_anchor, m_end);
    const QFont font = ShownFont();
    const QFontMetricsF metrics(font);
    const QStringList lines = ShownLines();
    const QList<QPointF> origins = ShownLineOrigins();
    QPainter painter(this);
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::HighlightedText));
    qsizetype start = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const qsizetype first = std::clamp(from - start, qsizetype(0), lines[i].size());
        const qsizetype last = std::clamp(to - start, qsizetype(0), lines[i].size());
        if (first < last) {
            const qreal left = origins[i].x() + metrics.horizontalAdvance(lines[i].left(first));
            const qreal right = origins[i].x() + metrics.horizontalAdvance(lines[i].left(last));
            painter.fillRect(QRectF(left, origins[i].y() - metrics.ascent(), right - left, metrics.height()),
                             palette().color(QPalette::Highlight));
            painter.drawText(QPointF(left, origins[i].y()), lines[i].mid(first, last - first));
        }
        start += lines[i].size();
    }
}
