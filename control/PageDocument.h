// What the control does to a web page's document: the upload's embed tag
// appended to every text area, and the links of its own browser's pages
// pointed at a window of the control's choosing.
#pragma once

#include <windows.h>

#include <mshtml.h>

// Appends `text` (ANSI) to the value of every TEXTAREA element of the
// document's `all` collection; returns how many were written.
int AppendToTextAreas(IHTMLDocument2* document, const char* text);

// Takes every A element's onclick handler away and sets its target to
// "_blank" (newWindow) or "_self"; returns how many were changed.
int RewriteAnchors(IHTMLDocument2* document, bool newWindow);
