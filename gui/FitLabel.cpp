#include "gui/FitLabel.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QPainter>
#include <QPen>
#include <QStyle>
#include <QToolTip>

#include <algorithm>

void TFitLabel::SetFitting(int minimumPixelSize, Qt::TextElideMode elide) {
    m_fitting = true;
    m_minimumPixelSize = minimumPixelSize;
    m_elide = elide;
    update();
}

QFont TFitLabel::ShownFont() const {
    QFont shown = font();
    const int width = contentsRect().width();
    // Pixel sizes only: the window's fonts are all given in pixels.
    if (!m_fitting || shown.pixelSize() <= 0)
        return shown;
    const int smallest = m_minimumPixelSize > 0 ? std::min(m_minimumPixelSize, shown.pixelSize()) : shown.pixelSize();
    for (int size = shown.pixelSize(); size > smallest; --size) {
        shown.setPixelSize(size);
        if (QFontMetrics(shown).horizontalAdvance(text()) <= width)
            return shown;
    }
    shown.setPixelSize(smallest);
    return shown;
}

QString TFitLabel::ShownText() const {
    if (!m_fitting)
        return text();
    return QFontMetrics(ShownFont()).elidedText(text(), m_elide, contentsRect().width());
}

QString TFitLabel::ShownToolTip() const {
    if (!IsElided())
        return toolTip();
    return toolTip().isEmpty() ? text() : text() + u'\n' + toolTip();
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
        QPainter painter(this);
        painter.setFont(ShownFont());
        style()->drawItemText(&painter, contentsRect(), static_cast<int>(alignment()), palette(), isEnabled(),
                              ShownText(), foregroundRole());
    }
    // Focus is otherwise invisible on a label; it matters where Ctrl+C copies from it. A dotted
    // frame in the text's colour shows on any background, the dark result panel included.
    if (hasFocus()) {
        QPainter painter(this);
        painter.setPen(QPen(palette().color(foregroundRole()), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}
