// A filled rectangle with a one-pixel border, drawn beneath other controls.
#pragma once

#include <QColor>
#include <QWidget>

class TShape : public QWidget {
public:
    TShape(QColor fill, QColor border, QWidget* parent = nullptr);

    QColor Fill() const { return m_fill; }
    QColor Border() const { return m_border; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_fill;
    QColor m_border;
};
