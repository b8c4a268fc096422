// A plain-text label that never cuts its text silently. Too long for its width, the text is
// drawn in a smaller font, down to a minimum pixel size, and past that elided; then its tooltip
// shows the whole text above the label's own tooltip. text() stays the whole text throughout.
// Without SetFitting it draws like a QLabel.
#pragma once

#include <QLabel>

class TFitLabel : public QLabel {
    Q_OBJECT
public:
    explicit TFitLabel(QWidget* parent = nullptr) : QLabel(parent) {}

    // minimumPixelSize: the smallest font the text may shrink to (0 or the font's own size:
    // never shrink); elide: where the text is cut once the smallest font is still too wide.
    void SetFitting(int minimumPixelSize, Qt::TextElideMode elide);

    // The font and text as drawn at the current width.
    QFont ShownFont() const;
    QString ShownText() const;
    bool IsElided() const { return ShownText() != text(); }
    // What hovering shows: the label's tooltip, with the whole text on top when it is elided.
    QString ShownToolTip() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_fitting = false;
    int m_minimumPixelSize = 0;
    Qt::TextElideMode m_elide = Qt::ElideRight;
};
