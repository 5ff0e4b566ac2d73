// A window owned by a C++ object: one static window procedure stores the
// object at WM_NCCREATE, forwards every message to its WndProc and detaches
// it at WM_NCDESTROY, so that messages never reach a dead object.
#pragma once

#include <windows.h>

namespace tempora {

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
    // An exception that leaves WndProc never unwinds through the system: it
    // is traced and the message gets DefWindowProc's answer.
    virtual LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);
    // Called after WM_NCDESTROY, when the handle is gone.
    virtual void Destroyed() {}

private:
    static LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
    LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp) noexcept;
    HWND hwnd_ = nullptr;
};

// Writes a line to the debugger's output (DebugView shows it on a user's
// machine): for faults that must not stop the program.
void TraceFault(const char* where, const char* what) noexcept;

}  // namespace tempora
