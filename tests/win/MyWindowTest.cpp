// The dialog frame on real windows: the dressed shape and picture, the close
// button, the caption strip that moves the dialog, damaged frames and the
// frame the program installs.
#include "display/MyWindow_win.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "WinTestUtil.h"
#include "core/Encoding.h"
#include "display/MyWindow.h"
#include "display/SupFun.h"
#include "win/DataDir_win.h"
#include "core/Handles_win.h"
#include "win/PictureBlit_win.h"
#include "win/Window_win.h"

using namespace tempora;
using tempora::test::WaitFor;

namespace {

constexpr uint32_t kCaption = 0x603010;
constexpr uint32_t kUp = 0x00C000, kHot = 0x0000E0;
constexpr int kW = 300, kH = 200;

// A template whose caption strip is one colour and whose body is a texture
// that shows where every pixel came from.
TWinSkin TestSkin() {
    TWinSkin skin;
    skin.frame.Create(100, 50);
    for (int y = 0; y < 50; ++y) {
        for (int x = 0; x < 100; ++x) {
            const uint32_t body = 0xD0D0D0 + static_cast<uint32_t>((x * 7 + y * 3) % 5) * 0x080808;
            skin.frame.At(x, y) = y < 28 ? kCaption : body;
        }
    }
    skin.closeUp.Create(43, 17, kUp);
    skin.closeUp.At(0, 16) = Bitmap::kKeyColor;
    skin.closeHot.Create(43, 17, kHot);
    skin.captionColor = 0xFFFFFF;
    return skin;
}

// A captioned window with a client area of kW x kH and a label in its body,
// which counts what the frame sends it.
class TestForm : public TWindow {
public:
    bool Make(int x = 200, int y = 150) {
        RECT r{0, 0, kW, kH};
        AdjustWindowRectEx(&r, kStyle, FALSE, kExStyle);
        if (!CreateWin(L"TemporaFrameTestForm", L"form", kStyle, kExStyle, x, y, r.right - r.left,
                       r.bottom - r.top))
            return false;
        label = CreateWindowExW(0, L"STATIC", L"标签", WS_CHILD | WS_VISIBLE | SS_LEFT, 20, 60, 120,
                                20, Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
        return label != nullptr;
    }
    HWND label = nullptr;
    int closes = 0, enters = 0, exits = 0, moving = 0;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
            case WM_CLOSE:
                ++closes;
                return 0;
            case WM_ENTERSIZEMOVE:
                ++enters;
                break;
            case WM_EXITSIZEMOVE:
                ++exits;
                break;
            case WM_MOVING:
                ++moving;
                break;
            default:
                break;
        }
        return TWindow::WndProc(msg, wp, lp);
    }

private:
    static constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    static constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;
};

void Pump() {
    WaitFor([] { return false; }, 30);
}

RECT WindowRect(HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    return r;
}

Bitmap Shown(HWND w, int x, int y, int width, int height) {
    Bitmap shown;
    WindowDc dc(w);
    ReadPicture(dc.Get(), x, y, width, height, shown);
    return shown;
}

std::string Text(HWND w) {
    wchar_t buf[256] = {};
    GetWindowTextW(w, buf, 256);
    return WideToUtf8(buf);
}

HWND TooltipOf(HWND owner) {
    struct Find {
        HWND owner, found;
    } find{owner, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM lp) -> BOOL {
            auto* f = reinterpret_cast<Find*>(lp);
            wchar_t cls[64] = {};
            GetClassNameW(w, cls, 64);
            if (GetWindow(w, GW_OWNER) == f->owner && lstrcmpiW(cls, TOOLTIPS_CLASSW) == 0)
                f->found = w;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&find));
    return find.found;
}

}  // namespace

