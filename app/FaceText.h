// Text on the skinned face: the stock ANSI_VAR_FONT on a transparent
// background, left and top aligned, clipped to its rectangle; the DC's
// font, mode, colour and alignment are put back afterwards.
#pragma once

#include <windows.h>

void DrawFaceText(HDC dc, const RECT& rect, COLORREF colour, const char* text);
