#include "win/Dpi_win.h"

#include "core/Handles_win.h"

namespace tempora {

namespace {

// The screen's dpi, as a process that is only system-aware sees it.
TScale ScreenScale() {
    WindowDc screen(nullptr);
    return ScaleOfDpi(screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSX) : 0);
}

template <typename Fn>
Fn SystemCall(const char* dll, const char* name) {
    HMODULE module = GetModuleHandleA(dll);
    if (!module)
        module = LoadLibraryA(dll);
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                  : nullptr;
}

}  // namespace

TScale WindowScale(HWND window) {
    // Windows 10 1607 and later; Windows 7 and 8 have only the screen's dpi.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow =
        SystemCall<GetDpiForWindowFn>("user32.dll", "GetDpiForWindow");
    if (window && getDpiForWindow)
        if (const UINT dpi = getDpiForWindow(window); dpi != 0)
            return ScaleOfDpi(static_cast<int>(dpi));
    return ScreenScale();
}

TScale ScaleAt(const RECT& rect) {
    // Windows 8.1 and later.
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto getDpiForMonitor =
        SystemCall<GetDpiForMonitorFn>("shcore.dll", "GetDpiForMonitor");
    if (getDpiForMonitor) {
        UINT x = 0, y = 0;
        // 0: the effective dpi, the one the system scales by.
        if (getDpiForMonitor(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), 0, &x, &y) == S_OK)
            return ScaleOfDpi(static_cast<int>(x));
    }
    return ScreenScale();
}

}  // namespace tempora
