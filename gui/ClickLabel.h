// A label that reports a left click (press and release inside it).
#pragma once

#include "gui/FitLabel.h"

class TClickLabel : public TFitLabel {
    Q_OBJECT
public:
    explicit TClickLabel(QWidget* parent = nullptr) : TFitLabel(parent) {}

signals:
    void Clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};
