// Edge anchoring for controls placed at fixed pixel positions.
//
// Each control is given its rectangle in the designed client area and the edges of the
// container it keeps its distance to. When the container is resized, a control anchored
// left and right stretches with it, one anchored right only moves with the right edge, and
// one anchored left only stays; the same holds for top and bottom. A control anchored to
// neither edge of an axis keeps its centre at the same fraction of the container.
#pragma once

#include <QFlags>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>

class QWidget;

enum class TAnchor { Left = 0x1, Top = 0x2, Right = 0x4, Bottom = 0x8 };
Q_DECLARE_FLAGS(TAnchors, TAnchor)
Q_DECLARE_OPERATORS_FOR_FLAGS(TAnchors)

class TAnchorLayout : public QObject {
public:
    // Watches container's resize events; designSize is the client size the rectangles
    // given to Place refer to.
    TAnchorLayout(QWidget* container, QSize designSize);

    // Places control (a child of the container) at its designed rectangle, adjusted to the
    // container's current size, and keeps it anchored from now on.
    void Place(QWidget* control, const QRect& designRect, TAnchors anchors);

    // The rectangle an anchored control gets in a container of the given size.
    static QRect Arrange(const QRect& designRect, TAnchors anchors, QSize designSize, QSize size);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct TAnchoredControl {
        QPointer<QWidget> control;
        QRect designRect;
        TAnchors anchors;
    };

    void ArrangeAll();

    QWidget* m_container;
    QSize m_designSize;
    QList<TAnchoredControl> m_controls;
};
