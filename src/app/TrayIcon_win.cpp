#include "app/TrayIcon_win.h"

namespace tempora {

TTrayIcon::TTrayIcon(HWND owner, std::vector<HICON> frames, NotifyFn notify)
    : owner_(owner),
      frames_(std::move(frames)),
      notify_(notify ? std::move(notify) : NotifyFn([](DWORD message, NOTIFYICONDATAW* data) {
          return Shell_NotifyIconW(message, data);
      })),
      taskbarCreated_(RegisterWindowMessageW(L"TaskbarCreated")) {
    data_.cbSize = sizeof data_;
    data_.hWnd = owner_;
    data_.uID = 1;
    data_.uCallbackMessage = kCallbackMessage;
    data_.hIcon = frames_.empty() ? LoadIconW(nullptr, IDI_APPLICATION) : frames_[0];
}

TTrayIcon::~TTrayIcon() {
    Remove();
}

bool TTrayIcon::Add() {
    wanted_ = true;
    return TryAdd();
}

bool TTrayIcon::TryAdd() {
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    added_ = notify_(NIM_ADD, &data_) != FALSE;
    if (added_) {
        KillTimer(owner_, kRetryTimer);
    } else {
        SetTimer(owner_, kRetryTimer, kRetryMs, nullptr);
    }
    return added_;
}

void TTrayIcon::Remove() {
    wanted_ = false;
    KillTimer(owner_, kRetryTimer);
    if (animating_)
        KillTimer(owner_, kAnimTimer);
    animating_ = false;
    if (added_)
        notify_(NIM_DELETE, &data_);
    added_ = false;
}

void TTrayIcon::Modify(UINT flags) {
    data_.uFlags = flags;
    if (added_)
        notify_(NIM_MODIFY, &data_);
}

void TTrayIcon::SetHint(const std::wstring& hint) {
    hint_ = hint;
    std::wstring shown = hint;
    const size_t room = ARRAYSIZE(data_.szTip) - 1;
    if (shown.size() > room) {
        const size_t cut = shown.rfind(L"\r\n", room);
        shown.resize(cut == std::wstring::npos || cut == 0 ? room : cut);
    }
    lstrcpynW(data_.szTip, shown.c_str(), ARRAYSIZE(data_.szTip));
    Modify(NIF_TIP);
}

void TTrayIcon::ShowBalloon(const std::wstring& title, const std::wstring& text, UINT timeoutMs) {
    balloon_ = text;
    lstrcpynW(data_.szInfoTitle, title.c_str(), ARRAYSIZE(data_.szInfoTitle));
    lstrcpynW(data_.szInfo, text.c_str(), ARRAYSIZE(data_.szInfo));
    data_.uTimeout = timeoutMs;
    data_.dwInfoFlags = NIIF_INFO;
    Modify(NIF_INFO);
}

void TTrayIcon::HideBalloon() {
    if (balloon_.empty())
        return;
    balloon_.clear();
    data_.szInfo[0] = L'\0';
    Modify(NIF_INFO);
}

void TTrayIcon::SetAnimate(bool on) {
    if (on == animating_ || frames_.size() < 2) {
        if (!on && frame_ != 0 && !frames_.empty()) {
            frame_ = 0;
            data_.hIcon = frames_[0];
            Modify(NIF_ICON);
        }
        return;
    }
    animating_ = on;
    if (on) {
        SetTimer(owner_, kAnimTimer, kAnimIntervalMs, nullptr);
    } else {
        KillTimer(owner_, kAnimTimer);
        frame_ = 0;
        data_.hIcon = frames_[0];
        Modify(NIF_ICON);
    }
}

bool TTrayIcon::OnMessage(UINT msg, WPARAM wp, LPARAM lp, UINT& event) {
    event = 0;
    if (msg == kCallbackMessage) {
        event = static_cast<UINT>(lp);
        return true;
    }
    if (msg == WM_TIMER && wp == kAnimTimer) {
        if (animating_ && frames_.size() > 1) {
            // Frame 0 is the normal icon; the animation cycles through the others.
            frame_ = frame_ + 1 >= static_cast<int>(frames_.size()) ? 1 : frame_ + 1;
            data_.hIcon = frames_[static_cast<size_t>(frame_)];
            Modify(NIF_ICON);
        }
        return true;
    }
    const bool retry = msg == WM_TIMER && wp == kRetryTimer;
    if (retry || (msg == taskbarCreated_ && taskbarCreated_ != 0)) {
        // The shell is (back) there: a restarted one forgot every icon.
        if (retry)
            KillTimer(owner_, kRetryTimer);
        if (wanted_ && (!added_ || !retry)) {
            const bool was = added_;
            if (TryAdd()) {
                Modify(NIF_TIP | NIF_ICON);
                if (!was && OnAdded)
                    OnAdded();
            }
        }
        return true;
    }
    return false;
}

}  // namespace tempora
