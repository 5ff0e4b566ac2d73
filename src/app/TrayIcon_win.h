// The notification-area icon: hint text, clicks, an animation that signals
// unread messages, and re-adding itself when the desktop shell restarts.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace tempora {

class TTrayIcon {
public:
    static constexpr UINT kCallbackMessage = WM_APP + 10;
    static constexpr UINT_PTR kAnimTimer = 0x7A01;
    static constexpr UINT kAnimIntervalMs = 600;

    // `frames[0]` is the normal icon, the others the animation frames.
    TTrayIcon(HWND owner, std::vector<HICON> frames);
    TTrayIcon(const TTrayIcon&) = delete;
    TTrayIcon& operator=(const TTrayIcon&) = delete;
    ~TTrayIcon();

    bool Add();
    void Remove();
    // At most 127 characters show; longer hints are cut at a line end.
    void SetHint(const std::wstring& hint);
    const std::wstring& Hint() const { return hint_; }
    // The information balloon over the icon, closed by the system after
    // `timeoutMs` at the latest; title and text are cut to what it holds.
    void ShowBalloon(const std::wstring& title, const std::wstring& text, UINT timeoutMs);
    void HideBalloon();
    const std::wstring& BalloonText() const { return balloon_; }
    void SetAnimate(bool on);
    bool Animating() const { return animating_; }
    int Frame() const { return frame_; }

    // The owner forwards its messages; true when the message was the icon's.
    // `event` receives the mouse message (WM_LBUTTONUP, WM_RBUTTONUP, …).
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, UINT& event);

private:
    void Modify(UINT flags);
    NOTIFYICONDATAW data_{};
    HWND owner_;
    std::vector<HICON> frames_;
    std::wstring hint_;
    std::wstring balloon_;  // the text of the balloon on show, empty when none
    bool added_ = false, animating_ = false;
    int frame_ = 0;
    UINT taskbarCreated_;
};

}  // namespace tempora
