#include "gui/PopupClickThrough.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace {

class TClickThrough : public QObject {
public:
    TClickThrough(QWidget* popup, QWidget* owner) : QObject(popup), m_owner(owner) { popup->installEventFilter(this); }

protected:
    // Installed after the completer's own filter, so it sees the press first; the completer (or
    // the drop-down's list) then hides the popup and eats the press, and the copy is sent once
    // that is done.
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::MouseButtonPress)
            return false;
        auto* popup = static_cast<QWidget*>(watched);
        const auto* press = static_cast<QMouseEvent*>(event);
        const QPoint global = press->globalPosition().toPoint();
        if (popup->rect().contains(popup->mapFromGlobal(global)))
            return false;
        QPointer<QWidget> target = QApplication::widgetAt(global);
        if (!target || target->window() == popup || (m_owner && (target == m_owner || m_owner->isAncestorOf(target))))
            return false;
        const Qt::MouseButton button = press->button();
        const Qt::MouseButtons buttons = press->buttons();
        const Qt::KeyboardModifiers modifiers = press->modifiers();
        QTimer::singleShot(0, target, [target, global, button, buttons, modifiers] {
            if (!target || !target->isVisible() || !target->isEnabled() || QApplication::activePopupWidget())
                return;
            // A click gives focus as the window system's own would: to the first widget up from
            // the target that takes focus by clicks.
            for (QWidget* taker = target; taker != nullptr && !taker->isWindow(); taker = taker->parentWidget()) {
                if ((taker->focusPolicy() & Qt::ClickFocus) == Qt::ClickFocus && taker->isEnabled()) {
                    taker->setFocus(Qt::MouseFocusReason);
                    break;
                }
            }
            const QPointF local = target->mapFromGlobal(QPointF(global));
            QMouseEvent replay(QEvent::MouseButtonPress, local, QPointF(global), button, buttons, modifiers);
            QApplication::sendEvent(target, &replay);
            // The release went to the popup's window, which the window system had grabbed the
            // pointer for: the click ends here.
            if (!target)
                return;
            QMouseEvent release(QEvent::MouseButtonRelease, local, QPointF(global), button, buttons & ~button,
                                modifiers);
            QApplication::sendEvent(target, &release);
        });
        return false;
    }

private:
    QPointer<QWidget> m_owner;
};

} // namespace

void PassOutsideClicksThrough(QWidget* popup, QWidget* owner) {
    new TClickThrough(popup, owner);
}
