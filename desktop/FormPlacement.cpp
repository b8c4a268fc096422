#include "desktop/FormPlacement.h"

#include "tools/ConfigStore.h"
#include "tools/KeyedList.h"
#include "tools/PlacementGeometry.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMargins>
#include <QRect>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <optional>
#include <vector>

namespace {

constexpr Qt::WindowStates kSizedStates = Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;

TPlacementRect ToPlacementRect(const QRect& rect) {
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

std::vector<TMonitorArea> CurrentMonitors() {
    std::vector<TMonitorArea> monitors;
    for (const QScreen* screen : QGuiApplication::screens())
        monitors.push_back({ToPlacementRect(screen->geometry()), ToPlacementRect(screen->availableGeometry())});
    return monitors;
}

// The frame around the client area; all zero before the window is first shown.
QMargins FrameMargins(const QWidget& form) {
    const QRect outer = form.frameGeometry();
    const QRect inner = form.geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

const char* const NormalFrameTrackerName = "NormalFrameTracker";

// Remembers the frame of its window while the window is in the normal state. A window manager
// may draw a maximised window with a thinner frame (or none at the sides), so the normal
// bounds cannot be told from the maximised window's frame.
class TNormalFrameTracker final : public QObject {
public:
    explicit TNormalFrameTracker(QWidget* form) : QObject(form), m_form(form) {
        setObjectName(QLatin1String(NormalFrameTrackerName));
        form->installEventFilter(this);
        Update();
    }

    // The normal state's frame once it was seen, with a frame drawn.
    std::optional<QMargins> Margins() const { return m_margins; }

    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowStateChange:
            if (watched == m_form)
                Update();
            break;
        default:
            break;
        }
        return false;
    }

private:
    void Update() {
        const QMargins margins = FrameMargins(*m_form);
        // Before the window manager has framed the window its frame reads as none.
        if (m_form->isVisible() && (m_form->windowState() & kSizedStates) == 0 && !margins.isNull())
            m_margins = margins;
    }

    QWidget* m_form;
    std::optional<QMargins> m_margins;
};

TNormalFrameTracker* NormalFrameTracker(const QWidget& form) {
    return static_cast<TNormalFrameTracker*>(
        form.findChild<QObject*>(QLatin1String(NormalFrameTrackerName), Qt::FindDirectChildrenOnly));
}

// The outer bounds of the window in the normal state. While maximised or full screen the
// window system keeps the normal bounds aside; reading them avoids restoring the window
// visibly just to measure it. They get the frame the window had in the normal state.
TPlacementRect NormalOuterBounds(const QWidget& form) {
    if (form.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
        const QRect normal = form.normalGeometry();
        const TNormalFrameTracker* tracker = NormalFrameTracker(form);
        const std::optional<QMargins> normalFrame = tracker != nullptr ? tracker->Margins() : std::nullopt;
        if (normal.isValid())
            return ToPlacementRect(normal.marginsAdded(normalFrame.value_or(FrameMargins(form))));
    }
    return ToPlacementRect(form.frameGeometry());
}

// A client size limit as an outer one; 0 stays "no minimum", Qt's unbounded maximum stays
// unbounded.
int OuterMinimum(int clientMinimum, int frame) {
    return clientMinimum > 0 ? clientMinimum + frame : 0;
}

int OuterMaximum(int clientMaximum, int frame) {
    return clientMaximum >= QWIDGETSIZE_MAX ? INT_MAX : clientMaximum + frame;
}

} // namespace

void ListSaveFormPlacement(TStrings& list, const QString& key, QWidget* form) {
    if (form == nullptr)
        return;
    const Qt::WindowStates state = form->windowState();
    const bool maximized = state.testFlag(Qt::WindowMaximized) && !state.testFlag(Qt::WindowMinimized);

    const TScratchListUse use;
    BuildPlacementItems(use.List(), NormalOuterBounds(*form), maximized, CurrentMonitors());
    ListSetItems(list, key, use.List());
}

void TrackNormalFrame(QWidget* form) {
    if (form != nullptr && NormalFrameTracker(*form) == nullptr)
        new TNormalFrameTracker(form);
}

void ListRestoreFormPlacement(TStrings& list, const QString& key, QWidget* form, bool keepSize) {
    TrackNormalFrame(form);
    ListGetItems(list, key, ScratchList(), false);
    if (form == nullptr)
        return;

    const QMargins frame = FrameMargins(*form);
    const int frameWidth = frame.left() + frame.right();
    const int frameHeight = frame.top() + frame.bottom();
    std::optional<TPlacementTarget> target;
    {
        // The items ListGetItems left in ScratchList() are read until the placement has been
        // computed; the window is touched only after that.
        const TScratchListUse use;
        if (use.List().Count() == 0)
            return;
        TPlacementWindow window;
        window.bounds = NormalOuterBounds(*form);
        window.minWidth = OuterMinimum(form->minimumWidth(), frameWidth);
        window.minHeight = OuterMinimum(form->minimumHeight(), frameHeight);
        window.maxWidth = OuterMaximum(form->maximumWidth(), frameWidth);
        window.maxHeight = OuterMaximum(form->maximumHeight(), frameHeight);
        target = ComputeRestoredPlacement(use.List(), window, CurrentMonitors(), keepSize);
    }
    if (!target)
        return;

    // Leaving the maximised state first makes the new bounds the normal bounds, which the
    // window keeps when it is maximised again below. The size is set even with keepSize: a
    // window leaving the maximised state may still report its maximised size until the
    // window system answers, and the normal size must not be taken from that.
    form->setWindowState(form->windowState() & ~kSizedStates);
    form->resize(std::max(target->bounds.width - frameWidth, 1), std::max(target->bounds.height - frameHeight, 1));
    // For a top-level widget move() places the frame's outer corner.
    form->move(target->bounds.left, target->bounds.top);
    if (target->maximized)
        form->setWindowState(form->windowState() | Qt::WindowMaximized);
}

void ConfigSaveFormPlacement(const QString& key, QWidget* form) {
    ListSaveFormPlacement(ConfigList(), key, form);
    MarkConfigDirty();
}

void ConfigRestoreFormPlacement(const QString& key, QWidget* form, bool keepSize) {
    ListRestoreFormPlacement(ConfigList(), key, form, keepSize);
}
