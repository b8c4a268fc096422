// A label that reports a left click (press and release inside it, the mouse not dragged between
// them). Made selectable, a drag over its text selects part of it instead: drawn in the
// highlight colours, offered as the system's selection, and Ctrl+A selects all of it.
#pragma once

#include "gui/FitLabel.h"

#include <QPoint>

class TClickLabel : public TFitLabel {
    Q_OBJECT
public:
    explicit TClickLabel(QWidget* parent = nullptr) : TFitLabel(parent) {}

    void SetSelectable(bool selectable);
    // The selected part of text(); empty when nothing is selected, after a click and once the
    // text has changed.
    QString SelectedText() const;
    void SelectAll();

signals:
    void Clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Select(qsizetype anchor, qsizetype end);
    void OfferSelection() const;

    bool m_selectable = false;
    bool m_pressed = false;
    bool m_dragging = false;
    QPoint m_pressedAt;
    qsizetype m_pressedPosition = -1;
    // The selection runs between these places in m_selectedIn, the text it was made in.
    qsizetype m_anchor = 0;
    qsizetype m_end = 0;
    QString m_selectedIn;
};
