// The shutdown action of timed tasks: a ten-second countdown the user can cut
// short ("立即关机") or cancel ("取消(&C)", Escape), then the power-off.
//
// The countdown is a topmost window of 312 x 156 dressed in the dialog frame
// (ApplyDialogFrame) with the title "定时任务：自动关机": on the frame's body
// the shutdown icon, the remaining seconds in LED digits ("10", "09", ...
// "01") and "秒后关闭计算机...". The frame's close button cancels. Its timer
// counts down once a second; the tick that would show "00" closes it with OK
// instead. It is
// modal to its owner (the bar) through a message loop of its own, so the
// bar's clock timer keeps ticking while it waits.
#pragma once

#include <windows.h>

#include "core/Handles_win.h"
#include "win/Window_win.h"
#include "core/Bitmap.h"
#include "display/myLEDFont.h"
#include "display/ufrmShadowFrame_win.h"

namespace tempora {

class TFrmShutDown : public TWindow {
public:
    static constexpr int kWidth = 312, kHeight = 156;  // the client area
    static constexpr int kSeconds = 10;
    static constexpr UINT kTickMs = 1000;
    static constexpr wchar_t kClassName[] = L"TFrmShutDown";
    // Control ids: the buttons close the window with their id as the result.
    enum : int { UiButton2Id = IDOK, UiButton1Id = IDCANCEL, Label1Id = 100 };
    enum : UINT_PTR { Timer1 = 1 };

    // `tickMs` is the countdown's step; tests make it short.
    explicit TFrmShutDown(UINT tickMs = kTickMs);
    ~TFrmShutDown() override;

    // Creates the window hidden, owned by `owner` (may be null) and centred
    // on the work area of the owner's monitor.
    bool Create(HWND owner);
    // Shows the window, starts the countdown and runs a message loop until
    // the window closes; disables the owner meanwhile. IDOK when confirmed or
    // run out, IDCANCEL when cancelled, closed or the program quits (WM_QUIT
    // is posted again for the program's own loop).
    int ShowModal();

    // The timer's handler, public so that tests can step it.
    void Timer1Timer();

    int Tag() const { return tag_; }
    int ModalResult() const { return modalResult_; }
    const TLEDFontNum& LEDFontNum1() const { return led_; }
    const TFormShadow& Shadow() const { return shadow_; }
    HWND UiButton1() const { return GetDlgItem(Handle(), UiButton1Id); }
    HWND UiButton2() const { return GetDlgItem(Handle(), UiButton2Id); }
    HWND Label1() const { return GetDlgItem(Handle(), Label1Id); }

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void CloseWith(int result);
    void Paint();
    void BlitLed();

    UINT tickMs_;
    int tag_ = kSeconds;
    int modalResult_ = 0;
    TLEDFontNum led_;
    Bitmap picture_;  // the client area: frame and icon; the LED goes on top
    GdiObject<HFONT> font_;
    TFormShadow shadow_;
};

// Shows the countdown modally over `owner` and frees it; true when it closed
// with OK ("立即关机" or the countdown ran out).
bool ConfirmShutdown(HWND owner, UINT tickMs = TFrmShutDown::kTickMs);

// What ShutdownComputer finally calls: ExitWindowsEx, or a recorder in tests,
// so that no test ever switches anything off.
using ExitWindowsFn = BOOL(WINAPI*)(UINT flags, DWORD reason);

// Enables the shutdown privilege of this process's token and asks the system
// to power off (EWX_POWEROFF, not forced: other programs may still refuse).
// Nothing is checked or reported; if the system refuses, the program goes on.
void ShutdownComputer(ExitWindowsFn exitWindows = ::ExitWindowsEx);

}  // namespace tempora
