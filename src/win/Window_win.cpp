#include "win/Window_win.h"

#include <exception>
#include <string>

namespace tempora {

void TraceFault(const char* where, const char* what) noexcept {
    try {
        const std::string line = std::string("Tempora: ") + where + ": " + what + "\n";
        OutputDebugStringA(line.c_str());
    } catch (...) {
        OutputDebugStringA("Tempora: fault while tracing a fault\n");
    }
}

TWindow::~TWindow() {
    if (hwnd_) {
        // Detach first so that the messages of the destruction find no object.
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

bool TWindow::CreateWin(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle,
                        int x, int y, int w, int h, HWND parent, HICON icon) {
    const HINSTANCE inst = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    if (!GetClassInfoExW(inst, className, &wc)) {
        wc = WNDCLASSEXW{};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = StaticProc;
        wc.hInstance = inst;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hIcon = icon;
        wc.hIconSm = icon;
        wc.lpszClassName = className;
        if (!RegisterClassExW(&wc))
            return false;
    }
    return CreateWindowExW(exStyle, className, title, style, x, y, w, h, parent, nullptr, inst,
                           this) != nullptr;
}

LRESULT TWindow::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT TWindow::Dispatch(UINT msg, WPARAM wp, LPARAM lp) noexcept {
    try {
        return WndProc(msg, wp, lp);
    } catch (const std::exception& e) {
        TraceFault("window message", e.what());
    } catch (...) {
        TraceFault("window message", "unknown exception");
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK TWindow::StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<TWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        const LRESULT r = self->Dispatch(msg, wp, lp);
        self->hwnd_ = nullptr;
        try {
            self->Destroyed();
        } catch (...) {
            TraceFault("window destroyed", "exception");
        }
        return r;
    }
    return self->Dispatch(msg, wp, lp);
}

}  // namespace tempora
