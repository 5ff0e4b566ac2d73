#include "win/Gdi_win.h"

#include "core/Handles_win.h"

namespace tempora {

namespace {
HFONT CreateFaceFont(const wchar_t* face, int height, int weight, bool italic, bool underline,
                     bool strikeOut) {
    return CreateFontW(height, 0, 0, 0, weight, italic, underline, strikeOut, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face);
}

int CALLBACK FoundFont(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}
}  // namespace

HFONT MakeFont(const wchar_t* face, int points, int weight, bool italic, bool underline,
               bool strikeOut) {
    int dpi = 96;
    if (WindowDc screen(nullptr); screen)
        dpi = GetDeviceCaps(screen.Get(), LOGPIXELSY);
    return CreateFaceFont(face, -MulDiv(points, dpi, 72), weight, italic, underline, strikeOut);
}

HFONT MakeFontPixels(const wchar_t* face, int pixels, int weight) {
    return CreateFaceFont(face, -pixels, weight, false, false, false);
}

bool FontInstalled(const wchar_t* face) {
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    WindowDc screen(nullptr);
    if (screen)
        EnumFontFamiliesExW(screen.Get(), &lf, FoundFont, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

const wchar_t* ChineseDisplayFont() {
    for (const wchar_t* face : {L"楷体_GB2312", L"楷体"}) {
        if (FontInstalled(face))
            return face;
    }
    return L"宋体";
}

void FadeOutForm(HWND form, int alpha) {
    if (!form)
        return;
    while (alpha > 30) {
        alpha -= 30;
        SetLayeredWindowAttributes(form, RGB(255, 0, 255), static_cast<BYTE>(alpha),
                                   LWA_COLORKEY | LWA_ALPHA);
        Sleep(30);
    }
}

void Gradient(HDC dc, const RECT& r, COLORREF from, COLORREF to, bool horizontal) {
    TRIVERTEX v[2] = {
        {r.left, r.top, static_cast<COLOR16>(GetRValue(from) << 8),
         static_cast<COLOR16>(GetGValue(from) << 8), static_cast<COLOR16>(GetBValue(from) << 8), 0},
        {r.right, r.bottom, static_cast<COLOR16>(GetRValue(to) << 8),
         static_cast<COLOR16>(GetGValue(to) << 8), static_cast<COLOR16>(GetBValue(to) << 8), 0}};
    GRADIENT_RECT g{0, 1};
    GradientFill(dc, v, 2, &g, 1, horizontal ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
}

}  // namespace tempora
