// The popup link and the popup program's protocol against the real
// PopupMsg.exe: a small owner window holds the link and counts the messages
// the popup sends back, and the tests read back what the popup shows (its
// window text is the text on screen). The bar's own routing of those
// messages is tested on the real program in BarTest.
#include "WinTestUtil.h"
#include "core/Handles_win.h"
#include "win/Window_win.h"
#include "core/Encoding.h"
#include "reminders/PopupLink_win.h"
#include "reminders/PopupProtocol.h"

#include <gtest/gtest.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace tempora;
using tempora::test::WaitFor;

namespace {

// Some tests copy this program as PopupMsg.exe. Started under that name it
// plays a popup that misbehaves as the file PopupMsg.mode beside it says:
//     silent MS   never answers, and leaves after MS milliseconds
//     late MS     answers only after MS milliseconds, then serves until code 2
// Without that file it is silent for 3 s.
void ServeLate(HWND bar) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = [](HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
        if (msg == kPopupCode && lp == kPopupCodeClosing) {
            PostQuitMessage(0);
            return 0;
        }
        return DefWindowProcW(hwnd, msg, wp, lp);
    };
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kPopupClassName;
    RegisterClassW(&wc);
    HWND popup = CreateWindowExW(0, kPopupClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 wc.hInstance, nullptr);
    PostMessageW(bar, kPopupHandshake, 0, reinterpret_cast<LPARAM>(popup));
    // Left behind by a failed test, it still goes after a while.
    SetTimer(nullptr, 0, 20000, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0 && !(msg.message == WM_TIMER && !msg.hwnd))
        DispatchMessageW(&msg);
}

const bool kStandInPopup = [] {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const wchar_t* name = wcsrchr(path, L'\\');
    if (!name || lstrcmpiW(name + 1, L"PopupMsg.exe") != 0)
        return false;
    std::string mode = "silent";
    DWORD ms = 3000;
    std::ifstream(std::filesystem::path(path).replace_filename(L"PopupMsg.mode")) >> mode >> ms;
    Sleep(ms);
    if (mode == "late") {
        int argc = 0;
        wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
        if (argv && argc == 2)
            ServeLate(
                reinterpret_cast<HWND>(static_cast<uintptr_t>(_wcstoui64(argv[1], nullptr, 10))));
    }
    ExitProcess(0);
}();

constexpr UINT kNestedEnsure = WM_APP + 7;

class LinkOwner : public TWindow {
public:
    std::unique_ptr<TPopupLink> link;
    int animOn = 0, animOff = 0;
    int nestedResult = -1;

    bool Make(const std::string& folder, DWORD waitMs = TPopupLink::kDefaultWaitMs) {
        if (!CreateWin(L"TemporaPopupTestBar", L"bar", WS_POPUP, 0, 0, 0, 10, 10))
            return false;
        link = std::make_unique<TPopupLink>(Handle(), folder, waitMs);
        return true;
    }

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
            case kPopupHandshake:
                link->OnHandshake(lp);
                return 0;
            case kPopupAnimOn:
                ++animOn;
                return 0;
            case kPopupAnimOff:
                ++animOff;
                return 0;
            case kNestedEnsure:
                nestedResult = link->EnsurePopup() ? 1 : 0;
                return 0;
        }
        return TWindow::WndProc(msg, wp, lp);
    }
};

std::string ThisProgram() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return WideToUtf8(path);
}

std::string ProgramFolder() {
    const std::string path = ThisProgram();
    return path.substr(0, path.find_last_of('\\') + 1);
}

// The shadow window the popup's process made for it.
HWND ShadowOf(HWND popup) {
    struct Find {
        DWORD pid;
        HWND found;
    } find{0, nullptr};
    GetWindowThreadProcessId(popup, &find.pid);
    EnumWindows(
        [](HWND w, LPARAM lp) -> BOOL {
            auto* f = reinterpret_cast<Find*>(lp);
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            wchar_t cls[32] = {};
            GetClassNameW(w, cls, 32);
            if (pid == f->pid && lstrcmpW(cls, L"TFormShadow") == 0)
                f->found = w;
            return f->found == nullptr;
        },
        reinterpret_cast<LPARAM>(&find));
    return find.found;
}

std::string ShownText(HWND popup) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(popup)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(popup, text.data(), static_cast<int>(text.size()))));
    return WideToUtf8(text);
}

// Popup processes this test program started and that still run.
std::vector<DWORD> PopupProcessIds() {
    std::vector<DWORD> ids;
    // A snapshot fails as CreateFile does, with INVALID_HANDLE_VALUE.
    FileHandle snap(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snap) {
        ADD_FAILURE() << "no process snapshot";
        return ids;
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snap.Get(), &entry); more;
         more = Process32NextW(snap.Get(), &entry)) {
        if (entry.th32ParentProcessID == GetCurrentProcessId() &&
            lstrcmpiW(entry.szExeFile, L"PopupMsg.exe") == 0) {
            ids.push_back(entry.th32ProcessID);
        }
    }
    return ids;
}