TEST(MyWindow, DressedFormIsBorderlessRoundedAndShowsTheFrame) {
    TestForm form;
    ASSERT_TRUE(form.Make());
    const HWND w = form.Handle();
    const RECT before = WindowRect(w);
    const TMyWindow frame(TestSkin());
    ASSERT_TRUE(DressForm(frame, w, "城市时间查询", true));

    EXPECT_FALSE(GetWindowLongPtrW(w, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME));
    EXPECT_FALSE(GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
    RECT client;
    GetClientRect(w, &client);
    const RECT after = WindowRect(w);
    EXPECT_EQ(client.right, kW);
    EXPECT_EQ(client.bottom, kH);
    EXPECT_EQ(after.right - after.left, kW);
    EXPECT_EQ(after.bottom - after.top, kH);
    EXPECT_NEAR(after.left + after.right, before.left + before.right, 1);
    EXPECT_NEAR(after.top + after.bottom, before.top + before.bottom, 1);
    EXPECT_EQ(Text(w), "城市时间查询");

    // The rounded shape leaves out the outermost ring and the corners.
    GdiObject<HRGN> rgn(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(w, rgn.Get()), ERROR);
    for (POINT p : {POINT{150, 100}, POINT{1, 100}, POINT{150, 1}, POINT{8, 8}})
        EXPECT_TRUE(PtInRegion(rgn.Get(), p.x, p.y)) << p.x << "," << p.y;
    for (POINT p : {POINT{0, 100}, POINT{150, 0}, POINT{299, 100}, POINT{150, 199}, POINT{1, 1},
                    POINT{297, 2}, POINT{2, 197}})
        EXPECT_FALSE(PtInRegion(rgn.Get(), p.x, p.y)) << p.x << "," << p.y;

    // The picture: the composed frame with the title in the caption colour.
    const Bitmap* picture = DressedPicture(w);
    ASSERT_NE(picture, nullptr);
    Bitmap expected = frame.ComposeFrame(kW, kH);
    int titlePixels = 0, elsewhere = 0;
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            if (picture->At(x, y) == expected.At(x, y))
                continue;
            const bool title = x >= 10 && y >= 2 && y < 27 && picture->At(x, y) == 0xFFFFFF;
            titlePixels += title;
            elsewhere += !title;
        }
    }
    EXPECT_GT(titlePixels, 40);
    EXPECT_EQ(elsewhere, 0);

    // On screen: the frame behind everything, the label's background included.
    ShowWindow(w, SW_SHOWNOACTIVATE);
    UpdateWindow(w);
    Pump();
    const Bitmap shown = Shown(w, 0, 0, kW, kH);
    ASSERT_EQ(shown.Width(), kW);
    int differ = 0;
    for (int y = 1; y < kH - 1; ++y) {
        for (int x = 8; x < kW - 8; ++x) {
            const bool closeButton = x >= 247 && x < 290 && y < 18;
            const bool labelText = x >= 20 && x < 60 && y >= 60 && y < 80;
            if (!closeButton && !labelText)
                differ += shown.At(x, y) != picture->At(x, y);
        }
    }
    EXPECT_EQ(differ, 0);
}

