#include "PopupLink_win.h"

#include "core/Encoding.h"
#include "core/FileSys.h"
#include "reminders/PopupProtocol.h"

#include <cwchar>
#include <string>
#include <utility>

namespace tempora {

namespace {
bool IsPopupClass(HWND hwnd) {
    wchar_t name[64];
    const int n = GetClassNameW(hwnd, name, static_cast<int>(std::size(name)));
    return n > 0 && std::wcscmp(name, kPopupClassName) == 0;
}
}  // namespace

TPopupLink::TPopupLink(HWND bar, std::string programDir, DWORD waitLimitMs)
    : bar_(bar), programDir_(std::move(programDir)), waitLimitMs_(waitLimitMs) {}

TPopupLink::~TPopupLink() {
    if (!Live() && Running())
        TerminateStarted();
}

bool TPopupLink::Live() const {
    return popup_ && IsWindow(popup_) && IsPopupClass(popup_);
}

bool TPopupLink::Running() const {
    return process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT;
}

void TPopupLink::TerminateStarted() {
    TerminateProcess(process_.Get(), 1);
    // Ending is asynchronous; once it is over the program file is free again.
    WaitForSingleObject(process_.Get(), 2000);
    process_.Reset();
}

bool TPopupLink::StartPopup() {
    const std::string exe = programDir_ + kPopupProgram;
    if (!FileExists(exe)) {
        if (!missingTold_ && OnMissing) {
            missingTold_ = true;
            OnMissing(kMissingText);
        }
        return false;
    }
    popup_ = nullptr;
    const std::wstring path = Utf8ToWide(exe);
    std::wstring cmd = L"\"" + path + L"\" " + std::to_wstring(reinterpret_cast<uintptr_t>(bar_));
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(path.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
        return false;
    }
    KernelHandle thread(pi.hThread);
    process_.Reset(pi.hProcess);
    startedPid_ = pi.dwProcessId;
    startedAt_ = GetTickCount64();
    return true;
}

bool TPopupLink::EnsurePopup() {
    if (Live())
        return true;
    const bool outermost = !waiting_;
    if (outermost) {
        if (Running() && GetTickCount64() - startedAt_ >= 2ULL * waitLimitMs_)
            TerminateStarted();
        if (!Running() && !StartPopup())
            return false;
        waiting_ = true;
        deadline_ = GetTickCount64() + waitLimitMs_;
    }
    // The handshake arrives as a posted message, so the queue is pumped here;
    // the bar's timers keep running meanwhile. A popup that ends before
    // answering never will: the wait ends with it.
    bool quit = false;
    WPARAM quitCode = 0;
    while (!Live() && !quit && Running()) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline_)
            break;
        HANDLE process = process_.Get();
        MsgWaitForMultipleObjectsEx(1, &process, static_cast<DWORD>(deadline_ - now), QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
        MSG msg;
        while (!Live() && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = true;
                quitCode = msg.wParam;
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    // The program's own loop must still see its WM_QUIT.
    if (quit)
        PostQuitMessage(static_cast<int>(quitCode));
    if (outermost)
        waiting_ = false;
    return Live();
}

bool TPopupLink::SendPopupText(const std::string& utf8) {
    if (!popup_)
        return false;
    std::string block = PopupTextBlock(utf8);
    COPYDATASTRUCT cds{};
    cds.dwData = 0;
    cds.cbData = static_cast<DWORD>(block.size());
    cds.lpData = block.data();
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(popup_, WM_COPYDATA, reinterpret_cast<WPARAM>(bar_),
                               reinterpret_cast<LPARAM>(&cds), SMTO_ABORTIFHUNG, kSendTimeoutMs,
                               &result) != 0 &&
           result != 0;
}

void TPopupLink::SendPopupCode(int code) {
    if (!popup_)
        return;
    DWORD_PTR result = 0;
    SendMessageTimeoutW(popup_, kPopupCode, reinterpret_cast<WPARAM>(bar_), code, SMTO_ABORTIFHUNG,
                        kSendTimeoutMs, &result);
}

void TPopupLink::OnHandshake(LPARAM lp) {
    HWND hwnd = reinterpret_cast<HWND>(lp);
    if (!hwnd || !IsWindow(hwnd) || !IsPopupClass(hwnd))
        return;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (startedPid_ == 0 || pid != startedPid_)
        return;
    popup_ = hwnd;
}

}  // namespace tempora
