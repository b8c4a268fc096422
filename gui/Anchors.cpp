#include "gui/Anchors.h"

#include <QEvent>
#include <QWidget>

#include <algorithm>
#include <utility>

namespace {

// One axis: the designed start and length, the designed container length and the current
// one. Answers the new start and length.
std::pair<int, int> ArrangeAxis(int start, int length, bool nearEdge, bool farEdge, int designExtent, int extent) {
    const int delta = extent - designExtent;
    if (nearEdge && farEdge)
        return {start, std::max(0, length + delta)};
    if (farEdge)
        return {start + delta, length};
    if (nearEdge)
        return {start, length};
    if (designExtent <= 0)
        return {start, length};
    // Neither edge: the centre keeps its relative place.
    const double centre = (start + length / 2.0) * extent / designExtent;
    return {static_cast<int>(centre - length / 2.0 + 0.5), length};
}

} // namespace

TAnchorLayout::TAnchorLayout(QWidget* container, QSize designSize)
    : QObject(container), m_container(container), m_designSize(designSize) {
    container->installEventFilter(this);
}

void TAnchorLayout::Place(QWidget* control, const QRect& designRect, TAnchors anchors) {
    m_controls.append({control, designRect, anchors});
    control->setGeometry(Arrange(designRect, anchors, m_designSize, m_container->size()));
}

QRect TAnchorLayout::Arrange(const QRect& designRect, TAnchors anchors, QSize designSize, QSize size) {
    const auto [x, width] = ArrangeAxis(designRect.x(), designRect.width(), anchors.testFlag(TAnchor::Left),
                                        anchors.testFlag(TAnchor::Right), designSize.width(), size.width());
    const auto [y, height] = ArrangeAxis(designRect.y(), designRect.height(), anchors.testFlag(TAnchor::Top),
                                         anchors.testFlag(TAnchor::Bottom), designSize.height(), size.height());
    return QRect(x, y, width, height);
}

bool TAnchorLayout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_container && event->type() == QEvent::Resize)
        ArrangeAll();
    return QObject::eventFilter(watched, event);
}

void TAnchorLayout::ArrangeAll() {
    const QSize size = m_container->size();
    for (const TAnchoredControl& item : m_controls) {
        if (item.control)
            item.control->setGeometry(Arrange(item.designRect, item.anchors, m_designSize, size));
    }
}
