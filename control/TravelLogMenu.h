// The History menu of the control's browser: the pages the embedded
// browser can go back and forward to, read from its travel log.
#pragma once

#include <windows.h>

#include <exdisp.h>
#include <tlogstg.h>

#include "framework/ComPtr.h"

// Menu ids: 60210 is the current page, forward pages above, back pages below.
constexpr UINT kTravelLogCurrentId = 60210;
constexpr UINT kTravelLogFirstId = 60200;
constexpr UINT kTravelLogLastId = 60220;

class CTravelLogMenu {
public:
    // Keeps `browser` and asks it for its travel log; a browser without one
    // (as under Wine) leaves the menu empty.
    void SetBrowser(IWebBrowser2* browser);
    // Appends the entries to `menu`: forward pages (farthest first), the
    // current page (checked), then back pages. Nothing without a travel log.
    void Fill(HMENU menu);
    // Travels `offset` pages (negative: back).
    void GoTo(int offset);
    // Lets go of the browser and its travel log (before the browser goes).
    void Clear();

private:
    void QueryTravelLog();
    ComPtr<IWebBrowser2> browser_;
    ComPtr<ITravelLogStg> storage_;
};
