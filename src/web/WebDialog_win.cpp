#include "web/WebDialog_win.h"

#include "core/Encoding.h"
#include "win/Dpi_win.h"
#include "win/Gdi_win.h"

namespace tempora {

namespace {
constexpr COLORREF kLinkColor = RGB(0, 70, 200);
}  // namespace

TWebDialog::~TWebDialog() {
    // The link labels go before their font.
    if (Handle())
        DestroyWindow(Handle());
}

HWND TWebDialog::AddLink(std::string_view text, const std::string& address, int x, int y, int w,
                         int h, int id) {
    const HWND hwnd = AddControl(
        L"STATIC", text, SS_LEFT | SS_NOPREFIX | SS_NOTIFY | SS_ENDELLIPSIS, x, y, w, h, id);
    if (!linkFont_)
        linkFont_.Reset(MakeScaledFont(L"宋体", 9, Scale(), FW_NORMAL, false, true));
    if (hwnd)
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_.Get()), FALSE);
    links_[id] = address;
    return hwnd;
}

void TWebDialog::SetLink(int id, std::string_view text, const std::string& address) {
    links_[id] = address;
    SetWindowTextW(Item(id), Utf8ToWide(text).c_str());
}

std::string TWebDialog::LinkOf(int id) const {
    const auto it = links_.find(id);
    return it == links_.end() ? std::string() : it->second;
}

void TWebDialog::Command(int id, int code) {
    if (code == STN_CLICKED && open_) {
        const std::string address = LinkOf(id);
        if (!address.empty())
            open_(address);
    }
}

LRESULT TWebDialog::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CTLCOLORSTATIC: {
            // The default answer sets the text colour too, so the link's comes after it.
            const LRESULT brush = TDialog::WndProc(msg, wp, lp);
            if (links_.count(GetDlgCtrlID(reinterpret_cast<HWND>(lp))))
                SetTextColor(reinterpret_cast<HDC>(wp), kLinkColor);
            return brush;
        }
        case WM_SETCURSOR: {
            const int id = GetDlgCtrlID(reinterpret_cast<HWND>(wp));
            if (reinterpret_cast<HWND>(wp) != Handle() && links_.count(id) && !LinkOf(id).empty()) {
                SetCursor(LoadCursorW(nullptr, IDC_HAND));
                return TRUE;
            }
            break;
        }
        default:
            break;
    }
    return TDialog::WndProc(msg, wp, lp);
}

}  // namespace tempora
