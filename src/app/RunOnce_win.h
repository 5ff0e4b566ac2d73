// One instance per user session: a small named shared block holds the bar's
// window of the instance that ran first; a later start asks that window to
// restore itself and ends.
#pragma once

#include <windows.h>

#include <cstdint>

namespace tempora {

class TRunOnce {
public:
    static constexpr const wchar_t* kBlockName = L"{890B9BDE-EEE5-41EC-A4B8-F217ABDC0D17}";

    TRunOnce();
    TRunOnce(const TRunOnce&) = delete;
    TRunOnce& operator=(const TRunOnce&) = delete;
    ~TRunOnce();

    // True when another instance runs; it has then been asked to restore
    // itself and its visible, enabled dialog has been brought to the front.
    // Otherwise `window` is stored as the first instance's window.
    bool CheckPrevInstance(HWND window);

private:
    HANDLE mapping_ = nullptr;
    volatile uint32_t* view_ = nullptr;
};

}  // namespace tempora
