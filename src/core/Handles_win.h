// Move-only owners of every kind of handle the program holds. Each owner
// frees its handle exactly once, when it goes or is reset; moving hands the
// handle on and leaves the source empty. Header-only, so that the core's
// Windows back-ends can use it without linking the Win32 foundation.
#pragma once

#include <windows.h>

#include <utility>

namespace tempora {

// One owner, many kinds: Traits gives the handle type, its empty value and
// how it is freed.
template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle h) : h_(h) {}
    UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, Traits::Empty())) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o)
            Reset(std::exchange(o.h_, Traits::Empty()));
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(); }

    void Reset(Handle h = Traits::Empty()) {
        if (h_ != Traits::Empty() && h_ != h)
            Traits::Free(h_);
        h_ = h;
    }
    // Gives up ownership without freeing.
    Handle Release() { return std::exchange(h_, Traits::Empty()); }
    Handle Get() const { return h_; }
    explicit operator bool() const { return h_ != Traits::Empty(); }

private:
    Handle h_ = Traits::Empty();
};

namespace handle_traits {
struct Kernel {  // events, processes, threads, mappings: empty is nullptr
    using Handle = HANDLE;
    static Handle Empty() { return nullptr; }
    static void Free(Handle h) { CloseHandle(h); }
};
struct File {  // CreateFile's failure value is INVALID_HANDLE_VALUE
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static void Free(Handle h) { CloseHandle(h); }
};
struct Find {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static void Free(Handle h) { FindClose(h); }
};
struct Menu {
    using Handle = HMENU;
    static Handle Empty() { return nullptr; }
    static void Free(Handle h) { DestroyMenu(h); }
};
struct Icon {
    using Handle = HICON;
    static Handle Empty() { return nullptr; }
    static void Free(Handle h) { DestroyIcon(h); }
};
struct MappedView {
    using Handle = void*;
    static Handle Empty() { return nullptr; }
    static void Free(Handle h) { UnmapViewOfFile(h); }
};
struct MemoryDc {
    using Handle = HDC;
    static Handle Empty() { return nullptr; }
    static void Free(Handle h) { DeleteDC(h); }
};
template <typename H>
struct Gdi {  // pens, brushes, fonts, bitmaps, regions
    using Handle = H;
    static Handle Empty() { return nullptr; }
    static void Free(Handle h) { DeleteObject(h); }
};
}  // namespace handle_traits

using KernelHandle = UniqueHandle<handle_traits::Kernel>;
using FileHandle = UniqueHandle<handle_traits::File>;
using FindHandle = UniqueHandle<handle_traits::Find>;
using MenuHandle = UniqueHandle<handle_traits::Menu>;
using IconHandle = UniqueHandle<handle_traits::Icon>;
using MappedView = UniqueHandle<handle_traits::MappedView>;
using MemoryDc = UniqueHandle<handle_traits::MemoryDc>;
template <typename H>
using GdiObject = UniqueHandle<handle_traits::Gdi<H>>;

// GetDC/ReleaseDC as a scope; a null window gives the screen's DC.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_)
            ReleaseDC(hwnd_, dc_);
    }
    HDC Get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND hwnd_;
    HDC dc_;
};

// Selects an object into a DC and restores the previous one when it goes.
class SelectObjectScope {
public:
    SelectObjectScope(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;
    ~SelectObjectScope() {
        if (old_)
            SelectObject(dc_, old_);
    }

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

// A width x height bitmap compatible with `target`, selected into a memory
// DC: draw into Dc(), then BitBlt the whole to the target in one transfer,
// so that nothing flickers.
class BackBuffer {
public:
    BackBuffer(HDC target, int width, int height)
        : dc_(CreateCompatibleDC(target)),
          bitmap_(CreateCompatibleBitmap(target, width, height)),
          width_(width),
          height_(height) {
        if (dc_ && bitmap_)
            old_ = SelectObject(dc_.Get(), bitmap_.Get());
    }
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;
    ~BackBuffer() {
        if (old_)
            SelectObject(dc_.Get(), old_);
    }
    HDC Dc() const { return dc_.Get(); }
    bool Ok() const { return old_ != nullptr; }
    bool CopyTo(HDC target, int x = 0, int y = 0) const {
        return Ok() && BitBlt(target, x, y, width_, height_, dc_.Get(), 0, 0, SRCCOPY);
    }

private:
    MemoryDc dc_;
    GdiObject<HBITMAP> bitmap_;
    int width_, height_;
    HGDIOBJ old_ = nullptr;
};

}  // namespace tempora
