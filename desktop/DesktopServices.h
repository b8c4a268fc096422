// Thin services over the desktop: the clipboard, and (through the headers below) shell
// folders, the version record and the pulse timer.
#pragma once

#include "text/VersionInfo.h"
#include "tools/PulseTimer.h"
#include "tools/UserFolders.h"

#include <QString>

// Replaces the clipboard's content with text (the empty text too). Throws std::runtime_error
// "Cannot open clipboard." when there is no QGuiApplication; the platform's own clipboard
// failures are not caught here either.
void CopyTextToClipboard(const QString& text);

// Offers text as the system's selection (pasted by a middle click on X11); nothing where the
// system has no selection or there is no QGuiApplication.
void OfferTextAsSelection(const QString& text);

// The clipboard's text; empty text when it holds none or there is no QGuiApplication.
QString ClipboardText();