TEST(MyWindow, ResizedFormGetsItsFrameRecomposed) {
    TestForm form;
    ASSERT_TRUE(form.Make());
    const HWND w = form.Handle();
    const TMyWindow frame(TestSkin());
    ASSERT_TRUE(DressForm(frame, w, "嘀嗒提醒", true));

    SetWindowPos(w, nullptr, 0, 0, 420, 260, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const Bitmap* picture = DressedPicture(w);
    ASSERT_NE(picture, nullptr);
    ASSERT_EQ(picture->Width(), 420);
    ASSERT_EQ(picture->Height(), 260);
    // The new frame's body and bottom-right corner, not a stretched old one.
    const Bitmap expected = frame.ComposeFrame(420, 260);
    for (POINT p : {POINT{210, 200}, POINT{409, 249}, POINT{5, 250}, POINT{415, 100}})
        EXPECT_EQ(picture->At(p.x, p.y), expected.At(p.x, p.y)) << p.x << "," << p.y;

    GdiObject<HRGN> rgn(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(w, rgn.Get()), ERROR);
    EXPECT_TRUE(PtInRegion(rgn.Get(), 400, 240));
    EXPECT_FALSE(PtInRegion(rgn.Get(), 419, 130));

    RECT close = WindowRect(DressedCloseButton(w));
    MapWindowPoints(nullptr, w, reinterpret_cast<POINT*>(&close), 2);
    EXPECT_EQ(close.right, 420 - TMyWindow::kCloseRight);
}

TEST(MyWindow, CloseButtonShowsItsPicturesHintsAndClosesTheForm) {
    TestForm form;
    ASSERT_TRUE(form.Make());
    const HWND w = form.Handle();
    ASSERT_TRUE(DressForm(TMyWindow(TestSkin()), w, "关于", true));
    ShowWindow(w, SW_SHOWNOACTIVATE);
    UpdateWindow(w);
    const HWND close = DressedCloseButton(w);
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(GetParent(close), w);
    EXPECT_FALSE(GetWindowLongPtrW(close, GWL_STYLE) & WS_TABSTOP);
    RECT r = WindowRect(close);
    MapWindowPoints(nullptr, w, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 247);
    EXPECT_EQ(r.top, 1);
    EXPECT_EQ(r.right - r.left, 43);
    EXPECT_EQ(r.bottom - r.top, 17);

    const auto face = [&] {
        Pump();
        const Bitmap b = Shown(close, 0, 0, 43, 17);
        return std::pair{b.GetPixel(20, 8), b.GetPixel(0, 16)};
    };
    // The see-through corner shows the caption behind it.
    EXPECT_EQ(face(), std::pair(kUp, kCaption));
    SendMessageW(close, WM_MOUSEMOVE, 0, MAKELPARAM(20, 8));
    EXPECT_EQ(face().first, kHot);
    SendMessageW(close, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(face().first, kUp);

    const HWND tip = TooltipOf(w);
    ASSERT_NE(tip, nullptr);
    wchar_t text[32] = {};
    TOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = w;
    ti.uId = reinterpret_cast<UINT_PTR>(close);
    ti.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, 32, reinterpret_cast<LPARAM>(&ti));
    EXPECT_EQ(WideToUtf8(text), "关闭");

    // Pressed and released elsewhere is no click; on the button it closes the form.
    SendMessageW(close, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 8));
    SendMessageW(close, WM_LBUTTONUP, 0, MAKELPARAM(60, 8));
    Pump();
    EXPECT_EQ(form.closes, 0);
    SendMessageW(close, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 8));
    SendMessageW(close, WM_LBUTTONUP, 0, MAKELPARAM(20, 8));
    EXPECT_TRUE(WaitFor([&] { return form.closes == 1; }, 1000));
}

// Real mouse input: any button pressed in the caption strip drags the form;
// below the strip, or without a strip, nothing moves; the close button in
// the strip still takes its click.
TEST(MyWindow, CaptionStripMovesTheFormWithAnyButton) {
    struct Case {
        const char* name;
        DWORD down, up;
        POINT press;
        bool strip;
        bool moves;
    };
    const Case cases[] = {
        {"left", MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, {100, 10}, true, true},
        {"right", MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, {100, 10}, true, true},
        {"middle", MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP, {5, 27}, true, true},
        {"below the strip", MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, {100, 28}, true, false},
        {"no strip", MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, {100, 10}, false, false},
    };
    const auto input = [](DWORD flags, POINT screen) {
        SetCursorPos(screen.x, screen.y);
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dwFlags = flags;
        SendInput(1, &in, sizeof in);
        Pump();
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestForm form;
        ASSERT_TRUE(form.Make());
        const HWND w = form.Handle();
        ASSERT_TRUE(DressForm(TMyWindow(TestSkin()), w, "标记", c.strip));
        ShowWindow(w, SW_SHOW);
        SetForegroundWindow(w);
        Pump();
        const RECT start = WindowRect(w);
        POINT at{start.left + c.press.x, start.top + c.press.y};
        input(MOUSEEVENTF_MOVE, at);
        input(c.down, at);
        for (int step = 1; step <= 4; ++step)
            input(MOUSEEVENTF_MOVE, {at.x + 10 * step, at.y + 6 * step});
        input(c.up, {at.x + 40, at.y + 24});
        input(MOUSEEVENTF_MOVE, {at.x + 70, at.y + 50});  // after the release: stays
        const RECT end = WindowRect(w);
        EXPECT_EQ(end.left - start.left, c.moves ? 40 : 0);
        EXPECT_EQ(end.top - start.top, c.moves ? 24 : 0);
        EXPECT_EQ(form.enters, c.moves ? 1 : 0);
        EXPECT_EQ(form.exits, c.moves ? 1 : 0);
        EXPECT_EQ(form.moving > 0, c.moves);
        EXPECT_NE(GetCapture(), w);

        // The close button lies in the strip and keeps its click.
        const RECT close = WindowRect(DressedCloseButton(w));
        const POINT centre{(close.left + close.right) / 2, (close.top + close.bottom) / 2};
        input(MOUSEEVENTF_MOVE, centre);
        input(MOUSEEVENTF_LEFTDOWN, centre);
        input(MOUSEEVENTF_LEFTUP, centre);
        EXPECT_TRUE(WaitFor([&] { return form.closes == 1; }, 1000));
        EXPECT_EQ(WindowRect(w).left, end.left);
    }
}

