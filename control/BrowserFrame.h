// A plain child window that hosts the system's web browser object in place:
// the control's banner browser and, in the resizable layout, its large
// browser area. Everything here runs on the window's own thread.
#pragma once

#include <windows.h>

#include <exdisp.h>

#include <string>
#include <vector>

// The child window, hidden until its first BrowserNavigate; null when the
// browser object cannot be made. `instance` is the module this code is in
// (its window class is registered there, and unregistered when it ends).
HWND CreateBrowserWindow(HINSTANCE instance, HWND parent, int x, int y, int width, int height);

// 0 ok; -1 no memory; -2 the browser object could not be made; -3 it would
// not activate (everything made is released again).
long BrowserEmbed(HWND window);
// Closes the browser, takes its site away from it and frees the site.
void BrowserUnembed(HWND window);
// 1 with a reference the caller releases; 0 without a browser.
long BrowserGetWebBrowser(HWND window, IWebBrowser2** browser);
// 0 ok; -5 no browser; -6 no memory.
long BrowserShowUrl(HWND window, const char* address);
void BrowserResize(HWND window, DWORD width, DWORD height);
// BrowserShowUrl, then the window shows.
long BrowserNavigate(HWND window, const char* address);

// The addresses the user typed into the system browser, in the registry's
// order (HKCU "SOFTWARE\Microsoft\Internet Explorer\TypedURLs"); a value
// too long for the address box's 257 characters is passed over.
std::vector<std::string> ReadTypedUrls();
