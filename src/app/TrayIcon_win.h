// The notification-area icon: hint text, clicks, an animation that signals
// unread messages, and adding itself again until the shell takes it: at
// log-on the shell may not be ready yet, and a restarted shell forgets it.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

namespace tempora {

class TTrayIcon {
public:
    static constexpr UINT kCallbackMessage = WM_APP + 10;
    static constexpr UINT_PTR kAnimTimer = 0x7A01;
    static constexpr UINT kAnimIntervalMs = 600;
    static constexpr UINT_PTR kRetryTimer = 0x7A02;
    static constexpr UINT kRetryMs = 5000;

    // What talks to the shell (tests put a stand-in there).
    using NotifyFn = std::function<BOOL(DWORD message, NOTIFYICONDATAW* data)>;

    // `frames[0]` is the normal icon, the others the animation frames;
    // `notify` empty: Shell_NotifyIconW.
    TTrayIcon(HWND owner, std::vector<HICON> frames, NotifyFn notify = {});
    TTrayIcon(const TTrayIcon&) = delete;
    TTrayIcon& operator=(const TTrayIcon&) = delete;
    ~TTrayIcon();

    // Shows the icon; when the shell refuses, tries again every kRetryMs and
    // whenever the shell announces itself ("TaskbarCreated"), until it
    // takes it or Remove is called.
    bool Add();
    void Remove();
    // Whether the icon is in the notification area now.
    bool Added() const { return added_; }
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

    // Told when the icon has come into the notification area after a retry.
    std::function<void()> OnAdded;

private:
    bool TryAdd();
    void Modify(UINT flags);
    NOTIFYICONDATAW data_{};
    HWND owner_;
    std::vector<HICON> frames_;
    NotifyFn notify_;
    std::wstring hint_;
    std::wstring balloon_;  // the text of the balloon on show, empty when none
    bool wanted_ = false;   // Add was called and Remove was not
    bool added_ = false, animating_ = false;
    int frame_ = 0;
    UINT taskbarCreated_;
};

}  // namespace tempora
