// The shutdown countdown on real windows, and the power-off call. No test
// switches anything off: ShutdownComputer always gets a recorder here.
#include "core/Handles_win.h"
#include "win/Window_win.h"
#include "core/Bitmap.h"
#include "core/Encoding.h"
#include "win/PictureBlit_win.h"
#include "display/MyWindow_win.h"
#include "reminders/UnitShutDown_win.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace tempora;

namespace {

std::string Text(HWND hwnd) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return WideToUtf8(text);
}

// Runs `act` once, `ms` from now, from whatever message loop this thread runs
// then (the countdown's own, during ConfirmShutdown).
std::function<void()> gLater;
void CALLBACK LaterProc(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    const std::function<void()> act = std::move(gLater);
    gLater = nullptr;
    if (act)
        act();
}
void Later(UINT ms, std::function<void()> act) {
    gLater = std::move(act);
    SetTimer(nullptr, 0, ms, LaterProc);
}

HWND Countdown() {
    return FindWindowW(TFrmShutDown::kClassName, nullptr);
}

class Owner : public TWindow {
public:
    bool Make() {
        return CreateWin(L"TemporaShutDownTestOwner", L"owner", WS_POPUP, 0, 0, 0, 10, 10);
    }
};

bool ShutdownPrivilegeEnabled() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    LUID luid{};
    LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &luid);
    DWORD size = 0;
    GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    bool enabled = false;
    if (GetTokenInformation(token, TokenPrivileges, buffer.data(), size, &size)) {
        const auto* list = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
        for (DWORD i = 0; i < list->PrivilegeCount; ++i) {
            const LUID_AND_ATTRIBUTES& p = list->Privileges[i];
            if (p.Luid.LowPart == luid.LowPart && p.Luid.HighPart == luid.HighPart)
                enabled = (p.Attributes & SE_PRIVILEGE_ENABLED) != 0;
        }
    }
    CloseHandle(token);
    return enabled;
}

void SetShutdownPrivilege(bool on) {
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token));
    TOKEN_PRIVILEGES tp{};
    tp.PrivilegeCount = 1;
    LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &tp.Privileges[0].Luid);
    tp.Privileges[0].Attributes = on ? SE_PRIVILEGE_ENABLED : 0;
    AdjustTokenPrivileges(token, FALSE, &tp, 0, nullptr, nullptr);
    CloseHandle(token);
}

struct ExitCall {
    UINT flags;
    DWORD reason;
    bool privilegeEnabled;
};
std::vector<ExitCall> gExitCalls;
BOOL WINAPI RecordExit(UINT flags, DWORD reason) {
    gExitCalls.push_back({flags, reason, ShutdownPrivilegeEnabled()});
    return TRUE;
}

}  // namespace

TEST(ShutDown, CountdownShowsTenThenStepsDownToOneAndClosesWithOkOnTheTenthTick) {
    TFrmShutDown form;
    ASSERT_TRUE(form.Create(nullptr));
    const HWND w = form.Handle();
    RECT client;
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, 312);
    EXPECT_EQ(client.bottom, 156);
    EXPECT_TRUE(GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(Text(w), "定时任务：自动关机");
    // Dressed in the dialog frame, whose body the digits sit on.
    const Bitmap* frame = DressedPicture(w);
    ASSERT_NE(frame, nullptr);
    EXPECT_FALSE(GetWindowLongPtrW(w, GWL_STYLE) & WS_CAPTION);
    EXPECT_NE(DressedCloseButton(w), nullptr);
    EXPECT_EQ(Text(form.UiButton2()), "立即关机");
    EXPECT_EQ(Text(form.UiButton1()), "取消(&C)");
    EXPECT_EQ(Text(form.Label1()), "秒后关闭计算机...");
    const TLEDFontNum& led = form.LEDFontNum1();
    EXPECT_EQ(led.Text(), "10");
    EXPECT_EQ(led.WordWidth(), 23);
    EXPECT_EQ(led.WordHeight(), 31);
    EXPECT_EQ(led.Thick(), 5);
    EXPECT_EQ(led.Space(), 4);
    EXPECT_EQ(led.BGColor(), frame->At(led.Left(), led.Top()));
    EXPECT_EQ(led.LightColor(), 2592233u);
    EXPECT_FALSE(led.DrawDarkColor());

    std::vector<std::string> shown;
    for (int i = 0; i < 9; ++i) {
        form.Timer1Timer();
        shown.push_back(led.Text());
    }
    EXPECT_EQ(shown,
              (std::vector<std::string>{"09", "08", "07", "06", "05", "04", "03", "02", "01"}));
    EXPECT_EQ(form.ModalResult(), 0);
    form.Timer1Timer();
    EXPECT_EQ(form.ModalResult(), IDOK);
    EXPECT_EQ(led.Text(), "01");
}

