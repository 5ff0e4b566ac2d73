#include "app/RunOnce_win.h"

#include <cstdint>

namespace tempora {

namespace {
// The block is one 32-bit slot: window handles keep their meaning in 32 bits
// across processes, and widen again by sign extension.
volatile LONG* Slot(const MappedView& view) {
    return static_cast<volatile LONG*>(view.Get());
}
}  // namespace

TRunOnce::TRunOnce() {
    mapping_.Reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      sizeof(LONG), kBlockName));
    if (!mapping_)
        return;  // no single-instance rule, nothing reported
    first_ = GetLastError() != ERROR_ALREADY_EXISTS;
    // A new block comes zeroed: no window stored yet.
    view_.Reset(MapViewOfFile(mapping_.Get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(LONG)));
    if (!view_)
        mapping_.Reset();
}

bool TRunOnce::CheckPrevInstance(HWND window) {
    if (!view_)
        return false;
    if (first_) {
        InterlockedExchange(Slot(view_), static_cast<LONG>(reinterpret_cast<intptr_t>(window)));
        return false;
    }
    // Started at the same moment as the first, this start may get here before
    // the first stored its window.
    LONG stored = 0;
    const ULONGLONG until = GetTickCount64() + kFirstWindowWaitMs;
    while ((stored = InterlockedCompareExchange(Slot(view_), 0, 0)) == 0 &&
           GetTickCount64() < until) {
        Sleep(20);
    }
    if (stored == 0)
        return true;
    const HWND first = reinterpret_cast<HWND>(static_cast<intptr_t>(stored));
    // A hung first instance must not hang this start too.
    DWORD_PTR result = 0;
    SendMessageTimeoutW(first, WM_SYSCOMMAND, SC_RESTORE, 0, SMTO_ABORTIFHUNG, 3000, &result);
    const HWND popup = GetLastActivePopup(first);
    if (popup && popup != first && IsWindowVisible(popup) && IsWindowEnabled(popup)) {
        SetForegroundWindow(popup);
    }
    return true;
}

}  // namespace tempora