// A frame from a package whose rectangles are smaller than the template's
// parts and hold no close picture: the dialog still shows, moves and closes.
TEST(MyWindow, DamagedFrameStillOpensMovesAndCloses) {
    TWinSkin skin = TestSkin();
    skin.frame.Create(10, 10, 0x808080);
    skin.closeUp = Bitmap{};
    skin.closeHot = Bitmap{};
    TestForm form;
    ASSERT_TRUE(form.Make());
    const HWND w = form.Handle();
    ASSERT_TRUE(DressForm(TMyWindow(skin), w, "其他", true));
    ShowWindow(w, SW_SHOWNOACTIVATE);
    UpdateWindow(w);
    Pump();
    const HWND close = DressedCloseButton(w);
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(WindowRect(close).right - WindowRect(close).left, 43);

    const RECT start = WindowRect(w);
    PostMessageW(w, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(50, 5));
    PostMessageW(w, WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(80, 25));
    PostMessageW(w, WM_RBUTTONUP, 0, MAKELPARAM(80, 25));
    Pump();
    EXPECT_EQ(WindowRect(w).left - start.left, 30);
    EXPECT_EQ(WindowRect(w).top - start.top, 20);

    SendMessageW(close, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(close, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(WaitFor([&] { return form.closes == 1; }, 1000));
}

TEST(MyWindow, DressingOnceAndOnlyTopLevelWindows) {
    TestForm form;
    ASSERT_TRUE(form.Make());
    const TMyWindow frame(TestSkin());
    EXPECT_FALSE(DressForm(frame, form.label, "标签", true));
    EXPECT_EQ(DressedPicture(form.label), nullptr);
    EXPECT_EQ(DressedPicture(form.Handle()), nullptr);
    EXPECT_TRUE(DressForm(frame, form.Handle(), "一", true));
    EXPECT_FALSE(DressForm(frame, form.Handle(), "二", true));
    EXPECT_EQ(Text(form.Handle()), "一");
    EXPECT_FALSE(DressForm(frame, nullptr, "三", true));
}

// The program's frame comes from the shipped package; without an accepted
// package dialogs wear the plain frame.
TEST(MyWindow, InstalledFrameDressesEveryDialog) {
    const std::string dir = ProgramDir();
    struct Case {
        const char* file;
        TSkinResult result;
    };
    for (const Case& c :
         {Case{"Frame.sk", TSkinResult::Applied}, Case{"NoSuchFrame.sk", TSkinResult::Missing},
          Case{"", TSkinResult::Missing}}) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(InstallDialogFrame(dir, c.file), c.result);
        TMyWindow expected = TMyWindow::Plain();
        if (c.result == TSkinResult::Applied) {
            TWinSkin skin;
            ASSERT_EQ(ReadWinSkin(dir, dir + c.file, skin), TSkinResult::Applied);
            expected = TMyWindow(skin);
        }
        TestForm form;
        ASSERT_TRUE(form.Make());
        ASSERT_TRUE(ApplyDialogFrame(form.Handle(), "系统设置", true));
        const Bitmap* picture = DressedPicture(form.Handle());
        ASSERT_NE(picture, nullptr);
        const Bitmap composed = expected.ComposeFrame(kW, kH);
        // Right of the title and below the caption strip nothing but the frame.
        for (int y = 0; y < kH; ++y) {
            for (int x = y < 28 ? 150 : 0; x < kW; ++x)
                ASSERT_EQ(picture->At(x, y), composed.At(x, y)) << x << "," << y;
        }
        const HWND close = DressedCloseButton(form.Handle());
        EXPECT_EQ(WindowRect(close).right - WindowRect(close).left, expected.CloseUp().Width());
    }
    InstallDialogFrame(dir, "");
}
