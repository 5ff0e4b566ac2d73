// Paints a window's pop-up menus: a gradient icon bar on the left with the
// item's picture, and a framed gradient highlight under the selected item.
// The colours come from the skin's MENU section.
#pragma once

#include "display/SupFun.h"
#include "core/Handles_win.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace tempora {

class TMenuController {
public:
    // `images` is a strip of 16 × 16 pictures side by side, 32-bit with alpha,
    // or nullptr; the controller takes ownership.
    explicit TMenuController(HBITMAP images);
    TMenuController(const TMenuController&) = delete;
    TMenuController& operator=(const TMenuController&) = delete;

    TSkinMenu colors;  // the skin's MENU section

    // Adds an owner-drawn item; image -1 for none. Returns the item's id.
    UINT Add(HMENU menu, UINT id, const std::wstring& caption, int image = -1, bool enabled = true);
    void AddSeparator(HMENU menu);
    // Adds an owner-drawn item that opens `sub`.
    void AddSubmenu(HMENU menu, HMENU sub, const std::wstring& caption, int image = -1);

    // The owner window forwards these; both return true when they handled the message.
    bool OnMeasureItem(MEASUREITEMSTRUCT* mis);
    bool OnDrawItem(const DRAWITEMSTRUCT* dis);

    // The items kept for menus that still exist (and the one being built).
    size_t ItemCount() const { return items_.size(); }

private:
    struct Item {
        std::wstring caption;
        int image;
        bool separator;
        HMENU menu;  // the menu the item was added to
    };
    Item* NewItem(HMENU menu, const std::wstring& caption, int image, bool separator);
    void DrawImage(HDC dc, int image, int x, int y, bool disabled) const;
    HFONT MenuFont();

    GdiObject<HBITMAP> images_;
    int imageCount_ = 0;
    GdiObject<HFONT> font_;
    std::vector<std::unique_ptr<Item>> items_;
};

}  // namespace tempora
