// GDI helpers every window shares: fonts and gradients.
#pragma once

#include <windows.h>

namespace tempora {

// A font of `points` at the screen's resolution.
HFONT MakeFont(const wchar_t* face, int points, int weight = FW_NORMAL, bool italic = false,
               bool underline = false, bool strikeOut = false);
// A font `pixels` high (character height, without internal leading).
HFONT MakeFontPixels(const wchar_t* face, int pixels, int weight = FW_NORMAL);

// True when a font family of this name is installed.
bool FontInstalled(const wchar_t* face);
// The face for large Chinese captions: 楷体_GB2312, else 楷体, else 宋体.
const wchar_t* ChineseDisplayFont();

// Lowers a layered window's alpha (magenta see-through) in steps of 30 every
// 30 ms while it is above 30; the caller hides or frees the window.
void FadeOutForm(HWND form, int alpha);

// Fills r with a linear gradient, top to bottom or left to right.
void Gradient(HDC dc, const RECT& r, COLORREF from, COLORREF to, bool horizontal = false);

}  // namespace tempora
