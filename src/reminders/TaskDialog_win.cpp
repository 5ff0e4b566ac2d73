#include "TaskDialog_win.h"

#include "core/Encoding.h"
#include "core/Handles_win.h"

namespace tempora {

void TTaskDialog::PopupMenu(const std::vector<MenuItem>& items, POINT screenAt) {
    // A painter per menu, so that the items of menus gone do not pile up.
    menuPainter_ = std::make_unique<TMenuController>(nullptr);
    MenuHandle menu(CreatePopupMenu());
    for (const MenuItem& item : items) {
        if (item.id == 0) {
            menuPainter_->AddSeparator(menu.Get());
        } else {
            menuPainter_->Add(menu.Get(), static_cast<UINT>(item.id), Utf8ToWide(item.caption), -1,
                              item.enabled);
        }
    }
    TrackPopupMenu(menu.Get(), TPM_RIGHTBUTTON, screenAt.x, screenAt.y, 0, Handle(), nullptr);
}

LRESULT TTaskDialog::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_MEASUREITEM:
            if (menuPainter_ &&
                menuPainter_->OnMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lp)))
                return TRUE;
            break;
        case WM_DRAWITEM:
            if (menuPainter_ && menuPainter_->OnDrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lp)))
                return TRUE;
            break;
        default:
            break;
    }
    return TDialog::WndProc(msg, wp, lp);
}

}  // namespace tempora
