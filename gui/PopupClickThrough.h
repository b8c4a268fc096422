// A popup list (a completer's, a drop-down's) that closes on a click outside it and lets that
// click do what it was aimed at: the click is handed on to the widget under the pointer once the
// popup is gone, instead of being spent on closing it.
#pragma once

class QWidget;

// Watches popup from now on; the watcher lives as long as popup. A click on owner (the
// drop-down whose arrow opened the popup) only closes it, as the owner itself decides.
void PassOutsideClicksThrough(QWidget* popup, QWidget* owner = nullptr);
