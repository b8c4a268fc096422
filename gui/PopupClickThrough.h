// A popup list (a completer's) that closes on a click outside it and lets that click do what it
// was aimed at: the click is handed on to the widget under the pointer once the popup is gone,
// instead of being spent on closing it.
#pragma once

class QWidget;

// Watches popup from now on; the watcher lives as long as popup.
void PassOutsideClicksThrough(QWidget* popup);
