#include "UnitPopupMsg_win.h"

#include "core/Encoding.h"
#include "core/IniFile.h"
#include "display/MyWindow.h"
#include "display/MyWindow_win.h"
#include "win/Dpi_win.h"
#include "win/Gdi_win.h"
#include "win/PictureBlit_win.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

namespace tempora {

namespace {
constexpr UINT_PTR kTimerBar = 1;        // is the bar still there?
constexpr UINT_PTR kTimerCountdown = 2;  // one second of the closing countdown
constexpr UINT kBarCheckMs = 2000;

constexpr COLORREF kAccent = RGB(64, 158, 255);
constexpr wchar_t kTitle[] = L"嘀嗒提醒";

constexpr UINT kTextFormat = DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_EXPANDTABS;

void FillColor(HDC dc, const RECT& r, COLORREF color) {
    SetDCBrushColor(dc, color);
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void FrameColor(HDC dc, const RECT& r, COLORREF color) {
    SetDCBrushColor(dc, color);
    FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

COLORREF Mix(COLORREF a, COLORREF b, int percentB) {
    auto mix = [&](int x, int y) {
        return static_cast<BYTE>((x * (100 - percentB) + y * percentB) / 100);
    };
    return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)),
               mix(GetBValue(a), GetBValue(b)));
}
}  // namespace

bool TFrmPopupMsg::Create(HWND bar, std::string iniPath, bool demo) {
    bar_ = bar;
    iniPath_ = std::move(iniPath);
    demo_ = demo;

    scale_ = MonitorScale(nullptr);
    MakeTextFont();

    if (!CreateWin(kPopupClassName, L"", WS_POPUP, WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_LAYERED,
                   0, 0, S(300), S(120))) {
        return false;
    }
    // Dressed like every dialog of the clock, with its soft shadow; the
    // frame's close button closes the text on screen (WM_CLOSE).
    ApplyDialogFrame(Handle(), WideToUtf8(kTitle), true);
    if (const TScale own = MonitorScale(Handle()); own != scale_) {
        scale_ = own;
        MakeTextFont();
    }
    SetWindowTextW(Handle(), L"");  // the window text is the text on screen, none yet
    shadow_.Attach(Handle());
    ReadSettings();
    if (bar_) {
        SetTimer(Handle(), kTimerBar, kBarCheckMs, nullptr);
        PostMessageW(bar_, kPopupHandshake, 0, reinterpret_cast<LPARAM>(Handle()));
    }
    return true;
}

void TFrmPopupMsg::MakeTextFont() {
    const wchar_t* face = FontInstalled(L"Microsoft YaHei") ? L"Microsoft YaHei" : L"宋体";
    // 17 px and up: below that, some CJK fonts (WenQuanYi, standing in for these
    // under Wine) use embedded bitmaps that lose strokes.
    textFont_.Reset(MakeFontPixels(face, S(17), FW_NORMAL));
}

void TFrmPopupMsg::ReadSettings() {
    settings_ = ReadPopupSettings(TIniFile(iniPath_));
    if (demo_)
        settings_.Auto = false;
    SetLayeredWindowAttributes(Handle(), 0, static_cast<BYTE>(settings_.Tran), LWA_ALPHA);
    shadow_.UpdateShadow();
    if (queue_.empty())
        return;
    // A changed closing rule applies to the text on screen from now on.
    secondsLeft_ = settings_.AutoSec;
    if (settings_.Auto)
        SetTimer(Handle(), kTimerCountdown, 1000, nullptr);
    else
        KillTimer(Handle(), kTimerCountdown);
    InvalidateRect(Handle(), nullptr, FALSE);
}

bool TFrmPopupMsg::AddText(const std::string& utf8) {
    std::wstring text = Utf8ToWide(utf8);
    if (queuedChars_ + text.size() > kMaxQueuedChars)
        return false;
    queuedChars_ += text.size();
    queue_.push_back(std::move(text));
    if (queue_.size() == 1) {
        SetAnimation(true);
        ShowCurrent();
    } else {
        InvalidateRect(Handle(), nullptr, FALSE);  // the counter changed
    }
    return true;
}

void TFrmPopupMsg::ShowCurrent() {
    scroll_ = 0;
    secondsLeft_ = settings_.AutoSec;
    // The window text is the shown text: screen readers and tests read it there.
    SetWindowTextW(Handle(), queue_.front().c_str());
    Layout();
    if (settings_.Auto)
        SetTimer(Handle(), kTimerCountdown, 1000, nullptr);
    InvalidateRect(Handle(), nullptr, FALSE);
}

void TFrmPopupMsg::Dismiss() {
    if (queue_.empty())
        return;
    queuedChars_ -= queue_.front().size();
    queue_.pop_front();
    ++doneInBatch_;
    if (!queue_.empty()) {
        ShowCurrent();
        return;
    }
    KillTimer(Handle(), kTimerCountdown);
    ShowWindow(Handle(), SW_HIDE);
    SetWindowTextW(Handle(), L"");
    doneInBatch_ = 0;
    SetAnimation(false);
    if (demo_)
        DestroyWindow(Handle());
}

