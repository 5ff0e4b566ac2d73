// Small Win32 helpers shared by the shell: a window base class whose one
// static procedure forwards to a member, and move-only handle wrappers.
#pragma once

#include <windows.h>

#include <utility>

namespace tempora {

// A window owned by a C++ object. The object is attached at WM_NCCREATE and
// detached at WM_NCDESTROY, so messages never reach a dead object.
class TWindow {
public:
    TWindow() = default;
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;
    virtual ~TWindow();

    HWND Handle() const { return hwnd_; }

protected:
    // Registers the class once per process name and creates the window.
    bool CreateWin(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle,
                   int x, int y, int w, int h, HWND parent = nullptr, HICON icon = nullptr);
    virtual LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);
    // Called after WM_NCDESTROY, when the handle is gone.
    virtual void Destroyed() {}

private:
    static LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;
};

// Move-only owner of a GDI object.
template <typename H>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(H h) : h_(h) {}
    GdiObject(GdiObject&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    GdiObject& operator=(GdiObject&& o) noexcept {
        if (this != &o)
            Reset(std::exchange(o.h_, nullptr));
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    ~GdiObject() { Reset(); }
    void Reset(H h = nullptr) {
        if (h_)
            DeleteObject(h_);
        h_ = h;
    }
    H Get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }

private:
    H h_ = nullptr;
};

// Selects an object into a DC and restores the previous one when it goes.
class SelectObjectScope {
public:
    SelectObjectScope(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;
    ~SelectObjectScope() { SelectObject(dc_, old_); }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// BeginPaint/EndPaint as a scope.
class PaintScope {
public:
    explicit PaintScope(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    ~PaintScope() { EndPaint(hwnd_, &ps_); }
    HDC Dc() const { return dc_; }
    const RECT& Area() const { return ps_.rcPaint; }

private:
    HWND hwnd_;
    HDC dc_;
    PAINTSTRUCT ps_{};
};

}  // namespace tempora
