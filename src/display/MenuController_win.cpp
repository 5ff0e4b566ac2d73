#include "display/MenuController_win.h"

#include "win/Gdi_win.h"
#include "core/Handles_win.h"

#include <algorithm>

namespace tempora {

namespace {
constexpr int kItemHeight = 22;
constexpr int kSeparatorHeight = 7;
constexpr int kIconBarWidth = 26;
constexpr int kTextGap = 8;

}  // namespace

TMenuController::TMenuController(HBITMAP images) : images_(images) {
    BITMAP bm{};
    if (images_ && GetObjectW(images_.Get(), sizeof bm, &bm) && bm.bmBitsPixel == 32 && bm.bmBits) {
        imageCount_ = bm.bmWidth / 16;
        // AlphaBlend wants premultiplied colors.
        auto* px = static_cast<uint8_t*>(bm.bmBits);
        for (LONG i = 0; i < bm.bmWidth * bm.bmHeight; ++i, px += 4) {
            for (int c = 0; c < 3; ++c)
                px[c] = static_cast<uint8_t>(px[c] * px[3] / 255);
        }
    }
}

TMenuController::Item* TMenuController::NewItem(HMENU menu, const std::wstring& caption, int image,
                                                bool separator) {
    // The items of menus destroyed since go: a window that builds its menu
    // at every opening would otherwise keep every item it ever painted. A
    // menu still empty is new, so items under its handle belong to an older
    // menu that had the same handle.
    const bool fresh = GetMenuItemCount(menu) == 0;
    std::erase_if(items_, [menu, fresh](const std::unique_ptr<Item>& item) {
        return !IsMenu(item->menu) || (fresh && item->menu == menu);
    });
    items_.push_back(std::make_unique<Item>(Item{caption, image, separator, menu}));
    return items_.back().get();
}

UINT TMenuController::Add(HMENU menu, UINT id, const std::wstring& caption, int image,
                          bool enabled) {
    Item* item = NewItem(menu, caption, image, false);
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA | MIIM_STATE;
    mii.fType = MFT_OWNERDRAW;
    mii.fState = enabled ? MFS_ENABLED : MFS_GRAYED;
    mii.wID = id;
    mii.dwItemData = reinterpret_cast<ULONG_PTR>(item);
    InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &mii);
    return id;
}

void TMenuController::AddSeparator(HMENU menu) {
    Item* item = NewItem(menu, L"", -1, true);
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE | MIIM_DATA;
    mii.fType = MFT_OWNERDRAW | MFT_SEPARATOR;
    mii.dwItemData = reinterpret_cast<ULONG_PTR>(item);
    InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &mii);
}

void TMenuController::AddSubmenu(HMENU menu, HMENU sub, const std::wstring& caption, int image) {
    Item* item = NewItem(menu, caption, image, false);
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE | MIIM_SUBMENU | MIIM_DATA;
    mii.fType = MFT_OWNERDRAW;
    mii.hSubMenu = sub;
    mii.dwItemData = reinterpret_cast<ULONG_PTR>(item);
    InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &mii);
}

HFONT TMenuController::MenuFont() {
    if (!font_) {
        NONCLIENTMETRICSW ncm{};
        ncm.cbSize = sizeof ncm;
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0)) {
            font_.Reset(CreateFontIndirectW(&ncm.lfMenuFont));
        }
        if (!font_)
            return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }
    return font_.Get();
}

bool TMenuController::OnMeasureItem(MEASUREITEMSTRUCT* mis) {
    if (mis->CtlType != ODT_MENU || !mis->itemData)
        return false;
    const Item* item = reinterpret_cast<const Item*>(mis->itemData);
    if (!std::any_of(items_.begin(), items_.end(),
                     [&](const auto& p) { return p.get() == item; })) {
        return false;
    }
    if (item->separator) {
        mis->itemHeight = kSeparatorHeight;
        mis->itemWidth = 40;
        return true;
    }
    RECT r{0, 0, 0, 0};
    if (WindowDc dc(nullptr); dc) {
        SelectObjectScope font(dc.Get(), MenuFont());
        DrawTextW(dc.Get(), item->caption.c_str(), -1, &r, DT_SINGLELINE | DT_CALCRECT);
    }
    mis->itemHeight = kItemHeight;
    // The system adds the width of a check mark; the text needs the rest.
    mis->itemWidth = static_cast<UINT>(kIconBarWidth + kTextGap + (r.right - r.left) + 24 -
                                       GetSystemMetrics(SM_CXMENUCHECK));
    return true;
}