void TFrmPopupMsg::SetAnimation(bool on) {
    if (on == animOn_)
        return;
    animOn_ = on;
    // Posted, never sent: the bar may be waiting in a send to us.
    if (bar_)
        PostMessageW(bar_, on ? kPopupAnimOn : kPopupAnimOff, 0, 0);
}

void TFrmPopupMsg::Layout() {
    if (queue_.empty())
        return;
    const std::wstring& text = queue_.front();
    const int pad = S(18);
    const int minText = S(280), maxText = S(420), maxView = S(340);
    MemoryDc measure(CreateCompatibleDC(nullptr));
    {
        const HDC dc = measure.Get();
        SelectObjectScope font(dc, textFont_.Get());
        // The widest line unbroken, then the height when wrapped at that width.
        RECT natural{0, 0, maxText, 0};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &natural,
                  DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
        textWidth_ = std::clamp(static_cast<int>(natural.right), minText, maxText);
        RECT wrapped{0, 0, textWidth_, 0};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &wrapped,
                  DT_CALCRECT | kTextFormat);
        TEXTMETRICW tm{};
        GetTextMetricsW(dc, &tm);
        lineHeight_ = std::max(1, static_cast<int>(tm.tmHeight));
        textHeight_ = std::max(static_cast<int>(wrapped.bottom), lineHeight_);
    }
    // A long text shows whole lines and scrolls.
    viewHeight_ = textHeight_ <= maxView ? textHeight_ : maxView / lineHeight_ * lineHeight_;

    // Below the frame's caption strip; the frame's edges are 10 px wide.
    const int header = S(TMyWindow::kCaptionHeight), gap = S(14), footer = S(48) + S(10);
    const int w = textWidth_ + 2 * pad;
    const int h = header + gap + viewHeight_ + gap + footer;
    textRect_ = RECT{pad, header + gap, pad + textWidth_, header + gap + viewHeight_};
    const int bw = S(80), bh = S(30);
    buttonRect_ = RECT{w - pad - bw, h - S(10) - S(10) - bh, w - pad, h - S(10) - S(10)};

    RECT work{};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
        GetWindowRect(GetDesktopWindow(), &work);
    // Room for the shadow between the popup and the screen's edge.
    const int margin = S(12 + kShadowMargin);
    SetWindowPos(Handle(), HWND_TOPMOST, work.right - w - margin, work.bottom - h - margin, w, h,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    PickColors();
    shadow_.SetShown(true);
}

void TFrmPopupMsg::PickColors() {
    // Dark text on a light body, light text on a dark one.
    COLORREF body = RGB(244, 246, 250);
    if (const Bitmap* frame = DressedPicture(Handle()); frame && !frame->Empty()) {
        const uint32_t c = frame->At(frame->Width() / 2, frame->Height() / 2);
        body = RGB(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    }
    const int luma = (GetRValue(body) * 299 + GetGValue(body) * 587 + GetBValue(body) * 114) / 1000;
    text_ = luma >= 128 ? RGB(28, 32, 40) : RGB(236, 240, 246);
    dim_ = Mix(body, text_, 55);
    button_ = Mix(body, luma >= 128 ? RGB(255, 255, 255) : RGB(0, 0, 0), 40);
}

void TFrmPopupMsg::CountdownTick() {
    if (queue_.empty() || !settings_.Auto) {
        KillTimer(Handle(), kTimerCountdown);
        return;
    }
    // The countdown waits while the mouse rests on the popup: someone reads it.
    if (hovering_)
        return;
    if (--secondsLeft_ <= 0) {
        Dismiss();
        return;
    }
    InvalidateRect(Handle(), nullptr, FALSE);
}

void TFrmPopupMsg::OnMouseMove(int x, int y) {
    if (!hovering_) {
        hovering_ = true;
        TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, Handle(), 0};
        TrackMouseEvent(&tme);
        InvalidateRect(Handle(), nullptr, FALSE);
    }
    const bool onButton = PtInRect(&buttonRect_, POINT{x, y}) != 0;
    if (onButton != hoverButton_) {
        hoverButton_ = onButton;
        InvalidateRect(Handle(), &buttonRect_, FALSE);
    }
}

void TFrmPopupMsg::Scroll(int delta) {
    const int most = std::max(0, textHeight_ - viewHeight_);
    const int next = std::clamp(scroll_ + delta, 0, most);
    if (next != scroll_) {
        scroll_ = next;
        InvalidateRect(Handle(), nullptr, FALSE);
    }
}

