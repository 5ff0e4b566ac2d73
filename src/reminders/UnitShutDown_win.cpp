#include "UnitShutDown_win.h"

#include "core/Text.h"
#include "display/Dialog_win.h"
#include "display/MyWindow_win.h"
#include "win/Gdi_win.h"
#include "win/PictureBlit_win.h"

#include <cmath>

namespace tempora {

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;  // the paper when the window could not be dressed
constexpr uint32_t kOrange = 2592233;  // 0x278DE9, the digits and the icon

// Where things sit in the client area.
constexpr int kIconX = 24, kIconY = 30, kIconSize = 50;
constexpr int kLedX = 90, kLedY = 36;
constexpr int kLabelX = 154, kLabelY = 49, kLabelW = 150, kLabelH = 16;
constexpr int kButtonY = 112, kButtonW = 84, kButtonH = 26;
constexpr int kNowX = 116, kCancelX = 210;

constexpr DWORD kStyle = WS_POPUP | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_TOPMOST;

// The power symbol, a ring open at the top with a bar through the gap,
// smoothed by 4 x 4 samples per pixel against what the picture holds there.
void PaintShutdownIcon(Bitmap& pic, int left, int top, int size, uint32_t ink) {
    const double c = size / 2.0, outer = size * 0.42, inner = size * 0.30;
    const double barHalf = size * 0.055, barTop = size * 0.06, barBottom = size * 0.52;
    const double gap = 0.62;  // half the opening, in radians around the top
    const auto inside = [&](double x, double y) {
        if (std::fabs(x - c) <= barHalf && y >= barTop && y <= barBottom)
            return true;
        const double r = std::hypot(x - c, y - c);
        return r >= inner && r <= outer && std::atan2(std::fabs(x - c), c - y) > gap;
    };
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            int hits = 0;
            for (int sy = 0; sy < 4; ++sy) {
                for (int sx = 0; sx < 4; ++sx)
                    hits += inside(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4);
            }
            const uint32_t paper = pic.GetPixel(left + x, top + y);
            uint32_t color = 0;
            for (int shift = 0; shift < 24; shift += 8) {
                const uint32_t a = (ink >> shift) & 0xFF, b = (paper >> shift) & 0xFF;
                color |= ((a * hits + b * (16 - hits) + 8) / 16) << shift;
            }
            pic.SetPixel(left + x, top + y, color);
        }
    }
}

}  // namespace

TFrmShutDown::TFrmShutDown(UINT tickMs) : tickMs_(tickMs) {
    SetUpCountdownLed(led_, kLedX, kLedY, kWhite, kOrange);
}

TFrmShutDown::~TFrmShutDown() {
    // The controls go before the font they use.
    if (Handle())
        DestroyWindow(Handle());
}

bool TFrmShutDown::Create(HWND owner) {
    const int w = kWidth, h = kHeight;
    const HMONITOR monitor = owner ? MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY)
                                   : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    GetMonitorInfoW(monitor, &mi);
    const int x = mi.rcWork.left + (mi.rcWork.right - mi.rcWork.left - w) / 2;
    const int y = mi.rcWork.top + (mi.rcWork.bottom - mi.rcWork.top - h) / 2;
    if (!CreateWin(kClassName, L"定时任务：自动关机", kStyle, kExStyle, x, y, w, h, owner))
        return false;

    font_.Reset(MakeFont(L"宋体", 9));
    const HINSTANCE inst = GetModuleHandleW(nullptr);
    const auto child = [&](const wchar_t* cls, const wchar_t* text, DWORD style, int cx, int cy,
                           int cw, int ch, int id) {
        HWND hwnd =
            CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, cx, cy, cw, ch, Handle(),
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), inst, nullptr);
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    };
    child(L"STATIC", L"秒后关闭计算机...", SS_LEFT, kLabelX, kLabelY, kLabelW, kLabelH, Label1Id);
    child(L"BUTTON", L"立即关机", WS_TABSTOP | BS_PUSHBUTTON, kNowX, kButtonY, kButtonW, kButtonH,
          UiButton2Id);
    child(L"BUTTON", L"取消(&C)", WS_TABSTOP | BS_PUSHBUTTON, kCancelX, kButtonY, kButtonW,
          kButtonH, UiButton1Id);

    // The icon and the digits sit on the frame's body and take its colour.
    ApplyDialogFrame(Handle(), "定时任务：自动关机", true);
    if (const Bitmap* frame = DressedPicture(Handle()))
        picture_ = *frame;
    else
        picture_.Create(kWidth, kHeight, kWhite);
    PaintShutdownIcon(picture_, kIconX, kIconY, kIconSize, kOrange);
    led_.SetBGColor(picture_.GetPixel(kLedX, kLedY));

    // Like every dialog, it casts a soft shadow of its rounded shape.
    shadow_.Attach(Handle());
    led_.OnRendered = [this] { BlitLed(); };
    led_.OnInvalidate = [this](TLEDFontNum::Rect r) {
        const RECT area{r.left, r.top, r.left + r.width, r.top + r.height};
        InvalidateRect(Handle(), &area, FALSE);
    };
    return true;
}

int TFrmShutDown::ShowModal() {
    if (!Handle())
        return IDCANCEL;
    // A countdown shown over another one leaves the owner to the outer one.
    RunModal(
        Handle(), modalResult_,
        [this] {
            // Enter and Space act on the focused button: start on the safe one.
            SetFocus(UiButton1());
            SetTimer(Handle(), Timer1, tickMs_, nullptr);
        },
        [this] { CloseWith(IDCANCEL); });
    return modalResult_;
}

void TFrmShutDown::Timer1Timer() {
    --tag_;
    if (tag_ < 1) {
        CloseWith(IDOK);
        return;
    }
    led_.SetText(ZeroPad(tag_, 2));
}

void TFrmShutDown::CloseWith(int result) {
    if (Handle())
        KillTimer(Handle(), Timer1);
    if (modalResult_ == 0)
        modalResult_ = result;
}

void TFrmShutDown::Paint() {
    PaintScope ps(Handle());
    led_.CopyTo(picture_);
    BlitPicture(ps.Dc(), 0, 0, picture_);
}

void TFrmShutDown::BlitLed() {
    if (WindowDc dc(Handle()); dc)
        BlitPicture(dc.Get(), led_.Left(), led_.Top(), led_.Picture());
}

LRESULT TFrmShutDown::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_COMMAND:
            if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)
                CloseWith(LOWORD(wp));
            return 0;
        case DM_GETDEFID:
            // Enter on no particular button cancels: never power off by a stray key.
            return MAKELRESULT(IDCANCEL, DC_HASDEFID);
        case WM_TIMER:
            if (wp == Timer1)
                Timer1Timer();
            return 0;
        case WM_CLOSE:
            CloseWith(IDCANCEL);
            return 0;
        case WM_DESTROY:
            // Destroyed with its owner while waiting: that is no confirmation.
            CloseWith(IDCANCEL);
            return 0;
        default:
            break;
    }
    return TWindow::WndProc(msg, wp, lp);
}

bool ConfirmShutdown(HWND owner, UINT tickMs) {
    TFrmShutDown form(tickMs);
    return form.Create(owner) && form.ShowModal() == IDOK;
}

void ShutdownComputer(ExitWindowsFn exitWindows) {
    HANDLE token = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        TOKEN_PRIVILEGES privileges{};
        if (LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege",
                                  &privileges.Privileges[0].Luid)) {
            privileges.PrivilegeCount = 1;
            privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
            AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
        }
        CloseHandle(token);
    }
    exitWindows(EWX_POWEROFF, 0);
}

}  // namespace tempora
