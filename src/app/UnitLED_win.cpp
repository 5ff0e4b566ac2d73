#include "app/UnitLED_win.h"

#include "app/Magnetic_win.h"
#include "app/res/Icons.rc.h"
#include "core/Encoding.h"
#include "core/IniFile.h"
#include "core/SettingKeys.h"
#include "win/Dpi_win.h"
#include "win/LocaleFormats_win.h"
#include "win/Gdi_win.h"
#include "win/PictureBlit_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <utility>

namespace tempora {

namespace {
constexpr UINT kMoveByCaption = 0xF012;

RECT ToRect(const TSkinRect& r) {
    return {r.left, r.top, r.left + r.width, r.top + r.height};
}
}  // namespace

TFrmLED::TFrmLED(TBarOwner& owner, std::string dataDir)
    : owner_(owner), dataDir_(std::move(dataDir)), face_(glyphs_, &systemLabels_) {
    face_.OnInvalidate = [this](TSkinRect area, bool now) {
        if (now) {
            Push(area);
        } else {
            Invalidate(area);
        }
    };
    face_.FadeTextDate.OnSetTimer = [this](TFadeTimer timer, unsigned ms) {
        const UINT_PTR id = timer == TFadeTimer::Line ? TimerFadeLine : TimerFadeStep;
        if (!Handle())
            return;
        if (ms == 0) {
            KillTimer(Handle(), id);
        } else {
            SetTimer(Handle(), id, ms, nullptr);
        }
    };
}

bool TFrmLED::CreateHidden() {
    const HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TEMPORA));
    if (!CreateWin(L"TFrmLED", L"嘀嗒桌面时钟", WS_POPUP, WS_EX_LAYERED | WS_EX_TOOLWINDOW, 0, 0,
                   332, 34, nullptr, icon ? icon : LoadIconW(nullptr, IDI_APPLICATION))) {
        return false;
    }
    face_.SetScale(WindowScale(Handle()));
    return true;
}

bool TFrmLED::SetScalePercent(int percent) {
    SetUserScale(Handle(), percent);
    const TScale scale = WindowScale(Handle());
    if (scale == face_.Scale())
        return false;
    face_.SetScale(scale);
    return true;
}

