#include "UnitPopupMsg_win.h"

#include "core/Encoding.h"
#include "core/IniFile.h"
#include "win/Gdi_win.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

namespace tempora {

namespace {
constexpr UINT_PTR kTimerBar = 1;        // is the bar still there?
constexpr UINT_PTR kTimerCountdown = 2;  // one second of the closing countdown
constexpr UINT kBarCheckMs = 2000;

constexpr COLORREF kBack = RGB(24, 28, 36);
constexpr COLORREF kAccent = RGB(64, 158, 255);
constexpr COLORREF kBorder = RGB(62, 72, 90);
constexpr COLORREF kRule = RGB(46, 53, 66);
constexpr COLORREF kTitle = RGB(170, 203, 255);
constexpr COLORREF kText = RGB(232, 236, 242);
constexpr COLORREF kDim = RGB(128, 138, 156);
constexpr COLORREF kButton = RGB(36, 44, 58);

constexpr UINT kTextFormat = DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_EXPANDTABS;

void FillColor(HDC dc, const RECT& r, COLORREF color) {
    SetDCBrushColor(dc, color);
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void FrameColor(HDC dc, const RECT& r, COLORREF color) {
    SetDCBrushColor(dc, color);
    FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}
}  // namespace

bool TFrmPopupMsg::Create(HWND bar, std::string iniPath, bool demo) {
    bar_ = bar;
    iniPath_ = std::move(iniPath);
    demo_ = demo;

    if (WindowDc screen(nullptr); screen)
        dpi_ = GetDeviceCaps(screen.Get(), LOGPIXELSY);
    if (dpi_ <= 0)
        dpi_ = 96;
    const wchar_t* face = FontInstalled(L"Microsoft YaHei") ? L"Microsoft YaHei" : L"宋体";
    // 17 px and up: below that, some CJK fonts (WenQuanYi, standing in for these
    // under Wine) use embedded bitmaps that lose strokes.
    titleFont_.Reset(MakeFontPixels(face, S(17), FW_BOLD));
    textFont_.Reset(MakeFontPixels(face, S(17), FW_NORMAL));

    if (!CreateWin(kPopupClassName, L"", WS_POPUP, WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_LAYERED,
                   0, 0, S(300), S(120))) {
        return false;
    }
    ReadSettings();
    if (bar_) {
        SetTimer(Handle(), kTimerBar, kBarCheckMs, nullptr);
        PostMessageW(bar_, kPopupHandshake, 0, reinterpret_cast<LPARAM>(Handle()));
    }
    return true;
}

void TFrmPopupMsg::ReadSettings() {
    settings_ = ReadPopupSettings(TIniFile(iniPath_));
    if (demo_)
        settings_.Auto = false;
    SetLayeredWindowAttributes(Handle(), 0, static_cast<BYTE>(settings_.Tran), LWA_ALPHA);
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

    const int header = S(40), gap = S(14), footer = S(52);
    const int w = textWidth_ + 2 * pad;
    const int h = header + gap + viewHeight_ + gap + footer;
    textRect_ = RECT{pad, header + gap, pad + textWidth_, header + gap + viewHeight_};
    const int bw = S(80), bh = S(30);
    buttonRect_ = RECT{w - pad - bw, h - S(12) - bh, w - pad, h - S(12)};

    RECT work{};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
        GetWindowRect(GetDesktopWindow(), &work);
    const int margin = S(12);
    SetWindowPos(Handle(), HWND_TOPMOST, work.right - w - margin, work.bottom - h - margin, w, h,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
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
    const int w = client.right;
    const int pad = S(18), header = S(40);
    FillColor(dc, client, kBack);
    FillColor(dc, RECT{0, 0, w, S(3)}, kAccent);
    SetBkMode(dc, TRANSPARENT);

    // Title line: an accent mark, the title and, with several texts, "2/3".
    const int mark = S(8);
    const int markTop = S(3) + (header - S(3) - mark) / 2;
    FillColor(dc, RECT{pad, markTop, pad + mark, markTop + mark}, kAccent);
    {
        SelectObjectScope font(dc, titleFont_.Get());
        SetTextColor(dc, kTitle);
        RECT r{pad + mark + S(8), S(3), w - pad, header};
        DrawTextW(dc, L"嘀嗒提醒", -1, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    const size_t total = static_cast<size_t>(doneInBatch_) + queue_.size();
    if (total > 1) {
        SelectObjectScope font(dc, textFont_.Get());
        SetTextColor(dc, kDim);
        const std::wstring counter =
            std::to_wstring(doneInBatch_ + 1) + L"/" + std::to_wstring(total);
        RECT r{pad, S(3), w - pad, header};
        DrawTextW(dc, counter.c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    }
    FillColor(dc, RECT{0, header, w, header + 1}, kRule);

    if (!queue_.empty()) {
        const std::wstring& text = queue_.front();
        SelectObjectScope font(dc, textFont_.Get());
        SetTextColor(dc, kText);
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
            FillColor(dc, RECT{x, textRect_.top, x + S(3), textRect_.bottom}, kRule);
            FillColor(dc, RECT{x, top, x + S(3), top + thumb}, kAccent);
        }
    }

    // Footer: the countdown and the button that closes this text.
    if (settings_.Auto && !queue_.empty()) {
        SelectObjectScope font(dc, textFont_.Get());
        SetTextColor(dc, kDim);
        const std::wstring left =
            hovering_ ? L"计时已暂停" : std::to_wstring(secondsLeft_) + L" 秒后自动关闭";
        RECT r{pad, buttonRect_.top, buttonRect_.left - S(8), buttonRect_.bottom};
        DrawTextW(dc, left.c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    FillColor(dc, buttonRect_, hoverButton_ ? kAccent : kButton);
    FrameColor(dc, buttonRect_, kAccent);
    {
        SelectObjectScope font(dc, textFont_.Get());
        SetTextColor(dc, hoverButton_ ? RGB(255, 255, 255) : kText);
        RECT r = buttonRect_;
        DrawTextW(dc, queue_.size() > 1 ? L"下一条" : L"关闭", -1, &r,
                  DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
    }
    FrameColor(dc, client, kBorder);
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
