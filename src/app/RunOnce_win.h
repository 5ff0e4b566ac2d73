// One instance per user session: a small named shared block holds the bar's
// window of the instance that ran first; a later start asks that window to
// restore itself and ends.
#pragma once

#include "core/Handles_win.h"

#include <windows.h>

namespace tempora {

class TRunOnce {
public:
    static constexpr const wchar_t* kBlockName = L"{890B9BDE-EEE5-41EC-A4B8-F217ABDC0D17}";
    // How long a later start waits for the first one to store its window.
    static constexpr DWORD kFirstWindowWaitMs = 5000;

    // Creates the block, or opens it when another instance created it first:
    // the system decides that in one step, so of two instances started at
    // the same moment exactly one is the first.
    TRunOnce();
    TRunOnce(const TRunOnce&) = delete;
    TRunOnce& operator=(const TRunOnce&) = delete;

    // True when another instance runs; it has then been asked to restore
    // itself and its visible, enabled dialog has been brought to the front.
    // Should that instance not have stored its window yet, this waits for it
    // up to kFirstWindowWaitMs, and still answers true without one.
    // Otherwise `window` is stored as the first instance's window. Without
    // the block (it could not be made) every instance runs.
    bool CheckPrevInstance(HWND window);

private:
    KernelHandle mapping_;
    MappedView view_;
    bool first_ = false;
};

}  // namespace tempora