void TFrmPopupMsg::PaintPopup(HDC dc, const RECT& client) const {
    const int pad = S(18);
    if (const Bitmap* frame = DressedPicture(Handle()))
        BlitPicture(dc, 0, 0, *frame);
    else
        FillColor(dc, client, button_);
    SetBkMode(dc, TRANSPARENT);

    if (!queue_.empty()) {
        const std::wstring& text = queue_.front();
        SelectObjectScope font(dc, textFont_.Get());
        SetTextColor(dc, text_);
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, textRect_.left, textRect_.top, textRect_.right, textRect_.bottom);
        RECT r{textRect_.left, textRect_.top - scroll_, textRect_.right,
               textRect_.top - scroll_ + textHeight_};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, kTextFormat);
        RestoreDC(dc, saved);
        if (textHeight_ > viewHeight_) {
            // A thin thumb beside the text: there is more to scroll to.
            const int track = viewHeight_;
            const int thumb = std::max(S(16), track * viewHeight_ / textHeight_);
            const int top =
                textRect_.top + (track - thumb) * scroll_ / std::max(1, textHeight_ - viewHeight_);
            const int x = textRect_.right + (pad - S(3)) / 2;
            FillColor(dc, RECT{x, textRect_.top, x + S(3), textRect_.bottom}, button_);
            FillColor(dc, RECT{x, top, x + S(3), top + thumb}, kAccent);
        }
    }

    // Footer: which text of how many, the countdown, and the button that
    // closes this text.
    std::wstring left;
    const size_t total = static_cast<size_t>(doneInBatch_) + queue_.size();
    if (total > 1)
        left = std::to_wstring(doneInBatch_ + 1) + L"/" + std::to_wstring(total) + L"    ";
    if (settings_.Auto && !queue_.empty())
        left += hovering_ ? L"计时已暂停" : std::to_wstring(secondsLeft_) + L" 秒后自动关闭";
    if (!left.empty()) {
        SelectObjectScope font(dc, textFont_.Get());
        SetTextColor(dc, dim_);
        RECT r{pad, buttonRect_.top, buttonRect_.left - S(8), buttonRect_.bottom};
        DrawTextW(dc, left.c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    FillColor(dc, buttonRect_, hoverButton_ ? kAccent : button_);
    FrameColor(dc, buttonRect_, kAccent);
    {
        SelectObjectScope font(dc, textFont_.Get());
        SetTextColor(dc, hoverButton_ ? RGB(255, 255, 255) : text_);
        RECT r = buttonRect_;
        DrawTextW(dc, queue_.size() > 1 ? L"下一条" : L"关闭", -1, &r,
                  DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
    }
}

void TFrmPopupMsg::OnPaint() {
    PaintScope ps(Handle());
    RECT client{};
    GetClientRect(Handle(), &client);
    if (client.right <= 0 || client.bottom <= 0)
        return;
    // One back buffer, copied in one transfer: no flicker.
    BackBuffer buffer(ps.Dc(), client.right, client.bottom);
    if (buffer.Ok()) {
        PaintPopup(buffer.Dc(), client);
        buffer.CopyTo(ps.Dc());
    }
}

LRESULT TFrmPopupMsg::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COPYDATA: {
            const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lp);
            std::string text;
            if (reinterpret_cast<HWND>(wp) != bar_ || !cds ||
                !AcceptPopupText(cds->lpData, cds->cbData, text)) {
                return FALSE;
            }
            return AddText(text) ? TRUE : FALSE;
        }
        case kPopupCode:
            if (reinterpret_cast<HWND>(wp) == bar_) {
                if (lp == kPopupCodeSettings)
                    ReadSettings();
                else if (lp == kPopupCodeClosing)
                    DestroyWindow(Handle());
            }
            return 0;
        case WM_TIMER:
            if (wp == kTimerBar && !IsWindow(bar_))
                DestroyWindow(Handle());
            else if (wp == kTimerCountdown)
                CountdownTick();
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            return 0;
        case WM_MOUSELEAVE:
            hovering_ = false;
            hoverButton_ = false;
            InvalidateRect(Handle(), nullptr, FALSE);
            return 0;
        case WM_LBUTTONUP:
            if (PtInRect(&buttonRect_, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}))
                Dismiss();
            return 0;
        case WM_CLOSE:
            // The frame's close button, Alt+F4: done with the text on screen.
            Dismiss();
            return 0;
        case WM_MOUSEWHEEL:
            Scroll(-GET_WHEEL_DELTA_WPARAM(wp) * lineHeight_ * 3 / WHEEL_DELTA);
            return 0;
        case WM_KEYDOWN:
            if (wp == VK_ESCAPE || wp == VK_RETURN || wp == VK_SPACE)
                Dismiss();
            else if (wp == VK_DOWN || wp == VK_UP)
                Scroll(wp == VK_DOWN ? lineHeight_ : -lineHeight_);
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lp) == HTCLIENT) {
                POINT pt{};
                GetCursorPos(&pt);
                ScreenToClient(Handle(), &pt);
                SetCursor(LoadCursorW(nullptr, PtInRect(&buttonRect_, pt) ? IDC_HAND : IDC_ARROW));
                return TRUE;
            }
            break;
        case WM_SETTINGCHANGE:
            if (wp == SPI_SETWORKAREA && !queue_.empty())
                Layout();
            break;
        case WM_DPICHANGED:
            // The frame has taken the new scale; the text and its place follow.
            scale_ = ScaleOfDpi(LOWORD(wp));
            MakeTextFont();
            Layout();
            InvalidateRect(Handle(), nullptr, FALSE);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_DESTROY:
            SetAnimation(false);
            PostQuitMessage(0);
            return 0;
    }
    return TWindow::WndProc(msg, wp, lp);
}

}  // namespace tempora
