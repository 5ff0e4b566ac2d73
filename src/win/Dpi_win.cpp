#include "win/Dpi_win.h"

#include "core/Handles_win.h"

namespace tempora {

namespace {

// Where a window keeps the user's scale in percent, and the window whose
// scale it takes.
constexpr wchar_t kUserScaleProp[] = L"TemporaUserScale";
constexpr wchar_t kScaleLeaderProp[] = L"TemporaScaleLeader";

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

// The values of the system's awareness types, which older headers lack.
constexpr int kProcessSystemAware = 1;
constexpr int kProcessPerMonitorAware = 2;
const auto kContextPerMonitorV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));

}  // namespace

TDpiAwareness CurrentDpiAwareness() {
    // Windows 10 1607 and later tell v2 apart from v1.
    using GetContextFn = HANDLE(WINAPI*)();
    using AwarenessOfFn = int(WINAPI*)(HANDLE);
    using ContextsEqualFn = BOOL(WINAPI*)(HANDLE, HANDLE);
    static const auto getContext =
        SystemCall<GetContextFn>("user32.dll", "GetThreadDpiAwarenessContext");
    static const auto awarenessOf =
        SystemCall<AwarenessOfFn>("user32.dll", "GetAwarenessFromDpiAwarenessContext");
    static const auto contextsEqual =
        SystemCall<ContextsEqualFn>("user32.dll", "AreDpiAwarenessContextsEqual");
    if (getContext && awarenessOf) {
        const HANDLE context = getContext();
        if (contextsEqual && contextsEqual(context, kContextPerMonitorV2))
            return TDpiAwareness::PerMonitorV2;
        switch (awarenessOf(context)) {
            case kProcessPerMonitorAware:
                return TDpiAwareness::PerMonitor;
            case kProcessSystemAware:
                return TDpiAwareness::System;
            default:
                return TDpiAwareness::Unaware;
        }
    }
    using GetProcessAwarenessFn = HRESULT(WINAPI*)(HANDLE, int*);
    static const auto getProcessAwareness =
        SystemCall<GetProcessAwarenessFn>("shcore.dll", "GetProcessDpiAwareness");
    if (int level = 0; getProcessAwareness && getProcessAwareness(nullptr, &level) == S_OK) {
        return level == kProcessPerMonitorAware ? TDpiAwareness::PerMonitor
               : level == kProcessSystemAware   ? TDpiAwareness::System
                                                : TDpiAwareness::Unaware;
    }
    using IsAwareFn = BOOL(WINAPI*)();
    static const auto isAware = SystemCall<IsAwareFn>("user32.dll", "IsProcessDPIAware");
    return isAware && isAware() ? TDpiAwareness::System : TDpiAwareness::Unaware;
}

TDpiAwareness EnableDpiAwareness() {
    if (const TDpiAwareness now = CurrentDpiAwareness(); now != TDpiAwareness::Unaware)
        return now;
    // Each call exists from a later Windows on; a system may also refuse a
    // level it names (Wine 8 turns v2 down), and then the next one is asked.
    using SetContextFn = BOOL(WINAPI*)(HANDLE);
    if (const auto setContext =
            SystemCall<SetContextFn>("user32.dll", "SetProcessDpiAwarenessContext");
        setContext && setContext(kContextPerMonitorV2)) {
        return CurrentDpiAwareness();
    }
    using SetProcessAwarenessFn = HRESULT(WINAPI*)(int);
    if (const auto setProcessAwareness =
            SystemCall<SetProcessAwarenessFn>("shcore.dll", "SetProcessDpiAwareness");
        setProcessAwareness && setProcessAwareness(kProcessPerMonitorAware) == S_OK) {
        return CurrentDpiAwareness();
    }
    using SetAwareFn = BOOL(WINAPI*)();
    if (const auto setAware = SystemCall<SetAwareFn>("user32.dll", "SetProcessDPIAware"))
        setAware();
    return CurrentDpiAwareness();
}

TScale MonitorScale(HWND window) {
    // Windows 10 1607 and later; Windows 7 and 8 have only the screen's dpi.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow =
        SystemCall<GetDpiForWindowFn>("user32.dll", "GetDpiForWindow");
    if (window && getDpiForWindow)
        if (const UINT dpi = getDpiForWindow(window); dpi != 0)
            return ScaleOfDpi(static_cast<int>(dpi));
    return ScreenScale();
}

TScale WindowScale(HWND window) {
    if (window)
        if (const auto leader = static_cast<HWND>(GetPropW(window, kScaleLeaderProp));
            leader && IsWindow(leader))
            window = leader;
    const int percent =
        window ? static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(window, kUserScaleProp))) : 0;
    return UserScale(MonitorScale(window), percent);
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

void SetUserScale(HWND window, int percent) {
    if (!window)
        return;
    if (percent == 0)
        RemovePropW(window, kUserScaleProp);
    else
        SetPropW(window, kUserScaleProp, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(percent)));
}

void FollowScaleOf(HWND window, HWND leader) {
    if (!window)
        return;
    if (leader)
        SetPropW(window, kScaleLeaderProp, leader);
    else
        RemovePropW(window, kScaleLeaderProp);
}

HFONT MakeScaledFont(const wchar_t* face, int points, TScale scale, int weight, bool italic,
                     bool underline, bool strikeOut) {
    return CreateFontW(scale.FontHeight(points), 0, 0, 0, weight, italic, underline, strikeOut,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face);
}

}  // namespace tempora
