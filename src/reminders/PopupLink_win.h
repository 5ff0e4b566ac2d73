// The bar's side of the popup program PopupMsg.exe (see PopupProtocol.h).
//
// The bar's window hands kPopupHandshake (1212) to OnHandshake; a text goes
// out only after EnsurePopup succeeded.
//
// Nothing here blocks on a hung popup: a request waits at most the wait limit
// and every send gives up after a few seconds.
//
// At most one popup program started by a link runs at a time. One that was
// started but has not answered yet (a slow machine, a popup still loading its
// skin) is adopted by the next request, which waits for its handshake again
// instead of starting another. One that has stayed silent for twice the wait
// limit since its start is hung: the next request terminates it and starts a
// fresh one. A popup that never answered is terminated with the link, since
// nothing else would end it.
#pragma once

#include "core/Handles_win.h"

#include <windows.h>

#include <functional>
#include <string>

namespace tempora {

class TPopupLink {
public:
    static constexpr DWORD kDefaultWaitMs = 5000;  // EnsurePopup's bound on the start
    static constexpr UINT kSendTimeoutMs = 3000;   // per text or code
    // What the user is told when PopupMsg.exe is not in the program folder.
    static constexpr char kMissingText[] = "找不到 PopupMsg.exe，提醒消息无法显示。请重新安装。";

    // `programDir` is the UTF-8 folder of PopupMsg.exe, ending in "\".
    TPopupLink(HWND bar, std::string programDir, DWORD waitLimitMs = kDefaultWaitMs);
    TPopupLink(const TPopupLink&) = delete;
    TPopupLink& operator=(const TPopupLink&) = delete;
    ~TPopupLink();

    // True at once when the popup runs. Otherwise adopts the popup started
    // last if it still runs and is not hung, or else starts PopupMsg.exe
    // (false when it is missing), and pumps messages until the handshake
    // arrives (true) or the wait limit passes, the popup's process ends or
    // WM_QUIT comes (false; the next call tries again). A call made from
    // inside that pumping (a timer tick) joins the wait instead.
    bool EnsurePopup();
    // Sends the text as WM_COPYDATA; true when the popup took it.
    bool SendPopupText(const std::string& utf8);
    // Sends code 1 (settings rewritten) or 2 (main program closing) to the
    // popup window last known, even when it is gone.
    void SendPopupCode(int code);
    // For message 1212: keeps lParam as the popup window when it is a window of
    // the popup's class in the process this link started; else nothing changes.
    void OnHandshake(LPARAM lp);

    HWND PopupHandle() const { return popup_; }

    // Called with kMissingText the first time a text cannot go out because
    // PopupMsg.exe is missing, and not again for this link: every reminder
    // after it would be lost the same way, and one word is enough.
    std::function<void(const std::string& text)> OnMissing;

private:
    bool StartPopup();
    bool Live() const;
    // The popup started last has not ended.
    bool Running() const;
    void TerminateStarted();

    HWND bar_;
    std::string programDir_;
    DWORD waitLimitMs_;
    HWND popup_ = nullptr;
    KernelHandle process_;  // the popup started last
    DWORD startedPid_ = 0;
    ULONGLONG startedAt_ = 0;
    bool waiting_ = false;
    bool missingTold_ = false;
    ULONGLONG deadline_ = 0;
};

}  // namespace tempora