void TMenuController::DrawImage(HDC dc, int image, int x, int y, bool disabled) const {
    if (image < 0 || image >= imageCount_)
        return;
    MemoryDc mem(CreateCompatibleDC(dc));
    if (!mem)
        return;
    SelectObjectScope sel(mem.Get(), images_.Get());
    BLENDFUNCTION bf{AC_SRC_OVER, 0, static_cast<BYTE>(disabled ? 90 : 255), AC_SRC_ALPHA};
    AlphaBlend(dc, x, y, 16, 16, mem.Get(), image * 16, 0, 16, 16, bf);
}

bool TMenuController::OnDrawItem(const DRAWITEMSTRUCT* dis) {
    if (dis->CtlType != ODT_MENU || !dis->itemData)
        return false;
    const Item* item = reinterpret_cast<const Item*>(dis->itemData);
    if (!std::any_of(items_.begin(), items_.end(),
                     [&](const auto& p) { return p.get() == item; })) {
        return false;
    }
    HDC dc = dis->hDC;
    const RECT& rc = dis->rcItem;
    const bool selected = (dis->itemState & ODS_SELECTED) && !(dis->itemState & ODS_GRAYED);
    const bool disabled = dis->itemState & (ODS_GRAYED | ODS_DISABLED);

    RECT bar{rc.left, rc.top, rc.left + kIconBarWidth, rc.bottom};
    RECT body{bar.right, rc.top, rc.right, rc.bottom};
    // The icon bar is one gradient over the whole menu height: each item paints
    // its slice of it, so the strips line up.
    Gradient(dc, bar, colors.iconBarColorStart, colors.iconBarColorStop, true);
    FillRect(dc, &body, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

    if (item->separator) {
        GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, RGB(0xC8, 0xC8, 0xC8)));
        SelectObjectScope sel(dc, pen.Get());
        const int y = (rc.top + rc.bottom) / 2;
        MoveToEx(dc, bar.right + kTextGap, y, nullptr);
        LineTo(dc, rc.right - 2, y);
        return true;
    }
    if (selected) {
        RECT hi{rc.left + 1, rc.top + 1, rc.right - 1, rc.bottom - 1};
        Gradient(dc, hi, colors.selectionColorStart, colors.selectionColorStop, false);
        GdiObject<HBRUSH> frame(CreateSolidBrush(colors.selectionFrameColor));
        FrameRect(dc, &hi, frame.Get());
    }
    const int iy = rc.top + (rc.bottom - rc.top - 16) / 2;
    if (dis->itemState & ODS_CHECKED) {
        // A ticked view item: a round mark in the icon bar.
        GdiObject<HBRUSH> dot(CreateSolidBrush(colors.selectionFrameColor));
        GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, colors.selectionFrameColor));
        SelectObjectScope b(dc, dot.Get());
        SelectObjectScope p(dc, pen.Get());
        const int cx = bar.left + kIconBarWidth / 2, cy = (rc.top + rc.bottom) / 2;
        Ellipse(dc, cx - 4, cy - 4, cx + 4, cy + 4);
    } else {
        DrawImage(dc, item->image, bar.left + (kIconBarWidth - 16) / 2, iy, disabled);
    }
    RECT text{bar.right + kTextGap, rc.top, rc.right - 4, rc.bottom};
    SelectObjectScope font(dc, MenuFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, disabled ? RGB(0xA0, 0xA0, 0xA0) : RGB(0x20, 0x20, 0x20));
    UINT flags = DT_SINGLELINE | DT_VCENTER | DT_LEFT;
    if (dis->itemState & ODS_NOACCEL)
        flags |= DT_HIDEPREFIX;
    DrawTextW(dc, item->caption.c_str(), -1, &text, flags);
    return true;
}

}  // namespace tempora