void TFrmLED::ApplySkin(TBarSkin skin) {
    face_.Apply(std::move(skin));
    SetWindowPos(Handle(), nullptr, 0, 0, face_.Width(), face_.Height(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!tooltip_)
        AddTooltips();
    // The tools follow the skin's places.
    for (TBarPart part : {TBarPart::MenuButton, TBarPart::MinButton, TBarPart::Panel}) {
        TOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.hwnd = Handle();
        ti.uId = static_cast<UINT_PTR>(part);
        ti.rect = ToRect(face_.Place(part));
        SendMessageW(tooltip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    InvalidateRect(Handle(), nullptr, FALSE);
}

void TFrmLED::Show() {
    ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    UpdateWindow(Handle());
    if (firstShow_) {
        firstShow_ = false;
        SetTimer(Handle(), TimerChild, 300, nullptr);
    }
}

void TFrmLED::StartClock() {
    RECT wr;
    GetWindowRect(Handle(), &wr);
    rememberedLeft_ = wr.left;
    rememberedTop_ = wr.top;
    SetTimer(Handle(), TimerSavePos, 2000, nullptr);
    TickNow();
}

void TFrmLED::TickNow() {
    const int64_t delay = owner_.OnClockTimer();
    if (Handle())
        SetTimer(Handle(), TimerClock, static_cast<UINT>(delay), nullptr);
}

void TFrmLED::SetAlpha(int alpha) {
    alpha_ = alpha;
    SetLayeredWindowAttributes(Handle(), kKeyColor, static_cast<BYTE>(alpha),
                               LWA_COLORKEY | LWA_ALPHA);
}

void TFrmLED::SetStayOnTop(bool onTop) {
    SetWindowPos(Handle(), onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TFrmLED::SetTimeFont(bool ledDigits, HFONT font, COLORREF color) {
    timeFont_ = font;
    timeColor_ = color;
    face_.SetDigitsVisible(ledDigits);
}

void TFrmLED::SetHint(const std::wstring& hint) {
    if (hint == hint_)
        return;
    hint_ = hint;
    face_.LED.SetHint(WideToUtf8(hint_));
    if (tooltip_) {
        TOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.hwnd = Handle();
        ti.uId = static_cast<UINT_PTR>(TBarPart::Panel);
        ti.lpszText = hint_.data();
        SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

void TFrmLED::SetTooltipsActive(bool active) {
    if (!tooltip_)
        return;
    SendMessageW(tooltip_, TTM_ACTIVATE, active, 0);
    if (!active) {
        SendMessageW(tooltip_, TTM_POP, 0, 0);
        // A tip the control thinks already gone may still show.
        ShowWindow(tooltip_, SW_HIDE);
    }
}

void TFrmLED::AddTooltips() {
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (!tooltip_)
        return;
    SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 400);
    static const wchar_t kMenuHint[] = L"主菜单";
    static const wchar_t kMinHint[] = L"最小化";
    const struct {
        TBarPart part;
        const wchar_t* text;
    } tools[] = {{TBarPart::MenuButton, kMenuHint},
                 {TBarPart::MinButton, kMinHint},
                 {TBarPart::Panel, hint_.c_str()}};
    for (const auto& t : tools) {
        TOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.uFlags = TTF_SUBCLASS;
        ti.hwnd = Handle();
        ti.uId = static_cast<UINT_PTR>(t.part);
        ti.rect = ToRect(face_.Place(t.part));
        ti.lpszText = const_cast<wchar_t*>(t.text);
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

void TFrmLED::TimerSavePosTimer() {
    RECT wr;
    GetWindowRect(Handle(), &wr);
    if (wr.left == rememberedLeft_ && wr.top == rememberedTop_)
        return;
    try {
        WriteSettings(dataDir_ + kSettingsFile,
                      {IntValue(setting::BarLeft, wr.left), IntValue(setting::BarTop, wr.top)});
        rememberedLeft_ = wr.left;
        rememberedTop_ = wr.top;
    } catch (const EIniWriteError&) {
        // Dropped; the next tick tries again while the position still differs.
    }
}

// The part of the picture that is up to date goes straight to the screen,
// without a paint message and without composing anything else.
void TFrmLED::Push(TSkinRect area) {
    if (!Handle() || !IsWindowVisible(Handle()))
        return;
    if (WindowDc dc(Handle()); dc) {
        BlitPicture(dc.Get(), area.left, area.top, face_.Picture(), area.left, area.top, area.width,
                    area.height);
    }
}

void TFrmLED::Invalidate(TSkinRect area) {
    if (!Handle() || area.width <= 0 || area.height <= 0)
        return;
    const RECT r = ToRect(area);
    InvalidateRect(Handle(), &r, FALSE);
}

void TFrmLED::OnPaint() {
    PaintScope paint(Handle());
    const RECT& r = paint.Area();
    const TSkinRect area{r.left, r.top, r.right - r.left, r.bottom - r.top};
    const Bitmap& picture = face_.Compose(area);
    if (face_.DigitsVisible()) {
        BlitPicture(paint.Dc(), area.left, area.top, picture, area.left, area.top, area.width,
                    area.height);
        return;
    }
    // The plain-text time is drawn by GDI over the composed picture, through
    // a back buffer so that nothing flickers.
    BackBuffer buffer(paint.Dc(), picture.Width(), picture.Height());
    if (!buffer.Ok())
        return;
    BlitPicture(buffer.Dc(), 0, 0, picture);
    const TSkinRect panel = face_.Place(TBarPart::Panel);
    RECT inner{panel.left + 1, panel.top + 1, panel.left + panel.width - 1,
               panel.top + panel.height - 1};
    SelectObjectScope font(buffer.Dc(), timeFont_ ? timeFont_ : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(buffer.Dc(), TRANSPARENT);
    SetTextColor(buffer.Dc(), timeColor_);
    const std::wstring text = Utf8ToWide(face_.LED.Text());
    DrawTextW(buffer.Dc(), text.c_str(), -1, &inner,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    buffer.CopyTo(paint.Dc());
}

void TFrmLED::OnMouseDown(POINT p) {
    const TBarPart part = face_.HitTest(p.x, p.y);
    datePressed_ = part == TBarPart::DateLine;
    if (part == TBarPart::MenuButton || part == TBarPart::MinButton) {
        face_.SetPressed(part);
        SetCapture(Handle());
    } else if (part == TBarPart::Background || part == TBarPart::Panel) {
        ReleaseCapture();
        SendMessageW(Handle(), WM_SYSCOMMAND, kMoveByCaption, 0);
    }
}

void TFrmLED::OnMouseUp(POINT p) {
    if (std::exchange(datePressed_, false) && face_.HitTest(p.x, p.y) == TBarPart::DateLine) {
        owner_.OnDateLineClick(face_.FadeTextDate.LineIndex());
        return;
    }
    const TBarPart was = face_.Pressed();
    face_.SetPressed(TBarPart::None);
    if (GetCapture() == Handle())
        ReleaseCapture();
    if (was == TBarPart::None || face_.HitTest(p.x, p.y) != was)
        return;
    if (was == TBarPart::MenuButton) {
        const TSkinRect button = face_.Place(TBarPart::MenuButton);
        POINT at{button.left, button.top + button.height};
        ClientToScreen(Handle(), &at);
        owner_.OnMenuButton(at);
    } else {
        owner_.OnMinimiseButton();
    }
}

void TFrmLED::OnMouseMove(POINT p) {
    if (!trackingMouse_) {
        TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, Handle(), 0};
        trackingMouse_ = TrackMouseEvent(&tme) != FALSE;
    }
    face_.SetHot(face_.HitTest(p.x, p.y));
}

LRESULT TFrmLED::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    // The window magnet snaps a move or size before the default handling
    // sees it, and learns of the move's start and end, minimising and
    // restoring after the bar's own handling.
    TMagnetMessage rec{wp, lp, 0};
    bool handled = false;
    switch (msg) {
        case WM_MOVING:
        case WM_SIZING:
            if (MagnetHook(Handle(), msg, rec, handled) && handled)
                return rec.result;
            return HandleMessage(msg, wp, lp);
        case WM_ENTERSIZEMOVE:
        case WM_EXITSIZEMOVE:
        case WM_SYSCOMMAND:
        case WM_COMMAND: {
            const HWND self = Handle();
            const LRESULT result = HandleMessage(msg, wp, lp);
            if (IsWindow(self))
                MagnetHook(self, msg, rec, handled);
            // The views follow once the magnet has let go of the move.
            if (msg == WM_EXITSIZEMOVE && IsWindow(self))
                owner_.OnMoved();
            return result;
        }
        default:
            return HandleMessage(msg, wp, lp);
    }
}

LRESULT TFrmLED::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (tray_) {
        UINT event = 0;
        if (tray_->OnMessage(msg, wp, lp, event)) {
            if (event)
                owner_.OnTrayClick(event);
            return 0;
        }
    }
    LRESULT result = 0;
    // The program's protocols live above the system's messages.
    if ((msg >= WM_USER || msg == WM_COPYDATA) && owner_.OnProgramMessage(msg, wp, lp, result))
        return result;
    switch (msg) {
        case WM_MEASUREITEM:
            for (TMenuController* painter : menuPainters_) {
                if (painter->OnMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lp)))
                    return TRUE;
            }
            break;
        case WM_DRAWITEM:
            for (TMenuController* painter : menuPainters_) {
                if (painter->OnDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lp)))
                    return TRUE;
            }
            break;
        case WM_INITMENUPOPUP:
            owner_.OnMenuOpening(reinterpret_cast<HMENU>(wp));
            return 0;
        case WM_SYSCOMMAND:
            // A second start of the program asks the first to come back.
            if ((wp & 0xFFF0) == SC_RESTORE) {
                owner_.OnRestore();
                return 0;
            }
            break;
        case WM_HOTKEY:
            return owner_.OnHotKey(lp) ? 1 : 0;
        case WM_SETTINGCHANGE:
            // The user may have changed the time or date format.
            ApplyUserLocaleFormats();
            break;
        case WM_POWERBROADCAST:
            // Back from sleep: the time and the day's texts at once, not at
            // the next timer.
            if (wp == PBT_APMRESUMEAUTOMATIC || wp == PBT_APMRESUMESUSPEND)
                TickNow();
            break;
        case WM_ENTERSIZEMOVE:
            // No tip stays behind where the bar was.
            SetTooltipsActive(false);
            break;
        case WM_EXITSIZEMOVE:
            SetTooltipsActive(true);
            break;
        case WM_DISPLAYCHANGE:
            owner_.OnMoved();
            break;
        case WM_DPICHANGED: {
            // Only the place is taken from the suggestion: the size is the
            // skin's at the new scale, which the owner reads again.
            const RECT& to = *reinterpret_cast<const RECT*>(lp);
            SetWindowPos(Handle(), nullptr, to.left, to.top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            face_.SetScale(WindowScale(Handle()));
            owner_.OnScaleChanged();
            return 0;
        }
        case WM_ENDSESSION:
            if (wp)
                owner_.OnSessionEnd();
            return 0;
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_TIMER:
            switch (wp) {
                case TimerClock:
                    TickNow();
                    return 0;
                case TimerSavePos:
                    TimerSavePosTimer();
                    owner_.OnTimer(TimerSavePos);
                    return 0;
                case TimerFadeLine:
                    face_.FadeTextDate.OnLineTimer();
                    return 0;
                case TimerFadeStep:
                    face_.FadeTextDate.OnFadeTimer();
                    return 0;
                case TimerChild:
                    // The start-up work waits a second without blocking the program.
                    KillTimer(Handle(), TimerChild);
                    owner_.OnStartupView();
                    SetTimer(Handle(), TimerChildHide, 1000, nullptr);
                    return 0;
                case TimerChildHide:
                    KillTimer(Handle(), TimerChildHide);
                    owner_.OnStartupSettled();
                    return 0;
                default:
                    owner_.OnTimer(wp);
                    return 0;
            }
        case WM_TIMECHANGE:
            // The system clock was set: show the new time at once.
            TickNow();
            return 0;
        case WM_LBUTTONDOWN:
            OnMouseDown({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
            return 0;
        case WM_LBUTTONUP:
            OnMouseUp({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
            return 0;
        case WM_MOUSELEAVE:
            trackingMouse_ = false;
            face_.SetHot(TBarPart::None);
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lp) == HTCLIENT) {
                POINT p;
                GetCursorPos(&p);
                ScreenToClient(Handle(), &p);
                const bool onDate = face_.HitTest(p.x, p.y) == TBarPart::DateLine;
                SetCursor(LoadCursorW(nullptr, onDate ? IDC_HAND : IDC_ARROW));
                return TRUE;
            }
            break;
        case WM_CLOSE:
            for (UINT_PTR id : {TimerChild, TimerChildHide, TimerClock, TimerSavePos, TimerFadeLine,
                                TimerFadeStep}) {
                KillTimer(Handle(), id);
            }
            owner_.OnClosing();
            if (IsWindowVisible(Handle()))
                FadeOutForm(Handle(), alpha_);
            DestroyWindow(Handle());
            return 0;
        case WM_DESTROY:
            owner_.OnDestroyed();
            return 0;
        default:
            break;
    }
    return TWindow::WndProc(msg, wp, lp);
}

}  // namespace tempora
