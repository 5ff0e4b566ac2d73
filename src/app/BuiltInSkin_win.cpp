#include "app/BuiltInSkin_win.h"

#include "app/UnitLED_win.h"
#include "win/Gdi_win.h"
#include "core/Handles_win.h"
#include "win/PictureBlit_win.h"

namespace tempora {

namespace {

// A rounded rectangle filled with a vertical gradient and framed by `border`.
void RoundedPanel(HDC dc, const RECT& r, int radius, COLORREF top, COLORREF bottom,
                  COLORREF border) {
    GdiObject<HRGN> rgn(
        CreateRoundRectRgn(r.left, r.top, r.right + 1, r.bottom + 1, radius, radius));
    SelectClipRgn(dc, rgn.Get());
    Gradient(dc, r, top, bottom);
    SelectClipRgn(dc, nullptr);
    GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, border));
    SelectObjectScope p(dc, pen.Get());
    SelectObjectScope b(dc, GetStockObject(NULL_BRUSH));
    RoundRect(dc, r.left, r.top, r.right, r.bottom, radius, radius);
}

RECT ToRect(const TSkinRect& r) {
    return {r.left, r.top, r.left + r.width, r.top + r.height};
}

}  // namespace

TBarSkin BuiltInBarSkin(TScale scale) {
    TBarSkin skin;
    const int w = skin.width, h = skin.height;
    TDibCanvas canvas(w, h);
    const HDC dc = canvas.Dc();
    GdiObject<HFONT> font(MakeFont(L"宋体", 9));
    const auto base = [&] {
        const RECT all{0, 0, w, h};
        GdiObject<HBRUSH> key(CreateSolidBrush(TFrmLED::kKeyColor));
        FillRect(dc, &all, key.Get());
        RoundedPanel(dc, {0, 0, w - 1, h - 1}, 8, RGB(58, 66, 82), RGB(20, 23, 30),
                     RGB(92, 104, 124));
    };
    base();
    ReadPicture(dc, 0, 0, w, h, skin.background);
    for (int hot = 0; hot < 2; ++hot) {
        const COLORREF top = hot ? RGB(96, 110, 136) : RGB(74, 84, 104);
        const COLORREF bottom = hot ? RGB(52, 60, 78) : RGB(38, 44, 58);
        const COLORREF border = hot ? RGB(140, 170, 220) : RGB(100, 112, 134);
        base();
        RECT menu = ToRect(skin.btnMenu.place);
        RoundedPanel(dc, menu, 5, top, bottom, border);
        SetBkMode(dc, TRANSPARENT);
        {
            SelectObjectScope f(dc, font.Get());
            SetTextColor(dc, RGB(232, 236, 244));
            DrawTextW(dc, L"菜单", -1, &menu, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
        ReadPicture(dc, menu.left, menu.top, menu.right - menu.left, menu.bottom - menu.top,
                    hot ? skin.btnMenu.hot : skin.btnMenu.up);
        const RECT min = ToRect(skin.btnMin.place);
        RoundedPanel(dc, min, 5, top, bottom, border);
        {
            GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, RGB(232, 236, 244)));
            SelectObjectScope pn(dc, pen.Get());
            MoveToEx(dc, min.left + 9, min.top + 5, nullptr);
            LineTo(dc, min.right - 9, min.top + 5);
        }
        ReadPicture(dc, min.left, min.top, min.right - min.left, min.bottom - min.top,
                    hot ? skin.btnMin.hot : skin.btnMin.up);
    }
    // Fuchsia digits would be see-through holes: this look lights them cyan.
    skin.ledFontColor = RGB(96, 220, 255);
    skin.fontColor = 0xECDED6;
    return ScaledBarSkin(skin, scale);
}

}  // namespace tempora
