#include "app/RunOnce_win.h"

namespace tempora {

TRunOnce::TRunOnce() {
    mapping_ = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, kBlockName);
    const bool created = mapping_ == nullptr;
    if (created) {
        mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      sizeof(uint32_t), kBlockName);
    }
    if (!mapping_)
        return;  // no single-instance rule, nothing reported
    view_ = static_cast<volatile uint32_t*>(
        MapViewOfFile(mapping_, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(uint32_t)));
    if (!view_) {
        CloseHandle(mapping_);
        mapping_ = nullptr;
        return;
    }
    if (created)
        *view_ = 0;
}

TRunOnce::~TRunOnce() {
    if (view_)
        UnmapViewOfFile(const_cast<uint32_t*>(view_));
    if (mapping_)
        CloseHandle(mapping_);
}

bool TRunOnce::CheckPrevInstance(HWND window) {
    if (!view_)
        return false;
    if (*view_ == 0) {
        // Window handles keep their meaning in 32 bits across processes.
        *view_ = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window));
        return false;
    }
    const HWND first = reinterpret_cast<HWND>(static_cast<uintptr_t>(*view_));
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