// What the window shows is the frame with its title, and the LED picture,
// orange digits on the frame's body.
TEST(ShutDown, FrameAndDigitsReachTheScreen) {
    TFrmShutDown form;
    ASSERT_TRUE(form.Create(nullptr));
    ShowWindow(form.Handle(), SW_SHOWNOACTIVATE);
    UpdateWindow(form.Handle());
    form.Timer1Timer();  // "09", drawn at once
    const TLEDFontNum& led = form.LEDFontNum1();
    HDC dc = GetDC(form.Handle());
    Bitmap shown, strip;
    ASSERT_TRUE(ReadPicture(dc, led.Left(), led.Top(), led.Width(), led.Height(), shown));
    ASSERT_TRUE(ReadPicture(dc, 0, 0, 240, 28, strip));
    ReleaseDC(form.Handle(), dc);
    EXPECT_TRUE(shown == led.Picture());
    Bitmap frameStrip;
    frameStrip.Create(240, 28);
    frameStrip.CopyRect(0, 0, *DressedPicture(form.Handle()), 0, 0, 240, 28);
    // Left of the close button; the outermost pixels lie outside the window's shape.
    for (int y = 1; y < 28; ++y) {
        for (int x = 8; x < 240; ++x)
            ASSERT_EQ(strip.At(x, y), frameStrip.At(x, y)) << x << "," << y;
    }
    int lit = 0;
    for (int y = 0; y < shown.Height(); ++y) {
        for (int x = 0; x < shown.Width(); ++x)
            lit += shown.At(x, y) == 2592233u;
    }
    EXPECT_GT(lit, 100);
    // Its soft shadow lies right behind it, 16 px larger on every side.
    const HWND shadow = form.Shadow().Handle();
    ASSERT_TRUE(IsWindow(shadow));
    EXPECT_TRUE(IsWindowVisible(shadow));
    RECT f, r;
    GetWindowRect(form.Handle(), &f);
    GetWindowRect(shadow, &r);
    EXPECT_EQ(r.left, f.left - 16);
    EXPECT_EQ(r.top, f.top - 16);
    EXPECT_EQ(r.right, f.right + 16);
    EXPECT_EQ(r.bottom, f.bottom + 16);
}

TEST(ShutDown, LeftAloneItConfirmsByItselfWhileTheOwnerWaits) {
    Owner owner;
    ASSERT_TRUE(owner.Make());
    bool seen = false;
    Later(20, [&] {
        const HWND w = Countdown();
        seen = w && IsWindowVisible(w) && !IsWindowEnabled(owner.Handle()) &&
               GetWindow(w, GW_OWNER) == owner.Handle();
    });
    EXPECT_TRUE(ConfirmShutdown(owner.Handle(), 30));
    EXPECT_TRUE(seen);
    EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
    EXPECT_EQ(Countdown(), nullptr);
}

TEST(ShutDown, OnlyTheShutdownButtonConfirms) {
    struct Case {
        const char* name;
        std::function<void(HWND form)> act;
        bool confirmed;
        bool quits;
    };
    const auto key = [](UINT msg, WPARAM vk) {
        return [msg, vk](HWND form) {
            HWND focus = GetFocus();
            PostMessageW(focus ? focus : form, msg, vk, 0);
        };
    };
    const auto click = [](int id) {
        return [id](HWND form) { SendMessageW(GetDlgItem(form, id), BM_CLICK, 0, 0); };
    };
    const Case cases[] = {
        {"立即关机", click(TFrmShutDown::UiButton2Id), true, false},
        {"取消(&C)", click(TFrmShutDown::UiButton1Id), false, false},
        {"Escape", key(WM_KEYDOWN, VK_ESCAPE), false, false},
        {"Alt+C", key(WM_SYSCHAR, 'c'), false, false},
        {"Enter", key(WM_KEYDOWN, VK_RETURN), false, false},
        {"close box", [](HWND form) { PostMessageW(form, WM_SYSCOMMAND, SC_CLOSE, 0); }, false,
         false},
        {"frame's close button",
         [](HWND form) {
             const HWND close = DressedCloseButton(form);
             SendMessageW(close, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
             SendMessageW(close, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
         },
         false, false},
        {"owner destroyed", [](HWND form) { DestroyWindow(GetWindow(form, GW_OWNER)); }, false,
         false},
        {"program quits", [](HWND) { PostQuitMessage(3); }, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Owner owner;
        ASSERT_TRUE(owner.Make());
        Later(50, [&] {
            if (HWND form = Countdown())
                c.act(form);
        });
        EXPECT_EQ(ConfirmShutdown(owner.Handle()), c.confirmed);
        EXPECT_EQ(Countdown(), nullptr);
        if (owner.Handle()) {
            EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
        }
        MSG msg;
        const bool quit = PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        EXPECT_EQ(quit, c.quits);
        if (quit) {
            EXPECT_EQ(msg.wParam, 3u);
        }
    }
}

TEST(ShutDown, ShutdownComputerEnablesThePrivilegeThenAsksForPowerOff) {
    SetShutdownPrivilege(false);
    ASSERT_FALSE(ShutdownPrivilegeEnabled());
    gExitCalls.clear();
    ShutdownComputer(RecordExit);
    ASSERT_EQ(gExitCalls.size(), 1u);
    EXPECT_EQ(gExitCalls[0].flags, static_cast<UINT>(EWX_POWEROFF));
    EXPECT_EQ(gExitCalls[0].reason, 0u);
    EXPECT_TRUE(gExitCalls[0].privilegeEnabled);
}
