#include "gui/Shape.h"

#include <QPainter>

TShape::TShape(QColor fill, QColor border, QWidget* parent) : QWidget(parent), m_fill(fill), m_border(border) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), m_fill);
    painter.setPen(m_border);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
