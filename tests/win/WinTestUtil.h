// Helpers shared by the Windows tests.
#pragma once

#include <windows.h>

#include <functional>

namespace tempora::test {

// Pumps this thread's messages until `done` holds (true) or `ms` pass (false).
inline bool WaitFor(const std::function<bool()>& done, DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done())
            return true;
        if (GetTickCount64() >= end)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

}  // namespace tempora::test
