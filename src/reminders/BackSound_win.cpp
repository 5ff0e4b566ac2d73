#include "reminders/BackSound_win.h"

#include "core/Encoding.h"

#include <mmsystem.h>

namespace tempora {

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

void TMciWindow::DropNotifications() {
    MSG msg;
    while (Handle() && PeekMessageW(&msg, Handle(), MM_MCINOTIFY, MM_MCINOTIFY, PM_REMOVE)) {
    }
}

LRESULT TMciWindow::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == MM_MCINOTIFY) {
        if (onNotify)
            onNotify(static_cast<unsigned>(wp));
        return 0;
    }
    return TWindow::WndProc(msg, wp, lp);
}

TBackSoundWindow::TBackSoundWindow() : player_(mci_) {
    mci_.onNotify = [this](unsigned code) { player_.OnNotify(code); };
}

TBackSoundWindow::~TBackSoundWindow() {
    player_.Silence();
}

}  // namespace tempora