int CountPopupProcesses() {
    return static_cast<int>(PopupProcessIds().size());
}

// Tells the popup that the program closes; true when its process then ends.
bool EndPopup(LinkOwner& bar) {
    DWORD pid = 0;
    GetWindowThreadProcessId(bar.link->PopupHandle(), &pid);
    HANDLE process = pid ? OpenProcess(SYNCHRONIZE, FALSE, pid) : nullptr;
    if (!process)
        return false;
    bar.link->SendPopupCode(kPopupCodeClosing);
    const bool ended = WaitForSingleObject(process, 5000) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

LRESULT SendBlock(HWND popup, HWND from, const std::string& bytes) {
    COPYDATASTRUCT cds{0, static_cast<DWORD>(bytes.size()), const_cast<char*>(bytes.data())};
    DWORD_PTR result = 0;
    SendMessageTimeoutW(popup, WM_COPYDATA, reinterpret_cast<WPARAM>(from),
                        reinterpret_cast<LPARAM>(&cds), SMTO_ABORTIFHUNG, 3000, &result);
    return static_cast<LRESULT>(result);
}

// A scratch program folder with a space and Chinese in its name, so that the
// command line's quoting and the UTF-8 path both matter.
class ScratchFolder {
public:
    ScratchFolder() {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::path(temp) / (L"tempora 弹窗-" + Utf8ToWide(info->name()));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string Utf8() const { return WideToUtf8(path_.wstring()) + "\\"; }
    std::filesystem::path File(const wchar_t* name) const { return path_ / name; }
    void Write(const wchar_t* name, const std::string& bytes) const {
        HANDLE f = CreateFileW(File(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(f);
    }
    bool CopyIn(const std::string& from, const wchar_t* name) const {
        return CopyFileW(Utf8ToWide(from).c_str(), File(name).c_str(), FALSE) != 0;
    }

private:
    std::filesystem::path path_;
};

}  // namespace

TEST(PopupLink, StartsThePopupShowsTextsInTurnAndEndsItOnCode2) {
    LinkOwner bar;
    ASSERT_TRUE(bar.Make(ProgramFolder()));
    ASSERT_TRUE(bar.link->EnsurePopup());
    HWND popup = bar.link->PopupHandle();
    ASSERT_TRUE(IsWindow(popup));
    EXPECT_FALSE(IsWindowVisible(popup));  // nothing to show yet
    EXPECT_TRUE(bar.link->EnsurePopup());
    EXPECT_EQ(bar.link->PopupHandle(), popup);
    EXPECT_EQ(CountPopupProcesses(), 1);

    const std::string chime = "时钟报时：8:00:00";
    const std::string mark = "日历标记：\r\n2024年02月10日 星期六\r\n\r\n春节，正月初一";
    ASSERT_TRUE(bar.link->SendPopupText(chime));
    ASSERT_TRUE(bar.link->SendPopupText(mark));
    EXPECT_TRUE(IsWindowVisible(popup));
    EXPECT_EQ(ShownText(popup), chime);
    ASSERT_TRUE(WaitFor([&] { return bar.animOn == 1; }, 3000));

    // Dressed in the dialog frame, with the soft shadow 16 px around it.
    EXPECT_FALSE(GetWindowLongPtrW(popup, GWL_STYLE) & WS_CAPTION);
    GdiObject<HRGN> shape(CreateRectRgn(0, 0, 0, 0));
    EXPECT_NE(GetWindowRgn(popup, shape.Get()), ERROR);
    const HWND shadow = ShadowOf(popup);
    ASSERT_NE(shadow, nullptr);
    EXPECT_TRUE(IsWindowVisible(shadow));
    RECT pr{}, sr{};
    GetWindowRect(popup, &pr);
    GetWindowRect(shadow, &sr);
    EXPECT_EQ(sr.left, pr.left - 16);
    EXPECT_EQ(sr.bottom, pr.bottom + 16);

    // Escape closes the text on screen; the next one follows, nothing is lost.
    PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(WaitFor([&] { return ShownText(popup) == mark; }, 3000));
    EXPECT_TRUE(IsWindowVisible(popup));
    EXPECT_EQ(bar.animOff, 0);
    // The frame's close button (WM_CLOSE) closes the text, not the program.
    PostMessageW(popup, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return bar.animOff == 1; }, 3000));
    EXPECT_TRUE(IsWindow(popup));
    EXPECT_FALSE(IsWindowVisible(popup));
    EXPECT_FALSE(IsWindowVisible(shadow));
    EXPECT_EQ(ShownText(popup), "");
    EXPECT_EQ(bar.animOn, 1);

    EXPECT_TRUE(EndPopup(bar));
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_FALSE(bar.link->SendPopupText("gone"));
}

TEST(PopupLink, IgnoresForeignHandshakesBadBlocksAndUnknownCodes) {
    LinkOwner bar;
    ASSERT_TRUE(bar.Make(ProgramFolder()));
    ASSERT_TRUE(bar.link->EnsurePopup());
    HWND popup = bar.link->PopupHandle();

    SendMessageW(bar.Handle(), kPopupHandshake, 0, 0x7654321);  // no window
    EXPECT_EQ(bar.link->PopupHandle(), popup);
    SendMessageW(bar.Handle(), kPopupHandshake, 0, reinterpret_cast<LPARAM>(bar.Handle()));
    EXPECT_EQ(bar.link->PopupHandle(), popup);  // a window, but not a popup

    const struct {
        const char* name;
        std::string bytes;
    } bad[] = {
        {"no terminator", "abc"},
        {"empty", ""},
        {"oversized", std::string(kPopupMaxBlock, 'x') + '\0'},
    };
    for (const auto& c : bad)
        EXPECT_EQ(SendBlock(popup, bar.Handle(), c.bytes), 0) << c.name;
    EXPECT_EQ(SendBlock(popup, GetDesktopWindow(), PopupTextBlock("from elsewhere")), 0);
    EXPECT_FALSE(IsWindowVisible(popup));
    EXPECT_EQ(ShownText(popup), "");

    // Neither an unknown code nor a close request from another window ends it.
    DWORD_PTR r = 0;
    SendMessageTimeoutW(popup, kPopupCode, reinterpret_cast<WPARAM>(bar.Handle()), 3,
                        SMTO_ABORTIFHUNG, 3000, &r);
    SendMessageTimeoutW(popup, kPopupCode, reinterpret_cast<WPARAM>(GetDesktopWindow()),
                        kPopupCodeClosing, SMTO_ABORTIFHUNG, 3000, &r);
    EXPECT_TRUE(IsWindow(popup));

    const std::string largest = std::string(kPopupMaxBlock - 1, 'y') + '\0';
    EXPECT_EQ(SendBlock(popup, bar.Handle(), largest), 1);
    const std::string shown = ShownText(popup);
    EXPECT_TRUE(shown == largest.substr(0, largest.size() - 1)) << shown.size() << " bytes shown";

    // Without its bar the popup has no reason to stay.
    DWORD pid = 0;
    GetWindowThreadProcessId(popup, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    ASSERT_NE(process, nullptr);
    DestroyWindow(bar.Handle());
    EXPECT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
    CloseHandle(process);
}

TEST(PopupLink, ReadsItsSettingsAndReadsThemAgainOnCode1) {
    ScratchFolder dir;
    ASSERT_TRUE(dir.CopyIn(ProgramFolder() + kPopupProgram, L"PopupMsg.exe"));
    dir.Write(L"skin.ini", "[MSG]\r\nAuto=0\r\nTran=100\r\n");
    LinkOwner bar;
    ASSERT_TRUE(bar.Make(dir.Utf8()));
    ASSERT_TRUE(bar.link->EnsurePopup());
    HWND popup = bar.link->PopupHandle();
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(popup, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 100);
    EXPECT_TRUE(flags & LWA_ALPHA);

    ASSERT_TRUE(bar.link->SendPopupText("定时任务：开会"));
    dir.Write(L"skin.ini", "[MSG]\r\nAuto=1\r\nAutoSec=1\r\nTran=9999\r\n");
    bar.link->SendPopupCode(kPopupCodeSettings);
    // A hand-edited value outside the dialog's range reads as the key's
    // default, as it does for the bar and the options dialog.
    ASSERT_TRUE(GetLayeredWindowAttributes(popup, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 200);
    // Now it closes by itself, after the default stay of 5 s (1 s is too short).
    const ULONGLONG start = GetTickCount64();
    ASSERT_TRUE(WaitFor([&] { return bar.animOff == 1; }, 15000));
    const ULONGLONG stayed = GetTickCount64() - start;
    EXPECT_GE(stayed, 4500u);
    RecordProperty("auto_close_ms", static_cast<int>(stayed));
    EXPECT_FALSE(IsWindowVisible(popup));
    EXPECT_TRUE(EndPopup(bar));
}

TEST(PopupLink, MissingProgramFailsAndASilentOneIsGivenUpAfterTheWaitLimit) {
    ScratchFolder dir;
    LinkOwner bar;
    ASSERT_TRUE(bar.Make(dir.Utf8(), 1500));
    // A missing program is told once, not at every reminder it drops.
    std::vector<std::string> told;
    bar.link->OnMissing = [&](const std::string& text) { told.push_back(text); };
    EXPECT_FALSE(bar.link->EnsurePopup());
    EXPECT_FALSE(bar.link->EnsurePopup());
    EXPECT_EQ(told, std::vector<std::string>{TPopupLink::kMissingText});
    EXPECT_EQ(told.at(0), "找不到 PopupMsg.exe，提醒消息无法显示。请重新安装。");

    // This test program under the popup's name: it starts, but never answers.
    ASSERT_TRUE(dir.CopyIn(ThisProgram(), L"PopupMsg.exe"));
    const ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(bar.link->EnsurePopup());
    const ULONGLONG waited = GetTickCount64() - start;
    EXPECT_GE(waited, 1400u);
    RecordProperty("wait_limit_ms", static_cast<int>(waited));

    // Once the silent one has gone, the real popup takes its place and the
    // next call succeeds.
    ASSERT_TRUE(WaitFor(
        [&] { return dir.CopyIn(ProgramFolder() + kPopupProgram, L"PopupMsg.exe"); }, 10000));
    EXPECT_TRUE(bar.link->EnsurePopup());
    EXPECT_TRUE(EndPopup(bar));
}

TEST(PopupLink, AStartFromInsideTheWaitJoinsItAndQuitIsKept) {
    LinkOwner bar;
    ASSERT_TRUE(bar.Make(ProgramFolder()));
    // A timer tick that wants a popup while the bar still waits for one.
    PostMessageW(bar.Handle(), kNestedEnsure, 0, 0);
    ASSERT_TRUE(bar.link->EnsurePopup());
    EXPECT_EQ(bar.nestedResult, 1);
    EXPECT_EQ(CountPopupProcesses(), 1);
    EXPECT_TRUE(EndPopup(bar));

    // WM_QUIT during the wait ends it, and the program's own loop still gets it.
    PostQuitMessage(42);
    EXPECT_FALSE(bar.link->EnsurePopup());
    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 42u);
    // The popup started anyway; it reports in and is ended.
    ASSERT_TRUE(WaitFor([&] { return IsWindow(bar.link->PopupHandle()); }, 10000));
    EXPECT_TRUE(EndPopup(bar));
}

TEST(PopupLink, AStartThatAnswersLateIsAdoptedNotStartedTwice) {
    ScratchFolder dir;
    ASSERT_TRUE(dir.CopyIn(ThisProgram(), L"PopupMsg.exe"));
    dir.Write(L"PopupMsg.mode", "late 3500");
    LinkOwner bar;
    ASSERT_TRUE(bar.Make(dir.Utf8(), 3000));
    EXPECT_FALSE(bar.link->EnsurePopup());
    const std::vector<DWORD> started = PopupProcessIds();
    ASSERT_EQ(started.size(), 1u);

    // The next text waits for that same program instead of starting another.
    ASSERT_TRUE(bar.link->EnsurePopup());
    EXPECT_EQ(PopupProcessIds(), started);
    DWORD pid = 0;
    GetWindowThreadProcessId(bar.link->PopupHandle(), &pid);
    EXPECT_EQ(pid, started[0]);
    EXPECT_TRUE(EndPopup(bar));
}

TEST(PopupLink, AStartSilentForTwiceTheWaitLimitIsEndedAndReplaced) {
    ScratchFolder dir;
    ASSERT_TRUE(dir.CopyIn(ThisProgram(), L"PopupMsg.exe"));
    dir.Write(L"PopupMsg.mode", "silent 20000");
    auto bar = std::make_unique<LinkOwner>();
    ASSERT_TRUE(bar->Make(dir.Utf8(), 500));
    EXPECT_FALSE(bar->link->EnsurePopup());
    const std::vector<DWORD> first = PopupProcessIds();
    ASSERT_EQ(first.size(), 1u);
    KernelHandle firstProcess(OpenProcess(SYNCHRONIZE, FALSE, first[0]));
    ASSERT_TRUE(firstProcess);

    // Still within twice the wait limit: waited for once more, not replaced.
    EXPECT_FALSE(bar->link->EnsurePopup());
    EXPECT_EQ(PopupProcessIds(), first);

    // Silent that long, it is hung: ended, and a fresh one takes its place.
    EXPECT_FALSE(bar->link->EnsurePopup());
    EXPECT_EQ(WaitForSingleObject(firstProcess.Get(), 0), WAIT_OBJECT_0);
    firstProcess.Reset();
    const std::vector<DWORD> second = PopupProcessIds();
    ASSERT_EQ(second.size(), 1u);
    EXPECT_NE(second[0], first[0]);

    // One that never answered goes with the link: nothing else would end it.
    bar.reset();
    EXPECT_EQ(CountPopupProcesses(), 0);
}
