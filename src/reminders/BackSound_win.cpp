#include "reminders/BackSound_win.h"

#include "core/Encoding.h"

#include <mmsystem.h>

namespace tempora {

namespace {
constexpr UINT_PTR kDeadlineTimer = 1;
constexpr UINT kDeadlineCheckMs = 1000;
}  // namespace

TMciWindow::TMciWindow() {
    CreateWin(L"TemporaBackSound", L"", 0, 0, 0, 0, 0, 0, HWND_MESSAGE);
}

std::string TMciWindow::PlayablePath(const std::string& path) {
    // Without the window no playback would ever report its end.
    if (!Handle())
        return {};
    const std::wstring wide = Utf8ToWide(path);
    const DWORD size = GetShortPathNameW(wide.c_str(), nullptr, 0);
    if (size == 0)
        return {};
    std::wstring shortPath(size, L'\0');
    const DWORD length = GetShortPathNameW(wide.c_str(), shortPath.data(), size);
    if (length == 0 || length >= size)
        return {};
    shortPath.resize(length);
    return WideToUtf8(shortPath);
}

unsigned TMciWindow::Send(const std::string& command) {
    return mciSendStringW(Utf8ToWide(command).c_str(), nullptr, 0, Handle());
}

unsigned TMciWindow::Query(const std::string& command, std::string& reply) {
    wchar_t text[128] = {};
    const unsigned error = mciSendStringW(Utf8ToWide(command).c_str(), text,
                                          static_cast<UINT>(std::size(text)), Handle());
    reply = error == 0 ? WideToUtf8(text) : std::string();
    return error;
}

unsigned TMciWindow::DeviceId(const std::string& name) {
    // A file opened without an alias goes by its element name.
    return mciGetDeviceIDW(Utf8ToWide(name).c_str());
}

void TMciWindow::DropNotifications() {
    MSG msg;
    while (Handle() && PeekMessageW(&msg, Handle(), MM_MCINOTIFY, MM_MCINOTIFY, PM_REMOVE)) {
    }
}

LRESULT TMciWindow::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == MM_MCINOTIFY) {
        if (OnNotify)
            OnNotify(static_cast<unsigned>(wp), static_cast<unsigned>(lp));
        return 0;
    }
    if (msg == WM_TIMER) {
        if (onTimer)
            onTimer();
        return 0;
    }
    return TWindow::WndProc(msg, wp, lp);
}

TBackSoundWindow::TBackSoundWindow() : player_(mci_) {
    mci_.OnNotify = [this](unsigned code, unsigned device) {
        player_.OnNotify(code, device);
        FollowPlayer();
    };
    mci_.onTimer = [this] {
        player_.CheckDeadline();
        FollowPlayer();
    };
}

TBackSoundWindow::~TBackSoundWindow() {
    player_.Silence();
}

void TBackSoundWindow::Play(const std::string& list) {
    player_.Play(list);
    FollowPlayer();
}

void TBackSoundWindow::FollowPlayer() {
    if (player_.Playing() == timerOn_ || !mci_.Handle())
        return;
    if (player_.Playing()) {
        timerOn_ = SetTimer(mci_.Handle(), kDeadlineTimer, kDeadlineCheckMs, nullptr) != 0;
    } else {
        KillTimer(mci_.Handle(), kDeadlineTimer);
        timerOn_ = false;
    }
}

}  // namespace tempora
